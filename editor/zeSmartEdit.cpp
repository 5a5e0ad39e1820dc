// zeSmartEdit.cpp: the block rules of Return and the comment columns: a
// small scanner of one VBScript line (words, ':' and the end of the code;
// strings, dates and comments skipped) and the walks that pair openers with
// closers up and down the lines.
#include "editor/zeSmartEdit.h"
#include "editor/zeTabStops.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>

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

// Past the string that starts at i (VBScript doubles a quote inside it);
// an unclosed one runs to the line end.
std::size_t PastString(std::string_view line, std::size_t i) noexcept
{
    const std::size_t n = line.size();
    for (++i; i < n; ++i)
        if (line[i] == '"') {
            if (i + 1 < n && line[i + 1] == '"')
                ++i;
            else
                break;
        }
    return std::min(i + 1, n);
}

// Past the date literal (#...#) or bracketed name ([...]) that starts at i.
std::size_t PastEnclosed(std::string_view line, std::size_t i) noexcept
{
    const std::size_t end = line.find(line[i] == '#' ? '#' : ']', i + 1);
    return end == std::string_view::npos ? line.size() : end + 1;
}

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
            i = PastString(line, i);
        } else if (c == '#' || c == '[') {
            // A date literal (#10:30#) or a bracketed name holds no ':' of a statement.
            statement->push_back(lowered.substr(i, 1));
            i = PastEnclosed(line, i);
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

// Up to 8 letters of a word in lower case, packed into one number, the
// first letter lowest; 0 for a longer word. Only ASCII letters are made lower:
// a digit, '_' or a byte of 0x80 and above never matches a keyword's letter.
constexpr std::uint64_t WordKey(std::string_view word) noexcept
{
    if (word.size() > 8)
        return 0;
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < word.size(); ++i)
        key |= std::uint64_t(static_cast<unsigned char>(AsciiLower(word[i]))) << (8 * i);
    return key;
}

// The keywords that say all by themselves at a statement's start.
struct TPlain {
    std::string_view word;
    TzeBlockRole role;
    TzeBlockFamily family;
    std::uint64_t key = WordKey(word);
};
constexpr TPlain kPlain[] = {
    {"sub", brOpen, bfSub},       {"function", brOpen, bfFunction}, {"class", brOpen, bfClass},
    {"elseif", brMiddle, bfIf},   {"select", brOpen, bfSelect},     {"case", brMiddle, bfSelect},
    {"for", brOpen, bfFor},       {"next", brClose, bfFor},         {"do", brOpen, bfDo},
    {"loop", brClose, bfDo},      {"while", brOpen, bfWhile},       {"wend", brClose, bfWhile},
    {"with", brOpen, bfWith},
};

// The other words that the first word of a statement is looked up among;
// the three that may stand before a procedure's keyword come last.
enum TLeadWord : std::uint8_t { lwEnd = std::size(kPlain), lwProperty, lwIf, lwElse, lwPublic, lwPrivate, lwDefault };
constexpr std::string_view kLeadWords[] = {"end", "property", "if", "else", "public", "private", "default"};

// The lead words by key in a table of 64 slots without collisions: one
// multiplication and one comparison tell most lines' first word is none
// of them. The code is an index of kPlain or a TLeadWord.
struct TLeadTable {
    std::uint64_t Keys[64] = {};
    std::uint8_t Codes[64] = {};
    std::uint64_t Multiplier = 0;
    static constexpr unsigned Slot(std::uint64_t key, std::uint64_t multiplier) noexcept
    {
        return unsigned((key * multiplier) >> 58);
    }
    constexpr bool Fill(std::uint64_t multiplier)
    {
        for (std::uint64_t &k : Keys)
            k = 0;
        const auto put = [&](std::uint64_t key, std::size_t code) {
            const unsigned slot = Slot(key, multiplier);
            if (Keys[slot] != 0)
                return false;
            Keys[slot] = key;
            Codes[slot] = std::uint8_t(code);
            return true;
        };
        for (std::size_t i = 0; i < std::size(kPlain); ++i)
            if (!put(kPlain[i].key, i))
                return false;
        for (std::size_t i = 0; i < std::size(kLeadWords); ++i)
            if (!put(WordKey(kLeadWords[i]), lwEnd + i))
                return false;
        Multiplier = multiplier;
        return true;
    }
    constexpr TLeadTable()
    {
        for (std::uint64_t m = 0x9E3779B97F4A7C15ull; !Fill(m); m += 2) {
        }
    }
    // The code of the word of key, -1 for none (key 0 is none).
    constexpr int Find(std::uint64_t key) const noexcept
    {
        const unsigned slot = Slot(key, Multiplier);
        return key != 0 && Keys[slot] == key ? Codes[slot] : -1;
    }
};
constexpr TLeadTable kLeadTable;

const TPlain *PlainKeyword(std::uint64_t key) noexcept
{
    const int code = kLeadTable.Find(key);
    return code >= 0 && code < int(std::size(kPlain)) ? &kPlain[code] : nullptr;
}

// The family that "End word" closes.
std::optional<TzeBlockFamily> EndedFamily(std::uint64_t key) noexcept
{
    constexpr std::pair<std::uint64_t, TzeBlockFamily> ended[] = {
        {WordKey("if"), bfIf},         {WordKey("select"), bfSelect},     {WordKey("with"), bfWith},
        {WordKey("sub"), bfSub},       {WordKey("function"), bfFunction}, {WordKey("property"), bfProperty},
        {WordKey("class"), bfClass}};
    for (const auto &[name, family] : ended)
        if (key == name)
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
    if (const TPlain *p = PlainKeyword(WordKey(first))) {
        add(p->role, p->family);
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
        if (const auto family = EndedFamily(WordKey(word(k + 1))))
            add(brClose, *family);
    }
    return true;
}

// A word's characters in lower case by their code; 0 for a character that
// is no word's.
struct TWordTable {
    unsigned char Lower[256] = {};
    constexpr TWordTable()
    {
        for (int c = 0; c < 256; ++c)
            Lower[c] = IsWordChar(char(c)) ? static_cast<unsigned char>(AsciiLower(char(c))) : 0;
    }
};
constexpr TWordTable kWordTable;

// The key of the word at i of line (after blanks), 0 for none or one of more
// than 8 letters; i goes past it.
std::uint64_t WordKeyAt(std::string_view line, std::size_t &i) noexcept
{
    const std::size_t n = line.size();
    while (i < n && IsBlank(line[i]))
        ++i;
    const std::size_t from = i;
    std::uint64_t key = 0;
    unsigned shift = 0;
    for (; i < n; ++i) {
        const unsigned char lower = kWordTable.Lower[static_cast<unsigned char>(line[i])];
        if (lower == 0)
            break;
        // Past 8 letters the key is dropped below: no branch for it here.
        key |= std::uint64_t(lower) << (shift & 63);
        shift += 8;
    }
    return i - from <= 8 ? key : 0;
}

// Whether the rest of an If statement from i on (one statement, no ':') is
// "cond Then" with nothing after Then but a comment: the tokens as
// Statements reads them, without keeping them.
bool IfOpensBlock(std::string_view line, std::size_t i) noexcept
{
    constexpr std::uint64_t kThen = WordKey("then");
    const std::size_t n = line.size();
    bool then = false;
    while (i < n) {
        const char c = line[i];
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        if (c == '\'')
            break;
        if (then)
            return false; // a statement after Then: a one-line If
        if (c == '"') {
            i = PastString(line, i);
        } else if (c == '#' || c == '[') {
            i = PastEnclosed(line, i);
        } else if (IsWordStart(c)) {
            then = WordKeyAt(line, i) == kThen;
        } else {
            ++i;
        }
    }
    return then;
}

// The events of a line of one statement, as most lines are: false when the
// line needs reading whole (more statements).
bool QuickEvents(std::string_view line, std::vector<TzeBlockEvent> &events)
{
    constexpr std::uint64_t kGet = WordKey("get"), kLet = WordKey("let"), kSet = WordKey("set");
    std::size_t i = 0;
    int word = kLeadTable.Find(WordKeyAt(line, i));
    if (line.find(':', i) != std::string_view::npos)
        return false;
    if (word < 0)
        return true;
    const auto add = [&](TzeBlockRole role, TzeBlockFamily family) {
        events.push_back(TzeBlockEvent{role, family, true});
    };
    // Public, Private and Default before a procedure; before anything else
    // they declare.
    const bool declares = word >= lwPublic;
    while (word >= lwPublic)
        word = kLeadTable.Find(WordKeyAt(line, i));
    if (word < 0)
        return true;
    if (word < int(std::size(kPlain))) {
        const TPlain &p = kPlain[word];
        if (!declares || p.family == bfSub || p.family == bfFunction)
            add(p.role, p.family);
    } else if (word == lwProperty) {
        const std::uint64_t second = WordKeyAt(line, i);
        if (second == kGet || second == kLet || second == kSet)
            add(brOpen, bfProperty);
    } else if (declares) {
        return true; // Public x, Private Const y: no block
    } else if (word == lwEnd) {
        if (const auto family = EndedFamily(WordKeyAt(line, i)))
            add(brClose, *family);
    } else if (word == lwIf) {
        if (IfOpensBlock(line, i))
            add(brOpen, bfIf);
    } else if (word == lwElse) {
        // Else may be followed by a statement on its line.
        i += LeadingBlanks(line.substr(i)).size();
        if (i < line.size() && line[i] != '\'')
            return false;
        add(brMiddle, bfIf);
    }
    return true;
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
    std::size_t n = 0;
    while (n < line.size() && IsBlank(line[n]))
        ++n;
    return line.substr(0, n);
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

bool IsCommentLine(std::string_view line) noexcept
{
    std::size_t i = LeadingBlanks(line).size();
    return (i < line.size() && line[i] == '\'') || WordKeyAt(line, i) == WordKey("rem");
}

std::optional<int> CommentMarkColumn(std::string_view line) noexcept
{
    const std::string_view lead = LeadingBlanks(line);
    if (lead.size() == line.size() || line[lead.size()] != '\'')
        return std::nullopt;
    return int(lead.size()) + 1;
}
