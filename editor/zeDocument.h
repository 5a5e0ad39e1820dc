// zeDocument.h: the editor's text without a window.
// TzeEditList (line list with hooks), TUndoList (undo and redo records), TMark
// and TMarkList (gutter marks), and TzeDocument, which owns them all with the
// editing primitives, the lazily computed range states and the change notices
// that tell a view what to repaint. Nothing here depends on Qt.
#ifndef QUENLO_EDITOR_ZEDOCUMENT_H
#define QUENLO_EDITOR_ZEDOCUMENT_H

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/StringList.h"
#include "editor/zeTypes.h"

class TzeCustomEdit;
class TzeDocument;

// ---------------------------------------------------------------------------
// Line list

// The editor's string list. Each line's integer slot holds the highlighter's
// range state at the start of that line; the owning document computes the
// slots when they are read (OnNeedObject) and learns of every change through
// the hooks. Every changing operation runs in one update bracket and calls
// its hook inside it, so OnChange fires once, afterwards. Indexes are
// 0-based; an index outside the list raises EListError. A document hands
// its list out read-only: its text changes only through the document.
class TzeEditList : public TStringList {
public:
    // Appends S; OnAdded after the append.
    int Add(std::string_view s) override;
    // Inserts S before line index (0 .. Count); OnInserted(index).
    void Insert(int index, std::string_view s) override;
    // Removes line index; OnDeleted(index).
    void Delete(int index) override;
    // Replaces line index; OnPut(index).
    void Put(int index, std::string_view s) override;
    // The slot, after OnNeedObject has brought it up to date.
    std::intptr_t GetObject(int index) const override;
    // Removes all lines; unless Loading, an emptied list gets one empty line
    // back through Add. The base SetText and Assign clear through this, so
    // setting the text of the list itself keeps that empty first line.
    void Clear() override;
    // The base rule (clear, then the text's lines in one pass); OnTextSet
    // after the last line.
    void SetText(std::string_view text) override;
    // Replaces every line by the lines of source, which is left empty: a
    // Clear (OnCleared) without the placeholder line, then source's lines
    // taken over without a copy.
    void TakeLines(TStringList &source);
    // Loading is true during the load and false again also when it fails.
    void LoadFromFile(const std::string &path) override;
    void LoadFromStream(std::istream &stream);

    bool Loading() const noexcept { return m_loading; }
    using TStringList::StoredObject;
    void SetLoading(bool value) noexcept { m_loading = value; }

    // Hooks set by the owning document; each is called only when set.
    std::function<void(TzeEditList &)> OnAdded;
    std::function<void(int index)> OnDeleted;
    std::function<void(int index)> OnInserted;
    std::function<void(int index)> OnPut;
    std::function<void(TzeEditList &)> OnTextSet;
    // After the list was emptied by Clear (also the clear that starts a
    // SetText or an Assign), before any line comes back.
    std::function<void(TzeEditList &)> OnCleared;
    // Before a slot is read: the owner computes it if it is not current.
    std::function<void(int index)> OnNeedObject;

private:
    bool m_loading = false;
};

// ---------------------------------------------------------------------------
// Undo

// Insertion kinds are ucInsert .. ucDropInsert, deletion kinds ucForwardDelete
// .. ucDropDelete; ucNone is never stored, it answers an empty list.
enum TUndoChangeKind : std::uint8_t {
    ucInsert,
    ucPaste,
    ucDropInsert,
    ucForwardDelete,
    ucDelete,
    ucPasteDelete,
    ucDropDelete,
    ucLineBreak,
    ucNone
};

constexpr bool IsInsertion(TUndoChangeKind k) noexcept { return k == ucInsert || k == ucPaste || k == ucDropInsert; }
constexpr bool IsDeletion(TUndoChangeKind k) noexcept
{
    return k == ucForwardDelete || k == ucDelete || k == ucPasteDelete || k == ucDropDelete;
}

class TMark;

// Where one mark stood when a change was recorded.
struct TMarkLine {
    TMark *Mark = nullptr;
    int Line = 0;
};

// One recorded change. invariant: StartPos <= EndPos.
struct TUndoChange {
    std::string Text;
    TUndoChangeKind Kind = ucNone;
    TPoint StartPos;
    TPoint EndPos;
    // For a deletion that spans lines, in the undo list: the marks that stood
    // on those lines before the deletion joined them. Undoing it puts each of
    // them on its line again; marks elsewhere move with the text.
    std::vector<TMarkLine> Marks;
    // The text states (see TzeDocument's save point) that the record leads
    // from and to: for an undo record, the state before the change and after
    // it; for a redo record, the state it applies to and the one it restores.
    std::uint64_t StateBefore = 0;
    std::uint64_t StateAfter = 0;
    // Records of one group (see TzeUndoGroup) share it and are undone and
    // redone as one step; every record outside a group has one of its own.
    std::uint64_t Group = 0;
};

// A bounded list of changes, oldest first. The document (may be null) learns
// of every recorded change (its text state and Modified follow) and calls its
// OnChange.
class TUndoList {
public:
    explicit TUndoList(TzeDocument *document) noexcept : m_document(document) {}
    TUndoList(const TUndoList &) = delete;
    TUndoList &operator=(const TUndoList &) = delete;

    // Records a change with the two points ordered; at Limit or more records
    // the oldest one goes first. Nothing while Locked; a record that cannot
    // be allocated is dropped silently.
    // The document (if any) adds the lines of the marks that reversing the
    // change must put back, as they stand now.
    void Push(TUndoChangeKind kind, TPoint p1, TPoint p2, const std::string &text);
    // The same with the mark lines given (taken before the change happened).
    void Push(TUndoChangeKind kind, TPoint p1, TPoint p2, const std::string &text, std::vector<TMarkLine> marks);
    // Takes the newest record off; on an empty list answers ucNone and leaves
    // the outputs untouched.
    TUndoChangeKind Pop(TPoint &startPos, TPoint &endPos, std::string &text);
    TUndoChangeKind PeekKind() const noexcept;
    // Indexes outside 0 .. Count-1 are ignored.
    void RemoveAt(int index);
    void Clear() noexcept;
    // Drops a mark that goes away from every record.
    void ForgetMark(const TMark *mark) noexcept;

    void Lock() noexcept { m_locked = true; }
    void Unlock() noexcept { m_locked = false; }
    bool Locked() const noexcept { return m_locked; }

    int Limit() const noexcept { return m_limit; }
    // Removes the oldest records until at most value remain, then stores it.
    void SetLimit(int value);
    int Count() const noexcept { return int(m_items.size()); }
    // Oldest first; outside 0 .. Count-1 raises EListError.
    const TUndoChange &Items(int index) const;
    // The editor that shows the list's document, if any (defined with the editor).
    TzeCustomEdit *Owner() const noexcept;

private:
    void Append(TUndoChange change);

    std::deque<TUndoChange> m_items;
    int m_limit = 10;
    TzeDocument *m_document;
    bool m_locked = false;
};

// ---------------------------------------------------------------------------
// Marks

// One mark shown in the gutter. The link to its document is cleared when the
// document goes away, and Edit() answers the document's editor only while the
// document's Marks holds this mark.
class TMark {
public:
    // The editor's document, or none (defined with the editor).
    explicit TMark(TzeCustomEdit *owner);
    explicit TMark(TzeDocument &document);
    virtual ~TMark();
    TMark(const TMark &) = delete;
    TMark &operator=(const TMark &) = delete;

    virtual TzeCustomEdit *Edit();
    // The document while it exists and lists this mark.
    TzeDocument *Document() const noexcept;
    int Line() const noexcept { return m_line; }
    // A visible listed mark tells its document of its old and new row.
    virtual void SetLine(int value);
    int Column() const noexcept { return m_column; }
    virtual void SetColumn(int value);
    int ImageIndex() const noexcept { return m_imageIndex; }
    virtual void SetImageIndex(int value);
    bool Visible() const noexcept { return m_visible; }
    void SetVisible(bool value);
    bool InternalImage() const noexcept { return m_internalImage; }
    void SetInternalImage(bool value);
    int BookmarkNumber() const noexcept { return m_bookmarkNumber; }
    void SetBookmarkNumber(int value) noexcept { m_bookmarkNumber = value; }
    bool IsBookmark() const noexcept { return m_bookmarkNumber >= 0; }

private:
    void InvalidateRow();

    int m_line = 0;
    int m_column = 0;
    int m_imageIndex = 0;
    std::weak_ptr<TzeDocument *> m_document;
    bool m_visible = false;
    bool m_internalImage = false;
    int m_bookmarkNumber = 0;
};

// The document's marks in the order added. The list does not own its marks:
// whoever creates a mark frees it, after removing it.
class TMarkList {
public:
    explicit TMarkList(TzeDocument *document) noexcept : m_document(document) {}
    TMarkList(const TMarkList &) = delete;
    TMarkList &operator=(const TMarkList &) = delete;

    // Appends (a null mark is ignored), then OnChange; returns the index or -1.
    int Add(TMark *mark);
    // Removes the mark if present (and from every undo record), then OnChange.
    void Remove(TMark *mark);
    // Outside 0 .. Count-1 raises EListError.
    TMark *Items(int index) const;
    int Count() const noexcept { return int(m_items.size()); }
    int IndexOf(const TMark *mark) const noexcept;
    // The editor the list belongs to, if any.
    TzeCustomEdit *Owner() const noexcept;

    std::function<void(TMarkList &)> OnChange;

private:
    void Changed();

    TzeDocument *m_document;
    std::vector<TMark *> m_items;
};

// ---------------------------------------------------------------------------
// Document

// What the document asks of a highlighter to compute range states.
class IzeRangeScanner {
public:
    // The state before the first line.
    virtual std::intptr_t InitialRange() = 0;
    // The state at the end of line (0-based index), scanned from state.
    virtual std::intptr_t RangeAfter(std::string_view line, int index, std::intptr_t state) = 0;

protected:
    ~IzeRangeScanner() = default;
};

// What changed in the lines, as a view needs it to repaint only from there.
// Lines are 0-based.
enum TzeChangeKind : std::uint8_t {
    ckLineChanged,  // the text of FirstLine
    ckLineInserted, // a line at FirstLine, LinesAdded 1
    ckLineAppended, // a line at the end (FirstLine), LinesAdded 1
    ckLineDeleted,  // the line at FirstLine, LinesAdded -1
    ckCleared,      // every line went, LinesAdded is minus their count
    ckTextSet       // the whole text was set, LinesAdded is the new count
};

struct TzeDocChange {
    TzeChangeKind Kind = ckLineChanged;
    int FirstLine = 0;
    int LinesAdded = 0;
};

// The caret and the two selection anchors of a view, 1-based; the anchors in
// the order they were set (BlockEnd is the one a selection extends).
struct TzeSelectionPoints {
    TPoint Caret{1, 1};
    TPoint BlockBegin{1, 1};
    TPoint BlockEnd{1, 1};
};

// What one undo or redo step did, and where it leaves the caret and anchors.
struct TzeUndoStep {
    // ucNone: the list was empty and nothing changed.
    TUndoChangeKind Kind = ucNone;
    TzeSelectionPoints Points;
    // The next record belongs to the same undo group (a paste over a
    // selection, a drop that moved text) and is to be taken with this one.
    bool Again = false;
};

// One change through the document's door (TzeDocument::Replace).
struct TzeTextChange {
    // The range replaced, 1-based; the points are taken in order.
    TPoint Begin;
    TPoint End;
    std::string_view Text;
    // The undo record's kind; ucNone records nothing. The record holds the
    // text the range held, between Begin and the end of the new text for an
    // insertion kind, between Begin and End for a deletion kind, unless
    // RecordStart and RecordEnd say otherwise (where undo puts the caret).
    TUndoChangeKind Kind = ucNone;
    std::optional<TPoint> RecordStart;
    std::optional<TPoint> RecordEnd;
    // The line the change ends on loses its trailing blanks, as typing leaves it.
    bool Trim = false;
};

// The text of one editor: lines with their range states, the undo and redo
// lists, Modified, the marks with the ten bookmarks, and the primitives that
// change the text between 1-based (column, line) points. Carets, anchors and
// pixels are the view's.
class TzeDocument {
public:
    TzeDocument();
    ~TzeDocument();
    TzeDocument(const TzeDocument &) = delete;
    TzeDocument &operator=(const TzeDocument &) = delete;

    // Read-only: the text changes only through the members below.
    const TzeEditList &Lines() const noexcept { return m_lines; }
    // Line (1-based) or the empty string where it does not exist.
    std::string_view LineOrEmpty(int line) const;
    // The text from b to e (b <= e), lines joined by CR LF; the parts of
    // lines that exist only.
    std::string TextBetween(TPoint b, TPoint e) const;

    // --- The door: every change of the text passes here.
    // Replaces the text from change.Begin to change.End by change.Text and
    // records it for undo (see TzeTextChange). The deletion trims the blanks
    // it leaves at the end of the joined line; a Begin past its line end
    // joins at Begin's column, padded with blanks. The insertion splits at
    // CR LF, CR and LF, ends at the first NUL (a trailing break gives a last
    // empty line) and pads a short line with blanks up to Begin; an empty
    // list gets a line first. Marks on joined lines go to Begin's line, marks
    // below move with their lines. Nothing changes for an empty range and an
    // empty text, though the record is made. The change notices go out
    // inside one update bracket; the record's OnChange when it closes.
    // Answers the point after the inserted text.
    TPoint Replace(const TzeTextChange &change);
    TPoint Replace(TPoint b, TPoint e, std::string_view text, TUndoChangeKind kind);
    // Breaks the line at p as the Return key does, recording ucLineBreak: a
    // break inside the text keeps the line's indentation (autoindent) on
    // the new line; one in the leading blanks moves the whole line down; one
    // at or past the end adds an empty line after it, an empty line one
    // before it. Marks from the caret's new line (moveCaret) or from p's
    // line on move down. Answers where the caret goes (the caret's column
    // with moveCaret, else p).
    TPoint BreakLine(TPoint p, bool autoindent, bool moveCaret);
    // Deletes line (1-based) as a whole, recording it as a forward deletion
    // that undo reverts with the caret at caret; the only line stays, empty.
    void DeleteWholeLine(int line, TPoint caret);

    // --- Whole lines, never recorded (loading, setting the text, a list
    // written line by line). Indexes are 0-based, as the list's.
    int AddLine(std::string_view s) { return m_lines.Add(s); }
    void InsertLine(int index, std::string_view s) { m_lines.Insert(index, s); }
    void DeleteLine(int index) { m_lines.Delete(index); }
    void PutLine(int index, std::string_view s) { m_lines.Put(index, s); }
    void PutRange(int index, std::intptr_t range) { m_lines.PutObject(index, range); }
    // Empties the text (undo lists too); unless Loading, one empty line stays.
    void ClearLines() { m_lines.Clear(); }
    // Replaces the whole text: the list's SetText, undo lists emptied.
    void SetText(std::string_view text) { m_lines.SetText(text); }
    void AssignLines(const TStringList &source) { m_lines.Assign(source); }
    // Takes over source's lines without a copy; source is left empty.
    void TakeLines(TStringList &source) { m_lines.TakeLines(source); }
    void LoadFromFile(const std::string &path) { m_lines.LoadFromFile(path); }
    void LoadFromStream(std::istream &stream) { m_lines.LoadFromStream(stream); }
    void SetLoading(bool value) noexcept { m_lines.SetLoading(value); }
    // One update bracket over several changes: the notices of the lines'
    // end (OnLinesChanged, then OnChange for records) when the outermost ends.
    void BeginUpdate() noexcept { m_lines.BeginUpdate(); }
    void EndUpdate() { m_lines.EndUpdate(); }

    // --- Undo
    // Read-only: records are made by Replace and the command helpers above.
    const TUndoList &UndoList() const noexcept { return m_undoList; }
    const TUndoList &RedoList() const noexcept { return m_redoList; }
    // Reverts the newest undo record and moves its inverse to the redo list;
    // Redo the other way round. Recorded points are taken as they are, kept
    // only on lines that exist; at gives where the caret and anchors stand
    // before. autoindent: whether a break moved the indentation with the
    // text after it (the editor's Autoindent); a line break is redone as
    // BreakLine does it, at its recorded point.
    TzeUndoStep Undo(const TzeSelectionPoints &at, bool autoindent);
    TzeUndoStep Redo(const TzeSelectionPoints &at, bool autoindent);
    // Whether the text differs from the save point: the state it had when
    // Modified was last set to false. Every record moves the text to a state
    // of its own; undoing or redoing back to the save point's state clears
    // Modified again. Setting it to true makes the save point unreachable,
    // so the text counts as changed until it is set to false.
    bool Modified() const noexcept { return !m_saveReachable || m_state != m_savedState; }
    void SetModified(bool value) noexcept;
    // Undo groups: records made between Begin and End (nestable) are one
    // step of undo and redo. Use TzeUndoGroup rather than these.
    void BeginUndoGroup() noexcept;
    void EndUndoGroup() noexcept;
    int MaxUndo() const noexcept { return m_undoList.Limit(); }
    // Both lists; a negative value is ignored.
    void SetMaxUndo(int value);
    void LockUndo() noexcept;
    void UnlockUndo() noexcept;
    void ClearUndo() noexcept;
    // The marks that reversing change, about to go into list, must put back:
    // for a deletion in the undo list that spans lines, the marks on those
    // lines, where they stand now.
    std::vector<TMarkLine> MarksToRestore(const TUndoList &list, const TUndoChange &change) const;

    // --- Marks and the ten bookmarks
    TMarkList &Marks() noexcept { return m_marks; }
    const TMarkList &Marks() const noexcept { return m_marks; }
    // The mark in slot n (0 .. kBookmarkCount - 1), or none.
    TMark *Bookmark(int n) const noexcept { return IsBookmarkSlot(n) ? m_bookmarks[size_t(n)].get() : nullptr; }
    static constexpr bool IsBookmarkSlot(int n) noexcept { return n >= 0 && n < kBookmarkCount; }
    // Puts mark (owned from now on) in slot n, freeing any bookmark on its
    // line and the old one of the slot; nothing for a slot outside the count.
    void PlaceBookmark(int n, TMark *mark);
    // Frees the bookmark of slot n.
    void ClearBookmark(int n);
    // Every mark on line from or below moves by delta lines.
    void MoveMarksFrom(int from, int delta);
    // The marks on lines first .. last with their lines.
    std::vector<TMarkLine> MarkLines(int first, int last) const;
    // Puts each mark that is still listed back on its recorded line.
    void RestoreMarks(const std::vector<TMarkLine> &marks);

    // --- Range states, computed when read.
    // The states of a scanner are taken as they stand (see RangesTakenAsTheyAre);
    // none leaves every slot as it is written.
    void SetRangeScanner(IzeRangeScanner *scanner) noexcept { m_scanner = scanner; }
    IzeRangeScanner *RangeScanner() const noexcept { return m_scanner; }
    // Computes the states of lines up to index (0-based) that are not current.
    // Answers the last line whose stored state this changed, or -1.
    int EnsureRanges(int index) const;
    void RangesReset() noexcept;
    // Takes every stored state as current, as a scanner attached to a list
    // finds it.
    void RangesTakenAsTheyAre() noexcept;

    // --- Notices
    // Every change of the lines, inside the list's update bracket.
    std::function<void(const TzeDocChange &)> OnModified;
    // When the outermost update bracket of a change of the lines has closed.
    std::function<void()> OnLinesChanged;
    // A change was recorded for undo (inside a bracket: once it has closed).
    std::function<void()> OnChange;
    // A visible listed mark's row (1-based line) must be shown again.
    std::function<void(int line)> OnMarkRow;

private:
    friend class TMark;
    friend class TMarkList;
    friend class TUndoList;

    // Drops a mark that goes away from the records of both lists.
    void ForgetMark(const TMark *mark) noexcept;
    // The two halves of Replace; neither records.
    void DeleteText(TPoint b, TPoint e);
    TPoint InsertText(TPoint p, std::string_view value);
    // Records a change in the undo list; its OnChange waits for an open
    // update bracket to close.
    void Record(TUndoChangeKind kind, TPoint p1, TPoint p2, const std::string &text, std::vector<TMarkLine> marks);
    void ChangeRecorded();

    // A record was appended to list (null: it could not be kept): the text
    // moves to its next state, and the record learns both.
    void Recorded(const TUndoList &list, TUndoChange *change) noexcept;
    // Undo or Redo of a record leads from state from to state to when the
    // text is in state from; the next record made is the replay's.
    void BeginReplay(std::uint64_t from, std::uint64_t to, std::uint64_t group) noexcept
    {
        m_replay = {from, to, group, true};
    }
    // The replay's state change when it made no record (a locked list).
    void FinishReplay() noexcept;
    std::uint64_t ReplayTarget() noexcept;

    void Notify(TzeChangeKind kind, int first, int added);
    void LineChanged(int index);
    void LineInserted(int index);
    void LineDeleted(int index);
    void BreakRangesAt(int k) const;
    void StoreRange(int index, std::intptr_t range) const;

    // Marks hold it weakly: it tells them whether the document still exists.
    std::shared_ptr<TzeDocument *> m_self;
    TzeEditList m_lines;
    TUndoList m_undoList{this};
    TUndoList m_redoList{this};
    TMarkList m_marks{this};
    std::array<std::unique_ptr<TMark>, kBookmarkCount> m_bookmarks; // each is also in m_marks
    // Text states: m_state numbers the present text; every record gives the
    // text a new number, except that undoing or redoing a record in the
    // state it left gives back the number it came from. So the text is at the
    // save point exactly when m_state equals m_savedState, however many
    // records have fallen off the lists since.
    std::uint64_t m_state = 0;
    std::uint64_t m_lastState = 0; // the highest number given out
    std::uint64_t m_savedState = 0;
    bool m_saveReachable = true;
    struct TReplayStates {
        std::uint64_t From = 0;
        std::uint64_t To = 0;
        std::uint64_t Group = 0; // the replayed record's, which its inverse keeps
        bool Active = false;
    } m_replay;
    bool m_changePending = false; // a record's OnChange waits for the bracket
    int m_groupDepth = 0;
    std::uint64_t m_group = 0;     // the open group's number, while m_groupDepth > 0
    std::uint64_t m_lastGroup = 0; // the highest number given out

    // Lazy range states. Lines [0, m_rangesValid) hold their exact start
    // state. For each line k in (m_rangesValid, m_rangesChained) that is not
    // listed in m_rangesBreaks, the stored state was computed from line k-1's
    // present text and stored state; so a rescan that computes at line j the
    // state stored there may take every state up to the next break (or
    // m_rangesChained) as exact. invariant: m_rangesValid <= m_rangesChained,
    // the breaks are sorted and lie in [m_rangesValid, m_rangesChained).
    // A line whose state is unknown stores kUnknownRange, which matches none.
    static constexpr std::intptr_t kUnknownRange = INTPTR_MIN;
    IzeRangeScanner *m_scanner = nullptr;
    mutable int m_rangesValid = 0;
    mutable int m_rangesChained = 0;
    mutable std::vector<int> m_rangesBreaks;
};

// Holds one update bracket of the document's lines for a scope.
class TzeDocUpdate {
public:
    explicit TzeDocUpdate(TzeDocument &document) noexcept : m_document(document) { m_document.BeginUpdate(); }
    ~TzeDocUpdate() { m_document.EndUpdate(); }
    TzeDocUpdate(const TzeDocUpdate &) = delete;
    TzeDocUpdate &operator=(const TzeDocUpdate &) = delete;

private:
    TzeDocument &m_document;
};

// Makes the records that a command pushes while it lives one undo step, as
// a paste over a selection or a drop that moves text needs. Nestable: the
// outermost guard ends the group.
class TzeUndoGroup {
public:
    explicit TzeUndoGroup(TzeDocument &document) noexcept : m_document(document) { m_document.BeginUndoGroup(); }
    ~TzeUndoGroup() { m_document.EndUndoGroup(); }
    // Deleted so that a group cannot end twice.
    TzeUndoGroup(const TzeUndoGroup &) = delete;
    TzeUndoGroup &operator=(const TzeUndoGroup &) = delete;

private:
    TzeDocument &m_document;
};

#endif
