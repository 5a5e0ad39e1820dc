// zeCustomEdit.cpp: construction, properties, events and the paint lock of TzeCustomEdit.
// The highlighter link (attach, detach, removal notice) and the font metrics live here too.
#include <algorithm>

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QScrollBar>

#include "editor/zeCustomEdit.h"

TzeCustomEdit::TzeCustomEdit(QWidget *parent, bool designing)
    : QAbstractScrollArea(parent),
      m_lines(std::make_unique<TzeEditList>()),
      m_undoList(std::make_unique<TUndoList>(this)),
      m_redoList(std::make_unique<TUndoList>(this)),
      m_keystrokes(std::make_unique<TzeKeyStrokes>(this)),
      m_designing(designing)
{
    // The widget exists from here on: the run-time counterpart of a window handle.
    m_handleAllocated = true;
    if (!m_designing)
        m_lines->Add(std::string());
    m_lines->OnAdded = [this](TzeEditList &list) { ListAdded(list); };
    m_lines->OnDeleted = [this](int index) { ListDeleted(index); };
    m_lines->OnInserted = [this](int index) { ListInserted(index); };
    m_lines->OnTextSet = [this](TzeEditList &list) { ListTextSet(list); };
    m_lines->OnPut = [this](int index) { ListPut(index); };

    m_charsInWindow = 10;
    m_gutterWidth = 30;
    m_textOrigin = m_gutterWidth + 2;

    // Every pixel is painted opaquely; nothing is erased first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    resize(200, 150);
    viewport()->setCursor(Qt::IBeamCursor);

    // "Courier New" where it exists, else the metric-compatible fixed-pitch face.
    QFont editorFont(QStringLiteral("Courier New"));
    editorFont.setStyleHint(QFont::TypeWriter);
    editorFont.setFixedPitch(true);
    editorFont.setPixelSize(13);
    setFont(editorFont);
    FontChanged();

    setFocusPolicy(Qt::StrongFocus);
    m_lines->OnChange = [this](TStringList &list) { LinesChanged(list); };

    m_charAdvances.assign(size_t(m_maxLeftChar), m_charWidth);
    ResetKeystrokes();
    m_bookMarkOptions = std::make_unique<TzeBookMarkOpt>(this);
    ApplyScrollBarPolicies();
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { ScrollBarMoved(Qt::Vertical, value); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { ScrollBarMoved(Qt::Horizontal, value); });

    m_marks = std::make_unique<TMarkList>(this);
    m_marks->OnChange = [this](TMarkList &) { InvalidateGutterLines(-1, -1); };

    UpdateScrollBars(false);
}

TzeCustomEdit::~TzeCustomEdit()
{
    disconnect(verticalScrollBar(), nullptr, this, nullptr);
    disconnect(horizontalScrollBar(), nullptr, this, nullptr);
    for (TzeCustomHighLighter *highlighter : m_registeredWith)
        highlighter->Editors().RemoveEditor(this);
    m_lines->OnChange = nullptr;
    m_lines->OnAdded = nullptr;
    m_lines->OnDeleted = nullptr;
    m_lines->OnInserted = nullptr;
    m_lines->OnTextSet = nullptr;
    m_lines->OnPut = nullptr;
    m_marks->OnChange = nullptr;
    for (TMark *&mark : m_bookmarks) {
        delete mark;
        mark = nullptr;
    }
}

void TzeCustomEdit::SetScrollPastEOL(bool value)
{
    if (m_scrollPastEOL == value)
        return;
    m_scrollPastEOL = value;
    if (!value)
        SetCaretX(CaretX());
}

void TzeCustomEdit::SetMaxLeftChar(int value)
{
    value = std::clamp(value, 1, 100000);
    if (value == m_maxLeftChar)
        return;
    m_maxLeftChar = value;
    m_charAdvances.assign(size_t(m_maxLeftChar), m_charWidth);
    InvalidateAll();
}

void TzeCustomEdit::SetScrollBars(TScrollStyle value)
{
    if (value == m_scrollBars)
        return;
    m_scrollBars = value;
    ApplyScrollBarPolicies();
    UpdateScrollBars(false);
    InvalidateAll();
}

void TzeCustomEdit::SetHighLighter(TzeCustomHighLighter *value)
{
    if (value == m_highlighter)
        return;
    if (value) {
        value->Editors().AddEditor(this);
        m_registeredWith.insert(value);
    } else if (m_highlighter) {
        m_highlighter->Editors().RemoveEditor(this);
        m_registeredWith.erase(m_highlighter);
    }
    m_highlighter = value;
    InvalidateAll();
}

void TzeCustomEdit::HighlighterChanged()
{
    InvalidateAll();
}

void TzeCustomEdit::HighlighterDestroyed(TzeCustomHighLighter *highlighter)
{
    m_registeredWith.erase(highlighter);
    if (highlighter == m_highlighter) {
        m_highlighter = nullptr;
        InvalidateAll();
    }
}

void TzeCustomEdit::SetMaxUndo(int value)
{
    if (value < 0)
        return;
    m_undoList->SetLimit(value);
    m_redoList->SetLimit(value);
}

void TzeCustomEdit::LockUndo() noexcept
{
    m_undoList->Lock();
    m_redoList->Lock();
}

void TzeCustomEdit::UnlockUndo() noexcept
{
    m_undoList->Unlock();
    m_redoList->Unlock();
}

void TzeCustomEdit::ClearUndo() noexcept
{
    m_undoList->Clear();
    m_redoList->Clear();
}

void TzeCustomEdit::DecPaintLock()
{
    if (m_paintLock > 0)
        --m_paintLock;
    if (m_paintLock != 0 || !m_handleAllocated)
        return;
    if (m_scrollBarsPending)
        UpdateScrollBars(false);
    if (m_paintPending)
        viewport()->update();
    if (m_caretPending)
        UpdateCaret();
}

void TzeCustomEdit::DoOnSelectionChange()
{
    if (OnSelectionChange)
        OnSelectionChange(*this);
}

void TzeCustomEdit::SetExtraLineSpacing(int value)
{
    m_extraLineSpacing = value;
    FontChanged();
}

void TzeCustomEdit::SetCharWidth(int value)
{
    if (value == m_charWidth)
        return;
    m_charWidth = value;
    m_charAdvances.assign(size_t(m_maxLeftChar), m_charWidth);
    InvalidateAll();
}

void TzeCustomEdit::FontChanged()
{
    // The grid comes from the widest face of the font, bold italic, so that
    // every styled token fits its cells.
    QFont wide = font();
    wide.setBold(true);
    wide.setItalic(true);
    const QFontMetrics metrics(wide);
    SetCharWidth(std::max(1, metrics.averageCharWidth()));
    m_lineHeight = std::max(1, metrics.height() + std::max(0, metrics.leading()) + m_extraLineSpacing);
    m_rawFont = QRawFont::fromFont(font());
    m_ascent = QFontMetrics(font()).ascent();
    if (m_handleAllocated) {
        SetLinesInWindow(ClientHeight() / m_lineHeight);
        m_charsInWindow = std::max(0, (ClientWidth() - m_gutterWidth - 2) / m_charWidth);
    }
    UpdateScrollBars(true);
    InvalidateAll();
}

void TzeCustomEdit::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FontChanged();
    else if (event->type() == QEvent::PaletteChange)
        InvalidateAll();
}
