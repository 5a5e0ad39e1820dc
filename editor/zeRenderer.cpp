// zeRenderer.cpp: the text area of the editor painted through TCanvas (see zeRenderer.h).
#include "editor/zeRenderer.h"

#include <algorithm>
#include <cassert>

#include <QPainter>
#include <QPolygon>

#include "toolkit/TextSearch.h"

namespace {

bool IsBlank(std::string_view text) noexcept
{
    return text.find_first_not_of(' ') == std::string_view::npos;
}

// The 0-based columns where word stands in text as a whole word, letter case
// ignored for the Windows-1252 letters.
void FindWord(std::string_view text, std::string_view word, std::vector<int> &columns)
{
    columns.clear();
    const auto same = [](char a, char b) {
        return Win1252Lower(static_cast<unsigned char>(a)) == Win1252Lower(static_cast<unsigned char>(b));
    };
    const auto wordByte = [&text](std::size_t i) { return IsWordByte(static_cast<unsigned char>(text[i])); };
    if (word.empty() || text.size() < word.size())
        return;
    for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
        if ((i > 0 && wordByte(i - 1)) || !std::equal(word.begin(), word.end(), text.begin() + long(i), same))
            continue;
        if (i + word.size() < text.size() && wordByte(i + word.size()))
            continue;
        columns.push_back(int(i));
        i += word.size() - 1;
    }
}

// One wave of the error underline: its height and half its length, in pixels.
constexpr int kWaveHeight = 2;
constexpr int kWaveStep = 2;

} // namespace

TzeRenderer::TzeRenderer(TzeRenderSource &source, const TzeViewMetrics &metrics, const TzeRenderOptions &options,
                         std::span<const int> advances) noexcept
    : m_source(source), m_metrics(metrics), m_options(options), m_advances(advances)
{
}

void TzeRenderer::SetSelection(TPoint begin, TPoint end) noexcept
{
    m_selBegin = MinPoint(begin, end);
    m_selEnd = MaxPoint(begin, end);
}

QRegion TzeRenderer::SelectionRegion()
{
    QRegion region;
    const int count = m_source.LineCount();
    const auto length = [this, count](int line) {
        return line >= 1 && line <= count ? int(m_source.Line(line - 1).size()) : 0;
    };
    for (const QRect &rect : SelectionRects(m_metrics, m_selBegin, m_selEnd, length))
        region += rect;
    return region;
}

void TzeRenderer::PaintText(TCanvas &canvas, const QRect &rect, const TzePaintRange &range)
{
    QPainter *painter = canvas.Painter();
    if (!painter)
        return;
    m_range = range;
    // The gap between the gutter and the first whole cell shows the
    // background only: scrolled sideways, the cell left of LeftChar would
    // show its last pixels there, a character cut in part.
    QRect textRect = rect;
    const int firstCell = m_metrics.GutterWidth + kGutterGap;
    if (textRect.x() < firstCell) {
        const QRect gap = Edges(textRect.x(), textRect.y(), std::min(firstCell, RightOf(textRect)), BottomOf(textRect));
        canvas.SetBrushColor(m_options.Color);
        canvas.FillRect(gap);
        textRect.setLeft(firstCell);
        if (textRect.isEmpty())
            return;
    }
    painter->save();
    const QRegion area(textRect);
    painter->setClipRegion(area, Qt::IntersectClip);
    const QRegion clipArea = painter->clipRegion();
    canvas.SetFontColor(m_options.FontColor);
    canvas.SetBrushColor(m_options.Color);

    // The first pass never touches selected cells.
    const QRegion selection = SelectionRegion().intersected(textRect);
    if (!selection.isEmpty())
        painter->setClipRegion(clipArea.subtracted(selection));

    const int edge = EdgeX();
    m_drawEdge = m_options.RightEdge > 0 && textRect.x() <= edge && edge <= RightOf(textRect);

    if (m_highlighter)
        PaintTextLines(canvas, textRect, range.FirstLine, range.LastLine, false);
    else
        PaintPlainLines(canvas, textRect, range.FirstLine, range.LastLine);

    // Rows below the text.
    const int below = m_metrics.RowTop(std::max(range.LastLine, range.FirstLine - 1) + 1);
    if (below < BottomOf(textRect)) {
        canvas.SetBrushColor(m_options.Color);
        canvas.FillRect(Edges(textRect.x(), below, RightOf(textRect), BottomOf(textRect)));
    }
    DrawEdge(canvas, textRect.y(), BottomOf(textRect));

    if (!selection.isEmpty()) {
        painter->setClipRegion(clipArea.intersected(selection));
        canvas.SetBrushColor(m_options.SelectedBackground);
        canvas.SetFontColor(m_options.SelectedForeground);
        const int first = std::max(range.FirstLine, m_selBegin.Y);
        const int last = std::min(range.LastLine, m_selEnd.Y);
        if (first <= last) {
            if (m_highlighter)
                PaintTextLines(canvas, textRect, first, last, true);
            else
                PaintPlainLines(canvas, textRect, first, last);
        }
        DrawEdge(canvas, textRect.y(), BottomOf(textRect));
    }
    if (m_decorations) {
        painter->setClipRegion(clipArea);
        PaintDecorations(*painter);
    }
    painter->restore();
}

void TzeRenderer::FillOccurrences(QPainter &painter, int line, int y, int from, int to)
{
    const TzeDecorations &d = *m_decorations;
    const int length = int(d.Word.size());
    for (const int column : m_occurrences) {
        if (d.WordAt.Line == line && d.WordAt.Column == column + 1)
            continue; // the caret's own
        const int left = std::max(column, from);
        const int right = std::min(column + length, to);
        if (left < right)
            painter.fillRect(QRect(m_metrics.ColumnLeft(left + 1), y, (right - left) * m_metrics.CharWidth,
                                   m_metrics.LineHeight),
                             ToQColor(m_options.OccurrenceColor));
    }
}

void TzeRenderer::PaintDecorations(QPainter &painter)
{
    const TzeDecorations &d = *m_decorations;
    const auto painted = [this](int line) { return line >= m_range.FirstLine && line <= m_range.LastLine; };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ToQColor(m_options.FrameColor), 1));
    for (const TzeTextSpan &frame : d.Frames)
        if (painted(frame.Line))
            painter.drawRect(SpanRect(m_metrics, frame).adjusted(0, 0, -1, -1));
    if (d.HasError() && painted(d.ErrorSpan.Line)) {
        // A zigzag along the bottom of the cells, one wave per two pixels.
        const QRect cells = SpanRect(m_metrics, d.ErrorSpan);
        const int bottom = cells.bottom();
        QPolygon wave;
        for (int x = cells.left(), i = 0; x <= cells.right() + 1; x += kWaveStep, ++i)
            wave << QPoint(std::min(x, cells.right()), i % 2 == 0 ? bottom : bottom - kWaveHeight);
        painter.setPen(QPen(ToQColor(m_options.ErrorColor), 1));
        painter.drawPolyline(wave);
    }
    painter.restore();
}

void TzeRenderer::PaintTextLines(TCanvas &canvas, const QRect &textRect, int first, int last, bool selected)
{
    assert(m_highlighter);
    TzeCustomHighLighter &highlighter = *m_highlighter;
    // The states of the painted lines first: computing them scans the lines
    // before, which must not set the canvas's attributes on the way.
    if (last >= first && last <= m_source.LineCount())
        m_source.RangeAtLineStart(last - 1);
    highlighter.SetCanvas(&canvas);
    int y = m_metrics.RowTop(first);
    for (int line = first; line <= last; ++line, y += m_metrics.LineHeight) {
        highlighter.SetRange(int(m_source.RangeAtLineStart(line - 1)));
        m_lineBuffer.assign(m_source.Line(line - 1));
        m_occurrences.clear();
        if (m_decorations && !selected)
            FindWord(m_lineBuffer, m_decorations->Word, m_occurrences);
        highlighter.SetLine(m_lineBuffer, line - 1);
        QRect token = Edges(textRect.x(), y, 0, y + m_metrics.LineHeight);
        int tokenRight = 0;
        bool rowDone = false;
        for (; !highlighter.GetEol(); highlighter.Next()) {
            const int position = highlighter.GetTokenPos();
            if (position > m_range.LastChar)
                break;
            const std::string text = highlighter.GetToken();
            const int length = int(text.size());
            if (position + length < m_range.FirstChar)
                continue;
            if (selected) {
                canvas.SetBrushColor(m_options.SelectedBackground);
                canvas.SetFontColor(m_options.SelectedForeground);
            }
            tokenRight = m_metrics.TextOrigin + (position + length) * m_metrics.CharWidth;
            token.setRight(tokenRight - 1);
            canvas.FillRect(token);
            if (!m_occurrences.empty())
                FillOccurrences(*canvas.Painter(), line, y, position, position + length);
            AddToRun(canvas, token, position, text);
            if (tokenRight >= RightOf(textRect)) {
                rowDone = true;
                break;
            }
            token.setLeft(tokenRight);
        }
        FlushRun(canvas);
        if (!rowDone) {
            // The rest of the row in the brush the last token left.
            if (selected)
                canvas.SetBrushColor(m_options.SelectedBackground);
            canvas.FillRect(Edges(token.x(), y, RightOf(textRect), y + m_metrics.LineHeight));
        }
    }
    // The highlighter also scans without painting: it must not keep a canvas
    // that goes away with this paint.
    highlighter.SetCanvas(nullptr);
}

void TzeRenderer::AddToRun(TCanvas &canvas, const QRect &cell, int position, std::string_view text)
{
    const TFontStyles style = canvas.FontStyle();
    const bool lined = style.Contains(fsUnderline) || style.Contains(fsStrikeOut);
    const int length = int(text.size());
    const bool contiguous = m_run.Active && m_run.Column + m_run.Length == position;
    // Blanks show nothing but their cells: a run may cross them.
    if (IsBlank(text) && !lined) {
        if (contiguous) {
            m_run.Length += length;
            m_run.Cell.setRight(cell.right());
        }
        return;
    }
    const bool fromLine = position >= 0 && size_t(position) + text.size() <= m_lineBuffer.size() &&
                          std::string_view(m_lineBuffer).substr(size_t(position), text.size()) == text;
    if (contiguous && fromLine && canvas.FontColor() == m_run.Color && style == m_run.Style) {
        m_run.Length += length;
        m_run.Cell.setRight(cell.right());
        return;
    }
    FlushRun(canvas);
    if (!fromLine) {
        DrawRun(canvas, cell, position, text, false);
        return;
    }
    m_run = TRun{cell, position, length, canvas.FontColor(), style, true};
}

void TzeRenderer::FlushRun(TCanvas &canvas)
{
    if (!m_run.Active)
        return;
    m_run.Active = false;
    std::string_view text = std::string_view(m_lineBuffer).substr(size_t(m_run.Column), size_t(m_run.Length));
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    // The run is drawn in its own colour and style, then the canvas gets the
    // current token's back, which the highlighter compares against.
    const TColor color = canvas.FontColor();
    const TFontStyles style = canvas.FontStyle();
    canvas.SetFontColor(m_run.Color);
    canvas.SetFontStyle(m_run.Style);
    DrawRun(canvas, m_run.Cell, m_run.Column, text, false);
    canvas.SetFontColor(color);
    canvas.SetFontStyle(style);
}

void TzeRenderer::PaintPlainLines(TCanvas &canvas, const QRect &textRect, int first, int last)
{
    int y = m_metrics.RowTop(first);
    for (int line = first; line <= last; ++line, y += m_metrics.LineHeight) {
        const QRect row = Edges(textRect.x(), y, RightOf(textRect), y + m_metrics.LineHeight);
        const std::string_view text = m_source.Line(line - 1);
        const int lastChar = std::min(m_range.LastChar, int(text.size()));
        if (lastChar < m_range.FirstChar) {
            canvas.FillRect(row);
            continue;
        }
        const int start = m_range.FirstChar - 1;
        m_occurrences.clear();
        if (m_decorations)
            FindWord(text, m_decorations->Word, m_occurrences);
        const bool marked = !m_occurrences.empty() && canvas.BrushColor() == m_options.Color;
        if (marked) {
            canvas.FillRect(row);
            FillOccurrences(*canvas.Painter(), line, y, start, lastChar);
        }
        DrawRun(canvas, row, start, text.substr(size_t(start), size_t(lastChar - start)), !marked);
    }
}

void TzeRenderer::DrawRun(TCanvas &canvas, const QRect &cell, int column, std::string_view text, bool opaque)
{
    if (opaque)
        canvas.FillRect(cell);
    if (m_advances.empty())
        return;
    // Only what can show: the painted columns and one more cell on each
    // side for glyphs that overhang theirs (italics).
    const int from = std::max(0, m_range.FirstChar - 2 - column);
    const int to = std::min(int(text.size()), m_range.LastChar + 1 - column);
    const int y = cell.y();
    const int chunk = int(m_advances.size());
    for (int start = from; start < to; start += chunk) {
        const int count = std::min(chunk, to - start);
        const int x = m_metrics.TextOrigin + (column + start) * m_metrics.CharWidth;
        canvas.TextRect(cell, x, y, text.substr(size_t(start), size_t(count)), m_advances.first(size_t(count)),
                        false);
    }
}

void TzeRenderer::DrawEdge(TCanvas &canvas, int top, int bottom)
{
    if (!m_drawEdge)
        return;
    // One whole pixel column: sharp at every scale.
    canvas.Painter()->fillRect(Edges(EdgeX(), top, EdgeX() + 1, bottom), ToQColor(m_options.RightEdgeColor));
}
