// zePaint.cpp: repaint requests and painting of TzeCustomEdit.
// The widget glues its state to the pure parts: zeViewMetrics for the grid,
// zeGutter for the gutter strip, zeRenderer for the text area; the caret is
// drawn last, where its point is.
#include <algorithm>

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include "editor/zeCustomEdit.h"
#include "editor/zeGutter.h"
#include "editor/zeRenderer.h"

namespace {

// The editor's line list as the renderer reads it.
class TEditListSource : public TzeRenderSource {
public:
    explicit TEditListSource(const TzeEditList &lines) noexcept : m_lines(lines) {}
    int LineCount() const override { return m_lines.Count(); }
    std::string_view Line(int index) override { return m_lines[index]; }
    // The list computes a slot that is not current when it is read.
    std::intptr_t RangeAtLineStart(int index) override { return m_lines.GetObject(index); }

private:
    const TzeEditList &m_lines;
};

// More rectangles than this in one update region are painted as their bounding box.
constexpr int kMaxUpdateRects = 8;

} // namespace

TzeViewMetrics TzeCustomEdit::ViewMetrics() const
{
    TzeViewMetrics m;
    m.CharWidth = m_charWidth;
    m.LineHeight = m_lineHeight;
    m.GutterWidth = m_gutterWidth;
    m.TextOrigin = m_textOrigin;
    m.CharsInWindow = m_charsInWindow;
    m.LinesInWindow = m_linesInWindow;
    m.TopLine = TopLine();
    m.LeftChar = LeftChar();
    m.MaxLeftChar = m_maxLeftChar;
    m.ClientWidth = ClientWidth();
    m.ClientHeight = ClientHeight();
    return m;
}

// --- Repaint requests

void TzeCustomEdit::InvalidateAll()
{
    viewport()->update();
}

void TzeCustomEdit::InvalidateLines(int first, int last)
{
    if (!isVisible())
        return;
    const QRect rect = LinesRect(ViewMetrics(), first, last, m_gutterWidth, ClientWidth());
    if (!rect.isEmpty())
        viewport()->update(rect);
}

void TzeCustomEdit::InvalidateGutterLines(int first, int last)
{
    if (!isVisible())
        return;
    const QRect rect = LinesRect(ViewMetrics(), first, last, 0, m_gutterWidth);
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
    return SelAvail() && !(m_hideSelection && !hasFocus());
}

void TzeCustomEdit::Paint(QPainter &painter, const QRect &r)
{
    if (m_paintLock > 0) {
        m_paintPending = true;
        return;
    }
    m_paintPending = false;
    const TzePaintRange range = TouchedRange(ViewMetrics(), r, LineCount());
    m_firstPaintChar = range.FirstChar;
    m_lastPaintChar = range.LastChar;
    m_firstPaintLine = range.FirstLine;
    m_lastPaintLine = range.LastLine;

    TCanvas canvas(&painter);
    if (r.x() < m_gutterWidth)
        PaintGutter(canvas, Edges(r.x(), r.y(), m_gutterWidth, BottomOf(r)));
    if (m_gutterWidth < RightOf(r)) {
        canvas.SetFont(m_font);
        PaintText(canvas, Edges(std::max(r.x(), m_gutterWidth), r.y(), RightOf(r), BottomOf(r)));
    }
    if (OnPaint) {
        painter.save();
        painter.setClipRect(r);
        canvas.SetFont(m_font);
        canvas.SetFontColor(m_fontColor);
        canvas.SetBrushColor(m_color);
        OnPaint(*this, canvas);
        painter.restore();
    }
    // The caret where its point is now, whatever scrolled since it was placed.
    const TzeViewMetrics metrics = ViewMetrics();
    const QPoint caret = ::CaretPixel(metrics, CaretXY(), m_caretOffset);
    if (m_caretVisible && m_caretBlinkOn && hasFocus() && CaretInTextArea(metrics, caret, m_caretOffset)) {
        // Drawn inverting, as a system caret is, so a block shows its character.
        painter.save();
        painter.setClipRect(r);
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.fillRect(QRect(caret, m_caretSize), Qt::white);
        painter.restore();
    }
}

void TzeCustomEdit::PaintGutter(TCanvas &canvas, const QRect &rect)
{
    TzeGutterPaint options;
    options.Gutter = m_gutter.get();
    options.Font = m_font;
    options.FontColor = m_fontColor;
    options.GlyphsVisible = m_bookMarkOptions->GlyphsVisible();
    options.LeftMargin = m_bookMarkOptions->LeftMargin();
    options.Xoffset = m_bookMarkOptions->Xoffset();
    options.ErrorLine = m_decorations.ErrorSpan.Line;

    std::vector<TzeGutterMark> marks;
    if (options.GlyphsVisible) {
        marks.reserve(size_t(Marks().Count()));
        for (int i = 0; i < Marks().Count(); ++i) {
            const TMark &mark = *Marks().Items(i);
            TzeGutterMark painted{mark.Line(), mark.Visible(), mark.IsBookmark(), nullptr};
            const int image = mark.ImageIndex();
            if (!m_bookmarkImages || mark.InternalImage()) {
                if (image >= 0 && image < kBookmarkCount)
                    painted.Draw = [this, image](QPainter &painter, int x, int y) {
                        painter.drawPixmap(x, y, m_builtinBookmarkBitmaps[size_t(image)]);
                        return true;
                    };
            } else {
                painted.Draw = [images = m_bookmarkImages.data(), image](QPainter &painter, int x, int y) {
                    return images->Draw(painter, x, y, image);
                };
            }
            marks.push_back(std::move(painted));
        }
    }
    const TzePaintRange range{m_firstPaintChar, m_lastPaintChar, m_firstPaintLine, m_lastPaintLine};
    ::PaintGutter(canvas, rect, ViewMetrics(), range, options, marks, m_markOffsets);
}

void TzeCustomEdit::PaintText(TCanvas &canvas, const QRect &rect)
{
    TEditListSource source(Lines());
    const TzeViewMetrics metrics = ViewMetrics();
    TzeRenderOptions options;
    options.Color = m_color;
    options.FontColor = m_fontColor;
    options.SelectedBackground = m_selectedColor->Background();
    options.SelectedForeground = m_selectedColor->Foreground();
    options.RightEdge = m_rightEdge;
    options.RightEdgeColor = m_rightEdgeColor;
    options.Font = m_font;
    TzeRenderer renderer(source, metrics, options, m_charAdvances);
    renderer.SetHighlighter(m_highlighter);
    renderer.SetDecorations(&m_decorations);
    if (SelectionShown())
        renderer.SetSelection(BlockBegin(), BlockEnd());
    const TzePaintRange range{m_firstPaintChar, m_lastPaintChar, m_firstPaintLine, m_lastPaintLine};
    renderer.PaintText(canvas, rect, range);
}
