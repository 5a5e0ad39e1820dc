// ScriptImage.cpp: TScriptImage, the reader of the script file format.
#include "storage/ScriptImage.h"

#include <algorithm>
#include <cstring>

#include "compoundfile/CompoundFile.h"
#include "toolkit/Win1252.h"
#include "storage/uStorage.h"

namespace {

const cfb::Stream *OpenNamed(const cfb::CompoundFile &file, std::string_view name)
{
    return file.Root().OpenStream(Win1252::ToUtf16(name));
}

} // namespace

std::string ScriptTextLimitReason(std::size_t size)
{
    return "script text of " + std::to_string(size) + " bytes is larger than the largest script text (" +
           std::to_string(TScript::kMaxScriptText) + " bytes)";
}

std::string LineLengthLimitReason(std::size_t index, std::size_t length)
{
    return "line " + std::to_string(index + 1) + " of " + std::to_string(length) +
           " bytes is longer than the longest line (" + std::to_string(TScript::kMaxLineLength) + " bytes)";
}

TScriptImage::TScriptImage() = default;
TScriptImage::~TScriptImage() = default;

bool TScriptImage::Fail(TScriptDefect defect, std::string detail)
{
    m_file.reset();
    m_text = {};
    m_defect = defect;
    m_detail = std::move(detail);
    return false;
}

bool TScriptImage::Parse(const std::uint8_t *data, std::size_t size)
{
    m_defect = sdNone;
    m_detail.clear();
    if (size > TScript::kMaxScriptFile)
        return Fail(sdTooLarge, "file of " + std::to_string(size) + " bytes is larger than the largest script file (" +
                                    std::to_string(TScript::kMaxScriptFile) + " bytes)");
    auto file = std::make_unique<cfb::CompoundFile>();
    std::string reason;
    if (!file->Parse(data, size, reason))
        return Fail(sdNotCompound, reason);
    const cfb::Stream *script = OpenNamed(*file, "Script");
    if (!script)
        return Fail(sdNoScript, "no \"Script\" stream");
    const std::vector<std::uint8_t> &bytes = script->Data();
    if (bytes.size() > TScript::kMaxScriptText)
        return Fail(sdTextTooLarge, ScriptTextLimitReason(bytes.size()));
    std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    // Lines end at CR LF, a lone CR or a lone LF, as the document splits them.
    std::size_t line = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        if (end - start > TScript::kMaxLineLength)
            return Fail(sdLineTooLong, LineLengthLimitReason(line, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        ++line;
    }
    m_file = std::move(file);
    m_text = text;
    return true;
}

std::string TScriptImage::Field(std::string_view name) const
{
    const cfb::Stream *stream = m_file ? OpenNamed(*m_file, name) : nullptr;
    if (!stream)
        return {};
    const std::vector<std::uint8_t> &data = stream->Data();
    std::string value(data.begin(), data.begin() + std::ptrdiff_t(std::min(data.size(), TScript::kStringStreamLimit)));
    return value.substr(0, value.find('\0'));
}

const std::vector<std::uint8_t> *TScriptImage::IconBytes() const
{
    const cfb::Stream *icon = m_file ? OpenNamed(*m_file, "Icon") : nullptr;
    return icon ? &icon->Data() : nullptr;
}

std::vector<TScriptEntry> TScriptImage::OtherEntries() const
{
    std::vector<TScriptEntry> entries;
    if (!m_file)
        return entries;
    for (const cfb::EntryInfo &entry : m_file->Root().List())
        if (!IsScriptStreamName(entry.name))
            entries.push_back(TScriptEntry{cfb::NameToUtf8(entry.name), entry.isStorage,
                                           entry.isStorage ? 0 : std::uint64_t(entry.size)});
    return entries;
}

std::unique_ptr<cfb::CompoundFile> TScriptImage::TakeOtherEntries()
{
    m_text = {};
    if (!m_file)
        return nullptr;
    RemoveScriptStreams(m_file->Root());
    return std::move(m_file);
}
