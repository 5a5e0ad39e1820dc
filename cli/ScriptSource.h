// ScriptSource.h: the script text of a file for check and procedures: the
// "Script" stream of a script file, or a plain script in Windows-1252, or in
// UTF-8 or UTF-16 marked by a byte-order mark. TSourceProblem, TScriptReader,
// PlainScriptText.
#ifndef QUENLO_CLI_SCRIPTSOURCE_H
#define QUENLO_CLI_SCRIPTSOURCE_H

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class TScriptImage;

// Why a file gives no script text. A character that a script cannot hold is
// reported at its place, so that the user can find and replace it.
struct TSourceProblem {
    std::string reason;
    int line = 0;         // 1-based; 0 when the problem is the file as a whole
    int column = 0;       // 1-based, in characters
    std::string lineText; // that line, UTF-8
};

// Converts the bytes of a plain script file to Windows-1252 text: after a
// UTF-8 or UTF-16 byte-order mark the text is converted, otherwise the bytes
// are the text. False, with problem set, when a character has no
// Windows-1252 byte or the bytes are not valid in the marked encoding:
// nothing is dropped or replaced silently.
bool PlainScriptText(std::string_view bytes, std::string &text, TSourceProblem &problem);

// Reads files one after another, reusing its buffers.
class TScriptReader {
public:
    TScriptReader();
    ~TScriptReader();

    // The script text of the file at path, Windows-1252, valid until the next
    // Read; nothing when the file cannot be read, and Problem() says why. A
    // compound file is read (never locked or written) as a script file; any
    // other file is a plain script, or refused when plainToo is false.
    std::optional<std::string_view> Read(const std::string &path, bool plainToo = true);
    const TSourceProblem &Problem() const noexcept { return m_problem; }
    // The script file of the last successful Read, if it was one.
    const TScriptImage *Image() const noexcept { return m_image.get(); }

private:
    std::optional<std::string_view> Fail(std::string reason);

    std::unique_ptr<TScriptImage> m_image;
    std::string m_bytes;
    std::string m_text;
    TSourceProblem m_problem;
};

#endif
