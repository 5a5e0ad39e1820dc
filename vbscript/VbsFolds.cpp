// VbsFolds.cpp: block openers and closers of one line (see VbsFolds.h).
#include "vbscript/VbsFolds.h"

#include <algorithm>
#include <vector>

#include "vbscript/VbsErrors.h"
#include "vbscript/VbsLexer.h"

namespace vbs {

namespace {

bool EndsStatement(TokenKind kind) noexcept
{
    return kind == tkEof || kind == tkNewline || kind == tkColon;
}

// The tokens of line up to its end, or up to a lexical error.
std::vector<TokenKind> LineTokens(std::string_view line, bool &commentOnly)
{
    std::vector<TokenKind> kinds;
    Lexer lexer(line);
    commentOnly = false;
    try {
        for (lexer.Next(); lexer.Current().kind != tkEof && lexer.Current().kind != tkNewline; lexer.Next())
            kinds.push_back(lexer.Current().kind);
        // A comment belongs to the line end that follows it.
        commentOnly = kinds.empty() && lexer.Current().length > 0;
    } catch (const CompileFailure &) {
    }
    kinds.push_back(tkEof);
    return kinds;
}

} // namespace

LineFold ScanFoldLine(std::string_view line) noexcept
{
    LineFold fold;
    std::vector<TokenKind> t;
    try {
        t = LineTokens(line, fold.Comment);
    } catch (...) {
        return fold;
    }
    const auto open = [&fold](FoldBlock block) {
        if (fold.Count < LineFold::kMaxEvents)
            fold.Events[fold.Count++] = FoldEvent{block, true};
    };
    // A closer of the line's own last opener takes it back (Sub A: End Sub).
    const auto close = [&fold](FoldBlock block) {
        if (fold.Count > 0 && fold.Events[fold.Count - 1] == FoldEvent{block, true})
            --fold.Count;
        else if (fold.Count < LineFold::kMaxEvents)
            fold.Events[fold.Count++] = FoldEvent{block, false};
    };
    for (size_t i = 0; t[i] != tkEof;) {
        // One statement from i.
        size_t k = i;
        while (t[k] == tkPublic || t[k] == tkPrivate || t[k] == tkDefault)
            ++k;
        const TokenKind first = t[k];
        const TokenKind second = t[k] == tkEof ? tkEof : t[k + 1];
        switch (first) {
        case tkSub:
            open(fbSub);
            break;
        case tkFunction:
            open(fbFunction);
            break;
        case tkClass:
            open(fbClass);
            break;
        case tkWith:
            open(fbWith);
            break;
        case tkDo:
            open(fbDo);
            break;
        case tkWhile:
            open(fbWhile);
            break;
        case tkFor:
            open(fbFor);
            break;
        case tkSelect:
            if (second == tkCase)
                open(fbSelect);
            break;
        case tkProperty:
            if (second == tkGet || second == tkLet || second == tkSet)
                open(fbProperty);
            break;
        case tkIf: {
            size_t then = k;
            while (!EndsStatement(t[then]) && t[then] != tkThen)
                ++then;
            if (t[then] != tkThen)
                break;
            // Block If: nothing after Then but the line end (or a comment);
            // a one-line If runs to the line end, statements and all.
            if (t[then + 1] == tkEof) {
                open(fbIf);
            } else {
                while (t[k] != tkEof)
                    ++k;
                i = k;
                continue;
            }
            break;
        }
        case tkEnd:
            switch (second) {
            case tkSub: close(fbSub); break;
            case tkFunction: close(fbFunction); break;
            case tkProperty: close(fbProperty); break;
            case tkClass: close(fbClass); break;
            case tkIf: close(fbIf); break;
            case tkSelect: close(fbSelect); break;
            case tkWith: close(fbWith); break;
            default: break;
            }
            break;
        case tkNext:
            close(fbFor);
            break;
        case tkLoop:
            close(fbDo);
            break;
        case tkWend:
            close(fbWhile);
            break;
        default:
            break;
        }
        while (!EndsStatement(t[k]))
            ++k;
        i = t[k] == tkEof ? k : k + 1;
    }
    return fold;
}

std::vector<FoldRange> FoldRanges(std::span<const LineFold> lines)
{
    std::vector<FoldRange> ranges;
    struct TOpen {
        FoldBlock Block;
        int Line;
    };
    std::vector<TOpen> open;
    int commentRun = 0;
    const int count = int(lines.size());
    for (int line = 1; line <= count + 1; ++line) {
        const bool comment = line <= count && lines[size_t(line - 1)].Comment;
        if (!comment && commentRun >= kMinCommentRun)
            ranges.push_back(FoldRange{line - commentRun, line - 1});
        commentRun = comment ? commentRun + 1 : 0;
        if (line > count)
            break;
        const LineFold &fold = lines[size_t(line - 1)];
        for (int i = 0; i < fold.Count; ++i) {
            const FoldEvent event = fold.Events[size_t(i)];
            if (event.Opens) {
                open.push_back(TOpen{event.Block, line});
                continue;
            }
            const auto match = std::find_if(open.rbegin(), open.rend(),
                                            [&event](const TOpen &o) { return o.Block == event.Block; });
            if (match == open.rend())
                continue;
            if (line > match->Line)
                ranges.push_back(FoldRange{match->Line, line});
            open.erase(std::next(match).base(), open.end());
        }
    }
    std::sort(ranges.begin(), ranges.end(), [](const FoldRange &a, const FoldRange &b) {
        return a.First != b.First ? a.First < b.First : a.Last > b.Last;
    });
    return ranges;
}

} // namespace vbs
