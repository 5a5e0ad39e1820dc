// zeCustomEdit.cpp: construction, properties, events and the paint lock of TzeCustomEdit.
// The highlighter link (attach, detach, removal notice) and the font metrics live here too.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QScrollBar>

#include "toolkit/Win1252.h"
#include "editor/zeCustomEdit.h"

TzeCustomEdit::TzeCustomEdit(QWidget *parent, bool designing)
    : QAbstractScrollArea(parent),
      m_doc(std::make_unique<TzeDocument>()),
      m_view(*m_doc, this),
      m_keystrokes(std::make_unique<TzeKeyStrokes>(this)),
      m_designing(designing),
      m_gutter(std::make_unique<TzeGutter>())
{
    m_gutter->OnChange = [this] { UpdateGutterWidth(); };
    for (int i = 0; i < kBookmarkCount; ++i)
        m_glyphs.Builtin[size_t(i)] = BookmarkBitmap(i);
    // The widget exists from here on: the run-time counterpart of a window handle.
    m_handleAllocated = true;
    ShowDocument(m_doc.get(), this);
    if (!m_designing)
        m_doc->AddLine(std::string());
    m_doc->OnChange = [this] {
        if (OnChange)
            OnChange(*this);
    };
    m_doc->OnMarkRow = [this](int line) { InvalidateGutterLines(line, line); };


    // Every pixel is painted opaquely; nothing is erased first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    resize(200, 150);
    viewport()->setCursor(Qt::IBeamCursor);
    InitMouse();

    m_selectedColor = std::make_unique<TzeSelectedColor>(this);
    // "Courier New" where it exists, else the metric-compatible fixed-pitch
    // face; it is also the face that replaces a proportional font.
    m_look.Font = QFont(QStringLiteral("Courier New"));
    m_look.Font.setStyleHint(QFont::TypeWriter);
    m_look.Font.setFixedPitch(true);
    m_look.Font.setPixelSize(13);
    m_look.OwnFace = m_look.Font;
    FontChanged();

    setFocusPolicy(Qt::StrongFocus);

    m_paint.CharAdvances.assign(size_t(MaxLeftChar()), CharWidth());
    ResetKeystrokes();
    m_bookMarkOptions = std::make_unique<TzeBookMarkOpt>(this);
    ApplyScrollBarPolicies();
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { ScrollBarMoved(Qt::Vertical, value); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { ScrollBarMoved(Qt::Horizontal, value); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { ScrollBarAction(Qt::Vertical, action); });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { ScrollBarAction(Qt::Horizontal, action); });
    connect(verticalScrollBar(), &QScrollBar::sliderReleased, this, [this] { VerticalScroll(scEndScroll); });

    Marks().OnChange = [this](TMarkList &) { InvalidateGutterLines(-1, -1); };

    UpdateScrollBars(false);
}

TzeCustomEdit::~TzeCustomEdit()
{
    disconnect(verticalScrollBar(), nullptr, this, nullptr);
    disconnect(horizontalScrollBar(), nullptr, this, nullptr);
    for (TzeCustomHighLighter *highlighter : m_scanner.RegisteredWith)
        highlighter->Editors().RemoveEditor(this);
    m_view.Detach();
    ShowDocument(m_doc.get(), nullptr);
    m_doc->OnChange = nullptr;
    m_doc->OnMarkRow = nullptr;
    Marks().OnChange = nullptr;
    m_gutter->OnChange = nullptr;
    m_doc.reset();
}

void TzeSelectedColor::SetBackground(TColor value)
{
    if (StoreIfChanged(m_background, value) && m_owner)
        m_owner->viewport()->update();
}

void TzeSelectedColor::SetForeground(TColor value)
{
    if (StoreIfChanged(m_foreground, value) && m_owner)
        m_owner->viewport()->update();
}

void TzeCustomEdit::SetBorderStyle(TBorderStyle value)
{
    if (StoreIfChanged(m_look.BorderStyle, value))
        setFrameShape(value == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
}

void TzeCustomEdit::SetColor(TColor value)
{
    if (StoreIfChanged(m_look.Color, value))
        InvalidateAll();
}

void TzeCustomEdit::SetHideSelection(bool value)
{
    if (StoreIfChanged(m_look.HideSelection, value))
        InvalidateAll();
}

void TzeCustomEdit::SetRightEdge(int value)
{
    if (StoreIfChanged(m_look.RightEdge, value))
        InvalidateAll();
}

void TzeCustomEdit::SetRightEdgeColor(TColor value)
{
    if (!StoreIfChanged(m_look.RightEdgeColor, value))
        return;
    // Only the strip around the line.
    const int edge = m_look.RightEdge * CharWidth() + TextOrigin();
    viewport()->update(QRect(edge - 1, 0, 3, ClientHeight()));
}

bool TzeCustomEdit::IsFixedPitch(const QFont &font)
{
    // Every character the editor can show, compared with the blank: the
    // average and the widest advance of that set are then the same.
    const QFontMetricsF metrics(font);
    const qreal blank = metrics.horizontalAdvance(QLatin1Char(' '));
    for (int code = 33; code < 256; ++code) {
        if (code == 127)
            continue;
        const QString ch = Win1252::ToUnicode(std::string(1, char(code)));
        if (!ch.at(0).isPrint())
            continue; // unassigned codes and the soft hyphen show nothing
        if (std::abs(metrics.horizontalAdvance(ch) - blank) > 0.01)
            return false;
    }
    return true;
}

void TzeCustomEdit::SetFont(const QFont &value)
{
    if (IsFixedPitch(value)) {
        m_look.Font = value;
    } else {
        QFont fixed = m_look.OwnFace;
        if (value.pixelSize() > 0)
            fixed.setPixelSize(value.pixelSize());
        else
            fixed.setPointSizeF(value.pointSizeF());
        fixed.setWeight(value.weight());
        fixed.setItalic(value.italic());
        fixed.setUnderline(value.underline());
        fixed.setStrikeOut(value.strikeOut());
        fixed.setFixedPitch(true);
        m_look.Font = fixed;
    }
    FontChanged();
}

void TzeCustomEdit::SetFontColor(TColor value)
{
    if (StoreIfChanged(m_look.FontColor, value))
        InvalidateAll();
}

void TzeCustomEdit::SetName(const QString &value)
{
    const QString old = objectName();
    setObjectName(value);
    if (!m_designing || m_reading)
        return;
    std::string text = Text();
    TrimRight(text);
    if (Win1252::ToUnicode(text) == old)
        if (const auto name = Win1252::FromUnicode(value))
            SetText(*name);
}

void TzeCustomEdit::Loaded()
{
    m_reading = false;
    UpdateScrollBars(false);
}

void TzeCustomEdit::DoOnPrintStatus(TzePrintStatus status, int pageNumber, bool &abort)
{
    if (OnPrintStatus)
        OnPrintStatus(*this, status, pageNumber, abort);
}

void TzeCustomEdit::SetScrollPastEOL(bool value)
{
    if (ScrollPastEOL() == value)
        return;
    m_view.Options().ScrollPastEOL = value;
    if (!value)
        SetCaretX(CaretX());
}

void TzeCustomEdit::SetMaxLeftChar(int value)
{
    value = std::clamp(value, 1, 100000);
    if (!StoreIfChanged(m_view.Metrics().MaxLeftChar, value))
        return;
    m_paint.CharAdvances.assign(size_t(MaxLeftChar()), CharWidth());
    InvalidateAll();
}

void TzeCustomEdit::SetScrollBars(TScrollStyle value)
{
    if (!StoreIfChanged(m_look.ScrollBars, value))
        return;
    ApplyScrollBarPolicies();
    UpdateScrollBars(false);
    InvalidateAll();
}

void TzeCustomEdit::SetHighLighter(TzeCustomHighLighter *value)
{
    if (value == m_scanner.Highlighter)
        return;
    // The states the old highlighter owes are computed first; the new one
    // takes them as they are, and rescans only from where the text changes.
    if (m_scanner.Highlighter)
        m_doc->EnsureRanges(LineCount() - 1);
    m_doc->RangesTakenAsTheyAre();
    if (value) {
        value->Editors().AddEditor(this);
        m_scanner.RegisteredWith.insert(value);
    } else if (m_scanner.Highlighter) {
        m_scanner.Highlighter->Editors().RemoveEditor(this);
        m_scanner.RegisteredWith.erase(m_scanner.Highlighter);
    }
    m_scanner.Highlighter = value;
    m_scanner.Highlighter = value;
    m_doc->SetRangeScanner(value ? &m_scanner : nullptr);
    InvalidateAll();
}

std::intptr_t TzeCustomEdit::THighlighterScanner::InitialRange()
{
    Highlighter->ResetRange();
    return Highlighter->GetRange();
}

std::intptr_t TzeCustomEdit::THighlighterScanner::RangeAfter(std::string_view line, int index, std::intptr_t state)
{
    if (int range = int(state); Highlighter->RangeAfterAnyLine(range))
        return range;
    Highlighter->SetRange(int(state));
    Highlighter->SetLine(line, index);
    Highlighter->NextToEol();
    return Highlighter->GetRange();
}

void TzeCustomEdit::HighlighterChanged()
{
    InvalidateAll();
}

void TzeCustomEdit::HighlighterDestroyed(TzeCustomHighLighter *highlighter)
{
    m_scanner.RegisteredWith.erase(highlighter);
    if (highlighter == m_scanner.Highlighter) {
        m_scanner.Highlighter = nullptr;
        m_scanner.Highlighter = nullptr;
        m_doc->SetRangeScanner(nullptr);
        InvalidateAll();
    }
}

void TzeCustomEdit::DecPaintLock()
{
    // Each decrement pairs with an increment (the guard sees to it).
    assert(m_lock.Depth > 0);
    if (m_lock.Depth > 0)
        --m_lock.Depth;
    if (m_lock.Depth != 0 || !m_handleAllocated)
        return;
    if (m_lock.ScrollBars)
        UpdateScrollBars(false);
    if (m_lock.Paint)
        viewport()->update();
    if (m_lock.CaretLine)
        KeepCaretInText();
    if (m_lock.Caret)
        UpdateCaret();
}

bool TzeCustomEdit::AnchorOnALine(TPoint p) const noexcept
{
    return p.X >= 1 && p.Y >= 1 && p.Y <= std::max(1, LineCount());
}

void TzeCustomEdit::DoOnSelectionChange()
{
    if (OnSelectionChange)
        OnSelectionChange(*this);
}

void TzeCustomEdit::SetExtraLineSpacing(int value)
{
    m_look.ExtraLineSpacing = value;
    FontChanged();
}

void TzeCustomEdit::SetCharWidth(int value)
{
    if (!StoreIfChanged(m_view.Metrics().CharWidth, value))
        return;
    m_paint.CharAdvances.assign(size_t(MaxLeftChar()), CharWidth());
    InvalidateAll();
}

void TzeCustomEdit::FontChanged()
{
    // The grid comes from the widest face of the font, bold italic, so that
    // every styled token fits its cells.
    QFont wide = m_look.Font;
    wide.setBold(true);
    wide.setItalic(true);
    const QFontMetrics metrics(wide);
    SetCharWidth(std::max(1, metrics.averageCharWidth()));
    m_view.Metrics().LineHeight = std::max(1, metrics.height() + std::max(0, metrics.leading()) + m_look.ExtraLineSpacing);
    if (m_handleAllocated) {
        SetLinesInWindow(ClientHeight() / LineHeight());
        m_view.Metrics().CharsInWindow = CharsInWindowFor(ClientWidth(), GutterWidth(), CharWidth());
    }
    // The gutter's width depends on CharWidth when it shows numbers, and
    // on LineHeight when it shows the fold column.
    if (m_gutter->ShowLineNumbers() || Folding())
        UpdateGutterWidth();
    UpdateScrollBars(true);
    InitializeCaret();
    InvalidateAll();
}

void TzeCustomEdit::changeEvent(QEvent *event)
{
    // The editor keeps its own font (Font), so a font given to the widget or
    // inherited from the parent changes nothing.
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        InvalidateAll();
}

// --- The document's change notices

void TzeCustomEdit::LineCountChanged()
{
    // Inside an outer update bracket (a multi-line replacement) the bracket's
    // end updates the scroll bars once for the whole replacement.
    if (Lines().UpdateCount() > 1)
        m_lock.ScrollBars = true;
    else
        UpdateScrollBars(true);
}

void TzeCustomEdit::DocumentModified(const TzeDocChange &change)
{
    const int line = change.FirstLine + 1;
    m_changed.First = std::min(m_changed.First, line);
    m_changed.Last = std::max(m_changed.Last, line);
    m_changed.Below = m_changed.Below || change.LinesAdded != 0 || change.Kind == ckCleared;
    switch (change.Kind) {
    case ckLineChanged:
    case ckLineAppended:
        break;
    case ckLineInserted:
    case ckLineDeleted:
        LineCountChanged();
        break;
    case ckCleared:
        // The whole text goes: where the caret and the view stood means
        // nothing for the text that comes next.
        m_view.TextReplaced(true);
        break;
    case ckTextSet:
        m_view.TextReplaced(false);
        break;
    }
}

void TzeCustomEdit::KeepCaretInText()
{
    // Commands move the caret on their own while they change lines; the
    // check waits for them to finish.
    if (m_lock.Depth > 0) {
        m_lock.CaretLine = true;
        return;
    }
    m_lock.CaretLine = false;
    m_view.KeepCaretInText();
}

void TzeCustomEdit::LinesChanged()
{
    const int first = std::exchange(m_changed.First, INT_MAX);
    const int last = std::exchange(m_changed.Last, 0);
    const bool below = std::exchange(m_changed.Below, false);
    if (!m_handleAllocated)
        return;
    KeepCaretInText();
    UpdateScrollBars(false);
    m_view.CollapseAnchors();
    if (first == INT_MAX) {
        // A change the document gave no hint of (a sort, an exchange).
        InvalidateAll();
        return;
    }
    // A hidden editor paints everything when it is shown.
    if (!isVisible())
        return;
    // Only the rows from the first change on are painted again: down to the
    // last changed line, or to the bottom when lines came or went, and on to
    // the last line whose range state the change altered.
    const int lastShown = m_view.LineAtRow(m_view.TopRow() + LinesInWindow());
    const int statesTo = m_doc->EnsureRanges(lastShown - 1) + 1;
    const int to = below ? lastShown : std::max(last, statesTo);
    InvalidateLines(first, to);
    if (below)
        InvalidateGutterLines(first, lastShown);
}
