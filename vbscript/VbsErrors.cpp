// VbsErrors.cpp: the description table and ReportError, which builds the
// CompileError with the line's text and column.
#include <algorithm>
#include <array>
#include <utility>

#include "vbscript/VbsErrors.h"

namespace vbs {

namespace {

struct Description {
    int number;
    std::string_view text;
};

constexpr std::array kDescriptions{
    Description{enOutOfStackSpace, "Out of stack space"},
    Description{enSyntaxError, "Syntax error"},
    Description{enExpectedLParen, "Expected '('"},
    Description{enExpectedRParen, "Expected ')'"},
    Description{enExpectedRBracket, "Expected ']'"},
    Description{enExpectedIdentifier, "Expected identifier"},
    Description{enExpectedEquals, "Expected '='"},
    Description{enExpectedIf, "Expected 'If'"},
    Description{enExpectedTo, "Expected 'To'"},
    Description{enExpectedEnd, "Expected 'End'"},
    Description{enExpectedFunction, "Expected 'Function'"},
    Description{enExpectedSub, "Expected 'Sub'"},
    Description{enExpectedThen, "Expected 'Then'"},
    Description{enExpectedWend, "Expected 'Wend'"},
    Description{enExpectedLoop, "Expected 'Loop'"},
    Description{enExpectedNext, "Expected 'Next'"},
    Description{enExpectedCase, "Expected 'Case'"},
    Description{enExpectedSelect, "Expected 'Select'"},
    Description{enExpectedExpression, "Expected expression"},
    Description{enExpectedStatement, "Expected statement"},
    Description{enExpectedEndOfStatement, "Expected end of statement"},
    Description{enExpectedIntegerConstant, "Expected integer constant"},
    Description{enExpectedWhileUntilOrEnd, "Expected 'While,' 'Until,' or end of statement"},
    Description{enExpectedWith, "Expected 'With'"},
    Description{enIdentifierTooLong, "Identifier too long"},
    Description{enInvalidNumber, "Invalid number"},
    Description{enInvalidCharacter, "Invalid character"},
    Description{enUnterminatedString, "Unterminated string constant"},
    Description{enInvalidMe, "Invalid use of 'Me' keyword"},
    Description{enLoopWithoutDo, "'loop' without 'do'"},
    Description{enInvalidExit, "Invalid 'exit' statement"},
    Description{enInvalidForVariable, "Invalid 'for' loop control variable"},
    Description{enNameRedefined, "Name redefined"},
    Description{enParenthesesOnSubCall, "Cannot use parentheses when calling a Sub"},
    Description{enExpectedLiteral, "Expected literal constant"},
    Description{enExpectedIn, "Expected 'In'"},
    Description{enExpectedClass, "Expected 'Class'"},
    Description{enMustBeInClass, "Must be defined inside a Class"},
    Description{enExpectedPropertyKind, "Expected Let or Set or Get in property declaration"},
    Description{enExpectedProperty, "Expected 'Property'"},
    Description{enInconsistentPropertyArgs,
                "Number of arguments must be consistent across properties specification"},
    Description{enMultipleDefaults, "Cannot have multiple default property/method in a Class"},
    Description{enInitTerminateArgs, "Class initialize or terminate do not have arguments"},
    Description{enPropertyNeedsArgument, "Property Set or Let must have at least one argument"},
    Description{enUnexpectedNext, "Unexpected 'Next'"},
    Description{enDefaultOnlyOnProcedure,
                "'Default' specification can only be on 'Property' or 'Function' or 'Sub'"},
    Description{enDefaultNeedsPublic, "'Default' specification must also specify 'Public'"},
    Description{enDefaultOnlyOnGet, "'Default' specification can only be on Property Get"},
};

} // namespace

std::string_view ErrorDescription(int number) noexcept
{
    const auto *found = std::find_if(kDescriptions.begin(), kDescriptions.end(),
                                     [number](const Description &d) { return d.number == number; });
    return found == kDescriptions.end() ? std::string_view{} : found->text;
}

void ReportError(int number, std::string_view text, int line, std::size_t lineStart,
                 std::size_t offset, std::string note)
{
    std::size_t lineEnd = lineStart;
    while (lineEnd < text.size() && text[lineEnd] != '\r' && text[lineEnd] != '\n')
        ++lineEnd;
    CompileError error;
    error.number = number;
    error.description = std::string(ErrorDescription(number));
    error.line = line;
    error.column = int(offset - lineStart);
    error.text = std::string(text.substr(lineStart, lineEnd - lineStart));
    error.note = std::move(note);
    throw CompileFailure{std::move(error)};
}

} // namespace vbs
