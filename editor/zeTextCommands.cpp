// zeTextCommands.cpp: the commands that change the text or the editing mode:
// typing, deleting, line breaks, clearing and the insert/overwrite modes.
#include <algorithm>
#include <utility>

#include "editor/zeCustomEdit.h"

namespace {


std::string Trimmed(std::string s)
{
    TrimRight(s);
    return s;
}

} // namespace

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
        if (command == ecDeleteWord) {
            SetBlockBegin(caret);
            SetBlockEnd(w);
            UndoList().Push(ucForwardDelete, caret, caret, SelText());
        } else {
            SetBlockBegin(w);
            SetBlockEnd(caret);
            UndoList().Push(ucForwardDelete, w, caret, SelText());
        }
        SetSelTextPrimitive(std::string());
        SetCaretXY(CaretXY());
        return true;
    }
    case ecDeleteBOL: {
        const TPoint start{1, CaretY()};
        UndoList().Push(ucDelete, start, start, LineText().substr(0, std::min<std::size_t>(LineText().size(), std::size_t(CaretX() - 1))));
        SetBlockBegin(start);
        SetBlockEnd(CaretXY());
        SetSelTextPrimitive(std::string());
        SetCaretXY(start);
        return true;
    }
    case ecDeleteEOL: {
        const std::string line = LineText();
        const std::size_t from = std::size_t(CaretX() - 1);
        UndoList().Push(ucForwardDelete, CaretXY(), CaretXY(), from < line.size() ? line.substr(from) : std::string());
        SetBlockBegin(CaretXY());
        SetBlockEnd(TPoint{int(line.size()) + 1, CaretY()});
        SetSelTextPrimitive(std::string());
        SetCaretXY(CaretXY());
        return true;
    }
    case ecDeleteLine: {
        if (SelAvail())
            SetBlockBegin(CaretXY());
        // The only line stays as an empty line, so its undo gives back the text
        // without a line break (else undo would add a line).
        UndoList().Push(ucForwardDelete, TPoint{1, CaretY()}, CaretXY(),
                         LineCount() <= 1 ? LineText() : LineText() + "\r\n");
        if (CaretY() <= LineCount()) {
            // The marks below move up with their lines, so that the undo,
            // which puts the line back, finds them where it moves them from.
            const bool lineGoes = LineCount() > 1;
            Lines().Delete(CaretY() - 1);
            if (lineGoes)
                m_doc->MoveMarksFrom(CaretY() + 1, -1);
        }
        if (LineCount() == 0)
            Lines().Add(std::string());
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
        Lines().Add(std::string());
    if (CaretY() > LineCount())
        SetCaretY(LineCount());
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
        UndoList().Push(ucDelete, BlockBegin(), BlockEnd(), SelText());
        const TPoint p = BlockBegin();
        SetSelTextPrimitive(std::string(1, c));
        UndoList().Push(ucInsert, p, CaretXY(), SelText());
        return false;
    }
    EnsureCaretLine();
    std::string s = LineText();
    if (int(s.size()) < CaretX())
        s.resize(std::size_t(CaretX()), ' ');
    {
        // The caret goes right after the character, wherever MaxLeftChar is.
        TFlagRestore pastEol(m_scrollPastEOL, true);
        TFlagRestore exact(m_exactPoints, true);
        const TPoint p = CaretXY();
        // Past the end of the line the overwritten "character" is only
        // padding: there is nothing to give back.
        std::string old;
        if (m_insertMode)
            s.insert(std::size_t(CaretX() - 1), 1, c);
        else if (CaretX() <= int(LineText().size()))
            old.assign(1, std::exchange(s[std::size_t(CaretX() - 1)], c));
        else
            s[std::size_t(CaretX() - 1)] = c;
        SetCaretX(CaretX() + 1);
        SetLineText(Trimmed(s));
        UndoList().Push(ucInsert, p, CaretXY(), old);
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
        UndoList().Push(ucDelete, BlockBegin(), BlockEnd(), SelText());
        SetSelTextPrimitive(std::string());
        return false;
    }
    std::string s = LineText();
    const int length = int(s.size());
    if (CaretX() > length + 1) {
        UndoList().Push(ucDelete, CaretXY(), CaretXY(), std::string());
        SetCaretX(CaretX() - 1);
    } else if (CaretX() > 1) {
        const int n = LeftSpaces(s);
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
            const std::string removed = s.substr(0, std::size_t(k));
            s.erase(0, std::size_t(k));
            SetLineText(Trimmed(s));
            SetCaretX(CaretX() - k);
            UndoList().Push(ucDelete, CaretXY(), CaretXY(), removed);
        } else {
            SetCaretX(CaretX() - 1);
            const std::string removed(1, s[std::size_t(CaretX() - 1)]);
            s.erase(std::size_t(CaretX() - 1), 1);
            SetLineText(Trimmed(s));
            UndoList().Push(ucDelete, CaretXY(), CaretXY(), removed);
        }
    } else if (CaretY() > 1 && CaretY() <= LineCount()) {
        // Recorded before the join, while the marks still stand on both lines.
        const TPoint join{int(Lines().Get(CaretY() - 2).size()) + 1, CaretY() - 1};
        UndoList().Push(ucDelete, join, join, "\r\n");
        Lines().Delete(CaretY() - 1);
        m_doc->MoveMarksFrom(CaretY(), -1);
        SetCaretY(CaretY() - 1);
        SetCaretX(join.X);
        SetLineText(LineText() + Trimmed(s));
    }
    return true;
}

bool TzeCustomEdit::DeleteChar()
{
    if (m_readOnly)
        return false;
    if (SelAvail()) {
        UndoList().Push(ucForwardDelete, BlockBegin(), BlockEnd(), SelText());
        SetSelTextPrimitive(std::string());
        return false;
    }
    std::string s = LineText();
    const int length = int(s.size());
    if (length >= CaretX()) {
        UndoList().Push(ucForwardDelete, CaretXY(), CaretXY(), std::string(1, s[std::size_t(CaretX() - 1)]));
        s.erase(std::size_t(CaretX() - 1), 1);
        SetLineText(Trimmed(s));
    } else if (LineCount() - 1 > CaretY() - 1) {
        s.append(std::size_t(CaretX() - 1 - length), ' ');
        s += Lines().Get(CaretY());
        SetLineText(Trimmed(s));
        UndoList().Push(ucForwardDelete, CaretXY(), CaretXY(), "\r\n");
        Lines().Delete(CaretY());
        if (LineCount() == 0)
            Lines().Add(std::string());
        m_doc->MoveMarksFrom(CaretY() + 1, -1);
    }
    return true;
}

bool TzeCustomEdit::LineBreak(bool moveCaret)
{
    if (m_readOnly)
        return false;
    if (SelAvail()) {
        UndoList().Push(ucDelete, BlockBegin(), BlockEnd(), SelText());
        SetSelTextPrimitive(std::string());
    }
    // A caret past the last line breaks an empty line at the end.
    EnsureCaretLine();
    const std::string s = LineText();
    const int length = int(s.size());
    const int index = CaretY() - 1;
    if (length > 0 && CaretX() <= length) {
        const int n = LeftSpaces(s);
        if (CaretX() > 1 && CaretX() - 1 > n) {
            const std::string tail = s.substr(std::size_t(CaretX() - 1));
            SetLineText(Trimmed(s.substr(0, std::size_t(CaretX() - 1))));
            UndoList().Push(ucLineBreak, CaretXY(), CaretXY(), tail);
            Lines().Insert(index + 1, std::string(std::size_t(n), ' ') + tail);
            if (moveCaret)
                SetCaretXY(TPoint{n + 1, CaretY() + 1});
        } else {
            SetLineText(std::string());
            Lines().Insert(index + 1, s);
            UndoList().Push(ucLineBreak, CaretXY(), CaretXY(), s);
            if (moveCaret)
                SetCaretY(CaretY() + 1);
        }
    } else if (length > 0) {
        const int n = CaretY() >= 2 ? LeftSpaces(s) : 0;
        UndoList().Push(ucLineBreak, CaretXY(), CaretXY(), std::string());
        if (moveCaret)
            SetCaretX(n + 1);
        Lines().Insert(index + 1, std::string());
        if (moveCaret)
            SetCaretY(CaretY() + 1);
    } else {
        int n = 0;
        for (int line = CaretY(); line >= 1; --line) {
            const std::string_view text = Lines().Get(line - 1);
            if (!text.empty()) {
                n = LeftSpaces(text);
                break;
            }
        }
        UndoList().Push(ucLineBreak, CaretXY(), CaretXY(), std::string());
        if (moveCaret)
            SetCaretX(n + 1);
        Lines().Insert(index, std::string());
        if (moveCaret)
            SetCaretY(CaretY() + 1);
    }
    m_doc->MoveMarksFrom(CaretY(), 1);
    return true;
}
