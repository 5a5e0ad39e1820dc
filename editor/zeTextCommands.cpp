// zeTextCommands.cpp: the commands that change the text or the editing mode:
// typing, deleting, line breaks, clearing and the insert/overwrite modes.
#include <algorithm>
#include <utility>

#include "editor/zeCustomEdit.h"

void TzeCustomEdit::SetInsertMode(bool value)
{
    if (value != m_insertMode) {
        m_insertMode = value;
        if (!m_designing)
            InitializeCaret();
    }
}

void TzeCustomEdit::SetTabIndent(int value) noexcept
{
    if (value >= 1 && value <= 16 && value != m_tabIndent)
        m_tabIndent = value;
}

bool TzeCustomEdit::ExecuteTextCommand(TzeEditorCommand command, char aChar)
{
    switch (command) {
    case ecChar:
        return TypeChar(aChar);
    case ecDeleteLastChar:
        return DeleteLastChar();
    case ecDeleteChar:
        return DeleteChar();
    case ecDeleteWord:
    case ecDeleteLastWord: {
        if (m_readOnly)
            return false;
        const TPoint caret = CaretXY();
        const TPoint w = command == ecDeleteWord ? NextWordPos() : PrevWordPos();
        if (w == caret)
            return false;
        // Undo puts the caret back where it stood.
        TzeTextChange change;
        change.Begin = ClampAnchor(caret);
        change.End = ClampAnchor(w);
        change.Kind = ucForwardDelete;
        if (command == ecDeleteWord)
            change.RecordEnd = change.Begin;
        DeleteRange(change);
        return true;
    }
    case ecDeleteBOL: {
        const TPoint start{1, CaretY()};
        TzeTextChange change;
        change.Begin = start;
        change.End = ClampAnchor(CaretXY());
        change.Kind = ucDelete;
        change.RecordEnd = start;
        DeleteRange(change);
        SetCaretXY(start);
        return true;
    }
    case ecDeleteEOL: {
        const TPoint lineEnd{int(LineText().size()) + 1, CaretY()};
        TzeTextChange change;
        change.Begin = CaretXY();
        change.End = ClampAnchor(lineEnd);
        change.Kind = ucForwardDelete;
        change.RecordStart = change.RecordEnd = CaretXY();
        DeleteRange(change);
        return true;
    }
    case ecDeleteLine: {
        if (SelAvail())
            SetBlockBegin(CaretXY());
        m_doc->DeleteWholeLine(CaretY(), CaretXY());
        SetCaretXY(CaretXY());
        return true;
    }
    case ecClearAll:
        if (!m_readOnly)
            ClearAll();
        return true;
    case ecLineBreak:
    case ecInsertLine:
        return LineBreak(command == ecLineBreak);
    case ecUndo:
        Undo();
        return true;
    case ecRedo:
        Redo();
        return true;
    case ecInsertMode:
        SetInsertMode(true);
        return true;
    case ecOverwriteMode:
        SetInsertMode(false);
        return true;
    case ecToggleMode:
        SetInsertMode(!m_insertMode);
        return true;
    default:
        return true;
    }
}

void TzeCustomEdit::EnsureCaretLine()
{
    if (LineCount() == 0)
        m_doc->AddLine(std::string());
    if (CaretY() > LineCount())
        SetCaretY(LineCount());
}

void TzeCustomEdit::DeleteRange(const TzeTextChange &change)
{
    // The caret goes to the start of what went, as a deleted selection leaves it.
    const TPoint start = MinPoint(change.Begin, change.End);
    {
        TPaintLockGuard lock(*this);
        const TzeDocUpdate update(*m_doc);
        m_doc->Replace(change);
        if (change.Begin != change.End)
            PlaceCaretAt(start);
    }
    SetCaretXY(CaretXY());
}

bool TzeCustomEdit::TypeChar(char c)
{
    const auto code = static_cast<unsigned char>(c);
    if (code == 9) {
        // Each blank is a command of its own, with its own events and undo change.
        for (int i = 0; i < m_tabIndent; ++i)
            CommandProcessor(ecChar, ' ', nullptr);
        return false;
    }
    if (code < 32 || code == 127 || m_readOnly)
        return false;
    if (SelAvail()) {
        ReplaceSelection(std::string(1, c), ucDelete, ucInsert);
        return false;
    }
    EnsureCaretLine();
    {
        // The caret goes right after the character, wherever MaxLeftChar is.
        TFlagRestore pastEol(m_scrollPastEOL, true);
        TFlagRestore exact(m_exactPoints, true);
        const TPoint p = CaretXY();
        // Overwriting past the end of the line replaces only padding: there
        // is nothing to give back.
        TzeTextChange change;
        change.Begin = p;
        change.End = m_insertMode ? p : TPoint{p.X + 1, p.Y};
        const char typed[1] = {c};
        change.Text = std::string_view(typed, 1);
        change.Kind = ucInsert;
        change.Trim = true;
        {
            const TzeDocUpdate update(*m_doc);
            m_doc->Replace(change);
            SetCaretX(CaretX() + 1);
        }
    }
    if (CaretX() >= LeftChar() + CharsInWindow())
        SetLeftChar(LeftChar() + std::min(25, CharsInWindow() - 1));
    return true;
}

bool TzeCustomEdit::DeleteLastChar()
{
    if (m_readOnly)
        return false;
    if (SelAvail()) {
        ReplaceSelection(std::string(), ucDelete, ucNone);
        return false;
    }
    const std::string s = LineText();
    const int length = int(s.size());
    TzeTextChange change;
    change.Kind = ucDelete;
    if (CaretX() > length + 1) {
        // Past the end the caret only steps back over padding.
        change.Begin = change.End = CaretXY();
        m_doc->Replace(change);
        SetCaretX(CaretX() - 1);
    } else if (CaretX() > 1) {
        const int n = LeftSpaces(s);
        const int y = CaretY();
        if (static_cast<unsigned char>(s[std::size_t(CaretX() - 2)]) <= 32 && CaretX() - 1 == n) {
            // Unindent to the level of the nearest line above with less indentation;
            // when every examined line has at least n blanks, all n go.
            int m = 0;
            for (int line = CaretY() - 1; line >= 2; --line) {
                const int count = LeftSpaces(Lines().Get(line - 1));
                if (count < n) {
                    m = count;
                    break;
                }
            }
            const int k = n - m;
            // The first k blanks go; undo gives them back before the caret.
            change.Begin = TPoint{1, y};
            change.End = TPoint{k + 1, y};
            change.RecordStart = change.RecordEnd = TPoint{CaretX() - k, y};
            change.Trim = true;
            {
                const TzeDocUpdate update(*m_doc);
                m_doc->Replace(change);
                SetCaretX(CaretX() - k);
            }
        } else {
            change.Begin = TPoint{CaretX() - 1, y};
            change.RecordEnd = change.Begin;
            change.End = CaretXY();
            change.Trim = true;
            {
                const TzeDocUpdate update(*m_doc);
                m_doc->Replace(change);
                SetCaretX(CaretX() - 1);
            }
        }
    } else if (CaretY() > 1 && CaretY() <= LineCount()) {
        const TPoint join{int(Lines().Get(CaretY() - 2).size()) + 1, CaretY() - 1};
        change.Begin = join;
        change.RecordEnd = join;
        change.End = TPoint{1, CaretY()};
        {
            const TzeDocUpdate update(*m_doc);
            m_doc->Replace(change);
            SetCaretY(join.Y);
            SetCaretX(join.X);
        }
    }
    return true;
}

bool TzeCustomEdit::DeleteChar()
{
    if (m_readOnly)
        return false;
    if (SelAvail()) {
        ReplaceSelection(std::string(), ucForwardDelete, ucNone);
        return false;
    }
    const int length = int(LineText().size());
    TzeTextChange change;
    change.Begin = CaretXY();
    change.RecordEnd = change.Begin;
    change.Kind = ucForwardDelete;
    change.Trim = true;
    if (length >= CaretX()) {
        change.End = TPoint{CaretX() + 1, CaretY()};
        m_doc->Replace(change);
    } else if (LineCount() - 1 > CaretY() - 1) {
        // The next line joins at the caret's column, padded with blanks.
        change.End = TPoint{1, CaretY() + 1};
        m_doc->Replace(change);
    }
    return true;
}

bool TzeCustomEdit::LineBreak(bool moveCaret)
{
    if (m_readOnly)
        return false;
    if (SelAvail())
        ReplaceSelection(std::string(), ucDelete, ucNone);
    // A caret past the last line breaks an empty line at the end.
    EnsureCaretLine();
    const TzeDocUpdate update(*m_doc);
    const TPoint caret = m_doc->BreakLine(CaretXY(), m_autoindent, moveCaret);
    if (moveCaret)
        SetCaretXY(caret);
    return true;
}
