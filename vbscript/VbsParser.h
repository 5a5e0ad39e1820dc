// VbsParser.h: the VBScript parser. It checks one text against the grammar
// and the engine's compile-time rules and collects the global declarations
// that the text adds. Declarations, Compile.
#ifndef QUENLO_VBSCRIPT_VBSPARSER_H
#define QUENLO_VBSCRIPT_VBSPARSER_H

#include <string>
#include <string_view>
#include <vector>

#include "vbscript/VbsEngine.h"

namespace vbs {

// Recursion deeper than this (nested blocks, parentheses, operators) is
// reported as error 28 "Out of stack space" instead of exhausting the stack.
constexpr int kMaxDepth = 500;

// What one text adds to the global scope.
struct Declarations {
    NameTable names;                   // variables, constants, procedures, classes
    std::vector<Procedure> procedures; // every definition of a global Sub or Function, in order
};

// The form in which names compare: VBScript names ignore case, for the
// letters of Windows-1252 too.
std::string FoldName(std::string_view name);

// Parses text; earlier holds the global names of the texts added before.
// Throws CompileFailure on the first error; otherwise fills added.
void Compile(std::string_view text, const NameTable &earlier, Declarations &added);

} // namespace vbs

#endif
