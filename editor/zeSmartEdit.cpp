// zeSmartEdit.cpp: the block rules of Return and the comment columns: a
// small scanner of one VBScript line (words, ':' and the end of the code;
// strings, dates and comments skipped) and the walks that pair openers with
// closers up and down the lines.
#include "editor/zeSmartEdit.h"
#include "editor/zeTabStops.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr bool IsBlank(char c) noexcept { return static_cast<unsigned char>(c) <= 32; }
constexpr bool IsWordStart(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0xC0;
}
constexpr bool IsWordChar(char c) noexcept { return IsWordStart(c) || (c >= '0' && c <= '9') || c == '_'; }

constexpr bool IsProcedure(TzeBlockFamily f) noexcept { return f == bfSub || f == bfFunction || f == bfProperty; }

constexpr char AsciiLower(char c) noexcept { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; }

// The statements of a line, each as its words in lower case; a token that is
// no word is kept as one character (only the words at a statement's start
// and Then matter). The words are views of lowered, the line in lower case.
using TStatement = std::vector<std::string_view>;

// Reused from line to line: most lines are read for their keywords while a
// text opens or a paste comes in, and none of it needs to be allocated again.
struct TStatements {
    std::string Lowered;
    std::vector<TStatement> List;
    std::size_t Count = 0;
    TStatement &Add()
    {
        if (Count == List.size())
            List.emplace_back();
        List[Count].clear();
        return List[Count++];
    }
};

void Statements(std::string_view line, TStatements &out)
{
    out.Lowered.assign(line);
    for (char &c : out.Lowered)
        c = AsciiLower(c);
    const std::string_view lowered = out.Lowered;
    out.Count = 0;
    TStatement *statement = &out.Add();
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        const char c = line[i];
        if (IsBlank(c)) {
            ++i;
        } else if (c == '\'') {
            break; // a comment to the line end
        } else if (c == ':') {
            statement = &out.Add();
            ++i;
        } else if (c == '"') {
            statement->push_back(lowered.substr(i, 1));
            // VBScript doubles a quote inside a string.
            for (++i; i < n; ++i)
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"')
                        ++i;
                    else
                        break;
                }
            ++i;
        } else if (c == '#' || c == '[') {
            // A date literal (#10:30#) or a bracketed name holds no ':' of a statement.
            statement->push_back(lowered.substr(i, 1));
            const char close = c == '#' ? '#' : ']';
            const std::size_t end = line.find(close, i + 1);
            i = end == std::string_view::npos ? n : end + 1;
        } else if (IsWordStart(c)) {
            const std::size_t from = i;
            while (i < n && IsWordChar(line[i]))
                ++i;
            const std::string_view word = lowered.substr(from, i - from);
            if (word == "rem" && statement->empty())
                break; // Rem starts a comment where a statement starts
            statement->push_back(word);
        } else {
            statement->push_back(lowered.substr(i, 1));
            ++i;
        }
    }
}

// The keywords that say all by themselves at a statement's start.
struct TPlain {
    std::string_view word;
    TzeBlockRole role;
    TzeBlockFamily family;
};
constexpr TPlain kPlain[] = {
    {"sub", brOpen, bfSub},       {"function", brOpen, bfFunction}, {"class", brOpen, bfClass},
    {"elseif", brMiddle, bfIf},   {"select", brOpen, bfSelect},     {"case", brMiddle, bfSelect},
    {"for", brOpen, bfFor},       {"next", brClose, bfFor},         {"do", brOpen, bfDo},
    {"loop", brClose, bfDo},      {"while", brOpen, bfWhile},       {"wend", brClose, bfWhile},
    {"with", brOpen, bfWith},
};

// The family that "End word" closes.
std::optional<TzeBlockFamily> EndedFamily(std::string_view word) noexcept
{
    constexpr std::pair<std::string_view, TzeBlockFamily> ended[] = {
        {"if", bfIf},       {"select", bfSelect},         {"with", bfWith},         {"sub", bfSub},
        {"function", bfFunction}, {"property", bfProperty}, {"class", bfClass}};
    for (const auto &[name, family] : ended)
        if (word == name)
            return family;
    return std::nullopt;
}

// Adds the events of one statement; false when the rest of the line belongs
// to a one-line If.
bool StatementEvents(const TStatement &words, std::size_t at, bool startsLine, std::vector<TzeBlockEvent> &events)
{
    const auto add = [&](TzeBlockRole role, TzeBlockFamily family) {
        events.push_back(TzeBlockEvent{role, family, startsLine});
    };
    const auto word = [&](std::size_t k) {
        return k < words.size() ? std::string_view(words[k]) : std::string_view();
    };
    std::size_t k = at;
    while (word(k) == "public" || word(k) == "private" || word(k) == "default")
        ++k;
    const std::string_view first = word(k);
    if (k > at && first != "sub" && first != "function" && first != "property")
        return true; // a declaration
    for (const TPlain &p : kPlain)
        if (first == p.word) {
            add(p.role, p.family);
            return true;
        }
    if (first == "property") {
        if (word(k + 1) == "get" || word(k + 1) == "let" || word(k + 1) == "set")
            add(brOpen, bfProperty);
    } else if (first == "if") {
        const auto then = std::find(words.begin() + std::ptrdiff_t(k), words.end(), "then");
        if (then == words.end())
            return true; // no Then yet: nothing to pair
        if (then + 1 != words.end())
            return false; // If c Then statement: one line, with its Else
        add(brOpen, bfIf);
    } else if (first == "else") {
        add(brMiddle, bfIf);
        // Else may be followed by a statement on its line.
        return k + 1 >= words.size() || StatementEvents(words, k + 1, false, events);
    } else if (first == "end") {
        if (const auto family = EndedFamily(word(k + 1)))
            add(brClose, *family);
    }
    return true;
}

// The word of line at i (after blanks) in lower case, at most 8 letters
// (longer: none of the keywords); i goes past it.
std::string_view WordAt(std::string_view line, std::size_t &i, char (&word)[9]) noexcept
{
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    std::size_t n = 0;
    for (; i < line.size() && IsWordChar(line[i]); ++i) {
        if (n == 8)
            return {};
        word[n++] = AsciiLower(line[i]);
    }
    return std::string_view(word, n);
}

// The events of a line of one statement whose first words tell all, as
// most lines with a block keyword are: false when the line needs reading
// whole (more statements, If, Else, a declaration).
bool QuickEvents(std::string_view line, std::vector<TzeBlockEvent> &events)
{
    if (line.find(':') != std::string_view::npos)
        return false;
    char buffer[9];
    std::size_t i = 0;
    const std::string_view first = WordAt(line, i, buffer);
    if (first.empty())
        return true;
    const auto add = [&](TzeBlockRole role, TzeBlockFamily family) {
        events.push_back(TzeBlockEvent{role, family, true});
    };
    switch (first[0]) {
    case 'c': case 'd': case 'e': case 'f': case 'i': case 'l':
    case 'n': case 'p': case 's': case 'w':
        break;
    default:
        return true; // no keyword starts so
    }
    for (const TPlain &p : kPlain)
        if (first == p.word) {
            add(p.role, p.family);
            return true;
        }
    if (first == "end" || first == "property") {
        const bool end = first == "end";
        char next[9];
        const std::string_view second = WordAt(line, i, next);
        if (end) {
            if (const auto family = EndedFamily(second))
                add(brClose, *family);
        } else if (second == "get" || second == "let" || second == "set") {
            add(brOpen, bfProperty);
        }
        return true;
    }
    return first != "if" && first != "else" && first != "public" && first != "private" && first != "default";
}

std::string_view LineOf(const TzeLineSource &lines, int line)
{
    return line >= 1 && line <= lines.Count && lines.Line ? lines.Line(line) : std::string_view();
}

} // namespace

std::vector<TzeBlockEvent> BlockEvents(std::string_view line)
{
    std::vector<TzeBlockEvent> events;
    BlockEvents(line, events);
    return events;
}

void BlockEvents(std::string_view line, std::vector<TzeBlockEvent> &events)
{
    events.clear();
    if (QuickEvents(line, events))
        return;
    thread_local TStatements statements;
    Statements(line, statements);
    bool first = true;
    for (std::size_t i = 0; i < statements.Count; ++i) {
        const TStatement &statement = statements.List[i];
        if (statement.empty())
            continue;
        if (!StatementEvents(statement, 0, first, events))
            break;
        first = false;
    }
}

std::string_view CloserText(TzeBlockFamily family) noexcept
{
    switch (family) {
    case bfIf: return "End If";
    case bfSelect: return "End Select";
    case bfFor: return "Next";
    case bfDo: return "Loop";
    case bfWhile: return "Wend";
    case bfWith: return "End With";
    case bfSub: return "End Sub";
    case bfFunction: return "End Function";
    case bfProperty: return "End Property";
    case bfClass: return "End Class";
    }
    return {};
}

std::string_view LeadingBlanks(std::string_view line) noexcept
{
    const auto end = std::find_if_not(line.begin(), line.end(), IsBlank);
    return line.substr(0, std::size_t(end - line.begin()));
}

int IndentCells(std::string_view line, int tabIndent) noexcept
{
    return LineCells(LeadingBlanks(line), tabIndent);
}

int OpenerLine(const TzeLineSource &lines, int line, TzeBlockFamily family)
{
    // Closers met on the way up, waiting for their openers.
    std::vector<TzeBlockFamily> pending;
    std::vector<TzeBlockEvent> events;
    for (int y = std::min(line - 1, lines.Count); y >= 1; --y) {
        BlockEvents(LineOf(lines, y), events);
        for (auto e = events.rbegin(); e != events.rend(); ++e) {
            if (e->Role == brClose) {
                pending.push_back(e->Family);
                continue;
            }
            if (e->Role != brOpen)
                continue;
            const bool boundary = e->Family == bfClass || (IsProcedure(e->Family) && family != bfClass);
            if (!pending.empty() && pending.back() == e->Family) {
                pending.pop_back();
            } else if (pending.empty() && e->Family == family) {
                return y;
            } else if (boundary) {
                return 0;
            }
            // Else a block left open inside the one looked for.
        }
    }
    return 0;
}

bool BlockClosed(const TzeLineSource &lines, int line, TzeBlockFamily family)
{
    // The open blocks, the one asked about first.
    std::vector<TzeBlockFamily> open{family};
    std::vector<TzeBlockEvent> events;
    for (int y = line + 1; y <= lines.Count; ++y) {
        BlockEvents(LineOf(lines, y), events);
        for (const TzeBlockEvent &e : events) {
            if (e.Role == brOpen) {
                if (e.Family == bfClass || (IsProcedure(e.Family) && family != bfClass))
                    return false; // a header ends what is still open
                if (IsProcedure(e.Family))
                    open.resize(1); // a member ends what is open inside its class
                open.push_back(e.Family);
            } else if (e.Role == brClose) {
                // The nearest open block of its family, not beyond a procedure or class.
                bool taken = false;
                for (std::size_t d = open.size(); d-- > 0 && !taken;) {
                    if (open[d] == e.Family) {
                        if (d == 0)
                            return true;
                        open.resize(d);
                        taken = true;
                    } else if (IsProcedure(open[d]) || open[d] == bfClass) {
                        taken = true; // ignored, as the parser ignores it
                    }
                }
                if (!taken)
                    return false; // it closes a block around the one asked about
            }
        }
    }
    return false;
}

std::optional<TzeReturnPlan> PlanReturn(const TzeLineSource &lines, int y, int x, int tabIndent,
                                        bool insertBlockEnds)
{
    const std::string_view line = LineOf(lines, y);
    const std::string_view lead = LeadingBlanks(line);
    const std::size_t cut = std::min(line.size(), std::size_t(std::max(x - 1, 0)));
    if (cut <= lead.size())
        return std::nullopt; // in the leading blanks: the whole line moves down
    const std::string_view before = line.substr(0, cut);
    const std::vector<TzeBlockEvent> events = BlockEvents(before);

    TzeReturnPlan plan;
    std::string base(lead);
    if (!events.empty() && events.front().StartsLine && events.front().Role != brOpen) {
        if (const int opener = OpenerLine(lines, y, events.front().Family); opener > 0) {
            const std::string_view openerLead = LeadingBlanks(LineOf(lines, opener));
            base = std::string(openerLead);
            if (IndentCells(openerLead, tabIndent) != IndentCells(lead, tabIndent))
                plan.Reindent = base;
        }
    }
    // Whether the text before the caret leaves a block (or a part of one) open.
    std::vector<TzeBlockFamily> open;
    bool partOpen = false;
    for (const TzeBlockEvent &e : events) {
        if (e.Role == brOpen) {
            open.push_back(e.Family);
        } else if (e.Role == brMiddle) {
            partOpen = open.empty() || partOpen;
        } else if (!open.empty() && open.back() == e.Family) {
            open.pop_back();
        } else if (open.empty()) {
            partOpen = false; // it closes the block an earlier line opened
        }
    }
    const bool deeper = !open.empty() || partOpen;
    if (!deeper && !plan.Reindent)
        return std::nullopt;
    plan.Indent = base;
    if (deeper)
        plan.Indent.append(std::size_t(std::max(1, tabIndent)), ' ');
    const bool atEnd = LeadingBlanks(line.substr(cut)).size() == line.size() - cut;
    if (insertBlockEnds && !open.empty() && atEnd && !plan.Reindent && !BlockClosed(lines, y, open.back()))
        plan.Closer = base + std::string(CloserText(open.back()));
    return plan;
}

std::optional<int> CommentColumn(std::string_view line) noexcept
{
    const std::string_view lead = LeadingBlanks(line);
    if (lead.size() == line.size())
        return std::nullopt;
    return int(lead.size()) + 1;
}

std::optional<int> CommentMarkColumn(std::string_view line) noexcept
{
    const std::string_view lead = LeadingBlanks(line);
    if (lead.size() == line.size() || line[lead.size()] != '\'')
        return std::nullopt;
    return int(lead.size()) + 1;
}
