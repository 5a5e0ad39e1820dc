// HighlightBench.cpp: speed of the VBScript scanner over a realistic script
// of 100,000 lines (about 4 MB), scanned to the end of every line as the line
// list does and token by token as the painter does, and the number of lines
// rescanned after an edit. SettingsBench.cpp adds the colour settings.
//
// The rescan benchmarks model the line list's rule (its ScanFrom) on a plain
// vector of lines with their stored range states: after a change to line i,
// scan from i onwards and stop at the first line whose stored state already
// equals the state the scanner arrives with.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "toolkit/Canvas.h"
#include "highlight/jaVBSSyn.h"

namespace {

constexpr int kLineCount = 100000;

// A plug-in script made of procedures like the ones users write: comments,
// declarations, loops, conditions, string building, calls into the host.
std::vector<std::string> MakeScript()
{
    std::mt19937 random(7);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const std::vector<std::string> names = {"itemCaption", "itemCount", "menuCaption", "resultText",
                                            "currentIndex", "totalSize", "outputBuffer", "treeNode",
                                            "fieldValue", "upperLimit", "logEntry", "hintText"};
    const auto name = [&] { return names[size_t(pick(int(names.size())))]; };
    std::vector<std::string> lines;
    lines.reserve(kLineCount + 32);
    lines.push_back("Option Explicit");
    int procedure = 0;
    while (lines.size() < size_t(kLineCount)) {
        ++procedure;
        const std::string proc = "Helper" + std::to_string(procedure);
        lines.push_back("");
        lines.push_back("' " + proc + ": collects the captions of the host's items");
        lines.push_back("Private Function " + proc + "(ByVal " + name() + ", ByRef " + name() + ")");
        lines.push_back("    Dim " + name() + ", i, " + name());
        lines.push_back("    " + name() + " = \"\"");
        lines.push_back("    For i = 0 To Host.Items.Count - " + std::to_string(pick(9)));
        const int body = 3 + pick(6);
        for (int b = 0; b < body; ++b) {
            switch (pick(6)) {
            case 0:
                lines.push_back("        " + name() + " = Host.Items.Item(i).Caption & \" (\" & CStr(i) & \")\"");
                break;
            case 1:
                lines.push_back("        If Len(" + name() + ") > " + std::to_string(pick(80)) + " Then");
                lines.push_back("            " + name() + " = Left(" + name() + ", 37) & \"...\" ' shorten");
                lines.push_back("        ElseIf " + name() + " <> \"\" Then");
                lines.push_back("            " + name() + " = " + name() + " & vbCrLf");
                lines.push_back("        End If");
                break;
            case 2:
                lines.push_back("        " + name() + " = " + name() + " * 1.5E2 + " + std::to_string(pick(1000)) +
                                " ' in host units");
                break;
            case 3:
                lines.push_back("        Call Host.Log(\"step \" & i & \" of the loop\", #1/1/2000#)");
                break;
            case 4:
                lines.push_back("        ' " + name() + " stays as it is when the host says so");
                break;
            default:
                lines.push_back("        Set " + name() + " = Host.Find(\"" + name() + "\", i, vbTextCompare)");
                break;
            }
        }
        lines.push_back("    Next");
        lines.push_back("    " + proc + " = " + name());
        lines.push_back("End Function");
    }
    lines.resize(size_t(kLineCount));
    return lines;
}

const std::vector<std::string> &Script()
{
    static const std::vector<std::string> script = MakeScript();
    return script;
}

std::int64_t ScriptBytes()
{
    std::int64_t bytes = 0;
    for (const std::string &line : Script())
        bytes += std::int64_t(line.size());
    return bytes;
}

void ReportThroughput(benchmark::State &state)
{
    const std::int64_t bytes = ScriptBytes();
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["MB/s"] = benchmark::Counter(double(bytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["script_MB"] = double(bytes) / 1e6;
}

// As the line list computes range states: SetRange, SetLine, NextToEol.
void BM_ScanToEndOfEveryLine(benchmark::State &state)
{
    const std::vector<std::string> &script = Script();
    TjaVbsSyn syn;
    for (auto _ : state) {
        syn.ResetRange();
        for (size_t i = 0; i < script.size(); ++i) {
            syn.SetRange(syn.GetRange());
            syn.SetLine(script[i], int(i));
            syn.NextToEol();
        }
        benchmark::DoNotOptimize(syn.GetRange());
    }
    ReportThroughput(state);
}
BENCHMARK(BM_ScanToEndOfEveryLine)->Unit(benchmark::kMillisecond);

// As the painter walks a line: attributes applied to a canvas, token text and
// position read for every token.
void BM_PaintWalkOfEveryLine(benchmark::State &state)
{
    const std::vector<std::string> &script = Script();
    TjaVbsSyn syn;
    syn.KeyAttri()->SetForeground(clNavy);
    syn.CommentAttri()->SetForeground(clGreen);
    syn.StringAttri()->SetForeground(clMaroon);
    TCanvas canvas;
    syn.SetCanvas(&canvas);
    std::int64_t tokens = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < script.size(); ++i) {
            syn.SetLine(script[i], int(i));
            while (!syn.GetEol()) {
                const std::string token = syn.GetToken();
                benchmark::DoNotOptimize(token.data());
                benchmark::DoNotOptimize(syn.GetTokenPos());
                ++tokens;
                syn.Next();
            }
        }
    }
    ReportThroughput(state);
    state.counters["tokens"] = double(tokens) / double(state.iterations());
}
BENCHMARK(BM_PaintWalkOfEveryLine)->Unit(benchmark::kMillisecond);

struct TModelLine {
    std::string text;
    std::intptr_t range = 0;
};

// The range states as lines are added one by one.
std::vector<TModelLine> ModelLines(TzeCustomHighLighter &highlighter)
{
    std::vector<TModelLine> lines;
    for (const std::string &text : Script())
        lines.push_back({text, 0});
    highlighter.ResetRange();
    lines[0].range = highlighter.GetRange();
    for (size_t p = 0; p + 1 < lines.size(); ++p) {
        highlighter.SetRange(int(lines[p].range));
        highlighter.SetLine(lines[p].text, int(p));
        highlighter.NextToEol();
        lines[p + 1].range = highlighter.GetRange();
    }
    return lines;
}

// Expects the highlighter in the start state of line i; returns the number of
// lines scanned.
int ScanFrom(TzeCustomHighLighter &highlighter, std::vector<TModelLine> &lines, int i)
{
    const int count = int(lines.size());
    if (i >= count - 1)
        return 0;
    highlighter.SetLine(lines[size_t(i)].text, i);
    highlighter.NextToEol();
    int scanned = 1;
    for (int j = i + 1; j < count; ++j) {
        TModelLine &line = lines[size_t(j)];
        if (line.range == highlighter.GetRange())
            break;
        line.range = highlighter.GetRange();
        highlighter.SetLine(line.text, j);
        highlighter.NextToEol();
        ++scanned;
    }
    return scanned;
}

// An edit in the middle of the script: the line is replaced, then rescanned
// from its stored state, as the replace hook does.
void BM_EditRescanStopsAtMatchingState(benchmark::State &state)
{
    TjaVbsSyn syn;
    std::vector<TModelLine> lines = ModelLines(syn);
    const int edited = kLineCount / 2;
    const std::string original = lines[size_t(edited)].text;
    const std::string changed = original + " & \"open";
    std::int64_t scanned = 0;
    for (auto _ : state) {
        TModelLine &line = lines[size_t(edited)];
        line.text = line.text == original ? changed : original;
        syn.SetRange(int(line.range));
        scanned += ScanFrom(syn, lines, edited);
    }
    state.counters["lines_scanned"] = double(scanned) / double(state.iterations());
    state.counters["lines_total"] = kLineCount;
}
BENCHMARK(BM_EditRescanStopsAtMatchingState);

// The other extreme: every stored state is 0, as a copy from a plain string
// list leaves them, and an edit at the first line starts from the reset state
// (1), as the insert hook does there; no stored state matches until the end.
void BM_EditAtTopWithStaleStates(benchmark::State &state)
{
    TjaVbsSyn syn;
    std::vector<TModelLine> lines = ModelLines(syn);
    std::int64_t scanned = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (TModelLine &line : lines)
            line.range = 0;
        state.ResumeTiming();
        syn.ResetRange();
        lines[0].range = syn.GetRange();
        scanned += ScanFrom(syn, lines, 0);
    }
    state.counters["lines_scanned"] = double(scanned) / double(state.iterations());
    state.counters["lines_total"] = kLineCount;
}
BENCHMARK(BM_EditAtTopWithStaleStates)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
