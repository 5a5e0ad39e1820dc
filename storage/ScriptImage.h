// ScriptImage.h: a script file read from its bytes without a document.
// TScriptImage is the one reader of the file format: the document's load and
// the command-line tools both go through it, so they refuse and read the
// same files alike. Nothing is written or locked here.
#ifndef QUENLO_STORAGE_SCRIPTIMAGE_H
#define QUENLO_STORAGE_SCRIPTIMAGE_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cfb {
class CompoundFile;
} // namespace cfb

// An entry of a script file besides the seven streams.
struct TScriptEntry {
    std::string Name; // UTF-8
    bool Storage = false;
    std::uint64_t Size = 0; // bytes of a stream; 0 for a storage
};

// Why an image is not a script file.
enum TScriptDefect : std::uint8_t {
    sdNone,
    sdTooLarge,     // the file is larger than the largest script file
    sdNotCompound,  // not a compound file, or a broken one
    sdNoScript,     // no "Script" stream
    sdTextTooLarge, // the script text is larger than the largest script text
    sdLineTooLong   // a line is longer than the longest line
};

// What the limits say of a script text, and of a line (0-based index), too large.
std::string ScriptTextLimitReason(std::size_t size);
std::string LineLengthLimitReason(std::size_t index, std::size_t length);

class TScriptImage {
public:
    TScriptImage();
    ~TScriptImage();
    TScriptImage(const TScriptImage &) = delete;
    TScriptImage &operator=(const TScriptImage &) = delete;

    // Parses the bytes of a script file (untrusted: every defect is refused).
    // On false, Defect() and Detail() say why (the compound-file reader's
    // reason, or the limit's text) and nothing is kept.
    bool Parse(const std::uint8_t *data, std::size_t size);
    TScriptDefect Defect() const noexcept { return m_defect; }
    const std::string &Detail() const noexcept { return m_detail; }

    // The "Script" stream up to its first 0 byte, as a load reads it; valid
    // while the image holds the file.
    std::string_view Text() const noexcept { return m_text; }
    // A string stream ("Name", "Menu", "ID", "Hint", "Main") as a load reads
    // it: at most its first 260 bytes, cut at the first 0; empty when absent.
    std::string Field(std::string_view name) const;
    // The "Icon" stream's bytes; null when the file has no such stream.
    const std::vector<std::uint8_t> *IconBytes() const;
    // Every entry besides the seven streams, in the order the format sorts them.
    std::vector<TScriptEntry> OtherEntries() const;
    // Hands the parsed file over with the seven streams taken out (what a
    // save to another file carries along); the image is empty afterwards.
    std::unique_ptr<cfb::CompoundFile> TakeOtherEntries();

private:
    bool Fail(TScriptDefect defect, std::string detail);

    std::unique_ptr<cfb::CompoundFile> m_file;
    std::string_view m_text; // in m_file's "Script" stream
    TScriptDefect m_defect = sdNone;
    std::string m_detail;
};

#endif
