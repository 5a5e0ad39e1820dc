// zeRenderer.h: paints the editor's text area into any paint device.
// TzeRenderSource is what the renderer reads of a document; TzeRenderOptions
// the colours and the right edge; TzeRenderer paints the part of an update
// rectangle right of the gutter, token by token through the highlighter's
// canvas calls or as plain lines, with the selection in a second pass.
#ifndef QUENLO_EDITOR_ZERENDERER_H
#define QUENLO_EDITOR_ZERENDERER_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <QFont>
#include <QRect>
#include <QRegion>

#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"
#include "highlight/zeHighlighter.h"
#include "editor/zeDecorations.h"
#include "editor/zeTypes.h"
#include "editor/zeViewMetrics.h"

// The lines as the renderer reads them; indexes are 0-based (line N is index
// N-1) and only 0 .. LineCount-1 are asked for. A view stays valid until the
// next call.
class TzeRenderSource {
public:
    virtual ~TzeRenderSource() = default;
    virtual int LineCount() const = 0;
    virtual std::string_view Line(int index) = 0;
    // The highlighter's range state at the start of line index; the source
    // makes sure it is current before answering.
    virtual std::intptr_t RangeAtLineStart(int index) = 0;
};

struct TzeRenderOptions {
    TColor Color = clWindow;
    TColor FontColor = clWindowText;
    TColor SelectedBackground = clHighlight;
    TColor SelectedForeground = clHighlightText;
    // Column after which the edge line stands; 0 hides it.
    int RightEdge = 80;
    TColor RightEdgeColor = clSilver;
    QFont Font;
    // The decorations' colours: the error's wavy underline, the partner
    // frames, the light background of occurrences.
    TColor ErrorColor = clRed;
    TColor FrameColor = 0x00A06040;
    TColor OccurrenceColor = 0x00F0E6DC;
};

class TzeRenderer {
public:
    // advances: the per-column advance table (every entry CharWidth); no run
    // reads past it, a longer run is drawn in pieces.
    TzeRenderer(TzeRenderSource &source, const TzeViewMetrics &metrics, const TzeRenderOptions &options,
                std::span<const int> advances) noexcept;

    // Without one, lines are painted plain in FontColor on Color.
    void SetHighlighter(TzeCustomHighLighter *highlighter) noexcept { m_highlighter = highlighter; }
    // Drawn over the text; none without a call. Kept by the caller.
    void SetDecorations(const TzeDecorations *decorations) noexcept { m_decorations = decorations; }
    // The selection to show, ordered; none when begin equals end.
    void SetSelection(TPoint begin, TPoint end) noexcept;
    // The selection's region in client pixels; empty without one.
    QRegion SelectionRegion();

    // Paints textRect, the part of the update rectangle right of the gutter,
    // whose touched cells are range. Every pixel of textRect is painted.
    void PaintText(TCanvas &canvas, const QRect &textRect, const TzePaintRange &range);

    // The left pixel of the column after RightEdge.
    int EdgeX() const noexcept { return m_metrics.ColumnLeft(m_options.RightEdge + 1); }

private:
    void PaintTextLines(TCanvas &canvas, const QRect &textRect, int first, int last, bool selected);
    void PaintPlainLines(TCanvas &canvas, const QRect &textRect, int first, int last);
    // Draws the characters of text (starting at 0-based column) that can
    // show in the painted columns, in the canvas's colours; opaque fills
    // cell first.
    void DrawRun(TCanvas &canvas, const QRect &cell, int column, std::string_view text, bool opaque);
    void DrawEdge(TCanvas &canvas, int top, int bottom);
    // The occurrence word's cells of line within 0-based columns
    // [from, to), filled without touching the canvas's colours (the text
    // is drawn over them afterwards).
    void FillOccurrences(QPainter &painter, int line, int y, int from, int to);
    // The error underline and the partner frames of the painted lines, over
    // everything else.
    void PaintDecorations(QPainter &painter);
    // Tokens that follow each other in one colour and style are drawn as
    // one run: AddToRun takes the token whose cell was just filled, FlushRun
    // draws what was gathered. Blank tokens join any run.
    void AddToRun(TCanvas &canvas, const QRect &cell, int position, std::string_view text);
    void FlushRun(TCanvas &canvas);

    TzeRenderSource &m_source;
    const TzeViewMetrics &m_metrics;
    const TzeRenderOptions &m_options;
    std::span<const int> m_advances;
    TzeCustomHighLighter *m_highlighter = nullptr;
    const TzeDecorations *m_decorations = nullptr;
    // Where the occurrence word stands on the line being painted (0-based columns).
    std::vector<int> m_occurrences;
    TPoint m_selBegin;
    TPoint m_selEnd;
    TzePaintRange m_range;
    bool m_drawEdge = false;
    // The line handed to the highlighter, which keeps a reference to it.
    std::string m_lineBuffer;
    struct TRun {
        QRect Cell;
        int Column = 0; // 0-based
        int Length = 0;
        TColor Color = 0;
        TFontStyles Style;
        bool Active = false;
    };
    TRun m_run;
};

#endif
