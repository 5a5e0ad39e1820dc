// zeCommands.cpp: the command processor, key bindings of the control and the
// caret movement, selection and scroll commands.
#include <cassert>

#include <QApplication>
#include <QKeyEvent>

#include "toolkit/VirtualKeys.h"
#include "toolkit/Win1252.h"
#include "editor/zeCustomEdit.h"

void TzeCustomEdit::SetKeystrokes(const TzeKeyStrokes *value)
{
    if (!value)
        m_keystrokes->Clear();
    else
        m_keystrokes->Assign(*value);
}

void TzeCustomEdit::ResetKeystrokes()
{
    m_keystrokes->LoadDefaults();
}

TzeEditorCommand TzeCustomEdit::TranslateKeyCode(std::uint16_t key, TShiftState shift, void *&) const
{
    const int i = m_keystrokes->IndexOfKey(key, shift);
    return i >= 0 ? m_keystrokes->Items(i).Command() : ecNone;
}

void TzeCustomEdit::DoOnProcessCommand(TzeEditorCommand &command, char &aChar, void *data)
{
    if (command >= ecUserFirst) {
        if (OnProcessUserCommand)
            OnProcessUserCommand(command, aChar, data);
    } else if (OnProcessCommand) {
        OnProcessCommand(command, aChar, data);
    }
}

void TzeCustomEdit::CommandProcessor(TzeEditorCommand command, char aChar, void *data)
{
    DoOnProcessCommand(command, aChar, data);
    if (command == ecNone || command >= ecUserFirst)
        return;
    bool completed = false;
    {
        TPaintLockGuard lock(*this); // released also when the command raises
        completed = ExecuteCommand(command, aChar, data);
    }
    // A command leaves both anchors on lines that exist.
    assert(m_paintLock > 0 || (AnchorOnALine(m_blockBegin) && AnchorOnALine(m_blockEnd)));
    if (completed && OnCommandDone)
        OnCommandDone(*this);
}

bool TzeCustomEdit::ExecuteCommand(TzeEditorCommand command, char aChar, void *data)
{
    if ((command >= ecLeft && command <= ecGotoXY) || (command >= ecSelLeft && command <= ecSelGotoXY))
        return ExecuteMovement(command, data);
    if ((command >= ecDeleteLastChar && command <= ecChar) || command == ecUndo || command == ecRedo ||
        (command >= ecInsertMode && command <= ecToggleMode))
        return ExecuteTextCommand(command, aChar);
    switch (command) {
    case ecSelectAll:
        SelectAll();
        break;
    case ecCopy:
        CopyToClipboard();
        break;
    case ecCut:
        if (!m_readOnly)
            CutToClipboard();
        break;
    case ecPaste:
        if (!m_readOnly)
            PasteFromClipboard();
        break;
    case ecGotoMarker0 + 0: case ecGotoMarker0 + 1: case ecGotoMarker0 + 2: case ecGotoMarker0 + 3:
    case ecGotoMarker0 + 4: case ecGotoMarker0 + 5: case ecGotoMarker0 + 6: case ecGotoMarker0 + 7:
    case ecGotoMarker0 + 8: case ecGotoMarker9:
        if (m_bookMarkOptions->EnableKeys())
            GotoBookmark(command - ecGotoMarker0);
        break;
    case ecSetMarker0 + 0: case ecSetMarker0 + 1: case ecSetMarker0 + 2: case ecSetMarker0 + 3:
    case ecSetMarker0 + 4: case ecSetMarker0 + 5: case ecSetMarker0 + 6: case ecSetMarker0 + 7:
    case ecSetMarker0 + 8: case ecSetMarker9:
        if (m_bookMarkOptions->EnableKeys()) {
            // Setting a marker again on its own line removes it.
            const int n = command - ecSetMarker0;
            if (TMark *mark = Bookmarks(n)) {
                const bool moved = mark->Line() != CaretY();
                ClearBookmark(n);
                if (moved)
                    SetBookmark(n, CaretX(), CaretY());
            } else {
                SetBookmark(n, CaretX(), CaretY());
            }
        }
        break;
    case ecScrollUp:
        SetTopLine(TopLine() - 1);
        if (CaretY() > TopLine() + LinesInWindow() - 1)
            SetCaretY(TopLine() + LinesInWindow() - 1);
        break;
    case ecScrollDown:
        SetTopLine(TopLine() + 1);
        if (CaretY() < TopLine())
            SetCaretY(TopLine());
        break;
    case ecScrollLeft:
        SetLeftChar(LeftChar() - 1);
        if (CaretX() > LeftChar() + CharsInWindow())
            SetCaretX(LeftChar() + CharsInWindow());
        break;
    case ecScrollRight:
        SetLeftChar(LeftChar() + 1);
        if (CaretX() < LeftChar())
            SetCaretX(LeftChar());
        break;
    default:
        break; // unassigned codes, and those of later commands, do nothing
    }
    return true;
}

bool TzeCustomEdit::ExecuteMovement(TzeEditorCommand command, void *data)
{
    const bool selecting = command >= ecSelection;
    const TzeEditorCommand move = selecting ? TzeEditorCommand(command - ecSelection) : command;
    const int lineCount = LineCount();

    if (move == ecLeft || move == ecRight) {
        const int x = CaretX() + (move == ecLeft ? -1 : 1);
        if (selecting) {
            if (!SelAvail())
                SetBlockBegin(CaretXY());
            SetBlockEnd(TPoint{x, CaretY()});
        } else {
            SetBlockBegin(TPoint{x, CaretY()});
        }
        if (!m_scrollPastEOL && move == ecLeft && x < 1) {
            if (CaretY() > 1) {
                SetCaretY(CaretY() - 1);
                SetCaretX(int(LineText().size()) + 1);
            }
        } else if (!m_scrollPastEOL && move == ecRight && x > int(LineText().size()) + 1) {
            if (lineCount > CaretY()) {
                SetCaretX(1);
                SetCaretY(CaretY() + 1);
            }
        } else {
            SetCaretX(x);
        }
        return true;
    }
    if (move == ecUp || move == ecDown) {
        const int y = CaretY();
        SetCaretY(y + (move == ecUp ? -1 : 1));
        if (selecting) {
            if (!SelAvail())
                SetBlockBegin(TPoint{CaretX(), y});
            SetBlockEnd(CaretXY());
        } else {
            SetBlockBegin(CaretXY());
        }
        return true;
    }
    if (move == ecGotoXY && !data)
        return false; // ends early: no selection change, no OnCommandDone

    if (selecting && !SelAvail())
        SetBlockBegin(CaretXY());
    const int page = m_halfpageScroll ? LinesInWindow() / 2 : LinesInWindow();
    switch (move) {
    case ecWordLeft:
        SetCaretXY(PrevWordPos());
        break;
    case ecWordRight:
        SetCaretXY(NextWordPos());
        break;
    case ecLineStart:
        SetCaretX(1);
        break;
    case ecLineEnd:
        SetCaretX(int(LineText().size()) + 1);
        break;
    case ecPageUp:
        SetTopLine(TopLine() - page);
        SetCaretY(CaretY() - page);
        break;
    case ecPageDown:
        SetTopLine(TopLine() + page);
        SetCaretY(CaretY() + page);
        break;
    case ecPageLeft:
        SetLeftChar(LeftChar() - CharsInWindow());
        SetCaretX(CaretX() - CharsInWindow());
        break;
    case ecPageRight:
        SetLeftChar(LeftChar() + CharsInWindow());
        SetCaretX(CaretX() + CharsInWindow());
        break;
    case ecPageTop:
        SetCaretY(TopLine());
        break;
    case ecPageBottom:
        SetCaretY(TopLine() + LinesInWindow() - 1);
        break;
    case ecEditorTop:
        SetCaretX(1);
        SetCaretY(1);
        break;
    case ecEditorBottom: {
        // An empty list counts as one empty line.
        const int last = std::max(lineCount, 1);
        SetCaretY(last);
        SetTopLine(last - LinesInWindow() + 1);
        SetCaretX(lineCount > 0 ? int(Lines().Get(lineCount - 1).size()) + 1 : 1);
        SetLeftChar(1);
        break;
    }
    case ecGotoXY:
        SetCaretXY(*static_cast<const TPoint *>(data));
        break;
    default:
        break;
    }
    if (selecting)
        SetBlockEnd(CaretXY());
    else
        SetBlockBegin(CaretXY());
    return true;
}

namespace {

// The characters a key press types. Ctrl with Alt is how AltGr arrives on
// some systems, so its characters are typed; Ctrl alone types only control
// characters (Ctrl+I a tab; ecChar ignores the others), and nothing with the
// Tab key itself; Alt alone types nothing. Shift+Tab (which reaches the
// editor only with WantTabs) types a tab, whatever character the system
// gives it.
QString TypedText(const QKeyEvent &event)
{
    const bool ctrl = event.modifiers() & Qt::ControlModifier;
    const bool alt = event.modifiers() & Qt::AltModifier;
    const bool tabKey = event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab;
    if ((alt && !ctrl) || (ctrl && tabKey))
        return {};
    QString text = event.key() == Qt::Key_Backtab ? QStringLiteral("\t") : event.text();
    if (ctrl && !alt)
        text.removeIf([](QChar ch) { return ch.unicode() >= 32; });
    return text;
}

} // namespace

void TzeCustomEdit::keyPressEvent(QKeyEvent *event)
{
    // Key down: OnKeyDown may take the key (set it to 0) from its binding.
    std::uint16_t key = VirtualKeyFromEvent(*event);
    const TShiftState shift = ShiftStateFromQt(event->modifiers());
    const bool known = key != 0;
    if (OnKeyDown)
        OnKeyDown(*this, key, shift);
    if (key != 0) {
        void *data = nullptr;
        const TzeEditorCommand command = TranslateKeyCode(key, shift, data);
        if (command != ecNone) {
            // Alt+Backspace (undo) included: accepted here, it never beeps.
            event->accept();
            CommandProcessor(command, '\0', data);
            return;
        }
    }
    // Key press: each typed character that Windows-1252 can hold, after
    // OnKeyPress has seen it (and perhaps changed it).
    bool typed = false;
    QStringList unstorable;
    for (char c : Win1252::FromUnicodeDropping(TypedText(*event), unstorable)) {
        if (OnKeyPress)
            OnKeyPress(*this, c);
        CommandProcessor(ecChar, c, nullptr);
        typed = true;
    }
    // A character the text cannot hold is not typed, but not in silence.
    if (!unstorable.isEmpty()) {
        QApplication::beep();
        if (OnUnstorableText)
            OnUnstorableText(*this, unstorable, true);
        typed = true;
    }
    // A key without a binding is not the view's to scroll either: it goes
    // on to the parent, unless OnKeyDown took it.
    if (typed || (known && key == 0))
        event->accept();
    else
        event->ignore();
}

void TzeCustomEdit::keyReleaseEvent(QKeyEvent *event)
{
    if (OnKeyUp && !event->isAutoRepeat()) {
        std::uint16_t key = VirtualKeyFromEvent(*event);
        OnKeyUp(*this, key, ShiftStateFromQt(event->modifiers()));
    }
    event->ignore();
}

bool TzeCustomEdit::focusNextPrevChild(bool next)
{
    // With WantTabs the Tab key reaches keyPressEvent and is typed.
    if (m_wantTabs)
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}
