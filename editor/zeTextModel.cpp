// zeTextModel.cpp: the text operations of TzeCustomEdit.
// Caret and anchors, whole text and caret line, selected text read and
// replace, clipboard transfer and word boundaries, all in 1-based points.
#include <algorithm>
#include <cstring>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "toolkit/Win1252.h"
#include "editor/zeCustomEdit.h"

namespace {

constexpr bool IsBlank(char c) noexcept
{
    return static_cast<unsigned char>(c) <= 32;
}

bool IsBlankLine(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), IsBlank);
}

} // namespace

// --- Whole text and caret line

void TzeCustomEdit::SetLines(const TStringList &value)
{
    if (m_handleAllocated)
        m_doc->AssignLines(value);
}

void TzeCustomEdit::SetText(std::string_view value)
{
    m_doc->SetLoading(true);
    try {
        m_doc->SetText(value);
    } catch (...) {
        m_doc->SetLoading(false);
        throw;
    }
    m_doc->SetLoading(false);
    InvalidateAll();
}

std::string TzeCustomEdit::LineText() const
{
    return std::string(LineOrEmpty(CaretY()));
}

void TzeCustomEdit::SetLineText(const std::string &value)
{
    if (m_caretY >= 0 && m_caretY < Lines().Count())
        m_doc->PutLine(m_caretY, value);
}

// --- Caret

void TzeCustomEdit::SetCaretX(int value)
{
    int x = std::max(value, 1);
    const int length = int(LineOrEmpty(CaretY()).size());
    if (m_scrollPastEOL) {
        // A window wider than MaxLeftChar columns must not push the caret
        // before column 1; MaxLeftChar never keeps it from the text itself.
        if (!m_exactPoints)
            x = std::max(1, std::min(x, std::max(m_maxLeftChar - m_charsInWindow, length + 1)));
    } else {
        if (x > length + 1)
            x = length + 1;
        if (x >= LeftChar() + m_charsInWindow)
            SetLeftChar(x - m_charsInWindow + 1);
        else if (x < LeftChar())
            SetLeftChar(x);
    }
    if (x != CaretX()) {
        m_caretX = x - 1;
        EnsureCursorPosVisible();
        UpdateCaret();
    }
    DoOnSelectionChange();
}

void TzeCustomEdit::SetCaretY(int value)
{
    // Clamped to the line count first, so that an empty list still gives line 1.
    const int y = std::max(1, std::min(value, Lines().Count()));
    if (y == CaretY()) {
        DoOnSelectionChange();
        return;
    }
    m_caretY = y - 1;
    const int length = int(LineOrEmpty(y).size());
    if (!m_scrollPastEOL && length + 1 < CaretX()) {
        SetCaretX(length + 1);
        if (CaretX() < LeftChar())
            SetLeftChar(CaretX());
        return;
    }
    EnsureCursorPosVisible();
    UpdateCaret();
    DoOnSelectionChange();
}

void TzeCustomEdit::SetCaretXY(TPoint value)
{
    TPaintLockGuard lock(*this);
    // Line and column in one step: the view scrolls to the new point only,
    // never first to the old column on the new line (a click in a view
    // scrolled sideways would move the text under the pointer).
    const int y = std::max(1, std::min(value.Y, Lines().Count()));
    const bool lineChanged = y != CaretY();
    const int column = CaretX();
    m_caretY = y - 1;
    DoOnSelectionChange();
    SetCaretX(value.X); // scrolls to the new point when the column changes
    if (lineChanged && CaretX() == column) {
        EnsureCursorPosVisible();
        UpdateCaret();
    }
}

// --- Anchors

TPoint TzeCustomEdit::ClampAnchor(TPoint value) const
{
    value.Y = std::max(1, std::min(value.Y, Lines().Count()));
    // Up to MaxLeftChar, or to the line end where the line is longer; the
    // caret's own column always, which typing at the end of a long line
    // may put past both.
    const int caretColumn = value.Y == CaretY() ? CaretX() : 1;
    const int limit = std::max({m_maxLeftChar, int(LineOrEmpty(value.Y).size()) + 1, caretColumn});
    value.X = m_exactPoints ? std::max(value.X, 1) : std::clamp(value.X, 1, limit);
    return value;
}

void TzeCustomEdit::SetBlockBegin(TPoint value)
{
    value = ClampAnchor(value);
    if (SelAvail()) {
        const int first = std::min({value.Y, m_blockBegin.Y, m_blockEnd.Y});
        const int last = std::max({value.Y, m_blockBegin.Y, m_blockEnd.Y});
        m_blockBegin = m_blockEnd = value;
        InvalidateLines(first, last);
    } else {
        m_blockBegin = m_blockEnd = value;
    }
}

void TzeCustomEdit::SetBlockEnd(TPoint value)
{
    value = ClampAnchor(value);
    if (value == m_blockEnd)
        return;
    const int oldLine = m_blockEnd.Y;
    m_blockEnd = value;
    InvalidateLines(oldLine, value.Y);
}

// --- Selected text

std::string TzeCustomEdit::SelText() const
{
    return SelAvail() ? m_doc->TextBetween(BlockBegin(), BlockEnd()) : std::string();
}

void TzeCustomEdit::PlaceCaretAt(TPoint p)
{
    // Put in place directly: the text just changed under a paint lock, and
    // the caret setters' clamping and scrolling wait for it to end.
    m_caretX = p.X - 1;
    m_caretY = p.Y - 1;
    UpdateCaret();
}

TPoint TzeCustomEdit::ReplaceSelection(const std::string &value, TUndoChangeKind deletion, TUndoChangeKind insertion)
{
    const TPoint caret = CaretXY();
    const bool selected = SelAvail();
    // Without a selection the text goes in at the caret, which need not be
    // where the collapsed anchors are (the caret can be moved on its own).
    TPoint start = caret;
    {
        TPaintLockGuard lock(*this);
        const TzeDocUpdate update(*m_doc);
        if (selected) {
            start = BlockBegin();
            m_doc->Replace(start, BlockEnd(), std::string_view(), deletion);
            PlaceCaretAt(start);
        }
        // The text ends at its first NUL: nothing to insert.
        const bool inserted = !value.empty() && value.front() != '\0';
        if (inserted) {
            // A caret left past the end by a change of the list itself
            // inserts into the last line, and an emptied list gets its line
            // back, so that no inserted text is lost.
            EnsureCaretLine();
            start = CaretXY();
        }
        const TPoint end = m_doc->Replace(start, start, inserted ? std::string_view(value) : std::string_view(), insertion);
        if (inserted) {
            if (end.Y == CaretY())
                SetCaretX(end.X);
            else
                PlaceCaretAt(end);
        }
    }
    // The caret was put in place directly (a cut, a multi-line paste): those
    // who show where it stands hear of it as of any other move.
    if (selected || CaretXY() != caret)
        DoOnSelectionChange();
    return start;
}

void TzeCustomEdit::SetSelTextPrimitive(const std::string &value)
{
    ReplaceSelection(value, ucNone, ucNone);
}

void TzeCustomEdit::SetSelText(const std::string &value)
{
    ReplaceSelection(value, ucDelete, ucInsert);
}

void TzeCustomEdit::SelectAll()
{
    SetBlockBegin(TPoint{1, 1});
    TPoint end{1, 1};
    if (const int count = Lines().Count(); count > 0) {
        end = TPoint{int(Lines().Get(count - 1).size()) + 1, count};
        SetBlockEnd(end);
    }
    SetCaretXY(end);
}

void TzeCustomEdit::ClearAll()
{
    SetBlockBegin(TPoint{1, 1});
    m_doc->ClearLines();
    // The caret goes with the selection: left on a line that is gone, what
    // is typed next would be lost.
    SetCaretXY(TPoint{1, 1});
}

// --- Clipboard

void TzeCustomEdit::CopyToClipboard()
{
    if (!SelAvail())
        return;
    QString text = Win1252::ToUnicode(SelText());
#ifndef Q_OS_WIN
    // Other programs here expect their own line ends; a paste takes any.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
#endif
    QGuiApplication::clipboard()->setText(text);
}

void TzeCustomEdit::CutToClipboard()
{
    if (!SelAvail())
        return;
    CopyToClipboard();
    ReplaceSelection(std::string(), ucDelete, ucNone);
}

void TzeCustomEdit::PasteFromClipboard()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return;
    QStringList unstorable;
    const std::string text = Win1252::FromUnicodeDropping(data->text(), unstorable);
    if (!unstorable.isEmpty() && OnUnstorableText)
        OnUnstorableText(*this, unstorable, false);
    if (!text.empty())
        PasteText(text);
}

void TzeCustomEdit::PasteText(const std::string &text)
{
    const TzeUndoGroup oneStep(*m_doc);
    ReplaceSelection(text, ucPasteDelete, ucPaste);
}

// --- Words

int TzeCustomEdit::LeftSpaces(std::string_view s) const
{
    if (!m_autoindent)
        return 0;
    const auto firstNonBlank = std::find_if_not(s.begin(), s.end(), IsBlank);
    return int(firstNonBlank - s.begin());
}

TzeIdentChars TzeCustomEdit::IdentChars() const
{
    if (m_highlighter)
        return m_highlighter->GetIdentChars();
    TzeIdentChars chars;
    for (int c = 33; c < 256; ++c)
        chars.set(size_t(c));
    return chars;
}

TPoint TzeCustomEdit::NextWordPos()
{
    const TzeIdentChars word = IdentChars();
    const auto isWord = [&word](char c) { return word.test(static_cast<unsigned char>(c)); };
    std::string_view s = LineOrEmpty(CaretY());
    int y = CaretY();
    size_t x = 0; // 0-based index of the column searched from
    if (CaretX() < int(s.size())) {
        x = size_t(m_caretX);
        if (isWord(s[x])) {
            while (x < s.size() && isWord(s[x]))
                ++x;
            if (x == s.size())
                return TPoint{int(s.size()) + 1, y};
        }
    } else if (y < Lines().Count()) {
        ++y;
        s = LineOrEmpty(y);
        if (IsBlankLine(s))
            return TPoint{1, y};
    } else {
        return CaretXY();
    }
    while (x < s.size() && !isWord(s[x]))
        ++x;
    return TPoint{int(x) + 1, y};
}

TPoint TzeCustomEdit::PrevWordPos()
{
    const TzeIdentChars word = IdentChars();
    const auto isWord = [&word](char c) { return word.test(static_cast<unsigned char>(c)); };
    const std::string_view s = LineOrEmpty(CaretY());
    const int y = CaretY();
    const auto endOfPreviousLine = [this, y]() {
        if (y <= 1)
            return TPoint{1, 1};
        return TPoint{int(LineOrEmpty(y - 1).size()) + 1, y - 1};
    };
    int x = std::min(CaretX(), int(s.size()) + 1);
    if (x <= 1)
        return endOfPreviousLine();
    while (x > 1 && !isWord(s[size_t(x - 2)]))
        --x;
    if (x <= 1)
        return endOfPreviousLine();
    while (x > 1 && isWord(s[size_t(x - 2)]))
        --x;
    return TPoint{x, y};
}
