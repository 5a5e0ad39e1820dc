// VbsErrors.h: the engine's compile error numbers and descriptions, and the one
// function through which the scanner and the parser report an error.
// ErrorNumber, CompileFailure, ReportError.
#ifndef QUENLO_VBSCRIPT_VBSERRORS_H
#define QUENLO_VBSCRIPT_VBSERRORS_H

#include <cstddef>
#include <string>
#include <string_view>

#include "vbscript/VbsEngine.h"

namespace vbs {

enum ErrorNumber : int {
    enOutOfStackSpace = 28,
    enSyntaxError = 1002,
    enExpectedLParen = 1005,
    enExpectedRParen = 1006,
    enExpectedRBracket = 1007,
    enExpectedIdentifier = 1010,
    enExpectedEquals = 1011,
    enExpectedIf = 1012,
    enExpectedTo = 1013,
    enExpectedEnd = 1014,
    enExpectedFunction = 1015,
    enExpectedSub = 1016,
    enExpectedThen = 1017,
    enExpectedWend = 1018,
    enExpectedLoop = 1019,
    enExpectedNext = 1020,
    enExpectedCase = 1021,
    enExpectedSelect = 1022,
    enExpectedExpression = 1023,
    enExpectedStatement = 1024,
    enExpectedEndOfStatement = 1025,
    enExpectedIntegerConstant = 1026,
    enExpectedWhileUntilOrEnd = 1028,
    enExpectedWith = 1029,
    enIdentifierTooLong = 1030,
    enInvalidNumber = 1031,
    enInvalidCharacter = 1032,
    enUnterminatedString = 1033,
    enInvalidMe = 1037,
    enLoopWithoutDo = 1038,
    enInvalidExit = 1039,
    enInvalidForVariable = 1040,
    enNameRedefined = 1041,
    enParenthesesOnSubCall = 1044,
    enExpectedLiteral = 1045,
    enExpectedIn = 1046,
    enExpectedClass = 1047,
    enMustBeInClass = 1048,
    enExpectedPropertyKind = 1049,
    enExpectedProperty = 1050,
    enInconsistentPropertyArgs = 1051,
    enMultipleDefaults = 1052,
    enInitTerminateArgs = 1053,
    enPropertyNeedsArgument = 1054,
    enUnexpectedNext = 1055,
    enDefaultOnlyOnProcedure = 1056,
    enDefaultNeedsPublic = 1057,
    enDefaultOnlyOnGet = 1058,
};

// The engine's description of number; empty for a number it never reports.
std::string_view ErrorDescription(int number) noexcept;

// Carries the first error out of the scanner and parser to Engine::AddCode.
struct CompileFailure {
    CompileError error;
};

// Throws CompileFailure for an error at byte offset of text, which lies on the
// 1-based line that starts at lineStart.
[[noreturn]] void ReportError(int number, std::string_view text, int line,
                              std::size_t lineStart, std::size_t offset,
                              std::string note = {});

} // namespace vbs

#endif
