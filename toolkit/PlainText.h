// PlainText.h: reading a plain text file whose encoding a byte-order mark may
// name (UTF-8, UTF-16): the whole file as bytes, the mark, and the decoding.
#ifndef QUENLO_TOOLKIT_PLAINTEXT_H
#define QUENLO_TOOLKIT_PLAINTEXT_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <QString>
#include <QStringConverter>

namespace PlainText {

// The whole file into bytes (also from pipes and special files); false with
// errno set.
bool ReadWholeFile(const std::string &path, std::string &bytes);

struct TByteOrderMark {
    QStringConverter::Encoding encoding;
    std::size_t size;
    const char *name; // "UTF-8" or "UTF-16"
};

// The mark at the start of bytes, if any.
std::optional<TByteOrderMark> ByteOrderMark(std::string_view bytes);

// The text after the mark. Bytes that are not valid in the marked encoding
// become U+FFFD and set malformed.
QString Decode(std::string_view bytes, const TByteOrderMark &mark, bool &malformed);

} // namespace PlainText

#endif
