// zeDrop.cpp: the text side of dropping the editor's own selection, moved or
// copied, with the two undo changes that undo and redo take as one step.
#include "editor/zeCustomEdit.h"

bool TzeCustomEdit::DropSelection(TPoint drop, TPoint dragBegin, TPoint dragEnd, bool copy)
{
    if (!SelAvail() || ReadOnly())
        return false;
    const TPoint b = MinPoint(dragBegin, dragEnd);
    const TPoint e = MaxPoint(dragBegin, dragEnd);
    // Onto the dragged text itself, ends included: nothing moves.
    if (!(drop < b) && !(e < drop))
        return false;
    const std::string text = SelText();
    TPaintLockGuard lock(*this);
    const TzeUndoGroup oneStep(*m_doc);
    TPoint d = drop;
    if (!copy) {
        m_view.ReplaceSelection(std::string(), ucDropDelete, ucNone);
        // The drop point as it stands once the text before it is gone.
        if (d.Y == e.Y && !(d < e))
            d = TPoint{b.X + d.X - e.X, b.Y};
        else if (d.Y > e.Y)
            d = TPoint{d.X, d.Y - (e.Y - b.Y)};
    }
    SetBlockBegin(d);
    TFlagRestore pastEol(m_view.Options().ScrollPastEOL, true);
    SetCaretXY(BlockBegin());
    SetBlockEnd(BlockBegin());
    m_view.ReplaceSelection(text, ucNone, ucDropInsert);
    return true;
}
