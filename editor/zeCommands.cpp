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
    assert(m_lock.Depth > 0 || (AnchorOnALine(m_view.BlockBeginAnchor()) && AnchorOnALine(m_view.BlockEndAnchor())));
    if (completed && OnCommandDone)
        OnCommandDone(*this);
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
