// uStorage.cpp: TScript and the seven-stream script file.
#include "storage/uStorage.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

#include "compoundfile/CompoundFile.h"
#include "storage/FileAccess.h"
#include "storage/ScriptImage.h"
#include "toolkit/Win1252.h"

namespace {

// The streams of a script file, in the order they are read and written.
constexpr std::array<std::string_view, 7> kStreams = {"Name", "Menu", "ID", "Hint", "Main", "Script", "Icon"};

std::u16string StreamName(std::string_view name)
{
    return Win1252::ToUtf16(name);
}

constexpr const char *kScriptFileLimit = "largest script file";

// Resolves a symbolic link so that a save replaces the file it points to.
std::string RealTarget(const std::string &path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

// Whether two paths name one file (the same device and inode).
bool SameFile(const std::string &a, const std::string &b)
{
    struct stat sa {}, sb {};
    return !a.empty() && !b.empty() && ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool HasEntry(const cfb::Storage &storage, const std::u16string &name)
{
    return storage.OpenStream(name) || storage.OpenStorage(name);
}

// Copies the root's attributes and every entry besides the seven from one
// file to another; with keepExisting, an entry that to has already stays.
void CopyOtherEntries(const cfb::CompoundFile &from, cfb::CompoundFile &to, bool keepExisting)
{
    const cfb::Storage &source = from.Root();
    cfb::Storage &target = to.Root();
    if (!keepExisting) {
        target.clsid = source.clsid;
        target.stateBits = source.stateBits;
        target.creationTime = source.creationTime;
        target.modifiedTime = source.modifiedTime;
        to.version = from.version;
    }
    for (const cfb::EntryInfo &entry : source.List())
        if (!IsScriptStreamName(entry.name) && !(keepExisting && HasEntry(target, entry.name)))
            target.CopyEntryFrom(source, entry.name);
}

} // namespace

bool IsScriptStreamName(const std::u16string &name)
{
    for (std::string_view own : kStreams)
        if (cfb::CompareNames(name, StreamName(own)) == 0)
            return true;
    return false;
}

void RemoveScriptStreams(cfb::Storage &root)
{
    for (const cfb::EntryInfo &entry : root.List())
        if (IsScriptStreamName(entry.name))
            root.Remove(entry.name);
}

TScript::TScript() : m_lines(std::make_unique<TStringList>()) {}
TScript::~TScript() = default;

void TScript::Assign(const TScript &source)
{
    if (&source == this)
        return;
    AssignFields(source);
    m_lines->Assign(*source.m_lines);
    m_other.reset();
    if (source.m_other) {
        m_other = std::make_unique<cfb::CompoundFile>();
        CopyOtherEntries(*source.m_other, *m_other, false);
    }
}

bool TScript::HasOtherEntries() const noexcept
{
    return m_other && !m_other->Root().List().empty();
}

void TScript::AssignFields(const TScript &source)
{
    m_fileName = source.m_fileName;
    m_name = source.m_name;
    m_menu = source.m_menu;
    m_id = source.m_id;
    m_hint = source.m_hint;
    m_main = source.m_main;
    m_icon.Assign(source.m_icon);
}

void TScript::Clear()
{
    m_name.clear();
    m_menu.clear();
    m_main.clear();
    m_id.clear();
    m_hint.clear();
    m_icon.Clear();
    m_lines->Clear();
    m_other.reset();
}

bool TScript::Fail(std::string reason)
{
    m_lastError = std::move(reason);
    return false;
}

bool TScript::WriteStringStream(cfb::Storage &storage, std::string_view name, const std::string &value)
{
    cfb::Stream *stream = storage.CreateStream(StreamName(name));
    if (!stream)
        return false;
    const std::size_t written = stream->Write(0, value.c_str(), value.size() + 1);
    return written == value.size() + 1;
}

bool TScript::LoadFromFile(const std::string &path, bool readOnlyIfNeeded)
{
    m_lastError.clear();
    storage_detail::TLockedFile file;
    std::string reason;
    std::vector<std::uint8_t> image;
    if (!file.Open(path, reason, readOnlyIfNeeded) || !file.ReadAll(image, kMaxScriptFile, kScriptFileLimit, reason))
        return Fail(reason);
    if (!LoadFromImage(image.data(), image.size(), path))
        return false;
    m_readOnly = file.ReadOnly();
    return true;
}

bool TScript::LoadFromImage(const std::uint8_t *data, std::size_t size, const std::string &path)
{
    m_lastError.clear();
    TScriptImage image;
    if (!image.Parse(data, size)) {
        switch (image.Defect()) {
        case sdNotCompound: return Fail("'" + path + "' is not a valid script file: " + image.Detail());
        case sdNoScript: return Fail("'" + path + "' has no \"Script\" stream");
        default: return Fail("'" + path + "': " + image.Detail());
        }
    }
    const std::vector<std::uint8_t> *icon = image.IconBytes();
    if (!icon)
        return Fail("'" + path + "' has no \"Icon\" stream");

    // Load into a fresh record and take it over only on success.
    TScript loaded;
    loaded.m_name = image.Field("Name");
    loaded.m_menu = image.Field("Menu");
    loaded.m_id = image.Field("ID");
    loaded.m_hint = image.Field("Hint");
    loaded.m_main = image.Field("Main");
    loaded.m_lines->SetText(image.Text());
    if (!icon->empty())
        loaded.m_icon.LoadFromBytes(*icon); // raises EInvalidGraphic

    loaded.m_fileName = path;
    AssignFields(loaded);
    m_readOnly = false;
    // The lines change hands instead of being copied.
    m_lines->Swap(*loaded.m_lines);
    // What is left of the file is what a save to another file carries along.
    m_other = image.TakeOtherEntries();
    return true;
}

bool TScript::SaveToFile(const std::string &path)
{
    return SaveToFile(path, *m_lines);
}

bool TScript::SaveToFile(const std::string &path, const TStringList &code)
{
    m_lastError.clear();
    std::string reason;
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    const std::string target = exists ? RealTarget(path) : path;

    auto compound = std::make_unique<cfb::CompoundFile>();
    // Another file than the document's own gets the entries the document kept.
    const bool carryOther = m_other && !(exists && SameFile(target, m_fileName));
    if (carryOther)
        CopyOtherEntries(*m_other, *compound, false);
    storage_detail::TLockedFile old; // held until the new file has replaced it
    if (exists) {
        std::vector<std::uint8_t> image;
        if (!old.Open(target, reason) || !old.ReadAll(image, kMaxScriptFile, kScriptFileLimit, reason))
            return Fail(reason);
        cfb::CompoundFile previous;
        if (!previous.Parse(image.data(), image.size(), reason))
            return Fail("'" + path + "' is not a script file, it is left as it was: " + reason);
        // Keep every entry that another program put into the file.
        CopyOtherEntries(previous, *compound, carryOther);
    }

    // Nothing is written that this reader would refuse.
    const std::string text = code.Text();
    if (text.size() > kMaxScriptText)
        return Fail(ScriptTextLimitReason(text.size()));
    for (int i = 0; i < code.Count(); ++i)
        if (code.Get(i).size() > kMaxLineLength)
            return Fail(LineLengthLimitReason(std::size_t(i), code.Get(i).size()));

    cfb::Storage &root = compound->Root();
    const std::array<const std::string *, 5> strings = {&m_name, &m_menu, &m_id, &m_hint, &m_main};
    for (std::size_t i = 0; i < strings.size(); ++i)
        if (!WriteStringStream(root, kStreams[i], *strings[i]))
            return Fail("cannot write the \"" + std::string(kStreams[i]) + "\" stream");

    cfb::Stream *script = root.CreateStream(StreamName("Script"));
    if (!script)
        return Fail("cannot create the \"Script\" stream");
    script->Write(0, text.data(), text.size());

    cfb::Stream *icon = root.CreateStream(StreamName("Icon"));
    if (!icon)
        return Fail("cannot create the \"Icon\" stream");
    if (!m_icon.Empty())
        icon->Write(0, m_icon.Bytes().data(), m_icon.Bytes().size());

    if (!storage_detail::WriteFileAtomically(target, compound->Serialize(), exists, old.Mode(), reason))
        return Fail(reason);
    m_fileName = path;
    m_readOnly = false;
    RemoveScriptStreams(compound->Root());
    m_other = std::move(compound);
    return true;
}
