// BenchScript.h: the script-like text the editor benchmarks work on.
// ScriptLines builds count lines, each followed by CR LF.
#ifndef QUENLO_BENCH_EDITOR_BENCHSCRIPT_H
#define QUENLO_BENCH_EDITOR_BENCHSCRIPT_H

#include <string>

inline std::string ScriptLines(int count, int seed)
{
    std::string text;
    text.reserve(size_t(count) * 56);
    for (int i = 0; i < count; ++i)
        text += "    Call Process(items(" + std::to_string(seed + i) + "), \"value\", " +
                std::to_string(i * 7) + ") ' step\r\n";
    return text;
}

#endif
