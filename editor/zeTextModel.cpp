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
    if (CaretY() >= 1 && CaretY() <= Lines().Count())
        m_doc->PutLine(CaretY() - 1, value);
}

// --- Caret and anchors: the view's rules

void TzeCustomEdit::SetCaretX(int value)
{
    m_view.SetCaretX(value);
}

void TzeCustomEdit::SetCaretY(int value)
{
    m_view.SetCaretY(value);
}

void TzeCustomEdit::SetCaretXY(TPoint value)
{
    m_view.SetCaretXY(value);
}

void TzeCustomEdit::SetBlockBegin(TPoint value)
{
    m_view.SetBlockBegin(value);
}

void TzeCustomEdit::SetBlockEnd(TPoint value)
{
    m_view.SetBlockEnd(value);
}

// --- Selected text

std::string TzeCustomEdit::SelText() const
{
    return m_view.SelText();
}

void TzeCustomEdit::SetSelTextPrimitive(const std::string &value)
{
    m_view.ReplaceSelection(value, ucNone, ucNone);
}

void TzeCustomEdit::SetSelText(const std::string &value)
{
    m_view.ReplaceSelection(value, ucDelete, ucInsert);
}

void TzeCustomEdit::Undo()
{
    m_view.Undo();
}

void TzeCustomEdit::Redo()
{
    m_view.Redo();
}

void TzeCustomEdit::SelectAll()
{
    m_view.SelectAll();
}

void TzeCustomEdit::ClearAll()
{
    m_view.ClearText();
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
    m_view.ReplaceSelection(std::string(), ucDelete, ucNone);
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
    m_view.ReplaceSelection(text, ucPasteDelete, ucPaste);
}

// --- Words

int TzeCustomEdit::LeftSpaces(std::string_view s) const
{
    return m_view.LeftSpaces(s);
}

TzeIdentChars TzeCustomEdit::IdentChars() const
{
    if (m_scanner.Highlighter)
        return m_scanner.Highlighter->GetIdentChars();
    TzeIdentChars chars;
    for (int c = 33; c < 256; ++c)
        chars.set(size_t(c));
    return chars;
}

TPoint TzeCustomEdit::NextWordPos()
{
    m_view.SetWordChars(IdentChars());
    return m_view.NextWordPos();
}

TPoint TzeCustomEdit::PrevWordPos()
{
    m_view.SetWordChars(IdentChars());
    return m_view.PrevWordPos();
}
