// VbsBuiltins.h: VBScript's own names, as completion, parameter hints and
// the tests read them: the built-in functions with their parameter lists,
// the built-in constants and the keywords as they are usually spelt.
// BuiltinFunction, ArgumentRange and the lookups. Standard library only.
#ifndef QUENLO_VBSCRIPT_VBSBUILTINS_H
#define QUENLO_VBSCRIPT_VBSBUILTINS_H

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vbs {

// One built-in function. parameters is the list as the reference writes it,
// optional ones in brackets: "string, start[, length]" for Mid; a function
// without parameters has an empty list (Now), one that takes any number a
// variadic one (Array).
struct BuiltinFunction {
    std::string_view name;
    std::string_view parameters;
    bool variadic = false;
};

// How many arguments a call may pass; max is -1 for any number.
struct ArgumentRange {
    int min = 0;
    int max = 0;
};

// In alphabetical order, letter case ignored.
std::span<const BuiltinFunction> BuiltinFunctions() noexcept;
std::span<const std::string_view> BuiltinConstants() noexcept;
// Every keyword of the scanner, spelt as VBScript code usually has it (ElseIf).
std::span<const std::string_view> KeywordSpellings() noexcept;

// The function of that name, letter case ignored; null when none.
const BuiltinFunction *FindBuiltin(std::string_view name) noexcept;

// A parameter's name in a parameter list: offset and length in bytes, and
// whether it stands in brackets.
struct ParameterSpan {
    int offset = 0;
    int length = 0;
    bool optional = false;
};
// The names of a parameter list in their order ("[start, ]string1" gives
// start, optional, and string1).
std::vector<ParameterSpan> ParameterSpans(std::string_view parameters);
ArgumentRange Arguments(const BuiltinFunction &function);
// "Mid(string, start[, length])".
std::string Signature(const BuiltinFunction &function);

} // namespace vbs

#endif
