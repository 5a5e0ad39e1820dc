// zeCustomEdit.h: the editor control, the one public header of editor/.
// TzeCustomEdit (the control on a QAbstractScrollArea) shows and edits the
// TzeDocument of zeDocument.h, which holds its lines, undo lists and marks.
#ifndef QUENLO_EDITOR_ZECUSTOMEDIT_H
#define QUENLO_EDITOR_ZECUSTOMEDIT_H

#include <array>
#include <climits>
#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QFont>
#include <QPointer>
#include <QRawFont>
#include <QStringList>
#include <QTimer>

#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"
#include "toolkit/ImageList.h"
#include "toolkit/StringList.h"
#include "highlight/zeHighlighter.h"
#include "editor/zeDecorations.h"
#include "editor/zeDocument.h"
#include "editor/zeTypes.h"
#include "editor/zeKeyCmds.h"
#include "editor/zeGutter.h"
#include "editor/zeViewMetrics.h"
#include "editor/zeView.h"

class QMenu;
class QPainter;
class QRegion;
class TzeCustomEdit;

// ---------------------------------------------------------------------------
// The editor control

// Text is Windows-1252 bytes, one byte one column. Positions are 1-based
// (column, line) points; Lines is indexed from 0, so line N is item N-1.
// Pixels are client pixels of the viewport; the gutter occupies
// 0 .. GutterWidth-1 and text column 1 starts at TextOrigin.
// Bookmark options of an editor; the glyph settings repaint the gutter.
class TzeBookMarkOpt {
public:
    explicit TzeBookMarkOpt(TzeCustomEdit *owner) noexcept : m_owner(owner) {}
    // Gates the marker commands.
    bool EnableKeys() const noexcept { return m_enableKeys; }
    void SetEnableKeys(bool value) noexcept { m_enableKeys = value; }
    bool GlyphsVisible() const noexcept { return m_glyphsVisible; }
    void SetGlyphsVisible(bool value);
    int LeftMargin() const noexcept { return m_leftMargin; }
    void SetLeftMargin(int value);
    int Xoffset() const noexcept { return m_xoffset; }
    void SetXoffset(int value);

private:
    bool m_enableKeys = true;
    bool m_glyphsVisible = true;
    int m_leftMargin = 2;
    TzeCustomEdit *m_owner;
    int m_xoffset = 12;
};

// The colours of selected text. Each setter stores only a different value,
// then repaints the owning editor.
class TzeSelectedColor {
public:
    explicit TzeSelectedColor(TzeCustomEdit *owner) noexcept : m_owner(owner) {}
    TColor Background() const noexcept { return m_background; }
    void SetBackground(TColor value);
    TColor Foreground() const noexcept { return m_foreground; }
    void SetForeground(TColor value);

private:
    TzeCustomEdit *m_owner;
    TColor m_background = clHighlight;
    TColor m_foreground = clHighlightText;
};

// What the mouse is doing with the editor's text. diPending: the last press
// hit the selection and a drag may follow; diDragging: the editor's own drag
// of that selection is under way.
enum TzeDragState : std::uint8_t { diNone, diPending, diDragging };

struct TzeMouseState {
    TzeDragState Drag = diNone;
    // A double click has just selected a word; the next release keeps it.
    bool DblClicked = false;
    // The left or another button went down in the editor and is still held.
    bool Captured = false;
    // The selection (ordered) and the pixel of the press that hit it; written
    // only by a press while a selection exists.
    TPoint DragBlockBegin;
    TPoint DragBlockEnd;
    QPoint MouseDown;
    // The pointer as the last move with the button held saw it.
    QPoint Pointer;
    // Runs AutoScrollTick while the pointer is held outside the text area.
    QTimer AutoScroll;
};

// How the control looks: frame, scroll bars, colours, font, right edge and
// the caret's shapes.
struct TzeLook {
    TBorderStyle BorderStyle = bsSingle;
    TScrollStyle ScrollBars = ssBoth;
    bool ShowScrollHint = true;
    TColor Color = clWindow;
    bool HideSelection = false;
    int RightEdge = 80;
    TColor RightEdgeColor = clSilver;
    QFont Font;
    // The editor's own face: it stands in for a proportional font.
    QFont OwnFace;
    TColor FontColor = clWindowText;
    int ExtraLineSpacing = 0;
    TCaretType InsertCaret = ctVerticalLine;
    TCaretType OverwriteCaret = ctBlock;
};

// Where and how the caret is drawn; it blinks with the platform's flash
// time while shown.
struct TzeCaretDisplay {
    QSize Size{2, 13};
    QPoint Offset{-1, 0};
    QPoint Pixel{0, 0};
    bool Visible = false;
    bool BlinkOn = true;
    QBasicTimer Blink;
};

// The paint lock's depth and the work it holds back until it ends.
struct TzePaintLockState {
    int Depth = 0;
    bool ScrollBars = false;
    bool Paint = false;
    bool Caret = false;
    bool CaretLine = false;
    // Set while the control itself sets its scroll bars.
    bool SettingScrollBars = false;
};

// The rows (1-based lines) the changes since the last LinesChanged touched,
// and whether the lines below them moved.
struct TzeChangedRows {
    int First = INT_MAX;
    int Last = 0;
    bool Below = false;
};

// What one paint covers: the cells touched, and the advance of every
// column of a painted run (MaxLeftChar entries of CharWidth).
struct TzePaintState {
    std::vector<int> CharAdvances;
    int FirstChar = 1;
    int LastChar = 1;
    int FirstLine = 1;
    int LastLine = 0;
};

// The scroll hint (a tool window without a parent, owned here) and what is
// left of the wheel's deltas below a notch.
struct TzeScrollHintState {
    std::unique_ptr<QWidget> Window;
    QString Text;
    int WheelAccumulator = 0;
};

// The bookmark glyphs: an image list of the application's, the built-in
// bitmaps, and the horizontal offset of each painted row's next mark.
struct TzeBookmarkGlyphs {
    QPointer<TImageList> Images;
    std::array<QPixmap, kBookmarkCount> Builtin;
    std::vector<int> MarkOffsets;
};

// The drop state a drag-over handler is told.
enum TzeDragOverState : std::uint8_t { dsDragEnter, dsDragMove, dsDragLeave };

// The format of the editor's own drags; other programs do not take it.
inline constexpr char kEditorDragMime[] = "application/x-quenlo-editor-block";

class TzeCustomEdit : public QAbstractScrollArea, public IzeHighlighterClient, private IzeViewClient {
    Q_OBJECT

public:
    // designing: the control is used by a form designer; it then starts
    // with an empty line list.
    explicit TzeCustomEdit(QWidget *parent = nullptr, bool designing = false);
    ~TzeCustomEdit() override;

    bool Designing() const noexcept { return m_designing; }
    // True once the control exists as a widget; Lines writes, list change
    // handling, scroll bar updates and paint-lock jobs wait for it.
    bool HandleAllocated() const noexcept { return m_handleAllocated; }

    // --- Text
    // The text the editor shows and edits.
    TzeDocument &Document() noexcept { return *m_doc; }
    // The control that shows document, if any: the one that owns it.
    static TzeCustomEdit *ShowingDocument(const TzeDocument *document) noexcept;
    const TzeDocument &Document() const noexcept { return *m_doc; }
    // Read-only: the text changes through the document.
    const TzeEditList &Lines() const noexcept { return m_doc->Lines(); }
    // Copies value into Lines (clear, which leaves an empty first line, then
    // every line with its slot); ignored while no handle exists.
    void SetLines(const TStringList &value);
    int LineCount() const noexcept { return Lines().Count(); }
    // Every line followed by CR LF.
    std::string Text() const { return Lines().Text(); }
    // Replaces the whole text without the extra empty line; caret to (1, 1),
    // undo lists emptied.
    void SetText(std::string_view value);
    // The caret line; empty when it does not exist. A write to a line that
    // does not exist is ignored.
    std::string LineText() const;
    void SetLineText(const std::string &value);

    // --- Caret and selection
    int CaretX() const noexcept { return m_view.CaretX(); }
    void SetCaretX(int value);
    int CaretY() const noexcept { return m_view.CaretY(); }
    void SetCaretY(int value);
    TPoint CaretXY() const noexcept { return m_view.CaretXY(); }
    // Line first, then column, under one paint lock.
    void SetCaretXY(TPoint value);
    // The earlier and the later anchor.
    TPoint BlockBegin() const noexcept { return m_view.BlockBegin(); }
    TPoint BlockEnd() const noexcept { return m_view.BlockEnd(); }
    // Puts both anchors on the clamped point: drops the selection.
    void SetBlockBegin(TPoint value);
    // Moves the end anchor only.
    void SetBlockEnd(TPoint value);
    bool SelAvail() const noexcept { return m_view.SelAvail(); }
    // Lines joined by CR LF; never ends with a break of its own.
    std::string SelText() const;
    // Replaces the selection (or inserts at the caret) and records ucDelete
    // and ucInsert changes.
    void SetSelText(const std::string &value);
    // Replaces the selection (or inserts at the caret) without undo records,
    // in one list update and one paint lock; the caret ends after the text.
    void SetSelTextPrimitive(const std::string &value);
    void SelectAll();
    // Collapses the selection to (1, 1) and clears Lines; undo is untouched.
    void ClearAll();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // Replaces the selection (or inserts at the caret) with text as a paste
    // does, one undo step.
    void PasteText(const std::string &text);
    // With Autoindent: leading characters of code 32 or lower; else 0.
    int LeftSpaces(std::string_view s) const;
    virtual TPoint NextWordPos();
    virtual TPoint PrevWordPos();
    // The highlighter's identifier characters, or 33..255 without one.
    TzeIdentChars IdentChars() const;

    // --- Properties
    bool Autoindent() const noexcept { return m_view.Options().Autoindent; }
    void SetAutoindent(bool value) noexcept { m_view.Options().Autoindent = value; }
    // With Autoindent, Return indents by VBScript's blocks and (InsertBlockEnds)
    // adds the closer a block lacks; off by default.
    bool BlockIndent() const noexcept { return m_view.Options().BlockIndent; }
    void SetBlockIndent(bool value) noexcept { m_view.Options().BlockIndent = value; }
    bool InsertBlockEnds() const noexcept { return m_view.Options().InsertBlockEnds; }
    void SetInsertBlockEnds(bool value) noexcept { m_view.Options().InsertBlockEnds = value; }
    // Puts or takes away ' at the indentation of the selected lines (or the
    // caret's), one undo step; nothing when ReadOnly.
    void CommentLines(bool comment);
    bool ScrollPastEOL() const noexcept { return m_view.Options().ScrollPastEOL; }
    void SetScrollPastEOL(bool value);
    int MaxLeftChar() const noexcept { return m_view.Metrics().MaxLeftChar; }
    // Clamped to 1..100000.
    void SetMaxLeftChar(int value);
    bool Modified() const noexcept { return m_doc->Modified(); }
    void SetModified(bool value) noexcept { m_doc->SetModified(value); }
    TScrollStyle ScrollBars() const noexcept { return m_look.ScrollBars; }
    void SetScrollBars(TScrollStyle value);
    TzeCustomHighLighter *HighLighter() const noexcept { return m_scanner.Highlighter; }
    void SetHighLighter(TzeCustomHighLighter *value);
    TBorderStyle BorderStyle() const noexcept { return m_look.BorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    bool ShowScrollHint() const noexcept { return m_look.ShowScrollHint; }
    void SetShowScrollHint(bool value) noexcept { m_look.ShowScrollHint = value; }

    // --- Colours and font
    // The background of the text area (system colours resolve through the palette).
    TColor Color() const noexcept { return m_look.Color; }
    void SetColor(TColor value);
    TzeSelectedColor &SelectedColor() noexcept { return *m_selectedColor; }
    // Shows the selection as plain text while the editor has no focus.
    bool HideSelection() const noexcept { return m_look.HideSelection; }
    void SetHideSelection(bool value);
    // The column after which a vertical line is drawn; 0 draws none.
    int RightEdge() const noexcept { return m_look.RightEdge; }
    void SetRightEdge(int value);
    TColor RightEdgeColor() const noexcept { return m_look.RightEdgeColor; }
    void SetRightEdgeColor(TColor value);
    // The editor font; its colour is FontColor.
    const QFont &Font() const noexcept { return m_look.Font; }
    // Takes a fixed-pitch font as it is. For any other font the editor keeps
    // its own face and takes the size and style of value, with fixed pitch.
    void SetFont(const QFont &value);
    TColor FontColor() const noexcept { return m_look.FontColor; }
    void SetFontColor(TColor value);
    // Whether every character the editor can show has one advance in font.
    static bool IsFixedPitch(const QFont &font);
    // --- Caret shapes, for insert and for overwrite mode
    TCaretType InsertCaret() const noexcept { return m_look.InsertCaret; }
    void SetInsertCaret(TCaretType value);
    TCaretType OverwriteCaret() const noexcept { return m_look.OverwriteCaret; }
    void SetOverwriteCaret(TCaretType value);
    // Takes the shape of the current mode and places the caret again.
    void InitializeCaret();
    QSize CaretSize() const noexcept { return m_caret.Size; }
    QPoint CaretOffset() const noexcept { return m_caret.Offset; }

    // --- Form life
    // The component name; at design time, while no form is being read, a
    // text that equals the old name (trailing blanks and control characters
    // aside) follows the rename.
    void SetName(const QString &value);
    QString Name() const { return objectName(); }
    // Set while a form is being read; Loaded ends it and brings the scroll
    // bars up to date.
    void SetReading(bool value) noexcept { m_reading = value; }
    virtual void Loaded();

    // --- Undo
    const TUndoList &UndoList() const noexcept { return m_doc->UndoList(); }
    const TUndoList &RedoList() const noexcept { return m_doc->RedoList(); }
    int MaxUndo() const noexcept { return m_doc->MaxUndo(); }
    // A negative value is ignored.
    void SetMaxUndo(int value) { m_doc->SetMaxUndo(value); }
    bool CanUndo() const noexcept { return m_doc->UndoList().Count() > 0; }
    bool CanRedo() const noexcept { return m_doc->RedoList().Count() > 0; }
    // Reverts the newest change (a paste over a selection or a drop move in one
    // step) and moves its inverse to the redo list; Redo the other way round.
    void Undo();
    void Redo();
    void LockUndo() noexcept { m_doc->LockUndo(); }
    void UnlockUndo() noexcept { m_doc->UnlockUndo(); }
    // Drops the selection, dragged from dragBegin..dragEnd, at drop: moved,
    // or copied with copy, and recorded as ucDropDelete (a move only) and
    // ucDropInsert. The caret ends after the dropped text. False, with
    // nothing changed, without a selection, when read-only, or for a drop
    // onto the dragged text itself (ends included).
    bool DropSelection(TPoint drop, TPoint dragBegin, TPoint dragEnd, bool copy);
    void ClearUndo() noexcept { m_doc->ClearUndo(); }

    // --- Marks and the ten bookmarks
    TMarkList &Marks() noexcept { return m_doc->Marks(); }
    TzeBookMarkOpt &BookMarkOptions() noexcept { return *m_bookMarkOptions; }
    // The mark in slot n (0 .. kBookmarkCount - 1), or none.
    TMark *Bookmarks(int n) const noexcept { return m_doc->Bookmark(n); }
    // Places bookmark n at (column, line), replacing any bookmark on that line
    // and the old one of slot n; nothing for a slot outside the count or a line past the text.
    void SetBookmark(int n, int column, int line);
    void ClearBookmark(int n) { m_doc->ClearBookmark(n); }
    void GotoBookmark(int n);
    // May change the new mark, replace it (the editor then owns the replacement
    // and frees the original) or set it to none to cancel.
    std::function<void(TMark *&mark)> OnPlaceBookmark;

    // --- Paint lock: while above zero, scroll bar updates, repaints and
    // caret placement are only flagged; the decrement to zero runs them.
    int PaintLock() const noexcept { return m_lock.Depth; }
    void IncPaintLock() noexcept { ++m_lock.Depth; }
    void DecPaintLock();

    // --- Grid metrics (pixels unless stated)
    int CharWidth() const noexcept { return m_view.Metrics().CharWidth; }
    int LineHeight() const noexcept { return m_view.Metrics().LineHeight; }
    int GutterWidth() const noexcept { return m_view.Metrics().GutterWidth; }
    int TextOrigin() const noexcept { return m_view.Metrics().TextOrigin; }
    // Whole columns and rows that fit in the text area.
    int CharsInWindow() const noexcept { return m_view.Metrics().CharsInWindow; }
    int LinesInWindow() const noexcept { return m_view.Metrics().LinesInWindow; }
    int ExtraLineSpacing() const noexcept { return m_look.ExtraLineSpacing; }
    // Stores and recomputes the metrics, without comparing.
    void SetExtraLineSpacing(int value);
    int ClientWidth() const;
    int ClientHeight() const;

    // --- Scrolling and caret display
    int TopLine() const noexcept { return m_view.TopLine(); }
    void SetTopLine(int value);
    int LeftChar() const noexcept { return m_view.LeftChar(); }
    void SetLeftChar(int value);
    void UpdateScrollBars(bool force = false);
    void EnsureCursorPosVisible();
    void UpdateCaret();
    // The caret's size and offset for the character under it.
    void ShapeCaret();
    // Caret cell position in client pixels and whether it is shown.
    bool CaretShown() const noexcept { return m_caret.Visible; }
    QPoint CaretPixel() const noexcept { return m_caret.Pixel; }

    // --- Decorations the host sets over the text: error span and glyph,
    // partner frames, occurrence word. Setting them repaints what changed.
    const TzeDecorations &Decorations() const noexcept { return m_decorations; }
    void SetDecorations(TzeDecorations value);
    // The decorations with their spans in screen cells, as they are painted
    // and hit-tested (a tab character covers the cells up to its stop).
    TzeDecorations CellDecorations() const;
    // The character under a client pixel of the viewport (see TzeView::CharAtPixel).
    TPoint CharAtPixel(QPoint pixel) const { return m_view.CharAtPixel(pixel.x(), pixel.y()); }

    // --- Repaint requests of document lines (a folded line repaints the
    // row that hides it); (-1, -1) means the whole area.
    void InvalidateLines(int first, int last);
    void InvalidateGutterLines(int first, int last);

    // --- Folding by blocks and comment runs (TzeView's folding). On, the
    // gutter gets its fold column, where a click on a region's first line
    // folds or unfolds it; off, everything shows. Off by default.
    bool Folding() const noexcept { return m_view.Folding(); }
    void SetFolding(bool value);
    void FoldAll();
    void UnfoldAll();
    // The innermost unfolded region around the caret folds; the folded
    // region on the caret's line unfolds.
    void FoldAtCaret();
    void UnfoldAtCaret();
    // Folds or unfolds the region starting on line.
    void ToggleFold(int line);
    // The view's caret, rows and folds, to read.
    const TzeView &View() const noexcept { return m_view; }
    // The box after the text of the folded line shown in row; empty when
    // that line is not folded.
    QRect FoldedMarkerAt(int row) const;
    // The left edge of the fold column, or -1 without one.
    int FoldColumnLeft() const noexcept;

    // --- View: grid, gutter, bookmark glyphs and scroll codes
    // The grid and the view position as they stand.
    TzeViewMetrics ViewMetrics() const;
    TzeGutter &Gutter() noexcept { return *m_gutter; }
    // Copies the settings (TzeGutter::Assign).
    void SetGutter(const TzeGutter &value) { m_gutter->Assign(value); }
    // Takes the width the gutter asks for, or repaints the gutter when it is unchanged.
    void UpdateGutterWidth();
    // At least 0; keeps the text at its scroll position.
    void SetGutterWidth(int value);
    // Images for marks that do not use the built-in glyphs; none by default.
    // An image list that goes away is forgotten.
    TImageList *BookmarkImages() const noexcept { return m_glyphs.Images; }
    void SetBookmarkImages(TImageList *value);
    // Built-in glyph n (0 .. kBookmarkCount - 1); a null pixmap otherwise.
    QPixmap BuiltinBookmarkBitmaps(int n) const;
    // The x offset reached on each visible row by the last gutter paint.
    const std::vector<int> &MarkOffsets() const noexcept { return m_glyphs.MarkOffsets; }
    // Runs one scroll code of the vertical or the horizontal bar (TzeScrollCode);
    // position is the thumb position for the thumb codes.
    void VerticalScroll(int code, int position = 0);
    void HorizontalScroll(int code, int position = 0);
    // The hint shown while the vertical thumb is dragged; empty when off the screen.
    QString ScrollHintText() const;
    int MouseWheelAccumulator() const noexcept { return m_hint.WheelAccumulator; }
    // Paints the gutter and text of rect, and OnPaint, into painter (a
    // window or an image).
    void Paint(QPainter &painter, const QRect &rect);

    // --- Commands and key bindings
    TzeKeyStrokes &Keystrokes() noexcept { return *m_keystrokes; }
    // Nothing clears every binding; a collection is copied into the editor's own.
    void SetKeystrokes(const TzeKeyStrokes *value);
    virtual void ResetKeystrokes();
    // The command bound to exactly this key and these modifiers, or ecNone.
    TzeEditorCommand TranslateKeyCode(std::uint16_t key, TShiftState shift, void *&data) const;
    // Runs one command: offered to the application first, executed under one
    // paint lock, then OnCommandDone unless it ended early or raised.
    virtual void CommandProcessor(TzeEditorCommand command, char aChar, void *data);
    bool ReadOnly() const noexcept { return m_view.Options().ReadOnly; }
    void SetReadOnly(bool value) noexcept { m_view.Options().ReadOnly = value; }
    bool InsertMode() const noexcept { return m_view.Options().InsertMode; }
    void SetInsertMode(bool value);
    int TabIndent() const noexcept { return m_view.Options().TabIndent; }
    // Accepted only within 1..16.
    void SetTabIndent(int value) noexcept;
    // Off: Tab moves the focus to the next control; on: it types TabIndent blanks.
    bool WantTabs() const noexcept { return m_wantTabs; }
    void SetWantTabs(bool value) noexcept { m_wantTabs = value; }
    bool HalfpageScroll() const noexcept { return m_view.Options().HalfpageScroll; }
    void SetHalfpageScroll(bool value) noexcept { m_view.Options().HalfpageScroll = value; }

    using TProcessCommandEvent = std::function<void(TzeEditorCommand &command, char &aChar, void *data)>;
    TProcessCommandEvent OnProcessCommand;
    TProcessCommandEvent OnProcessUserCommand;
    std::function<void(TzeCustomEdit &)> OnCommandDone;
    // Before a key is translated; setting key to 0 keeps it from its
    // binding (a character it types is still typed, as a key press).
    std::function<void(TzeCustomEdit &, std::uint16_t &key, TShiftState shift)> OnKeyDown;
    // Before a typed character goes to ecChar; it may change the character.
    std::function<void(TzeCustomEdit &, char &key)> OnKeyPress;
    // When a key is let go (not for the releases of auto-repeat).
    std::function<void(TzeCustomEdit &, std::uint16_t &key, TShiftState shift)> OnKeyUp;
    // When the focus comes to the editor from another control of its window,
    // and when it leaves for one (not when the window itself is (de)activated).
    std::function<void(TzeCustomEdit &)> OnEnter;
    std::function<void(TzeCustomEdit &)> OnExit;
    // At the end of every paint, the canvas clipped to the update rectangle.
    std::function<void(TzeCustomEdit &, TCanvas &canvas)> OnPaint;
    std::function<void(TzeCustomEdit &, TzePrintStatus status, int pageNumber, bool &abort)> OnPrintStatus;

    // --- Events, called only when set.
    std::function<void(TzeCustomEdit &)> OnChange;
    // Characters that Windows-1252 cannot hold were left out of typed
    // (typed true, after a beep) or pasted text; one entry per character.
    std::function<void(TzeCustomEdit &, const QStringList &characters, bool typed)> OnUnstorableText;
    std::function<void(TzeCustomEdit &)> OnSelectionChange;

    // --- Mouse
    // Shown by a right click; the press and release then leave the caret alone.
    QMenu *PopupMenu() const noexcept;
    void SetPopupMenu(QMenu *value) noexcept;
    // Puts the caret at the text point under client pixel (x, y), clamped by
    // the caret setters.
    void ComputeCaret(int x, int y);
    // x from GutterWidth to the right edge, y inside the client height.
    bool IsMouseInTextArea(int x, int y) const;
    // Selects the word at p, or the word before or after it on its line; a
    // line without word characters changes nothing.
    void SetWordBlock(TPoint p);
    const TzeMouseState &MouseState() const noexcept { return m_mouse; }
    // One pass of the auto-scroll while a held button has the pointer outside
    // the text area: scrolls, extends the selection to the edge and sets the
    // timer for the next pass (100 ms, or none from 42 pixels out). Stops the
    // timer once the button is up or the pointer is back.
    void AutoScrollTick();
    // The drag-over and drop answers, source being where the drag came from
    // (this editor for its own selection); for a drop, ctrl copies. False when
    // the drag is refused or nothing is dropped.
    bool DragOverAt(QObject *source, int x, int y, TzeDragOverState state);
    bool DragDropAt(QObject *source, int x, int y, bool ctrl);

    using TMouseEvent = std::function<void(TzeCustomEdit &, Qt::MouseButton button, TShiftState shift, int x, int y)>;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    std::function<void(TzeCustomEdit &, TShiftState shift, int x, int y)> OnMouseMove;
    // A left press and release inside the editor, and a double click.
    std::function<void(TzeCustomEdit &)> OnClick;
    std::function<void(TzeCustomEdit &)> OnDblClick;
    // May accept a drag from any source; the editor's own are accepted anyway.
    std::function<void(TzeCustomEdit &, QObject *source, int x, int y, TzeDragOverState state, bool &accept)> OnDragOver;
    std::function<void(TzeCustomEdit &, QObject *source, int x, int y)> OnDragDrop;
    // Before and after the editor's own drag; dropped tells whether a target took it.
    std::function<void(TzeCustomEdit &)> OnStartDrag;
    std::function<void(TzeCustomEdit &, bool dropped)> OnEndDrag;

    // --- Highlighter notifications
    void HighlighterChanged() override;
    void HighlighterDestroyed(TzeCustomHighLighter *highlighter) override;

protected:
    virtual void DoOnProcessCommand(TzeEditorCommand &command, char &aChar, void *data);
    // Executes a command in 1..1000 through its family; false when it ended early.
    bool ExecuteCommand(TzeEditorCommand command, char aChar, void *data);
    bool MovementCommand(TzeEditorCommand command, void *data);
    bool TextCommand(TzeEditorCommand command, char aChar);
    bool MarkerCommand(TzeEditorCommand command);
    // A tab types TabIndent blanks, each as a command of its own.
    bool TypeChar(char c);
    // After the lines changed: a caret below the last line goes to the last
    // line, at once or, under a paint lock, when the lock ends.
    void KeepCaretInText();
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    virtual void DoOnSelectionChange();
    virtual void DoOnPrintStatus(TzePrintStatus status, int pageNumber, bool &abort);
    virtual void PaintGutter(TCanvas &canvas, const QRect &rect);
    virtual void PaintText(TCanvas &canvas, const QRect &rect);
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // Runs the editor's own drag of the selection (modal until it ends).
    virtual void StartDrag();

    // Every change of the document's lines: repaints from the hint on and
    // keeps the caret and the scroll bars in step.
    void DocumentModified(const TzeDocChange &change);
    // After the list's update bracket: what the hints gathered is repainted.
    void LinesChanged();

    void FontChanged();
    void SetCharWidth(int value);
    void SetLinesInWindow(int value);
    // The whole text area and gutter.
    void InvalidateAll();

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

    bool m_handleAllocated = false;

private:
    // Whether the selection is shown: there is one, and HideSelection does not hide it.
    bool SelectionShown() const;
    void ApplyScrollBarPolicies();
    void ScrollBarMoved(Qt::Orientation orientation, int value);
    void LineCountChanged();
    bool AnchorOnALine(TPoint p) const noexcept;
    // Line (1-based) or the empty string where it does not exist.
    std::string_view LineOrEmpty(int line) const { return m_doc->LineOrEmpty(line); }
    QRect CaretRect() const;

    // Registers (editor) or forgets (null) the control that shows document.
    static void ShowDocument(const TzeDocument *document, TzeCustomEdit *editor);
    std::unique_ptr<TzeDocument> m_doc;
    // Caret, selection, view position and grid, and the commands' rules.
    TzeView m_view;
    TzeLook m_look;
    TzeCaretDisplay m_caret;
    TzePaintLockState m_lock;
    TzeChangedRows m_changed;
    TzePaintState m_paint;
    TzeScrollHintState m_hint;
    TzeBookmarkGlyphs m_glyphs;
    // What the view tells: the caret, the selection and the scroll bars shown.
    void CaretMoved() override { UpdateCaret(); }
    void SelectionChanged() override { DoOnSelectionChange(); }
    void ViewScrolled(bool vertical) override;
    void SelectionRowsChanged(int first, int last) override { InvalidateLines(first, last); }
    void BeginBatch() override { IncPaintLock(); }
    void EndBatch() override { DecPaintLock(); }
    void TextChanged() override { LinesChanged(); }
    void LinesModified(const TzeDocChange &change) override { DocumentModified(change); }
    void FoldsChanged() override;
    // The display row of a document line; -1 stays -1.
    int RowOfLine(int line) const noexcept;
    void PaintFoldedMarkers(QPainter &painter, const QRect &rect);
    // A left press on the fold column or a folded line's box: folds or
    // unfolds and answers true.
    bool FoldClick(QPoint pos);
    TzeDecorations m_decorations;
    // The highlighter as the document's scanner of range states.
    class THighlighterScanner : public IzeRangeScanner {
    public:
        std::intptr_t InitialRange() override;
        std::intptr_t RangeAfter(std::string_view line, int index, std::intptr_t state) override;
        TzeCustomHighLighter *Highlighter = nullptr;
        // Every highlighter whose editor list may still hold this editor; the
        // destructor removes it from all of them.
        std::set<TzeCustomHighLighter *> RegisteredWith;
    } m_scanner;
    std::unique_ptr<TzeKeyStrokes> m_keystrokes;
    std::unique_ptr<TzeBookMarkOpt> m_bookMarkOptions;
    bool m_wantTabs = false;

    bool m_designing;


    std::unique_ptr<TzeSelectedColor> m_selectedColor;
    bool m_reading = false;
    void RestartCaretBlink();

    // --- Mouse
    // Whether a press or release of button with modifiers is the popup
    // menu's: a plain right click with a menu assigned.
    bool IsPopupClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) const noexcept;
    // The selection follows the pointer while the left button is held.
    void ExtendSelectionTo(QPoint pos);
    void InitMouse();
    TzeMouseState m_mouse;
    QPointer<QMenu> m_popupMenu;

    // --- View parts: gutter, bookmark glyphs, wheel, scroll hint
    void ScrollBarAction(Qt::Orientation orientation, int action);
    void ShowScrollHint(bool shown);
    std::unique_ptr<TzeGutter> m_gutter;
};

// Holds the editor's paint lock for a scope.
class TPaintLockGuard {
public:
    explicit TPaintLockGuard(TzeCustomEdit &edit) noexcept : m_edit(edit) { m_edit.IncPaintLock(); }
    ~TPaintLockGuard() { m_edit.DecPaintLock(); }
    TPaintLockGuard(const TPaintLockGuard &) = delete;
    TPaintLockGuard &operator=(const TPaintLockGuard &) = delete;

private:
    TzeCustomEdit &m_edit;
};

// Locks recording in both undo lists for a scope.
class TUndoLockGuard {
public:
    explicit TUndoLockGuard(TzeCustomEdit &edit) noexcept : m_edit(edit) { m_edit.LockUndo(); }
    ~TUndoLockGuard() { m_edit.UnlockUndo(); }
    TUndoLockGuard(const TUndoLockGuard &) = delete;
    TUndoLockGuard &operator=(const TUndoLockGuard &) = delete;

private:
    TzeCustomEdit &m_edit;
};

#endif
