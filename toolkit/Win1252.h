// Win1252.h: the only door between Quenlo's 8-bit text and Unicode.
// Text inside Quenlo is Windows-1252 bytes in std::string, one byte one column.
#ifndef QUENLO_TOOLKIT_WIN1252_H
#define QUENLO_TOOLKIT_WIN1252_H

#include <optional>
#include <string>
#include <string_view>

#include <QString>
#include <QStringList>

namespace Win1252 {

// Every byte maps to one character; the five bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of that code,
// as Windows does, so that any byte string survives a round trip.
QString ToUnicode(std::string_view bytes);

// The byte for one UTF-16 code unit, or nothing when Windows-1252 cannot hold it.
std::optional<unsigned char> FromChar(char16_t ch) noexcept;

// Lossless conversion: nothing when any character cannot be held.
std::optional<std::string> FromUnicode(const QString &text);

// Lossy conversion for text from outside (clipboard, dialogs): characters that
// cannot be held are dropped.
std::string FromUnicodeDropping(const QString &text);
// The same, appending each character left out to dropped (one entry per
// character, a pair of surrogates as one).
std::string FromUnicodeDropping(const QString &text, QStringList &dropped);

// UTF-8 <-> Windows-1252, for the command line and JSON output.
std::optional<std::string> FromUtf8(std::string_view utf8);
std::string ToUtf8(std::string_view bytes);

// UTF-16 (as used by compound-file names) <-> Windows-1252.
std::u16string ToUtf16(std::string_view bytes);

} // namespace Win1252

#endif
