// VbsEngine.h: the script engine behind the script control: checks VBScript
// text at compile level and lists its procedures; it never runs anything.
// Engine, CompileError, Procedure. Standard library only; text is 8-bit.
#ifndef QUENLO_VBSCRIPT_VBSENGINE_H
#define QUENLO_VBSCRIPT_VBSENGINE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vbs {

// The first compile error of a text, with the engine's number and description.
struct CompileError {
    int number = 0;           // 1002 .. 1058; 28 when the nesting limit is hit
    std::string description;  // the engine's text for number, e.g. "Expected 'End'"
    int line = 0;             // 1-based line of the offending token
    int column = 0;           // 0-based byte offset of that token in its line
    std::string text;         // that line, without its line break
    std::string source = "VBScript compilation error";
    std::string note;         // for a block left open: "to match 'If' at line 3"
};

// What a declared name stands for. A Sub or Function may be defined again in
// the same scope, the later definition replacing the earlier; any other name
// is declared once ("Name redefined").
enum NameKind : std::uint8_t { nkProcedure, nkOther };

// Case-folded names of one scope with what each stands for.
using NameTable = std::unordered_map<std::string, NameKind>;

// A global Sub or Function.
struct Procedure {
    std::string name;         // as spelt in its definition
    int numArgs = 0;
    bool hasReturnValue = false; // true for a Function
};

// Holds the code of every successful AddCode since the last Reset, as far as a
// later text needs it: the global names (a variable, constant or class
// declared twice is "Name redefined", across texts too; a Sub or Function
// defined again replaces the earlier one) and the global Sub and Function
// procedures.
class Engine {
public:
    // Forgets all code added before and the last error.
    void Reset();
    // Compiles one text (Windows-1252 bytes, CR, LF or CR LF line breaks). True
    // when it compiles; false on its first compile error, which Error() then
    // holds. A text that fails adds nothing. Lines count from 1 within the text.
    bool AddCode(std::string_view code);
    // The error of the last AddCode; empty after a successful one and after Reset.
    const std::optional<CompileError> &Error() const noexcept { return m_error; }
    // Global Sub and Function procedures of the added code, each name once, as
    // and where it was defined last, in that order; class members are not listed.
    const std::vector<Procedure> &Procedures() const noexcept { return m_procedures; }

private:
    NameTable m_names; // global names
    std::vector<Procedure> m_procedures;
    std::optional<CompileError> m_error;
};

} // namespace vbs

#endif
