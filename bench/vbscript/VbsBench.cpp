// VbsBench.cpp: speed and heap use of a syntax check of a large realistic
// script: about 100,000 lines (some 4 MB) of procedures, classes, loops and
// calls, made here; also half and double that size, to show it scales linearly.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include <malloc.h>

#include "vbscript/VbsEngine.h"

// Live and peak heap bytes of the whole program, to measure one AddCode.
namespace {
std::size_t g_liveBytes = 0;
std::size_t g_peakBytes = 0;
} // namespace

void *operator new(std::size_t size)
{
    void *block = std::malloc(size == 0 ? 1 : size);
    if (!block)
        throw std::bad_alloc();
    g_liveBytes += malloc_usable_size(block);
    if (g_liveBytes > g_peakBytes)
        g_peakBytes = g_liveBytes;
    return block;
}

void operator delete(void *block) noexcept
{
    if (!block)
        return;
    g_liveBytes -= malloc_usable_size(block);
    std::free(block);
}

void operator delete(void *block, std::size_t) noexcept { operator delete(block); }

namespace {

void Replace(std::string &text, const std::string &from, const std::string &to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// One section of a plug-in script; '#' becomes the section number.
const char *const kSection = R"vbs(' Section #: settings reader and report
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

std::string MakeScript(std::size_t lines)
{
    std::string section(kSection);
    std::size_t sectionLines = 0;
    for (char c : section)
        sectionLines += c == '\n';
    std::string script;
    script.reserve(lines * 40);
    for (std::size_t n = 0; n * sectionLines < lines; ++n) {
        std::string piece = section;
        Replace(piece, "#", std::to_string(n));
        script += piece;
    }
    return script;
}

void BM_SyntaxCheck(benchmark::State &state)
{
    const std::string script = MakeScript(std::size_t(state.range(0)));
    std::size_t peak = 0;
    for (auto _ : state) {
        vbs::Engine engine;
        const std::size_t before = g_liveBytes;
        g_peakBytes = before;
        if (!engine.AddCode(script))
            state.SkipWithError(engine.Error()->description.c_str());
        peak = g_peakBytes - before;
        benchmark::DoNotOptimize(engine.Procedures().data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(script.size()));
    state.counters["lines"] = double(std::count(script.begin(), script.end(), '\n'));
    state.counters["text_MB"] = double(script.size()) / 1e6;
    state.counters["peak_heap_MB"] = double(peak) / 1e6;
}
BENCHMARK(BM_SyntaxCheck)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace
