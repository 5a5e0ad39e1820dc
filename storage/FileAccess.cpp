// FileAccess.cpp: POSIX file steps with advisory locks and atomic replacement.
#include "storage/FileAccess.h"

#include <cerrno>
#include <cstring>
#include <functional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/uStorage.h"

namespace {

std::function<bool(std::string_view)> &Injector()
{
    static std::function<bool(std::string_view)> injector;
    return injector;
}

std::string Describe(const char *what, const std::string &path, int error)
{
    return std::string(what) + " '" + path + "': " + std::strerror(error);
}

std::string FolderOf(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Writes all bytes, one injectable step per chunk, retrying on EINTR.
bool WriteAll(int fd, const std::vector<std::uint8_t> &data, const std::string &path, std::string &reason)
{
    constexpr std::size_t kChunk = 64 * 1024;
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t n = std::min(kChunk, data.size() - done);
        if (storage_detail::InjectFault("write")) {
            reason = Describe("cannot write", path, EIO);
            return false;
        }
        if (storage_detail::InjectFault("write-full")) {
            reason = Describe("cannot write", path, ENOSPC);
            return false;
        }
        const ssize_t written = ::write(fd, data.data() + done, n);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            reason = Describe("cannot write", path, errno);
            return false;
        }
        done += std::size_t(written);
    }
    return true;
}

} // namespace

void SetStorageFaultInjector(std::function<bool(std::string_view step)> injector)
{
    Injector() = std::move(injector);
}

namespace storage_detail {

bool InjectFault(std::string_view step)
{
    return Injector() && Injector()(step);
}

TLockedFile::~TLockedFile()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing releases the lock
}

bool TLockedFile::Open(const std::string &path, std::string &reason, bool readOnlyIfNeeded)
{
    if (InjectFault("open")) {
        reason = Describe("cannot open", path, EIO);
        return false;
    }
    // "open-write" stands for a file that refuses writing (root ignores modes).
    if (InjectFault("open-write")) {
        errno = EACCES;
        m_fd = -1;
    } else {
        m_fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    }
    if (m_fd < 0) {
        int error = errno;
        const bool notWritable = error == EACCES || error == EROFS || error == EPERM;
        if (notWritable && readOnlyIfNeeded) {
            m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            m_readOnly = m_fd >= 0;
            error = errno;
        }
        if (m_fd < 0) {
            reason = notWritable && !readOnlyIfNeeded
                         ? "'" + path + "' cannot be opened for writing (read-only or no permission)"
                         : Describe("cannot open", path, error);
            return false;
        }
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        reason = "'" + path + "' is not a regular file";
        return false;
    }
    m_mode = unsigned(st.st_mode) & 07777u;
    // Reading only, a shared lock: a writer's exclusive lock still keeps it out.
    if (InjectFault("lock") || ::flock(m_fd, (m_readOnly ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
        reason = "'" + path + "' is in use by another program";
        return false;
    }
    return true;
}

bool TLockedFile::ReadAll(std::vector<std::uint8_t> &data, std::size_t limit, const char *limitName,
                          std::string &reason)
{
    data.clear();
    std::uint8_t buffer[64 * 1024];
    for (;;) {
        if (InjectFault("read")) {
            reason = "cannot read the file: " + std::string(std::strerror(EIO));
            return false;
        }
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            reason = "cannot read the file: " + std::string(std::strerror(errno));
            return false;
        }
        if (n == 0)
            return true;
        if (std::size_t(n) > limit - data.size()) {
            reason = "file of more than " + std::to_string(limit) + " bytes is larger than the " + limitName +
                     " (" + std::to_string(limit) + " bytes)";
            data.clear();
            return false;
        }
        data.insert(data.end(), buffer, buffer + n);
    }
}

bool WriteFileAtomically(const std::string &target, const std::vector<std::uint8_t> &data,
                         bool keepMode, unsigned mode, std::string &reason)
{
    const std::string folder = FolderOf(target);
    const auto slash = target.find_last_of('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = folder + "/." + base + ".XXXXXX";
    if (InjectFault("create")) {
        reason = Describe("cannot create a file in", folder, EIO);
        return false;
    }
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        reason = Describe("cannot create a file in", folder, errno);
        return false;
    }
    auto fail = [&](std::string why) {
        ::close(fd);
        ::unlink(temp.c_str());
        reason = std::move(why);
        return false;
    };
    if (!WriteAll(fd, data, temp, reason))
        return fail(reason);
    if (!keepMode) {
        // A new file gets the usual mode: 0666 less the umask.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666u & ~unsigned(mask);
    }
    if (InjectFault("chmod"))
        return fail(Describe("cannot set the mode of", temp, EIO));
    if (::fchmod(fd, mode_t(mode)) != 0)
        return fail(Describe("cannot set the mode of", temp, errno));
    if (InjectFault("sync"))
        return fail(Describe("cannot flush", temp, EIO));
    if (::fsync(fd) != 0)
        return fail(Describe("cannot flush", temp, errno));
    if (::close(fd) != 0) {
        ::unlink(temp.c_str());
        reason = Describe("cannot close", temp, errno);
        return false;
    }
    const bool injected = InjectFault("rename");
    if (injected || ::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = injected ? EIO : errno;
        ::unlink(temp.c_str());
        reason = Describe("cannot replace", target, error);
        return false;
    }
    // Make the rename itself durable; a failure here no longer affects the content.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace storage_detail
