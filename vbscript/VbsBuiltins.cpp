// VbsBuiltins.cpp: the tables of VBScript's functions, constants and
// keywords, and the reading of a parameter list.
#include "vbscript/VbsBuiltins.h"

#include <algorithm>
#include <cctype>

namespace vbs {

namespace {

constexpr BuiltinFunction kFunctions[] = {
    {"Abs", "number"},
    {"Array", "[arglist]", true},
    {"Asc", "string"},
    {"AscB", "string"},
    {"AscW", "string"},
    {"Atn", "number"},
    {"CBool", "expression"},
    {"CByte", "expression"},
    {"CCur", "expression"},
    {"CDate", "date"},
    {"CDbl", "expression"},
    {"Chr", "charcode"},
    {"ChrB", "charcode"},
    {"ChrW", "charcode"},
    {"CInt", "expression"},
    {"CLng", "expression"},
    {"Cos", "number"},
    {"CreateObject", "servername.typename[, location]"},
    {"CSng", "expression"},
    {"CStr", "expression"},
    {"Date", ""},
    {"DateAdd", "interval, number, date"},
    {"DateDiff", "interval, date1, date2[, firstdayofweek[, firstweekofyear]]"},
    {"DatePart", "interval, date[, firstdayofweek[, firstweekofyear]]"},
    {"DateSerial", "year, month, day"},
    {"DateValue", "date"},
    {"Day", "date"},
    {"Escape", "charString"},
    {"Eval", "expression"},
    {"Exp", "number"},
    {"Filter", "InputStrings, Value[, Include[, Compare]]"},
    {"Fix", "number"},
    {"FormatCurrency",
     "Expression[, NumDigitsAfterDecimal[, IncludeLeadingDigit[, UseParensForNegativeNumbers[, GroupDigits]]]]"},
    {"FormatDateTime", "Date[, NamedFormat]"},
    {"FormatNumber",
     "Expression[, NumDigitsAfterDecimal[, IncludeLeadingDigit[, UseParensForNegativeNumbers[, GroupDigits]]]]"},
    {"FormatPercent",
     "Expression[, NumDigitsAfterDecimal[, IncludeLeadingDigit[, UseParensForNegativeNumbers[, GroupDigits]]]]"},
    {"GetLocale", ""},
    {"GetObject", "[pathname][, class]"},
    {"GetRef", "procname"},
    {"Hex", "number"},
    {"Hour", "time"},
    {"InputBox", "prompt[, title[, default[, xpos, ypos[, helpfile, context]]]]"},
    {"InStr", "[start, ]string1, string2[, compare]"},
    {"InStrB", "[start, ]string1, string2[, compare]"},
    {"InStrRev", "string1, string2[, start[, compare]]"},
    {"Int", "number"},
    {"IsArray", "varname"},
    {"IsDate", "expression"},
    {"IsEmpty", "expression"},
    {"IsNull", "expression"},
    {"IsNumeric", "expression"},
    {"IsObject", "expression"},
    {"Join", "list[, delimiter]"},
    {"LBound", "arrayname[, dimension]"},
    {"LCase", "string"},
    {"Left", "string, length"},
    {"LeftB", "string, length"},
    {"Len", "string"},
    {"LenB", "string"},
    {"LoadPicture", "picturename"},
    {"Log", "number"},
    {"LTrim", "string"},
    {"Mid", "string, start[, length]"},
    {"MidB", "string, start[, length]"},
    {"Minute", "time"},
    {"Month", "date"},
    {"MonthName", "month[, abbreviate]"},
    {"MsgBox", "prompt[, buttons[, title[, helpfile, context]]]"},
    {"Now", ""},
    {"Oct", "number"},
    {"Replace", "expression, find, replacewith[, start[, count[, compare]]]"},
    {"RGB", "red, green, blue"},
    {"Right", "string, length"},
    {"RightB", "string, length"},
    {"Rnd", "[number]"},
    {"Round", "expression[, numdecimalplaces]"},
    {"RTrim", "string"},
    {"ScriptEngine", ""},
    {"ScriptEngineBuildVersion", ""},
    {"ScriptEngineMajorVersion", ""},
    {"ScriptEngineMinorVersion", ""},
    {"Second", "time"},
    {"SetLocale", "lcid"},
    {"Sgn", "number"},
    {"Sin", "number"},
    {"Space", "number"},
    {"Split", "expression[, delimiter[, count[, compare]]]"},
    {"Sqr", "number"},
    {"StrComp", "string1, string2[, compare]"},
    {"String", "number, character"},
    {"StrReverse", "string1"},
    {"Tan", "number"},
    {"Time", ""},
    {"Timer", ""},
    {"TimeSerial", "hour, minute, second"},
    {"TimeValue", "time"},
    {"Trim", "string"},
    {"TypeName", "varname"},
    {"UBound", "arrayname[, dimension]"},
    {"UCase", "string"},
    {"Unescape", "charString"},
    {"VarType", "varname"},
    {"Weekday", "date[, firstdayofweek]"},
    {"WeekdayName", "weekday[, abbreviate[, firstdayofweek]]"},
    {"Year", "date"},
};

constexpr std::string_view kConstants[] = {
    "vbAbort", "vbAbortRetryIgnore", "vbApplicationModal", "vbArray", "vbBinaryCompare", "vbBlack", "vbBlue",
    "vbBoolean", "vbByte", "vbCancel", "vbCr", "vbCritical", "vbCrLf", "vbCurrency", "vbCyan", "vbDataObject",
    "vbDate", "vbDecimal", "vbDefaultButton1", "vbDefaultButton2", "vbDefaultButton3", "vbDefaultButton4",
    "vbDouble", "vbEmpty", "vbError", "vbExclamation", "vbFalse", "vbFirstFourDays", "vbFirstFullWeek",
    "vbFirstJan1", "vbFormFeed", "vbFriday", "vbGeneralDate", "vbGreen", "vbIgnore", "vbInformation", "vbInteger",
    "vbLf", "vbLong", "vbLongDate", "vbLongTime", "vbMagenta", "vbMonday", "vbNewLine", "vbNo", "vbNull",
    "vbNullChar", "vbNullString", "vbObject", "vbObjectError", "vbOK", "vbOKCancel", "vbOKOnly", "vbQuestion",
    "vbRed", "vbRetry", "vbRetryCancel", "vbSaturday", "vbShortDate", "vbShortTime", "vbSingle", "vbString",
    "vbSunday", "vbSystemModal", "vbTab", "vbTextCompare", "vbThursday", "vbTrue", "vbTuesday",
    "vbUseDefault", "vbUseSystemDayOfWeek", "vbVariant", "vbVerticalTab", "vbWednesday", "vbWhite", "vbYellow",
    "vbYes", "vbYesNo", "vbYesNoCancel",
};

constexpr std::string_view kKeywordSpellings[] = {
    "And", "ByRef", "ByVal", "Call", "Case", "Class", "Const", "Default", "Dim", "Do", "Each", "Else",
    "ElseIf", "Empty", "End", "Eqv", "Erase", "Error", "Exit", "Explicit", "False", "For", "Function", "Get",
    "GoTo", "If", "Imp", "In", "Is", "Let", "Loop", "Me", "Mod", "New", "Next", "Not", "Nothing", "Null", "On",
    "Option", "Or", "Preserve", "Private", "Property", "Public", "ReDim", "Rem", "Resume", "Select", "Set",
    "Step", "Stop", "Sub", "Then", "To", "True", "Until", "Wend", "While", "With", "Xor",
};

bool EqualFolded(std::string_view a, std::string_view b) noexcept
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

constexpr bool IsNameChar(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
}

} // namespace

std::span<const BuiltinFunction> BuiltinFunctions() noexcept { return kFunctions; }
std::span<const std::string_view> BuiltinConstants() noexcept { return kConstants; }
std::span<const std::string_view> KeywordSpellings() noexcept { return kKeywordSpellings; }

const BuiltinFunction *FindBuiltin(std::string_view name) noexcept
{
    for (const BuiltinFunction &function : kFunctions)
        if (EqualFolded(function.name, name))
            return &function;
    return nullptr;
}

std::vector<ParameterSpan> ParameterSpans(std::string_view parameters)
{
    std::vector<ParameterSpan> spans;
    int depth = 0;
    for (std::size_t i = 0; i < parameters.size();) {
        const char c = parameters[i];
        if (IsNameChar(c)) {
            const std::size_t start = i;
            while (i < parameters.size() && IsNameChar(parameters[i]))
                ++i;
            spans.push_back(ParameterSpan{int(start), int(i - start), depth > 0});
            continue;
        }
        depth += c == '[' ? 1 : c == ']' ? -1 : 0;
        ++i;
    }
    return spans;
}

ArgumentRange Arguments(const BuiltinFunction &function)
{
    const std::vector<ParameterSpan> spans = ParameterSpans(function.parameters);
    const int required = int(std::count_if(spans.begin(), spans.end(), [](const ParameterSpan &s) { return !s.optional; }));
    return ArgumentRange{required, function.variadic ? -1 : int(spans.size())};
}

std::string Signature(const BuiltinFunction &function)
{
    return std::string(function.name) + "(" + std::string(function.parameters) + ")";
}

} // namespace vbs
