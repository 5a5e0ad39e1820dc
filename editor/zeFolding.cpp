// zeFolding.cpp: folding in the editor control: the commands, the gutter's
// fold column and the folded line's box as click targets, and keeping the
// scroll bars and the picture in step when rows move.
#include "editor/zeCustomEdit.h"
#include "editor/zeFoldGutter.h"

void TzeCustomEdit::SetFolding(bool value)
{
    if (value == Folding())
        return;
    TPaintLockGuard lock(*this);
    m_view.SetFolding(value);
    UpdateGutterWidth();
}

void TzeCustomEdit::FoldAll()
{
    TPaintLockGuard lock(*this);
    m_view.FoldAll();
}

void TzeCustomEdit::UnfoldAll()
{
    TPaintLockGuard lock(*this);
    m_view.UnfoldAll();
}

void TzeCustomEdit::FoldAtCaret()
{
    TPaintLockGuard lock(*this);
    m_view.FoldAround(CaretY());
}

void TzeCustomEdit::UnfoldAtCaret()
{
    TPaintLockGuard lock(*this);
    m_view.UnfoldAround(CaretY());
}

void TzeCustomEdit::ToggleFold(int line)
{
    TPaintLockGuard lock(*this);
    m_view.ToggleFold(line);
}

void TzeCustomEdit::FoldsChanged()
{
    UpdateScrollBars(false);
    InvalidateAll();
    UpdateCaret();
}

int TzeCustomEdit::FoldColumnLeft() const noexcept
{
    return Folding() ? GutterWidth() - kGutterSeparator - FoldColumnWidth(LineHeight()) : -1;
}

bool TzeCustomEdit::FoldClick(QPoint pos)
{
    if (!Folding() || pos.y() < 0)
        return false;
    const int row = PixelToPoint(ViewMetrics(), pos.x(), pos.y()).Y;
    if (row > m_view.RowCount())
        return false;
    const int line = m_view.LineAtRow(row);
    const int left = FoldColumnLeft();
    if (pos.x() >= left && pos.x() < GutterWidth() - kGutterSeparator) {
        // Anywhere on a region's first row in the column; elsewhere the
        // column is gutter as any other.
        if (!m_view.Folds().RegionAt(line))
            return false;
        ToggleFold(line);
        return true;
    }
    if (FoldedMarkerAt(row).contains(pos)) {
        ToggleFold(line);
        return true;
    }
    return false;
}
