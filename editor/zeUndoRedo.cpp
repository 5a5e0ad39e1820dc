// zeUndoRedo.cpp: Undo and Redo: the document replays the records, the
// editor puts its caret and anchors where the replay leaves them.
#include "editor/zeCustomEdit.h"

void TzeCustomEdit::ClampCaretToLineEnd()
{
    if (!m_scrollPastEOL)
        SetCaretX(CaretX());
}

TzeSelectionPoints TzeCustomEdit::SelectionPoints() const noexcept
{
    return TzeSelectionPoints{CaretXY(), m_blockBegin, m_blockEnd};
}

void TzeCustomEdit::PlaceReplayed(const TzeSelectionPoints &points)
{
    SetBlockBegin(points.BlockBegin);
    SetBlockEnd(points.BlockEnd);
    SetCaretXY(points.Caret);
}

void TzeCustomEdit::Undo()
{
    if (!CanUndo())
        return;
    bool again = false;
    {
        TPaintLockGuard lock(*this);
        {
            // Positions past a line end stand where blanks were that trimming
            // took: they are taken as they are, whatever ScrollPastEOL and
            // MaxLeftChar say.
            TFlagRestore pastEol(m_scrollPastEOL, true);
            TFlagRestore exact(m_exactPoints, true);
            const TzeUndoStep step = m_doc->Undo(SelectionPoints(), m_autoindent);
            PlaceReplayed(step.Points);
            again = step.Again;
        }
        ClampCaretToLineEnd();
    }
    if (again)
        Undo();
}

void TzeCustomEdit::Redo()
{
    if (!CanRedo())
        return;
    TPaintLockGuard lock(*this);
    bool again = false;
    {
        TFlagRestore pastEol(m_scrollPastEOL, true);
        TFlagRestore exact(m_exactPoints, true);
        const TzeUndoStep step = m_doc->Redo(SelectionPoints(), m_autoindent);
        PlaceReplayed(step.Points);
        again = step.Again;
    }
    ClampCaretToLineEnd();
    if (again)
        Redo();
}
