// zeView.cpp: the caret, anchors and view position of one view, the rules
// that clamp and follow them, and the movement and text commands, each of
// which computes its points here and changes the text through the document.
#include <algorithm>
#include <utility>

#include "editor/zeView.h"
#include "editor/zeSmartEdit.h"
#include "editor/zeTabStops.h"

namespace {

constexpr bool IsBlank(char c) noexcept
{
    return static_cast<unsigned char>(c) <= 32;
}

bool IsBlankLine(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), IsBlank);
}

TzeWordChars AllButBlanks()
{
    TzeWordChars chars;
    for (int c = 33; c < 256; ++c)
        chars.set(size_t(c));
    return chars;
}

} // namespace

// The client's batch for a scope.
class TzeView::TBatch {
public:
    explicit TBatch(const TzeView &view) noexcept : m_view(const_cast<TzeView &>(view))
    {
        if (m_view.m_client)
            m_view.m_client->BeginBatch();
        ++m_view.m_batchDepth;
    }
    ~TBatch()
    {
        if (m_view.m_client)
            m_view.m_client->EndBatch();
        if (--m_view.m_batchDepth == 0 && std::exchange(m_view.m_keepCaretPending, false))
            m_view.KeepCaretInText();
    }
    TBatch(const TBatch &) = delete;
    TBatch &operator=(const TBatch &) = delete;

private:
    TzeView &m_view;
};

TzeView::TzeView(TzeDocument &document, IzeViewClient *client)
    : m_doc(document), m_client(client), m_wordChars(AllButBlanks())
{
    m_doc.OnLinesChanged = [this] { DocumentLinesChanged(); };
    m_doc.OnModified = [this](const TzeDocChange &change) { DocumentModified(change); };
}

TzeView::~TzeView()
{
    Detach();
}

void TzeView::Detach() noexcept
{
    if (std::exchange(m_attached, false)) {
        m_doc.OnLinesChanged = nullptr;
        m_doc.OnModified = nullptr;
    }
}

void TzeView::DocumentLinesChanged()
{
    if (m_folding)
        UpdateFolds();
    if (m_client) {
        m_client->TextChanged();
        return;
    }
    // Commands move the caret on their own while they change lines; the
    // check waits for them to finish.
    if (m_batchDepth > 0)
        m_keepCaretPending = true;
    else
        KeepCaretInText();
    CollapseAnchors();
}

void TzeView::DocumentModified(const TzeDocChange &change)
{
    if (m_folding) {
        // The lines touched, from the first on and up to the untouched
        // lines at the end, which the count after the change measures.
        TFoldsPending &p = m_foldsPending;
        const int count = m_doc.Lines().Count();
        switch (change.Kind) {
        case ckCleared:
        case ckTextSet:
            p.All = true;
            break;
        case ckLineDeleted:
            p.First = std::min(p.First, change.FirstLine);
            p.Tail = std::min(p.Tail, count - change.FirstLine);
            break;
        default:
            p.First = std::min(p.First, change.FirstLine);
            p.Tail = std::min(p.Tail, count - change.FirstLine - 1);
            break;
        }
    }
    if (m_client)
        m_client->LinesModified(change);
    else if (change.Kind == ckCleared || change.Kind == ckTextSet)
        TextReplaced(change.Kind == ckCleared);
}

void TzeView::KeepCaretInText()
{
    const int count = m_doc.Lines().Count();
    if (CaretY() > count && count > 0)
        SetCaretY(count);
}

void TzeView::CaretMoved() const
{
    if (m_client)
        m_client->CaretMoved();
}

void TzeView::SelectionChanged() const
{
    if (m_client)
        m_client->SelectionChanged();
}

// --- Caret

void TzeView::SetCaretX(int value)
{
    int x = std::max(value, 1);
    const int length = int(LineOrEmpty(CaretY()).size());
    const int chars = m_metrics.CharsInWindow;
    if (m_options.ScrollPastEOL) {
        // A window wider than MaxLeftChar columns must not push the caret
        // before column 1; MaxLeftChar never keeps it from the text itself.
        if (!m_exactPoints)
            x = std::max(1, std::min(x, std::max(m_metrics.MaxLeftChar - chars, length + 1)));
    } else {
        if (x > length + 1)
            x = length + 1;
        const int cell = CellOf(TPoint{x, CaretY()});
        if (cell >= LeftChar() + chars)
            SetLeftChar(cell - chars + 1);
        else if (cell < LeftChar())
            SetLeftChar(cell);
    }
    if (x != CaretX()) {
        m_caret.X = x;
        EnsureCursorPosVisible();
        CaretMoved();
    }
    SelectionChanged();
}

void TzeView::SetCaretY(int value)
{
    // Clamped to the line count first, so that an empty list still gives line 1.
    const int y = std::max(1, std::min(value, m_doc.Lines().Count()));
    if (y == CaretY()) {
        SelectionChanged();
        return;
    }
    RevealLine(y);
    m_caret.Y = y;
    const int length = int(LineOrEmpty(y).size());
    if (!m_options.ScrollPastEOL && length + 1 < CaretX()) {
        SetCaretX(length + 1);
        if (CellOf(CaretXY()) < LeftChar())
            SetLeftChar(CellOf(CaretXY()));
        return;
    }
    EnsureCursorPosVisible();
    CaretMoved();
    SelectionChanged();
}

void TzeView::SetCaretXY(TPoint value)
{
    const TBatch batch(*this);
    // Line and column in one step: the view scrolls to the new point only,
    // never first to the old column on the new line (a click in a view
    // scrolled sideways would move the text under the pointer).
    const int y = std::max(1, std::min(value.Y, m_doc.Lines().Count()));
    RevealLine(y);
    const bool lineChanged = y != CaretY();
    const int column = CaretX();
    m_caret.Y = y;
    SelectionChanged();
    SetCaretX(value.X); // scrolls to the new point when the column changes
    if (lineChanged && CaretX() == column) {
        EnsureCursorPosVisible();
        CaretMoved();
    }
}

void TzeView::PlaceCaretAt(TPoint p)
{
    // Put in place directly: the text just changed inside a batch, and the
    // setters' clamping and scrolling wait for it to end.
    m_caret = p;
    CaretMoved();
}

// --- Selection

TPoint TzeView::ClampAnchor(TPoint value) const
{
    value.Y = std::max(1, std::min(value.Y, m_doc.Lines().Count()));
    // Up to MaxLeftChar, or to the line end where the line is longer; the
    // caret's own column always, which typing at the end of a long line
    // may put past both.
    const int caretColumn = value.Y == CaretY() ? CaretX() : 1;
    const int limit = std::max({m_metrics.MaxLeftChar, int(LineOrEmpty(value.Y).size()) + 1, caretColumn});
    value.X = m_exactPoints ? std::max(value.X, 1) : std::clamp(value.X, 1, limit);
    return value;
}

void TzeView::SetBlockBegin(TPoint value)
{
    value = ClampAnchor(value);
    if (SelAvail()) {
        const int first = std::min({value.Y, m_blockBegin.Y, m_blockEnd.Y});
        const int last = std::max({value.Y, m_blockBegin.Y, m_blockEnd.Y});
        m_blockBegin = m_blockEnd = value;
        if (m_client)
            m_client->SelectionRowsChanged(first, last);
    } else {
        m_blockBegin = m_blockEnd = value;
    }
}

void TzeView::SetBlockEnd(TPoint value)
{
    value = ClampAnchor(value);
    if (value == m_blockEnd)
        return;
    const int oldLine = m_blockEnd.Y;
    m_blockEnd = value;
    if (m_client)
        m_client->SelectionRowsChanged(oldLine, value.Y);
}

void TzeView::SetAnchors(TPoint begin, TPoint end) noexcept
{
    m_blockBegin = begin;
    m_blockEnd = end;
}

std::string TzeView::SelText() const
{
    return SelAvail() ? m_doc.TextBetween(BlockBegin(), BlockEnd()) : std::string();
}

void TzeView::TextReplaced(bool cleared)
{
    if (!cleared) {
        SetCaretXY(TPoint{1, 1});
        SetLeftChar(1);
        SetTopLine(1);
        return;
    }
    // Where the caret and the view stood means nothing for the text that
    // comes next; the caret is put there directly, as no line is left.
    m_caret = TPoint{1, 1};
    m_blockBegin = m_blockEnd = TPoint{1, 1};
    SetLeftChar(1);
    SetTopLine(1);
    CaretMoved();
    SelectionChanged();
}

// --- View position

void TzeView::SetTopLine(int value)
{
    SetTopRow(RowOf(ClampTopLine(value, m_doc.Lines().Count())));
}

void TzeView::SetTopRow(int value)
{
    value = ClampTopLine(value, RowCount());
    if (value == TopRow())
        return;
    m_metrics.TopLine = value;
    if (m_client)
        m_client->ViewScrolled(true);
}

void TzeView::SetLeftChar(int value)
{
    // Kept at 1 or more also when the window shows more than MaxLeftChar columns.
    value = ClampLeftChar(value, m_metrics.MaxLeftChar, m_metrics.CharsInWindow);
    if (value == LeftChar())
        return;
    m_metrics.LeftChar = value;
    m_metrics.TextOrigin = TextOriginFor(m_metrics.GutterWidth, value, m_metrics.CharWidth);
    if (m_client)
        m_client->ViewScrolled(false);
}

void TzeView::EnsureCursorPosVisible()
{
    const TBatch batch(*this);
    const TPoint view = ViewShowingCaret(m_metrics, ScreenPoint(CaretXY()));
    SetLeftChar(view.X);
    SetTopRow(view.Y);
}

// --- Screen cells

int TzeView::CellOf(TPoint p) const
{
    return CellOfColumn(LineOrEmpty(p.Y), p.X, TabWidth());
}

TPoint TzeView::ScreenPoint(TPoint p) const
{
    if (m_folds.AnyFolded() && m_folds.IsHidden(p.Y)) {
        const int shown = m_folds.VisibleFrom(p.Y, -1);
        return TPoint{LineCells(LineOrEmpty(shown), TabWidth()) + 1, RowOf(shown)};
    }
    return TPoint{CellOf(p), RowOf(p.Y)};
}

int TzeView::ColumnAtCell(int line, int cell) const
{
    return ColumnOfCell(LineOrEmpty(line), cell, TabWidth());
}

TPoint TzeView::CharAtPixel(int x, int y) const
{
    TPoint p = PixelToPoint(m_metrics, x, y);
    p.Y = LineAtRow(p.Y);
    const int offset = x - m_metrics.TextOrigin;
    const int cell = (offset >= 0 ? offset : offset - m_metrics.CharWidth + 1) / m_metrics.CharWidth + 1;
    return TPoint{ColumnAtCell(p.Y, cell), p.Y};
}

TPoint TzeView::PointAtPixel(int x, int y) const
{
    TPoint p = PixelToPoint(m_metrics, x, y);
    p.Y = LineAtRow(p.Y);
    p.X = ColumnAtOffset(LineOrEmpty(p.Y), x - m_metrics.TextOrigin, m_metrics.CharWidth, TabWidth());
    return p;
}

// --- Words

int TzeView::LeftSpaces(std::string_view s) const
{
    if (!m_options.Autoindent)
        return 0;
    return int(std::find_if_not(s.begin(), s.end(), IsBlank) - s.begin());
}

TPoint TzeView::NextWordPos() const
{
    const auto isWord = [this](char c) { return m_wordChars.test(static_cast<unsigned char>(c)); };
    std::string_view s = LineOrEmpty(CaretY());
    int y = CaretY();
    size_t x = 0; // 0-based index of the column searched from
    if (CaretX() < int(s.size())) {
        x = size_t(CaretX() - 1);
        if (isWord(s[x])) {
            while (x < s.size() && isWord(s[x]))
                ++x;
            if (x == s.size())
                return TPoint{int(s.size()) + 1, y};
        }
    } else if (const int next = LineRowsAway(y, 1); next > y && next <= m_doc.Lines().Count()) {
        y = next;
        s = LineOrEmpty(y);
        if (IsBlankLine(s))
            return TPoint{1, y};
    } else {
        return CaretXY();
    }
    while (x < s.size() && !isWord(s[x]))
        ++x;
    return TPoint{int(x) + 1, y};
}

TPoint TzeView::PrevWordPos() const
{
    const auto isWord = [this](char c) { return m_wordChars.test(static_cast<unsigned char>(c)); };
    const std::string_view s = LineOrEmpty(CaretY());
    const int y = CaretY();
    const auto endOfPreviousLine = [this, y]() {
        if (y <= 1)
            return TPoint{1, 1};
        const int previous = std::max(1, LineRowsAway(y, -1));
        return TPoint{int(LineOrEmpty(previous).size()) + 1, previous};
    };
    int x = std::min(CaretX(), int(s.size()) + 1);
    if (x <= 1)
        return endOfPreviousLine();
    while (x > 1 && !isWord(s[size_t(x - 2)]))
        --x;
    if (x <= 1)
        return endOfPreviousLine();
    while (x > 1 && isWord(s[size_t(x - 2)]))
        --x;
    return TPoint{x, y};
}

// --- Movement

bool TzeView::Move(TzeEditorCommand command, const TPoint *goTo, TPoint word)
{
    const bool selecting = command >= ecSelection;
    const TzeEditorCommand move = selecting ? TzeEditorCommand(command - ecSelection) : command;
    if (move == ecLeft || move == ecRight)
        MoveSideways(move == ecLeft ? -1 : 1, selecting);
    else if (move == ecUp || move == ecDown)
        MoveUpOrDown(move == ecUp ? -1 : 1, selecting);
    else if (move == ecGotoXY && !goTo)
        return false; // ends early: no selection change, no OnCommandDone
    else
        MoveFar(move, goTo, word, selecting);
    return true;
}

void TzeView::MoveSideways(int step, bool selecting)
{
    const int x = CaretX() + step;
    if (selecting) {
        if (!SelAvail())
            SetBlockBegin(CaretXY());
        SetBlockEnd(TPoint{x, CaretY()});
    } else {
        SetBlockBegin(TPoint{x, CaretY()});
    }
    // Without ScrollPastEOL a step over a line's end goes on to the next line.
    if (!m_options.ScrollPastEOL && step < 0 && x < 1) {
        if (CaretY() > 1) {
            SetCaretY(LineRowsAway(CaretY(), -1));
            SetCaretX(int(LineText().size()) + 1);
        }
    } else if (!m_options.ScrollPastEOL && step > 0 && x > int(LineText().size()) + 1) {
        if (const int next = LineRowsAway(CaretY(), 1); next > CaretY() && next <= m_doc.Lines().Count()) {
            SetCaretX(1);
            SetCaretY(next);
        }
    } else {
        SetCaretX(x);
    }
}

void TzeView::MoveUpOrDown(int step, bool selecting)
{
    const int y = CaretY();
    SetCaretY(LineRowsAway(y, step));
    if (selecting) {
        if (!SelAvail())
            SetBlockBegin(TPoint{CaretX(), y});
        SetBlockEnd(CaretXY());
    } else {
        SetBlockBegin(CaretXY());
    }
}

void TzeView::MoveFar(TzeEditorCommand move, const TPoint *goTo, TPoint word, bool selecting)
{
    const int lineCount = m_doc.Lines().Count();
    const int lines = m_metrics.LinesInWindow;
    const int chars = m_metrics.CharsInWindow;
    if (selecting && !SelAvail())
        SetBlockBegin(CaretXY());
    const int page = m_options.HalfpageScroll ? lines / 2 : lines;
    switch (move) {
    case ecWordLeft:
    case ecWordRight:
        SetCaretXY(word);
        break;
    case ecLineStart:
        SetCaretX(1);
        break;
    case ecLineEnd:
        SetCaretX(int(LineText().size()) + 1);
        break;
    case ecPageUp:
        SetTopRow(TopRow() - page);
        SetCaretY(LineRowsAway(CaretY(), -page));
        break;
    case ecPageDown:
        SetTopRow(TopRow() + page);
        SetCaretY(LineRowsAway(CaretY(), page));
        break;
    case ecPageLeft:
        SetLeftChar(LeftChar() - chars);
        SetCaretX(ColumnAtCell(CaretY(), CellOf(CaretXY()) - chars));
        break;
    case ecPageRight:
        SetLeftChar(LeftChar() + chars);
        SetCaretX(ColumnAtCell(CaretY(), CellOf(CaretXY()) + chars));
        break;
    case ecPageTop:
        SetCaretY(TopLine());
        break;
    case ecPageBottom:
        SetCaretY(LineAtRow(TopRow() + lines - 1));
        break;
    case ecEditorTop:
        SetCaretX(1);
        SetCaretY(1);
        break;
    case ecEditorBottom: {
        // An empty list counts as one empty line; folded last lines stay
        // folded: the end of the last line that shows.
        const int last = std::max(lineCount, 1);
        const int shown = m_folds.VisibleFrom(last, -1);
        SetCaretY(shown);
        SetTopRow(RowOf(shown) - lines + 1);
        SetCaretX(lineCount > 0 ? int(LineOrEmpty(shown).size()) + 1 : 1);
        SetLeftChar(1);
        break;
    }
    case ecGotoXY:
        SetCaretXY(*goTo);
        break;
    default:
        break;
    }
    if (selecting)
        SetBlockEnd(CaretXY());
    else
        SetBlockBegin(CaretXY());
}

bool TzeView::Scroll(TzeEditorCommand command)
{
    const int lines = m_metrics.LinesInWindow;
    const int chars = m_metrics.CharsInWindow;
    switch (command) {
    case ecScrollUp:
        SetTopRow(TopRow() - 1);
        if (RowOf(CaretY()) > TopRow() + lines - 1)
            SetCaretY(LineAtRow(TopRow() + lines - 1));
        break;
    case ecScrollDown:
        SetTopRow(TopRow() + 1);
        if (RowOf(CaretY()) < TopRow())
            SetCaretY(TopLine());
        break;
    case ecScrollLeft:
        SetLeftChar(LeftChar() - 1);
        if (CellOf(CaretXY()) > LeftChar() + chars)
            SetCaretX(ColumnAtCell(CaretY(), LeftChar() + chars));
        break;
    case ecScrollRight:
        SetLeftChar(LeftChar() + 1);
        if (CellOf(CaretXY()) < LeftChar())
            SetCaretX(ColumnAtCell(CaretY(), LeftChar()));
        break;
    default:
        break;
    }
    return true;
}

// --- Text commands

void TzeView::EnsureCaretLine()
{
    if (m_doc.Lines().Count() == 0)
        m_doc.AddLine(std::string());
    if (CaretY() > m_doc.Lines().Count())
        SetCaretY(m_doc.Lines().Count());
}

TPoint TzeView::ReplaceSelection(const std::string &value, TUndoChangeKind deletion, TUndoChangeKind insertion)
{
    const TPoint caret = CaretXY();
    const bool selected = SelAvail();
    // Without a selection the text goes in at the caret, which need not be
    // where the collapsed anchors are (the caret can be moved on its own).
    TPoint start = caret;
    {
        const TBatch batch(*this);
        const TzeDocUpdate update(m_doc);
        if (selected) {
            start = BlockBegin();
            m_doc.Replace(start, BlockEnd(), std::string_view(), deletion);
            PlaceCaretAt(start);
        }
        // The text ends at its first NUL: nothing to insert.
        const bool inserted = !value.empty() && value.front() != '\0';
        if (inserted) {
            // A caret left past the end by a change of the list itself
            // inserts into the last line, and an emptied list gets its line
            // back, so that no inserted text is lost.
            EnsureCaretLine();
            start = CaretXY();
        }
        const TPoint end = m_doc.Replace(start, start, inserted ? std::string_view(value) : std::string_view(), insertion);
        if (inserted) {
            if (end.Y == CaretY())
                SetCaretX(end.X);
            else
                PlaceCaretAt(end);
        }
    }
    // The caret was put in place directly (a cut, a multi-line paste): those
    // who show where it stands hear of it as of any other move.
    if (selected || CaretXY() != caret)
        SelectionChanged();
    return start;
}

void TzeView::DeleteRange(const TzeTextChange &change)
{
    // The caret goes to the start of what went, as a deleted selection leaves it.
    const TPoint start = MinPoint(change.Begin, change.End);
    {
        const TBatch batch(*this);
        const TzeDocUpdate update(m_doc);
        m_doc.Replace(change);
        if (change.Begin != change.End)
            PlaceCaretAt(start);
    }
    SetCaretXY(CaretXY());
}

bool TzeView::DeleteWordTo(TPoint word, bool forward)
{
    if (m_options.ReadOnly)
        return false;
    const TPoint caret = CaretXY();
    // At a line end the next line joins, also when the word move passes
    // over it because it is folded away.
    const int count = m_doc.Lines().Count();
    if (forward && caret.X >= int(LineText().size()) && caret.Y < count &&
        RevealsInstead(caret, TPoint{1, caret.Y + 1}))
        return false;
    if (word == caret || RevealsInstead(caret, word))
        return false;
    // Undo puts the caret back where it stood.
    TzeTextChange change;
    change.Begin = ClampAnchor(caret);
    change.End = ClampAnchor(word);
    change.Kind = ucForwardDelete;
    if (forward)
        change.RecordEnd = change.Begin;
    DeleteRange(change);
    return true;
}

bool TzeView::DeleteToLineStart()
{
    const TPoint start{1, CaretY()};
    TzeTextChange change;
    change.Begin = start;
    change.End = ClampAnchor(CaretXY());
    change.Kind = ucDelete;
    change.RecordEnd = start;
    DeleteRange(change);
    SetCaretXY(start);
    return true;
}

bool TzeView::DeleteToLineEnd()
{
    const TPoint lineEnd{int(LineText().size()) + 1, CaretY()};
    TzeTextChange change;
    change.Begin = CaretXY();
    change.End = ClampAnchor(lineEnd);
    change.Kind = ucForwardDelete;
    change.RecordStart = change.RecordEnd = CaretXY();
    DeleteRange(change);
    return true;
}

bool TzeView::DeleteCaretLine()
{
    if (SelAvail())
        SetBlockBegin(CaretXY());
    m_doc.DeleteWholeLine(CaretY(), CaretXY());
    SetCaretXY(CaretXY());
    return true;
}

void TzeView::ClearText()
{
    SetBlockBegin(TPoint{1, 1});
    m_doc.ClearLines();
    // The caret goes with the selection: left on a line that is gone, what
    // is typed next would be lost.
    SetCaretXY(TPoint{1, 1});
}

bool TzeView::TypeChar(char c)
{
    const auto code = static_cast<unsigned char>(c);
    if (code < 32 || code == 127 || m_options.ReadOnly)
        return false;
    if (SelAvail()) {
        ReplaceSelection(std::string(1, c), ucDelete, ucInsert);
        return false;
    }
    EnsureCaretLine();
    {
        // The caret goes right after the character, wherever MaxLeftChar is.
        TFlagRestore pastEol(m_options.ScrollPastEOL, true);
        TFlagRestore exact(m_exactPoints, true);
        const TPoint p = CaretXY();
        // Overwriting past the end of the line replaces only padding: there
        // is nothing to give back.
        TzeTextChange change;
        change.Begin = p;
        change.End = m_options.InsertMode ? p : TPoint{p.X + 1, p.Y};
        const char typed[1] = {c};
        change.Text = std::string_view(typed, 1);
        change.Kind = ucInsert;
        change.Trim = true;
        const TzeDocUpdate update(m_doc);
        m_doc.Replace(change);
        SetCaretX(CaretX() + 1);
    }
    const int chars = m_metrics.CharsInWindow;
    if (CellOf(CaretXY()) >= LeftChar() + chars)
        SetLeftChar(LeftChar() + std::min(25, chars - 1));
    return true;
}

bool TzeView::DeleteLastChar()
{
    if (m_options.ReadOnly)
        return false;
    if (SelAvail()) {
        ReplaceSelection(std::string(), ucDelete, ucNone);
        return false;
    }
    const std::string s = LineText();
    const int length = int(s.size());
    const int y = CaretY();
    TzeTextChange change;
    change.Kind = ucDelete;
    if (CaretX() > length + 1) {
        // Past the end the caret only steps back over padding.
        change.Begin = change.End = CaretXY();
        m_doc.Replace(change);
        SetCaretX(CaretX() - 1);
    } else if (CaretX() > 1) {
        const int n = LeftSpaces(s);
        int k = 1;
        if (IsBlank(s[size_t(CaretX() - 2)]) && CaretX() - 1 == n) {
            // Unindent to the level of the nearest line above with less
            // indentation, in screen cells; when every examined line has at
            // least as much, all n blanks go. The first k blanks go, as few
            // as leave at most that level; undo gives them back before the
            // caret.
            const int tab = TabWidth();
            const auto cells = [tab](std::string_view line) { return LineCells(line, tab); };
            const std::string_view indent = std::string_view(s).substr(0, size_t(n));
            const int level = cells(indent);
            int m = 0;
            for (int line = y - 1; line >= 2; --line) {
                const std::string_view above = LineOrEmpty(line);
                const int count = cells(above.substr(0, size_t(LeftSpaces(above))));
                if (count < level) {
                    m = count;
                    break;
                }
            }
            k = 1;
            while (k < n && cells(indent.substr(size_t(k))) > m)
                ++k;
            change.Begin = TPoint{1, y};
            change.End = TPoint{k + 1, y};
            // Put back before the caret, the blanks must give the same
            // line: with tabs and spaces mixed, undo puts them at the start.
            const std::string_view gone = indent.substr(0, size_t(k));
            const std::string_view kept = indent.substr(size_t(k));
            if (std::string(gone) + std::string(kept) != std::string(kept) + std::string(gone))
                change.RecordStart = change.RecordEnd = TPoint{1, y};
        } else {
            change.Begin = TPoint{CaretX() - 1, y};
            change.End = CaretXY();
        }
        if (!change.RecordStart)
            change.RecordStart = change.RecordEnd = TPoint{CaretX() - k, y};
        change.Trim = true;
        const TzeDocUpdate update(m_doc);
        m_doc.Replace(change);
        SetCaretX(CaretX() - k);
    } else if (y > 1 && y <= m_doc.Lines().Count()) {
        if (RevealsInstead(TPoint{1, y - 1}, TPoint{1, y}))
            return true;
        const TPoint join{int(LineOrEmpty(y - 1).size()) + 1, y - 1};
        change.Begin = join;
        change.End = TPoint{1, y};
        change.RecordEnd = join;
        const TzeDocUpdate update(m_doc);
        m_doc.Replace(change);
        SetCaretY(join.Y);
        SetCaretX(join.X);
    }
    return true;
}

bool TzeView::DeleteChar()
{
    if (m_options.ReadOnly)
        return false;
    if (SelAvail()) {
        ReplaceSelection(std::string(), ucForwardDelete, ucNone);
        return false;
    }
    const int length = int(LineText().size());
    TzeTextChange change;
    change.Begin = CaretXY();
    change.RecordEnd = change.Begin;
    change.Kind = ucForwardDelete;
    change.Trim = true;
    if (length >= CaretX()) {
        change.End = TPoint{CaretX() + 1, CaretY()};
        m_doc.Replace(change);
    } else if (m_doc.Lines().Count() > CaretY()) {
        if (RevealsInstead(CaretXY(), TPoint{1, CaretY() + 1}))
            return true;
        // The next line joins at the caret's column, padded with blanks.
        change.End = TPoint{1, CaretY() + 1};
        m_doc.Replace(change);
    }
    return true;
}

bool TzeView::LineBreak(bool moveCaret)
{
    if (m_options.ReadOnly)
        return false;
    if (SelAvail())
        ReplaceSelection(std::string(), ucDelete, ucNone);
    // A caret past the last line breaks an empty line at the end.
    EnsureCaretLine();
    if (moveCaret && BlockLineBreak())
        return true;
    const TzeDocUpdate update(m_doc);
    const TPoint caret = m_doc.BreakLine(CaretXY(), m_options.Autoindent, moveCaret);
    if (moveCaret)
        SetCaretXY(caret);
    return true;
}

bool TzeView::BlockLineBreak()
{
    if (!m_options.BlockIndent || !m_options.Autoindent)
        return false;
    const TzeEditList &lines = m_doc.Lines();
    const TzeLineSource source{lines.Count(), [&lines](int line) { return lines.Get(line - 1); }};
    const TPoint p = CaretXY();
    const auto plan = PlanReturn(source, p.Y, p.X, m_options.TabIndent, m_options.InsertBlockEnds);
    if (!plan)
        return false;
    const std::string line = LineText();
    const std::string_view lead = LeadingBlanks(line);
    // The break takes the blanks before the caret and those of the moved text.
    std::string before = line.substr(0, std::min(line.size(), std::size_t(p.X - 1)));
    TrimRight(before);
    const std::size_t tail = std::min(line.size(), std::size_t(p.X - 1));
    const std::size_t tailText = tail + LeadingBlanks(std::string_view(line).substr(tail)).size();
    std::string text = "\r\n" + plan->Indent;
    if (!plan->Closer.empty())
        text += "\r\n" + plan->Closer;
    const TzeDocUpdate update(m_doc);
    const TzeUndoGroup group(m_doc);
    TzeTextChange change;
    change.Begin = TPoint{int(before.size()) + 1, p.Y};
    change.End = TPoint{std::max(p.X, int(tailText) + 1), p.Y};
    change.Text = text;
    change.Kind = ucInsert;
    m_doc.Replace(change);
    // The break is recorded first, at the caret's place, so that undo ends
    // there; the caret line's new indentation after it.
    if (plan->Reindent) {
        TzeTextChange indent;
        indent.Begin = TPoint{1, p.Y};
        indent.End = TPoint{int(lead.size()) + 1, p.Y};
        indent.Text = *plan->Reindent;
        indent.Kind = ucInsert;
        m_doc.Replace(indent);
    }
    const TPoint caret{int(plan->Indent.size()) + 1, p.Y + 1};
    if (plan->Reindent || !plan->Closer.empty()) {
        // An empty record at the caret's new place, so that redo ends there.
        TzeTextChange mark;
        mark.Begin = mark.End = caret;
        mark.Kind = ucInsert;
        m_doc.Replace(mark);
    }
    TFlagRestore pastEol(m_options.ScrollPastEOL, true);
    TFlagRestore exact(m_exactPoints, true);
    SetCaretXY(caret);
    return true;
}

bool TzeView::CommentLines(bool comment)
{
    if (m_options.ReadOnly)
        return false;
    const TPoint b = BlockBegin(), e = BlockEnd();
    const int first = b.Y;
    const int last = e.Y > b.Y && e.X == 1 ? e.Y - 1 : e.Y;
    TPoint caret = CaretXY(), begin = m_blockBegin, end = m_blockEnd;
    // A point after the mark's column on its line moves with the text there.
    const auto shift = [](TPoint &point, int line, int column, int delta) {
        if (point.Y == line && point.X > column)
            point.X = std::max(column, point.X + delta);
    };
    // The lines rewritten as one deletion and one insertion, whatever their
    // number (MaxUndo counts records); the marks stay on their lines, and
    // the deletion's record puts them back when it is undone.
    const int count = std::min(last, m_doc.Lines().Count());
    std::string text;
    bool changed = false;
    for (int y = first; y <= count; ++y) {
        std::string line(LineOrEmpty(y));
        if (const auto column = comment ? CommentColumn(line) : CommentMarkColumn(line)) {
            if (comment)
                line.insert(std::size_t(*column - 1), 1, '\'');
            else
                line.erase(std::size_t(*column - 1), 1);
            for (TPoint *point : {&caret, &begin, &end})
                shift(*point, y, *column, comment ? 1 : -1);
            changed = true;
        }
        text += y < count ? line + "\r\n" : line;
    }
    if (!changed)
        return true;
    {
        // The anchors collapse when the update closes: they are put back after it.
        const TzeDocUpdate update(m_doc);
        const TzeUndoGroup group(m_doc);
        const std::vector<TMarkLine> marks = m_doc.MarkLines(first, count);
        const TPoint from{1, first};
        m_doc.Replace(from, TPoint{int(LineOrEmpty(count).size()) + 1, count}, "", ucDelete);
        m_doc.Replace(from, from, text, ucInsert);
        m_doc.RestoreMarks(marks);
    }
    TFlagRestore exact(m_exactPoints, true);
    SetCaretXY(caret);
    SetAnchors(ClampAnchor(begin), ClampAnchor(end));
    if (m_client)
        m_client->SelectionRowsChanged(first, last);
    SelectionChanged();
    return true;
}

void TzeView::SelectAll()
{
    SetBlockBegin(TPoint{1, 1});
    TPoint end{1, 1};
    if (const int count = m_doc.Lines().Count(); count > 0) {
        end = TPoint{int(m_doc.Lines().Get(count - 1).size()) + 1, count};
        SetBlockEnd(end);
    }
    SetCaretXY(end);
}

// --- Undo and redo

void TzeView::ClampCaretToLineEnd()
{
    if (!m_options.ScrollPastEOL)
        SetCaretX(CaretX());
}

void TzeView::PlaceReplayed(const TzeSelectionPoints &points)
{
    SetBlockBegin(points.BlockBegin);
    SetBlockEnd(points.BlockEnd);
    SetCaretXY(points.Caret);
}

void TzeView::Undo()
{
    bool again = true;
    while (again && m_doc.UndoList().Count() > 0) {
        const TBatch batch(*this);
        {
            // Positions past a line end stand where blanks were that trimming
            // took: they are taken as they are, whatever ScrollPastEOL and
            // MaxLeftChar say.
            TFlagRestore pastEol(m_options.ScrollPastEOL, true);
            TFlagRestore exact(m_exactPoints, true);
            const TzeUndoStep step = m_doc.Undo(SelectionPoints(), m_options.Autoindent);
            PlaceReplayed(step.Points);
            again = step.Again;
        }
        ClampCaretToLineEnd();
    }
}

void TzeView::Redo()
{
    if (m_doc.RedoList().Count() == 0)
        return;
    const TBatch batch(*this);
    bool again = true;
    while (again && m_doc.RedoList().Count() > 0) {
        {
            TFlagRestore pastEol(m_options.ScrollPastEOL, true);
            TFlagRestore exact(m_exactPoints, true);
            const TzeUndoStep step = m_doc.Redo(SelectionPoints(), m_options.Autoindent);
            PlaceReplayed(step.Points);
            again = step.Again;
        }
        ClampCaretToLineEnd();
    }
}

// --- The table's commands without a window

bool TzeView::Execute(TzeEditorCommand command, char aChar, const TPoint *goTo)
{
    const TBatch batch(*this);
    if ((command >= ecLeft && command <= ecGotoXY) || (command >= ecSelLeft && command <= ecSelGotoXY)) {
        const TzeEditorCommand move = command >= ecSelection ? TzeEditorCommand(command - ecSelection) : command;
        return Move(command, goTo, move == ecWordLeft ? PrevWordPos() : move == ecWordRight ? NextWordPos() : m_caret);
    }
    switch (command) {
    case ecChar:
        if (static_cast<unsigned char>(aChar) != 9)
            return TypeChar(aChar);
        for (int i = 0; i < m_options.TabIndent; ++i)
            Execute(ecChar, ' ');
        return false;
    case ecDeleteLastChar:
        return DeleteLastChar();
    case ecDeleteChar:
        return DeleteChar();
    case ecDeleteWord:
        return DeleteWordTo(NextWordPos(), true);
    case ecDeleteLastWord:
        return DeleteWordTo(PrevWordPos(), false);
    case ecDeleteBOL:
        return DeleteToLineStart();
    case ecDeleteEOL:
        return DeleteToLineEnd();
    case ecDeleteLine:
        return DeleteCaretLine();
    case ecClearAll:
        if (!m_options.ReadOnly)
            ClearText();
        break;
    case ecLineBreak:
        return LineBreak(true);
    case ecInsertLine:
        return LineBreak(false);
    case ecUndo:
        Undo();
        break;
    case ecRedo:
        Redo();
        break;
    case ecInsertMode:
    case ecOverwriteMode:
        m_options.InsertMode = command == ecInsertMode;
        break;
    case ecToggleMode:
        m_options.InsertMode = !m_options.InsertMode;
        break;
    case ecSelectAll:
        SelectAll();
        break;
    case ecScrollUp:
    case ecScrollDown:
    case ecScrollLeft:
    case ecScrollRight:
        return Scroll(command);
    default:
        break;
    }
    return true;
}

// --- Folding

int TzeView::LineAtRow(int row) const noexcept
{
    if (!m_folds.AnyFolded() || row < 1)
        return row;
    // Below the text, with its last lines folded away: the line hiding them.
    const int count = m_doc.Lines().Count();
    if (row > RowCount() && m_folds.IsHidden(count))
        return m_folds.VisibleFrom(count, -1);
    return m_folds.LineOfRow(row);
}

void TzeView::SetFolding(bool value)
{
    if (value == m_folding)
        return;
    const int top = TopLine();
    m_folding = value;
    m_foldsPending = TFoldsPending{};
    if (value) {
        m_foldTracker.Reset(m_doc.Lines().Count(), LineSource());
        m_folds.SetRegions(m_foldTracker.Ranges());
    } else {
        m_foldTracker = TzeFoldTracker{};
        m_folds = TzeFoldMap{};
    }
    FoldsMoved(top);
}

void TzeView::UpdateFolds()
{
    const TFoldsPending pending = std::exchange(m_foldsPending, TFoldsPending{});
    const TzeFoldTracker::LineText text = LineSource();
    const int count = m_doc.Lines().Count();
    const int old = m_foldTracker.LineCount();
    int removed = 0;
    int inserted = 0;
    bool unfolded = false;
    if (!pending.All && pending.First != INT_MAX) {
        const int first = pending.First;
        const int tail = std::min(pending.Tail, count - first);
        removed = old - tail - first;
        inserted = count - tail - first;
    }
    if (pending.All || (pending.First == INT_MAX && old != count) || removed < 0 || inserted < 0) {
        // The whole text is new, or changed without saying where.
        m_foldTracker.Reset(count, text);
        unfolded = m_folds.UnfoldAll();
        removed = old;
        inserted = count;
    } else if (pending.First == INT_MAX) {
        return;
    } else {
        m_foldTracker.Replace(pending.First + 1, removed, inserted, text);
        m_folds.LinesReplaced(pending.First + 1, removed, inserted);
    }
    const bool moved = unfolded || removed != inserted ||
                       (m_foldTracker.Changed() && m_folds.Regions() != m_foldTracker.Ranges());
    if (moved)
        m_folds.SetRegions(m_foldTracker.Ranges());
    // The change put the caret where it is: what hides it opens.
    RevealLine(CaretY());
    if (!moved)
        return;
    if (m_client)
        m_client->FoldsChanged();
    // The caret's row was reckoned while the folded lines had not moved yet.
    if (m_folds.AnyFolded())
        EnsureCursorPosVisible();
}

TzeFoldTracker::LineText TzeView::LineSource() const
{
    const TzeEditList &lines = m_doc.Lines();
    return [&lines](int line) { return lines.Get(line - 1); };
}

int TzeView::ShownRow(int line) const noexcept
{
    return line > 0 && !IsHidden(line) ? RowOf(line) : 0;
}

bool TzeView::ChangeFolds(const std::function<bool(TzeFoldMap &)> &change)
{
    const int top = TopLine();
    if (!change(m_folds))
        return false;
    FoldsMoved(top);
    return true;
}

void TzeView::FoldsMoved(int topLine)
{
    const TBatch batch(*this);
    SetTopRow(RowOf(topLine));
    if (m_folds.IsHidden(CaretY())) {
        // The caret goes to the line that hides it, the selection with it.
        const int shown = m_folds.VisibleFrom(CaretY(), -1);
        SetCaretY(shown);
        ClampCaretToLineEnd();
        SetBlockBegin(CaretXY());
    }
    if (m_client)
        m_client->FoldsChanged();
}

bool TzeView::RevealLine(int line)
{
    return m_folds.AnyFolded() && m_folds.IsHidden(line) &&
           ChangeFolds([line](TzeFoldMap &folds) { return folds.Reveal(line); });
}

bool TzeView::RevealsInstead(TPoint a, TPoint b)
{
    if (!m_folds.AnyFolded())
        return false;
    bool revealed = false;
    for (int line = std::min(a.Y, b.Y), last = std::max(a.Y, b.Y); line <= last; ++line)
        revealed = RevealLine(line) || revealed;
    return revealed;
}

bool TzeView::Fold(int line)
{
    return m_folding && ChangeFolds([line](TzeFoldMap &folds) { return folds.Fold(line); });
}

bool TzeView::Unfold(int line)
{
    return ChangeFolds([line](TzeFoldMap &folds) { return folds.Unfold(line); });
}

bool TzeView::ToggleFold(int line)
{
    return m_folds.IsFolded(line) ? Unfold(line) : Fold(line);
}

bool TzeView::FoldAll()
{
    return m_folding && ChangeFolds([](TzeFoldMap &folds) { return folds.FoldAll(); });
}

bool TzeView::UnfoldAll()
{
    return ChangeFolds([](TzeFoldMap &folds) { return folds.UnfoldAll(); });
}

bool TzeView::FoldAround(int line)
{
    const TzeFoldRange *region = m_folds.InnermostAround(line, true);
    return region && Fold(region->First);
}

bool TzeView::UnfoldAround(int line)
{
    // A line that shows lies in no folded region but its own.
    return Unfold(line);
}
