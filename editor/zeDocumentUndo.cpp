// zeDocumentUndo.cpp: Undo and Redo over the document's two change lists.
// A step replays a record with the caret and anchors of the view that asked
// for it, as that view would move them, and answers where they end.
#include <algorithm>

#include "editor/zeDocument.h"

namespace {

// The caret and anchors while a record is replayed. Points are taken as
// recorded, only kept on lines that exist; after every change of the lines
// the anchors collapse onto the caret, as the view's do.
class TReplay {
public:
    TReplay(TzeDocument &doc, const TzeSelectionPoints &at)
        : m_doc(doc), m_caret(at.Caret), m_begin(at.BlockBegin), m_end(at.BlockEnd)
    {
    }

    TPoint OnALine(TPoint p) const
    {
        p.Y = std::clamp(p.Y, 1, std::max(1, m_doc.Lines().Count()));
        p.X = std::max(p.X, 1);
        return p;
    }
    void SetCaret(TPoint p) { m_caret = OnALine(p); }
    TPoint Caret() const { return m_caret; }
    void SetBlockBegin(TPoint p) { m_begin = m_end = OnALine(p); }
    void SetBlockEnd(TPoint p) { m_end = OnALine(p); }
    TPoint BlockBegin() const { return MinPoint(m_begin, m_end); }
    TPoint BlockEnd() const { return MaxPoint(m_begin, m_end); }
    bool Selected() const { return m_begin != m_end; }
    std::string SelText() const { return Selected() ? m_doc.TextBetween(BlockBegin(), BlockEnd()) : std::string(); }
    // Where a replacement goes: the selection start, or the caret.
    TPoint InsertionPoint() const { return Selected() ? BlockBegin() : m_caret; }
    void LinesChanged() { m_begin = m_end = OnALine(m_caret); }

    // Replaces the selection (or inserts at the caret), unrecorded; the
    // caret ends after the text.
    void Replace(const std::string &value)
    {
        TzeTextChange change;
        change.Begin = change.End = m_caret;
        if (Selected()) {
            m_caret = change.Begin = BlockBegin();
            change.End = BlockEnd();
        }
        if (!value.empty() && value.front() != '\0')
            change.Text = value;
        const TPoint end = m_doc.Replace(change);
        if (!change.Text.empty())
            m_caret = end;
        LinesChanged();
    }

    TzeSelectionPoints Points() const { return TzeSelectionPoints{m_caret, m_begin, m_end}; }

private:
    TzeDocument &m_doc;
    TPoint m_caret;
    TPoint m_begin;
    TPoint m_end;
};

bool EndsWithBreak(const std::string &t)
{
    return t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0;
}

// Leading characters of code 32 or lower, when the editor indents automatically.
int LeftSpaces(std::string_view s, bool autoindent)
{
    if (!autoindent)
        return 0;
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    return int(std::find_if_not(s.begin(), s.end(), blank) - s.begin());
}

// The undo list's newest record, which a replay is about to take.
const TUndoChange &Newest(const TUndoList &list)
{
    return list.Items(list.Count() - 1);
}

} // namespace

TzeUndoStep TzeDocument::Undo(const TzeSelectionPoints &at, bool autoindent)
{
    TzeUndoStep step{ucNone, at, false};
    if (m_undoList.Count() == 0)
        return step;
    TPoint s{}, e{};
    std::string t;
    const TUndoChange &newest = Newest(m_undoList);
    const std::vector<TMarkLine> marks = newest.Marks;
    const std::uint64_t group = newest.Group;
    BeginReplay(newest.StateAfter, newest.StateBefore, group);
    const TUndoChangeKind k = m_undoList.Pop(s, e, t);
    TReplay r(*this, at);
    if (IsInsertion(k)) {
        // An empty range (an overwrite past the line end, say) gives the
        // text back at its start, not wherever the caret stands.
        r.SetCaret(s);
        r.SetBlockBegin(s);
        r.SetBlockEnd(e);
        const std::string inserted = r.SelText();
        r.Replace(t);
        // The redo record spans what came back (an overwritten character,
        // else nothing), so that the redo replaces it instead of inserting
        // beside it.
        m_redoList.Push(k, s, r.Caret(), inserted);
        r.SetCaret(s);
    } else if (k == ucForwardDelete) {
        const int count = m_lines.Count();
        if (s.Y > count && s.X == 1 && EndsWithBreak(t) && count > 0) {
            // The deleted last line: re-insert it after the new last line, so
            // the text comes back in its order and with no extra line.
            const TPoint end{int(m_lines.Get(count - 1).size()) + 1, count};
            // Lines only come after the last one: its marks stay where they are.
            const std::vector<TMarkLine> lastLine = MarkLines(end.Y, end.Y);
            r.SetCaret(end);
            r.SetBlockBegin(end);
            r.Replace("\r\n" + t.substr(0, t.size() - 2));
            RestoreMarks(lastLine);
            m_redoList.Push(k, end, r.BlockEnd(), r.SelText());
        } else {
            while (m_lines.Count() < s.Y) {
                m_lines.Add(std::string());
                r.LinesChanged();
            }
            r.SetCaret(s);
            r.SetBlockBegin(s);
            r.Replace(t);
            m_redoList.Push(k, s, r.BlockEnd(), r.SelText());
        }
        r.SetCaret(e);
    } else if (IsDeletion(k)) {
        r.SetCaret(s);
        r.SetBlockBegin(s);
        r.Replace(t);
        m_redoList.Push(k, s, r.BlockEnd(), r.SelText());
    } else if (k == ucLineBreak) {
        r.SetCaret(s);
        // Recorded at the break itself, which the redo needs; the anchors may lie elsewhere.
        m_redoList.Push(ucLineBreak, s, s, std::string());
        // Blanks left behind by undone typing are not text of the line.
        std::string line(LineOrEmpty(r.Caret().Y));
        TrimPadding(line);
        // A break inside the text trimmed the first part and recorded the
        // blanks it took before the tail; only what lies before them is
        // padded back. A break in the leading blanks (only with Autoindent)
        // moved the whole line, blanks and all, and left this line empty;
        // a part of blanks before the break is left empty too, so an empty
        // line is padded when the moved text does not start with indentation.
        const int padTo = r.Caret().X - 1 - LeftSpaces(t, true);
        if ((!line.empty() || LeftSpaces(t, autoindent) == 0) && int(line.size()) < padTo)
            line.resize(std::size_t(padTo), ' ');
        if (e.Y < m_lines.Count()) {
            m_lines.Delete(e.Y); // the line that the break created
            r.LinesChanged();
            MoveMarksFrom(e.Y + 1, -1); // the marks the break moved down
        }
        r.SetCaret(s);
        std::string joined = line + t;
        TrimPadding(joined);
        if (r.Caret().Y <= m_lines.Count()) {
            m_lines.Put(r.Caret().Y - 1, joined);
            r.LinesChanged();
        }
    }
    RestoreMarks(marks);
    FinishReplay();
    step.Again = m_undoList.Count() > 0 && Newest(m_undoList).Group == group;
    step.Kind = k;
    step.Points = r.Points();
    return step;
}

TzeUndoStep TzeDocument::Redo(const TzeSelectionPoints &at, bool autoindent)
{
    TzeUndoStep step{ucNone, at, false};
    if (m_redoList.Count() == 0)
        return step;
    TPoint s{}, e{};
    std::string t;
    const TUndoChange &newest = Newest(m_redoList);
    const std::uint64_t group = newest.Group;
    BeginReplay(newest.StateBefore, newest.StateAfter, group);
    const TUndoChangeKind k = m_redoList.Pop(s, e, t);
    TReplay r(*this, at);
    if (IsInsertion(k)) {
        r.SetCaret(s);
        r.SetBlockBegin(s);
        r.SetBlockEnd(e);
        // Recorded where the text really goes: after newer edits the redo
        // position may lie past the end of the text, and it is clamped.
        const TPoint start = r.InsertionPoint();
        const std::string restored = r.SelText();
        r.Replace(t);
        m_undoList.Push(k, start, r.Caret(), restored);
    } else if (k == ucForwardDelete) {
        r.SetCaret(s);
        r.SetBlockBegin(s);
        r.SetBlockEnd(e);
        m_undoList.Push(k, r.BlockBegin(), r.BlockEnd(), r.SelText());
        r.Replace(t);
        r.SetCaret(s);
    } else if (IsDeletion(k)) {
        r.SetBlockBegin(s);
        r.SetBlockEnd(e);
        m_undoList.Push(k, r.BlockBegin(), r.BlockEnd(), r.SelText());
        r.Replace(t);
        r.SetCaret(s);
    } else if (k == ucLineBreak) {
        // Break where the change was recorded: after other redos the caret
        // no longer stands where the undo of this break left it. A selection
        // is not the break's to delete.
        r.SetCaret(BreakLine(r.OnALine(s), autoindent, true));
        r.LinesChanged();
    }
    FinishReplay();
    step.Again = m_redoList.Count() > 0 && Newest(m_redoList).Group == group;
    step.Kind = k;
    step.Points = r.Points();
    return step;
}
