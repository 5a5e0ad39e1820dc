// PlainText.cpp: whole-file reads and byte-order marks.
#include "toolkit/PlainText.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QStringDecoder>

namespace PlainText {

bool ReadWholeFile(const std::string &path, std::string &bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return false;
    }
    // The size is a hint only: pipes and special files have none.
    bytes.resize(info.st_size > 0 ? std::size_t(info.st_size) + 1 : 65536);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            errno = error;
            return false;
        }
        if (got == 0)
            break;
        used += std::size_t(got);
    }
    bytes.resize(used);
    ::close(fd);
    return true;
}

std::optional<TByteOrderMark> ByteOrderMark(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return TByteOrderMark{QStringConverter::Utf8, 3, "UTF-8"};
    if (bytes.substr(0, 2) == "\xFF\xFE")
        return TByteOrderMark{QStringConverter::Utf16LE, 2, "UTF-16"};
    if (bytes.substr(0, 2) == "\xFE\xFF")
        return TByteOrderMark{QStringConverter::Utf16BE, 2, "UTF-16"};
    return std::nullopt;
}

QString Decode(std::string_view bytes, const TByteOrderMark &mark, bool &malformed)
{
    QStringDecoder decoder(mark.encoding, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes.data() + mark.size, qsizetype(bytes.size() - mark.size)));
    malformed = decoder.hasError();
    return text;
}

} // namespace PlainText
