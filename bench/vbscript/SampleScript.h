// SampleScript.h: realistic plug-in script text for the benchmarks: sections
// of procedures, classes, loops and calls, each numbered so that its names
// are its own. SampleScript.
#ifndef QUENLO_BENCH_VBSCRIPT_SAMPLESCRIPT_H
#define QUENLO_BENCH_VBSCRIPT_SAMPLESCRIPT_H

#include <string>

namespace bench {

inline void Replace(std::string &text, const std::string &from, const std::string &to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// One section of a plug-in script; '#' becomes the section number.
inline const char *const kSection = R"vbs(' Section #: settings reader and report
Const Limit# = #
Dim cache#, list#(10)

Function ReadValue#(path, ByVal key)
    Dim file, line, parts ' the open file, its current line and its key and value
    ReadValue# = Empty
    If Not fso.FileExists(path) Then Exit Function
    Set file = fso.OpenTextFile(path, 1, False)
    Do Until file.AtEndOfStream
        line = Trim(file.ReadLine)
        If Left(line, 1) <> ";" And InStr(line, "=") > 0 Then
            parts = Split(line, "=", 2)
            If LCase(Trim(parts(0))) = LCase(key) Then ReadValue# = Trim(parts(1)) : Exit Do
        End If
    Loop
    file.Close
    If IsEmpty(ReadValue#) Then cache# = cache# & path & "|" & key & vbCrLf
End Function

Sub Report#(items)
    Dim i, total, message ' running total, and the text shown at the end
    For i = LBound(items) To UBound(items)
        Select Case VarType(items(i))
            Case 2, 3: total = total + items(i) ^ 2 Mod 7
            Case 8: WScript.Echo "text: " & items(i) & " (" & Len(items(i)) & ")"
            Case Else
        End Select
    Next
    MsgBox "Total " & total * 1.5 & " of " & Limit#, vbInformation, "Report"
End Sub

Class Counter#
    Private m_count
    Private Sub Class_Initialize() : m_count = 0 : End Sub
    Public Default Property Get Count() : Count = m_count : End Property
    Public Sub Add(ByVal n) : m_count = m_count + n : End Sub
End Class
)vbs";

// Whole sections, at least lines lines, numbered from firstSection on.
inline std::string SampleScript(std::size_t lines, std::size_t firstSection = 0)
{
    std::string section(kSection);
    std::size_t sectionLines = 0;
    for (char c : section)
        sectionLines += c == '\n';
    std::string script;
    script.reserve(lines * 40);
    for (std::size_t n = 0; n * sectionLines < lines; ++n) {
        std::string piece = section;
        Replace(piece, "#", std::to_string(firstSection + n));
        script += piece;
    }
    return script;
}

} // namespace bench

#endif
