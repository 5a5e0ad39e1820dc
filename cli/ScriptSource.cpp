// ScriptSource.cpp: reading script text from script files and plain scripts,
// with the place of any character that Windows-1252 cannot hold.
#include "cli/ScriptSource.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QString>

#include "toolkit/PlainText.h"
#include "toolkit/Win1252.h"
#include "storage/ScriptImage.h"

namespace {

constexpr std::string_view kCompoundSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// The line of text around index, without its line break.
QStringView LineAround(const QString &text, qsizetype index)
{
    qsizetype start = index;
    while (start > 0 && text[start - 1] != u'\n' && text[start - 1] != u'\r')
        --start;
    qsizetype end = index;
    while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
        ++end;
    return QStringView(text).mid(start, end - start);
}

} // namespace

bool PlainScriptText(std::string_view bytes, std::string &text, TSourceProblem &problem)
{
    const auto mark = PlainText::ByteOrderMark(bytes);
    if (!mark) {
        text.assign(bytes);
        return true;
    }
    bool malformed = false;
    const QString unicode = PlainText::Decode(bytes, *mark, malformed);

    text.clear();
    text.reserve(std::size_t(unicode.size()));
    int line = 1;
    int column = 1;
    for (qsizetype i = 0; i < unicode.size(); ++i) {
        const char16_t ch = unicode[i].unicode();
        if (const auto byte = Win1252::FromChar(ch)) {
            text += char(*byte);
            const bool lineEnd = ch == u'\n' || (ch == u'\r' && (i + 1 == unicode.size() || unicode[i + 1] != u'\n'));
            line += lineEnd ? 1 : 0;
            column = lineEnd ? 1 : ch == u'\r' ? column : column + 1;
            continue;
        }
        char32_t code = ch;
        if (QChar::isHighSurrogate(ch) && i + 1 < unicode.size() && QChar::isLowSurrogate(unicode[i + 1].unicode()))
            code = QChar::surrogateToUcs4(ch, unicode[i + 1].unicode());
        if (malformed && ch == QChar::ReplacementCharacter) {
            problem.reason = std::string("not valid ") + mark->name + " (after its byte-order mark)";
        } else {
            char hex[16];
            std::snprintf(hex, sizeof hex, "U+%04X", unsigned(code));
            problem.reason = std::string("character ") + hex +
                             " cannot be stored in a script, whose text is Windows-1252";
        }
        problem.line = line;
        problem.column = column;
        problem.lineText = LineAround(unicode, i).toUtf8().toStdString();
        return false;
    }
    return true;
}

TScriptReader::TScriptReader() = default;
TScriptReader::~TScriptReader() = default;

std::optional<std::string_view> TScriptReader::Read(const std::string &path, bool plainToo)
{
    m_problem = {};
    m_image.reset();
    if (!PlainText::ReadWholeFile(path, m_bytes))
        return Fail(std::strerror(errno));
    if (m_bytes.compare(0, kCompoundSignature.size(), kCompoundSignature) != 0) {
        if (!plainToo)
            return Fail("not a script file (not a compound file)");
        if (!PlainText::ByteOrderMark(m_bytes))
            return std::string_view(m_bytes);
        if (!PlainScriptText(m_bytes, m_text, m_problem))
            return std::nullopt;
        return std::string_view(m_text);
    }
    // Through the editor's own reader: what it refuses is refused here too.
    auto image = std::make_unique<TScriptImage>();
    if (!image->Parse(reinterpret_cast<const std::uint8_t *>(m_bytes.data()), m_bytes.size())) {
        switch (image->Defect()) {
        case sdNotCompound: return Fail("not a valid script file: " + image->Detail());
        case sdNoScript: return Fail("not a script file: it has no \"Script\" stream");
        default: return Fail(image->Detail());
        }
    }
    m_image = std::move(image);
    return m_image->Text();
}

std::optional<std::string_view> TScriptReader::Fail(std::string reason)
{
    m_problem.reason = std::move(reason);
    return std::nullopt;
}
