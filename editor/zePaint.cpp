// zePaint.cpp: repaint requests and painting of TzeCustomEdit.
// The widget glues its state to the pure parts: zeViewMetrics for the grid,
// zeGutter for the gutter strip, zeRenderer for the text area; the caret is
// drawn last, where its point is.
#include <algorithm>

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include "editor/zeCustomEdit.h"
#include "editor/zeFoldGutter.h"
#include "editor/zeGutter.h"
#include "editor/zeRenderer.h"
#include "editor/zeTabStops.h"

namespace {

// The editor's line list as the renderer reads it: one line per display
// row (folded lines left out), its characters in screen cells, its tab
// characters as blanks up to their stops (the highlighter takes both as
// white space, so the range states still hold).
class TEditListSource : public TzeRenderSource {
public:
    TEditListSource(const TzeEditList &lines, const TzeView &view) noexcept
        : m_lines(lines), m_view(view), m_tabWidth(view.TabWidth())
    {
    }
    int LineCount() const override { return m_view.RowCount(); }
    std::string_view Line(int index) override
    {
        const std::string_view line = m_lines[LineIndex(index)];
        return ExpandTabs(line, m_tabWidth, m_expanded) ? std::string_view(m_expanded) : line;
    }
    // The list computes a slot that is not current when it is read.
    std::intptr_t RangeAtLineStart(int index) override { return m_lines.GetObject(LineIndex(index)); }

private:
    // Kept inside the list whatever the rows say.
    int LineIndex(int row) const noexcept
    {
        return std::clamp(m_view.LineAtRow(row + 1) - 1, 0, std::max(0, m_lines.Count() - 1));
    }
    const TzeEditList &m_lines;
    const TzeView &m_view;
    int m_tabWidth;
    std::string m_expanded;
};

// More rectangles than this in one update region are painted as their bounding box.
constexpr int kMaxUpdateRects = 8;

} // namespace

TzeViewMetrics TzeCustomEdit::ViewMetrics() const
{
    TzeViewMetrics m = m_view.Metrics();
    m.ClientWidth = ClientWidth();
    m.ClientHeight = ClientHeight();
    return m;
}

// --- Repaint requests

void TzeCustomEdit::InvalidateAll()
{
    viewport()->update();
}

int TzeCustomEdit::RowOfLine(int line) const noexcept
{
    return line == -1 ? -1 : m_view.RowOf(line);
}

void TzeCustomEdit::InvalidateLines(int first, int last)
{
    if (!isVisible())
        return;
    const QRect rect = LinesRect(ViewMetrics(), RowOfLine(first), RowOfLine(last), GutterWidth(), ClientWidth());
    if (!rect.isEmpty())
        viewport()->update(rect);
}

void TzeCustomEdit::InvalidateGutterLines(int first, int last)
{
    if (!isVisible())
        return;
    const QRect rect = LinesRect(ViewMetrics(), RowOfLine(first), RowOfLine(last), 0, GutterWidth());
    if (!rect.isEmpty())
        viewport()->update(rect);
}

// --- Painting

void TzeCustomEdit::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRegion &region = event->region();
    if (region.rectCount() <= kMaxUpdateRects)
        for (const QRect &rect : region)
            Paint(painter, rect);
    else
        Paint(painter, region.boundingRect());
}

bool TzeCustomEdit::SelectionShown() const
{
    return SelAvail() && !(m_look.HideSelection && !hasFocus());
}

void TzeCustomEdit::Paint(QPainter &painter, const QRect &r)
{
    if (m_lock.Depth > 0) {
        m_lock.Paint = true;
        return;
    }
    m_lock.Paint = false;
    const TzePaintRange range = TouchedRange(ViewMetrics(), r, m_view.RowCount());
    m_paint.FirstChar = range.FirstChar;
    m_paint.LastChar = range.LastChar;
    m_paint.FirstLine = range.FirstLine;
    m_paint.LastLine = range.LastLine;

    TCanvas canvas(&painter);
    if (r.x() < GutterWidth())
        PaintGutter(canvas, Edges(r.x(), r.y(), GutterWidth(), BottomOf(r)));
    if (GutterWidth() < RightOf(r)) {
        canvas.SetFont(m_look.Font);
        PaintText(canvas, Edges(std::max(r.x(), GutterWidth()), r.y(), RightOf(r), BottomOf(r)));
        if (m_view.Folds().AnyFolded())
            PaintFoldedMarkers(painter, r);
    }
    if (OnPaint) {
        painter.save();
        painter.setClipRect(r);
        canvas.SetFont(m_look.Font);
        canvas.SetFontColor(m_look.FontColor);
        canvas.SetBrushColor(m_look.Color);
        OnPaint(*this, canvas);
        painter.restore();
    }
    // The caret where its point is now, whatever scrolled since it was placed.
    const TzeViewMetrics metrics = ViewMetrics();
    const QPoint caret = ::CaretPixel(metrics, m_view.ScreenPoint(CaretXY()), m_caret.Offset);
    if (m_caret.Visible && m_caret.BlinkOn && hasFocus() && CaretInTextArea(metrics, caret, m_caret.Offset)) {
        // Drawn inverting, as a system caret is, so a block shows its character.
        painter.save();
        painter.setClipRect(r);
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.fillRect(QRect(caret, m_caret.Size), Qt::white);
        painter.restore();
    }
}

void TzeCustomEdit::PaintGutter(TCanvas &canvas, const QRect &rect)
{
    TzeGutterPaint options;
    options.Gutter = m_gutter.get();
    options.Font = m_look.Font;
    options.FontColor = m_look.FontColor;
    options.GlyphsVisible = m_bookMarkOptions->GlyphsVisible();
    options.LeftMargin = m_bookMarkOptions->LeftMargin();
    options.Xoffset = m_bookMarkOptions->Xoffset();
    options.ErrorLine = m_view.ShownRow(m_decorations.ErrorSpan.Line);
    options.LineOfRow = [this](int row) { return m_view.LineAtRow(row); };

    std::vector<TzeGutterMark> marks;
    if (options.GlyphsVisible) {
        marks.reserve(size_t(Marks().Count()));
        for (int i = 0; i < Marks().Count(); ++i) {
            const TMark &mark = *Marks().Items(i);
            // Marks on folded lines wait for them to show.
            const int row = m_view.ShownRow(mark.Line());
            if (row == 0)
                continue;
            TzeGutterMark painted{row, mark.Visible(), mark.IsBookmark(), nullptr};
            const int image = mark.ImageIndex();
            if (!m_glyphs.Images || mark.InternalImage()) {
                if (image >= 0 && image < kBookmarkCount)
                    painted.Draw = [this, image](QPainter &painter, int x, int y) {
                        painter.drawPixmap(x, y, m_glyphs.Builtin[size_t(image)]);
                        return true;
                    };
            } else {
                painted.Draw = [images = m_glyphs.Images.data(), image](QPainter &painter, int x, int y) {
                    return images->Draw(painter, x, y, image);
                };
            }
            marks.push_back(std::move(painted));
        }
    }
    const TzePaintRange range{m_paint.FirstChar, m_paint.LastChar, m_paint.FirstLine, m_paint.LastLine};
    if (Folding()) {
        options.FoldColumn = FoldColumnWidth(LineHeight());
        for (int row = range.FirstLine; row <= range.LastLine; ++row)
            options.Folds.push_back(FoldGlyph(m_view.Folds().MarkOf(m_view.LineAtRow(row))));
    }
    ::PaintGutter(canvas, rect, ViewMetrics(), range, options, marks, m_glyphs.MarkOffsets);
}

void TzeCustomEdit::PaintText(TCanvas &canvas, const QRect &rect)
{
    TEditListSource source(Lines(), m_view);
    const TzeViewMetrics metrics = ViewMetrics();
    TzeRenderOptions options;
    options.Color = m_look.Color;
    options.FontColor = m_look.FontColor;
    options.SelectedBackground = m_selectedColor->Background();
    options.SelectedForeground = m_selectedColor->Foreground();
    options.RightEdge = m_look.RightEdge;
    options.RightEdgeColor = m_look.RightEdgeColor;
    options.Font = m_look.Font;
    TzeRenderer renderer(source, metrics, options, m_paint.CharAdvances);
    renderer.SetHighlighter(m_scanner.Highlighter);
    const TzeDecorations decorations = CellDecorations();
    renderer.SetDecorations(&decorations);
    if (SelectionShown())
        renderer.SetSelection(m_view.ScreenPoint(BlockBegin()), m_view.ScreenPoint(BlockEnd()));
    const TzePaintRange range{m_paint.FirstChar, m_paint.LastChar, m_paint.FirstLine, m_paint.LastLine};
    renderer.PaintText(canvas, rect, range);
}

QRect TzeCustomEdit::FoldedMarkerAt(int row) const
{
    const int line = m_view.LineAtRow(row);
    if (!m_view.Folds().IsFolded(line))
        return {};
    return FoldedMarkerRect(ViewMetrics(), row, LineCells(LineOrEmpty(line), m_view.TabWidth()));
}

void TzeCustomEdit::PaintFoldedMarkers(QPainter &painter, const QRect &r)
{
    painter.save();
    painter.setClipRect(Edges(std::max(r.x(), GutterWidth() + kGutterGap), r.y(), RightOf(r), BottomOf(r)));
    for (int row = m_paint.FirstLine; row <= m_paint.LastLine; ++row)
        if (const QRect box = FoldedMarkerAt(row); !box.isEmpty())
            PaintFoldedMarker(painter, box, m_look.FontColor, m_look.Color);
    painter.restore();
}
