// aids_fuzz.cpp: libFuzzer target for what the typing aids read from any
// text: the outline's declared names and parameters, the call at every
// caret of every line, and Return by blocks at two carets of every line.
// Each answer lies inside the text, and indentation is made of blanks only.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "editor/zeSmartEdit.h"
#include "vbscript/VbsOutline.h"

namespace {

[[noreturn]] void Die(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    return lines;
}

bool Blanks(std::string_view s)
{
    return LeadingBlanks(s).size() == s.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const std::vector<std::string_view> lines = SplitLines(text);
    const vbs::Outline outline = vbs::BuildOutline(text);
    for (const vbs::DeclaredName &name : outline.names) {
        if (name.line < 1 || name.line > int(lines.size()))
            Die("declared name outside the lines");
        if (name.name.empty() || name.entry < -1 || name.entry >= int(outline.entries.size()))
            Die("declared name without a name or with an entry that is not there");
    }
    for (const vbs::OutlineEntry &entry : outline.entries)
        for (const std::string &parameter : entry.parameters)
            if (parameter.empty())
                Die("empty parameter");
    for (const std::string_view line : lines)
        for (int column = 0; column <= int(line.size()) && column < 200; ++column)
            if (const auto call = vbs::CallAt(line, column)) {
                if (call->name.column < 0 || call->name.length <= 0 ||
                    call->name.column + call->name.length > column || call->argument < 0)
                    Die("call outside the line or after the caret");
            }
    const TzeLineSource source{int(lines.size()), [&lines](int line) { return lines[std::size_t(line - 1)]; }};
    for (int y = 1; y <= int(lines.size()) && y <= 64; ++y) {
        const int length = int(lines[std::size_t(y - 1)].size());
        for (const int x : {length + 1, length / 2 + 1}) {
            const auto plan = PlanReturn(source, y, x, 1 + y % 8, true);
            if (!plan)
                continue;
            if (!Blanks(plan->Indent) || (plan->Reindent && !Blanks(*plan->Reindent)))
                Die("indentation that is not blanks");
            if (!plan->Closer.empty() && Blanks(plan->Closer))
                Die("a closer of blanks");
        }
    }
    return 0;
}
