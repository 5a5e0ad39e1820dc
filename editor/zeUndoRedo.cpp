// zeUndoRedo.cpp: Undo and Redo over the two change lists.
#include <optional>

#include "editor/zeCustomEdit.h"

void TzeCustomEdit::ClampCaretToLineEnd()
{
    if (!m_scrollPastEOL)
        SetCaretX(CaretX());
}

void TzeCustomEdit::Undo()
{
    if (!CanUndo())
        return;
    TPoint s{}, e{};
    std::string t;
    const std::vector<TMarkLine> marks = UndoList().Items(UndoList().Count() - 1).Marks;
    const TUndoChangeKind k = UndoList().Pop(s, e, t);
    bool again = false;
    {
        TPaintLockGuard lock(*this);
        // Positions past a line end stand where blanks were that trimming
        // took: they are taken as they are, whatever ScrollPastEOL says.
        std::optional<TFlagRestore> pastEol(std::in_place, m_scrollPastEOL, true);
        std::optional<TFlagRestore> exact(std::in_place, m_exactPoints, true);
        if (IsInsertion(k)) {
            // An empty range (an overwrite past the line end, say) gives the
            // text back at its start, not wherever the caret stands.
            SetCaretXY(s);
            SetBlockBegin(s);
            SetBlockEnd(e);
            const std::string inserted = SelText();
            SetSelTextPrimitive(t);
            // The redo record spans what came back (an overwritten character,
            // else nothing), so that the redo replaces it instead of inserting
            // beside it.
            RedoList().Push(k, s, CaretXY(), inserted);
            SetCaretXY(s);
            again = (UndoList().PeekKind() == ucDropDelete && k == ucDropInsert) ||
                    (UndoList().PeekKind() == ucPasteDelete && k == ucPaste);
        } else if (k == ucForwardDelete) {
            const bool endsWithBreak = t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0;
            if (s.Y > LineCount() && s.X == 1 && endsWithBreak && LineCount() > 0) {
                // The deleted last line: re-insert it after the new last line, so
                // the text comes back in its order and with no extra line.
                const TPoint end{int(Lines().Get(LineCount() - 1).size()) + 1, LineCount()};
                // Lines only come after the last one: its marks stay where they are.
                const std::vector<TMarkLine> lastLine = m_doc->MarkLines(end.Y, end.Y);
                SetCaretXY(end);
                SetBlockBegin(end);
                SetSelTextPrimitive("\r\n" + t.substr(0, t.size() - 2));
                m_doc->RestoreMarks(lastLine);
                RedoList().Push(k, end, BlockEnd(), SelText());
            } else {
                while (LineCount() < s.Y)
                    Lines().Add(std::string());
                SetCaretXY(s);
                SetBlockBegin(s);
                SetSelTextPrimitive(t);
                RedoList().Push(k, s, BlockEnd(), SelText());
            }
            SetCaretXY(e);
        } else if (k == ucDelete || k == ucPasteDelete || k == ucDropDelete) {
            SetCaretXY(s);
            SetBlockBegin(s);
            SetSelTextPrimitive(t);
            RedoList().Push(k, s, BlockEnd(), SelText());
        } else if (k == ucLineBreak) {
            SetCaretXY(s);
            // Recorded at the break itself, which the redo needs; the anchors may lie elsewhere.
            RedoList().Push(ucLineBreak, s, s, std::string());
            // Blanks left behind by undone typing are not text of the line.
            std::string line = LineText();
            TrimRight(line);
            // A break inside the text trimmed the first part: pad it back to the
            // break column. A break in the leading blanks (only with Autoindent)
            // moved the whole line, blanks and all, and left this line empty;
            // a part of blanks before the break is left empty too, so an empty
            // line is padded when the moved text does not start with indentation.
            if ((!line.empty() || LeftSpaces(t) == 0) && int(line.size()) < CaretX() - 1)
                line.resize(std::size_t(CaretX() - 1), ' ');
            if (e.Y < LineCount()) {
                Lines().Delete(e.Y); // the line that the break created
                m_doc->MoveMarksFrom(e.Y + 1, -1); // the marks the break moved down
            }
            SetCaretXY(s);
            std::string joined = line + t;
            TrimRight(joined);
            SetLineText(joined);
        }
        m_doc->RestoreMarks(marks);
        exact.reset();
        pastEol.reset();
        ClampCaretToLineEnd();
    }
    if (again)
        Undo();
}

void TzeCustomEdit::Redo()
{
    if (!CanRedo())
        return;
    TPoint s{}, e{};
    std::string t;
    const TUndoChangeKind k = RedoList().Pop(s, e, t);
    bool again = false;
    TPaintLockGuard lock(*this);
    std::optional<TFlagRestore> pastEol(std::in_place, m_scrollPastEOL, true);
    std::optional<TFlagRestore> exact(std::in_place, m_exactPoints, true);
    if (IsInsertion(k)) {
        SetCaretXY(s);
        SetBlockBegin(s);
        SetBlockEnd(e);
        // Recorded where the text really goes: after newer edits the redo
        // position may lie past the end of the text, and it is clamped.
        const TPoint start = InsertionPoint();
        const std::string restored = SelText();
        SetSelTextPrimitive(t);
        UndoList().Push(k, start, CaretXY(), restored);
    } else if (k == ucForwardDelete) {
        SetCaretXY(s);
        SetBlockBegin(s);
        SetBlockEnd(e);
        UndoList().Push(k, BlockBegin(), BlockEnd(), SelText());
        SetSelTextPrimitive(t);
        SetCaretXY(s);
    } else if (k == ucDelete || k == ucPasteDelete || k == ucDropDelete) {
        SetBlockBegin(s);
        SetBlockEnd(e);
        UndoList().Push(k, BlockBegin(), BlockEnd(), SelText());
        SetSelTextPrimitive(t);
        SetCaretXY(s);
        again = (RedoList().PeekKind() == ucDropInsert && k == ucDropDelete) ||
                (RedoList().PeekKind() == ucPaste && k == ucPasteDelete);
    } else if (k == ucLineBreak) {
        // Break where the change was recorded: after other redos the caret
        // no longer stands where the undo of this break left it. A selection
        // is not the break's to delete, and ReadOnly does not hold back redo.
        SetCaretXY(s);
        SetBlockBegin(CaretXY());
        TFlagRestore writable(m_readOnly, false);
        CommandProcessor(ecLineBreak, '\r', nullptr);
    }
    exact.reset();
    pastEol.reset();
    ClampCaretToLineEnd();
    if (again)
        Redo();
}
