// Win1252.cpp: Windows-1252 <-> Unicode tables and conversions.
#include "toolkit/Win1252.h"

#include <array>

namespace {

// Unicode of the bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t ByteToChar(unsigned char b) noexcept
{
    return (b >= 0x80 && b <= 0x9F) ? kHigh[b - 0x80] : char16_t(b);
}

} // namespace

namespace Win1252 {

QString ToUnicode(std::string_view bytes)
{
    QString result;
    result.resize(qsizetype(bytes.size()));
    QChar *out = result.data();
    for (unsigned char b : bytes)
        *out++ = QChar(ByteToChar(b));
    return result;
}

std::optional<unsigned char> FromChar(char16_t ch) noexcept
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return static_cast<unsigned char>(ch);
    for (unsigned i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == ch)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

namespace {

// Whether every code unit is one that Windows-1252 shares with Latin-1;
// written without branches so that the compiler can vectorise it.
bool AllSharedWithLatin1(const QChar *units, qsizetype count) noexcept
{
    unsigned other = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const unsigned ch = units[i].unicode();
        other |= unsigned(ch - 0x80u < 0x20u) | unsigned(ch > 0xFFu);
    }
    return other == 0;
}

// Lossy conversion in one pass over the code units; each character left out
// is appended to dropped and counted in droppedCount when they are given (a
// surrogate pair as one character).
std::string Dropping(const QString &text, QStringList *dropped, int *droppedCount = nullptr)
{
    std::string result(std::size_t(text.size()), '\0');
    // The common case, plain text: a narrowing copy that vectorises.
    if (AllSharedWithLatin1(text.constData(), text.size())) {
        const char16_t *units = reinterpret_cast<const char16_t *>(text.utf16());
        for (std::size_t i = 0; i < result.size(); ++i)
            result[i] = char(units[i]);
        return result;
    }
    char *out = result.data();
    const QChar *units = text.constData();
    const qsizetype count = text.size();
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t ch = units[i].unicode();
        if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
            *out++ = char(ch);
        } else if (auto b = FromChar(ch)) {
            *out++ = char(*b);
        } else {
            const bool pair = units[i].isHighSurrogate() && i + 1 < count && units[i + 1].isLowSurrogate();
            if (droppedCount)
                ++*droppedCount;
            if (dropped)
                *dropped << text.mid(i, pair ? 2 : 1);
            if (pair)
                ++i;
        }
    }
    result.resize(std::size_t(out - result.data()));
    return result;
}

} // namespace

std::optional<std::string> FromUnicode(const QString &text)
{
    int dropped = 0;
    std::string result = Dropping(text, nullptr, &dropped);
    if (dropped > 0)
        return std::nullopt;
    return result;
}

std::string FromUnicodeDropping(const QString &text)
{
    return Dropping(text, nullptr);
}

std::string FromUnicodeDropping(const QString &text, QStringList &dropped)
{
    return Dropping(text, &dropped);
}

std::optional<std::string> FromUtf8(std::string_view utf8)
{
    const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    // fromUtf8 replaces malformed sequences with U+FFFD, which 1252 cannot hold.
    return FromUnicode(text);
}

std::string ToUtf8(std::string_view bytes)
{
    return ToUnicode(bytes).toStdString();
}

std::u16string ToUtf16(std::string_view bytes)
{
    std::u16string result;
    result.reserve(bytes.size());
    for (unsigned char b : bytes)
        result.push_back(ByteToChar(b));
    return result;
}

} // namespace Win1252
