// zeView.h: the caret, the selection and the view position over a document,
// with the rules that move them and the editor's movement and text commands.
// Nothing here needs a window: the editor control is one client of a
// TzeView, a test is another.
#ifndef QUENLO_EDITOR_ZEVIEW_H
#define QUENLO_EDITOR_ZEVIEW_H

#include <algorithm>
#include <bitset>
#include <climits>
#include <functional>
#include <string>
#include <string_view>

#include "editor/zeDocument.h"
#include "editor/zeFoldMap.h"
#include "editor/zeFolds.h"
#include "editor/zeKeyCmds.h"
#include "editor/zeTypes.h"
#include "editor/zeViewMetrics.h"

// What a view tells the one who shows it. Every call may come while a
// batch is open; the client may defer its work to the batch's end.
class IzeViewClient {
public:
    // The caret or the view under it moved: the caret is drawn again.
    virtual void CaretMoved() = 0;
    // The caret or the selection moved (OnSelectionChange).
    virtual void SelectionChanged() = 0;
    // TopLine (vertical) or LeftChar changed: scroll bars and repaint.
    virtual void ViewScrolled(bool vertical) = 0;
    // The selection changed on lines first .. last.
    virtual void SelectionRowsChanged(int first, int last) = 0;
    // Several moves that are shown once, when the outermost batch ends.
    virtual void BeginBatch() = 0;
    virtual void EndBatch() = 0;
    // The document's lines changed (the outermost update bracket closed):
    // the client keeps the caret in the text and collapses the anchors
    // (KeepCaretInText, CollapseAnchors), and repaints.
    virtual void TextChanged() = 0;
    // Each change notice of the document, inside its bracket; for a text
    // cleared or set as a whole the client calls TzeView::TextReplaced.
    virtual void LinesModified(const TzeDocChange &change) = 0;
    // The fold regions or what is folded changed: rows moved.
    virtual void FoldsChanged() {}

protected:
    ~IzeViewClient() = default;
};

// The options the commands read.
struct TzeViewOptions {
    bool ScrollPastEOL = true;
    bool InsertMode = true;
    bool Autoindent = true;
    bool ReadOnly = false;
    bool HalfpageScroll = false;
    int TabIndent = 4;
    // With Autoindent: Return follows the blocks of VBScript (zeSmartEdit),
    // and with InsertBlockEnds adds the closer a block lacks.
    bool BlockIndent = false;
    bool InsertBlockEnds = true;
};

// The characters that make words, for the word moves and deletes.
using TzeWordChars = std::bitset<256>;

// One view of a document. Points are 1-based (column, line); the anchors
// are kept in the order set (BlockEnd is the one a selection extends).
class TzeView {
public:
    // client may be null: the view then tells no one. The view hears of
    // the document's changes of the lines (OnLinesChanged) until it goes.
    explicit TzeView(TzeDocument &document, IzeViewClient *client = nullptr);
    ~TzeView();
    TzeView(const TzeView &) = delete;
    TzeView &operator=(const TzeView &) = delete;
    // Stops listening to the document, which is about to go first.
    void Detach() noexcept;

    TzeDocument &Document() noexcept { return m_doc; }
    const TzeDocument &Document() const noexcept { return m_doc; }
    // The grid and the view position; ClientWidth and ClientHeight are the
    // client's to keep current.
    const TzeViewMetrics &Metrics() const noexcept { return m_metrics; }
    TzeViewMetrics &Metrics() noexcept { return m_metrics; }
    TzeViewOptions &Options() noexcept { return m_options; }
    const TzeViewOptions &Options() const noexcept { return m_options; }
    void SetWordChars(const TzeWordChars &chars) noexcept { m_wordChars = chars; }
    // Set while recorded points are put back (undo, typing): they are taken
    // as they are, whatever MaxLeftChar says.
    bool &ExactPoints() noexcept { return m_exactPoints; }

    // --- Caret
    int CaretX() const noexcept { return m_caret.X; }
    int CaretY() const noexcept { return m_caret.Y; }
    TPoint CaretXY() const noexcept { return m_caret; }
    // Without ScrollPastEOL the column stops at the line end; else at
    // MaxLeftChar - CharsInWindow or the line end, whichever is further
    // (not with ExactPoints). The view follows the caret.
    void SetCaretX(int value);
    // Clamped to the line count; without ScrollPastEOL the column then
    // stops at the new line's end.
    void SetCaretY(int value);
    // Line and column in one step: the view scrolls to the new point only.
    void SetCaretXY(TPoint value);
    // Puts the caret on p as it is, for a change under way.
    void PlaceCaretAt(TPoint p);

    // --- Selection
    TPoint BlockBegin() const noexcept { return MinPoint(m_blockBegin, m_blockEnd); }
    TPoint BlockEnd() const noexcept { return MaxPoint(m_blockBegin, m_blockEnd); }
    TPoint BlockBeginAnchor() const noexcept { return m_blockBegin; }
    TPoint BlockEndAnchor() const noexcept { return m_blockEnd; }
    // Puts both anchors on the clamped point: drops the selection.
    void SetBlockBegin(TPoint value);
    // Moves the end anchor only.
    void SetBlockEnd(TPoint value);
    // Both anchors as given (a word selected by the mouse).
    void SetAnchors(TPoint begin, TPoint end) noexcept;
    bool SelAvail() const noexcept { return m_blockBegin != m_blockEnd; }
    std::string SelText() const;
    // An anchor point inside the text's lines and columns.
    TPoint ClampAnchor(TPoint value) const;
    // After a change of the lines the anchors collapse onto the caret.
    void CollapseAnchors() { SetBlockBegin(m_caret); }
    // A caret below the last line goes to the last line.
    void KeepCaretInText();
    // The whole text went (cleared) or was set: caret, anchors and view
    // position back to the start.
    void TextReplaced(bool cleared);

    // --- View position. Metrics().TopLine counts display rows: with lines
    // folded away, a row shows the next visible line. TopLine is the
    // document line of the top row.
    int TopLine() const noexcept { return LineAtRow(m_metrics.TopLine); }
    void SetTopLine(int value);
    int TopRow() const noexcept { return m_metrics.TopLine; }
    void SetTopRow(int value);
    int LeftChar() const noexcept { return m_metrics.LeftChar; }
    void SetLeftChar(int value);
    // Scrolls as little as needed to show the caret.
    void EnsureCursorPosVisible();

    // --- Screen cells: LeftChar, the right edge and the scroll range count
    // cells; a tab character reaches the next stop, every TabIndent cells.
    int TabWidth() const noexcept { return std::max(1, m_options.TabIndent); }
    // The first cell of p's column on its line.
    int CellOf(TPoint p) const;
    // Where p shows: its cell and its row. A point on a hidden line shows
    // after the text of the line that hides it.
    TPoint ScreenPoint(TPoint p) const;
    // The column of line whose cells hold cell.
    int ColumnAtCell(int line, int cell) const;
    // The text point under client pixel (x, y): the line as PixelToPoint
    // gives it, the column rounded to the nearer edge of the character
    // under the pointer.
    TPoint PointAtPixel(int x, int y) const;
    // The character under client pixel (x, y): its column (past the line
    // end, one per cell) and line.
    TPoint CharAtPixel(int x, int y) const;

    // --- Folding: regions of lines (blocks, comment runs) that can fold
    // away under their first line. Off, there are no regions and every line
    // shows. A caret put on a hidden line unfolds what hides it.
    bool Folding() const noexcept { return m_folding; }
    void SetFolding(bool value);
    const TzeFoldMap &Folds() const noexcept { return m_folds; }
    // The region starting on line, folded or unfolded; each answers whether
    // anything changed. A caret hidden by a fold goes to its first line.
    bool Fold(int line);
    bool Unfold(int line);
    bool ToggleFold(int line);
    bool FoldAll();
    bool UnfoldAll();
    // The innermost unfolded region around line folds; the folded region
    // starting on line (or around it) unfolds.
    bool FoldAround(int line);
    bool UnfoldAround(int line);
    // Unfolds whatever hides line.
    bool RevealLine(int line);
    bool IsHidden(int line) const noexcept { return m_folds.IsHidden(line); }
    // Display rows (1-based): the rows the text takes, the row that shows
    // line (a hidden one: the row of the line hiding it), and the line a
    // row shows (rows outside the text: the first or the last row's).
    int RowCount() const noexcept { return m_folds.RowCount(m_doc.Lines().Count()); }
    int RowOf(int line) const noexcept { return m_folds.AnyFolded() ? m_folds.RowOfLine(line) : line; }
    int LineAtRow(int row) const noexcept;
    // The row of a line that shows, 0 for a hidden line or none (line 0).
    int ShownRow(int line) const noexcept;
    // The visible line step rows away from line, within the text.
    int LineRowsAway(int line, int step) const noexcept { return LineAtRow(RowOf(line) + step); }

    // --- Reading the text
    std::string_view LineOrEmpty(int line) const { return m_doc.LineOrEmpty(line); }
    std::string LineText() const { return std::string(LineOrEmpty(m_caret.Y)); }
    // With Autoindent: leading characters of code 32 or lower; else 0.
    int LeftSpaces(std::string_view s) const;
    TPoint NextWordPos() const;
    TPoint PrevWordPos() const;

    // --- Commands. Each answers false when it ended early (no OnCommandDone).
    // One command of the editor's table as the control runs it, in one
    // batch: movement, scrolling, typing (a tab types TabIndent blanks, each
    // a change of its own), deleting, breaking, undo and redo, select all
    // and the modes; the clipboard and the markers are the control's and do
    // nothing here. goTo is ecGotoXY's point.
    bool Execute(TzeEditorCommand command, char aChar = '\0', const TPoint *goTo = nullptr);
    // The caret movements and their selecting forms (ecLeft .. ecGotoXY,
    // ecSelLeft .. ecSelGotoXY); goTo is ecGotoXY's point, word the point
    // a word move goes to (NextWordPos or PrevWordPos as they stand).
    bool Move(TzeEditorCommand command, const TPoint *goTo, TPoint word);
    // ecScrollUp .. ecScrollRight: the view moves a line or a column, the
    // caret stays inside it.
    bool Scroll(TzeEditorCommand command);
    // A printable character typed (overwriting in overwrite mode).
    bool TypeChar(char c);
    bool DeleteLastChar();
    bool DeleteChar();
    // From the caret to word (ecDeleteWord, ecDeleteLastWord).
    bool DeleteWordTo(TPoint word, bool forward);
    bool DeleteToLineStart();
    bool DeleteToLineEnd();
    bool DeleteCaretLine();
    // Empties the text; the caret and the selection go to (1, 1).
    void ClearText();
    bool LineBreak(bool moveCaret);
    // Puts (comment) or takes away the comment mark ' after the leading
    // blanks of every line of the selection (a last line that the selection
    // only reaches at column 1 left out), or of the caret's line: one undo
    // step; the selection still covers the same lines.
    bool CommentLines(bool comment);
    // Replaces the selection (or inserts at the caret) by value, recording
    // the deletion and the insertion under the kinds given (ucNone: not
    // recorded), in one list update and one batch; the caret ends after the
    // text. Answers where the text went.
    TPoint ReplaceSelection(const std::string &value, TUndoChangeKind deletion, TUndoChangeKind insertion);
    void SelectAll();
    // Puts the caret on a line that exists, adding an empty line to an
    // empty list, so that text typed or inserted there is never lost.
    void EnsureCaretLine();
    // Reverts the newest undo step (a group as one), or redoes the newest
    // redo step; the caret and anchors go where the step leaves them.
    void Undo();
    void Redo();

private:
    class TBatch;
    void DocumentLinesChanged();
    void DocumentModified(const TzeDocChange &change);
    // The movement families: a column, a line, and the far moves (words,
    // line ends, pages, the text's ends, a point).
    void MoveSideways(int step, bool selecting);
    void MoveUpOrDown(int step, bool selecting);
    void MoveFar(TzeEditorCommand move, const TPoint *goTo, TPoint word, bool selecting);
    void CaretMoved() const;
    void SelectionChanged() const;
    // Deletes change's range through the document; the caret goes to its start.
    void DeleteRange(const TzeTextChange &change);
    void PlaceReplayed(const TzeSelectionPoints &points);
    // Return by the block rules when they apply (see PlanReturn).
    bool BlockLineBreak();
    TzeSelectionPoints SelectionPoints() const noexcept { return {m_caret, m_blockBegin, m_blockEnd}; }
    // Without ScrollPastEOL, a caret past its line end goes back to the end.
    void ClampCaretToLineEnd();
    // The fold regions brought up to date with the lines the change notices
    // of the bracket that ended touched.
    void UpdateFolds();
    // After folds changed: the top row keeps its line, a hidden caret goes
    // to the line hiding it, and the client hears of it.
    void FoldsMoved(int topLine);
    // Runs change on the folds; when it answers that something changed,
    // FoldsMoved follows, the top line as it was before.
    bool ChangeFolds(const std::function<bool(TzeFoldMap &)> &change);
    // The document's lines as the fold tracker reads them.
    TzeFoldTracker::LineText LineSource() const;
    // Whether the key command's range from a to b would change a hidden
    // line; if so, the folds hiding it open instead.
    bool RevealsInstead(TPoint a, TPoint b);

    TzeDocument &m_doc;
    IzeViewClient *m_client;
    TzeViewMetrics m_metrics;
    TzeViewOptions m_options;
    TzeWordChars m_wordChars;
    TPoint m_caret{1, 1};
    TPoint m_blockBegin{1, 1};
    TPoint m_blockEnd{1, 1};
    bool m_exactPoints = false;
    bool m_attached = true;
    // Without a client: open batches, and a caret check waiting for them.
    int m_batchDepth = 0;
    bool m_keepCaretPending = false;
    // Folding: the regions kept current, the rows they fold away, and the
    // lines touched by the change notices since the last bracket ended
    // (0-based first line, lines after them untouched, or everything).
    bool m_folding = false;
    TzeFoldTracker m_foldTracker;
    TzeFoldMap m_folds;
    struct TFoldsPending {
        int First = INT_MAX;
        int Tail = INT_MAX;
        bool All = false;
    } m_foldsPending;
};

#endif
