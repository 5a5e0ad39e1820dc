// zeTextCommands.cpp: the command families of TzeCustomEdit, one call per
// command: caret movement, scrolling, text changes, clipboard and markers.
// The view computes the points and changes the text through the document;
// the control adds what needs it: its key events, the clipboard, bookmarks.
#include "editor/zeCustomEdit.h"

namespace {

constexpr bool IsMovement(TzeEditorCommand c) noexcept
{
    return (c >= ecLeft && c <= ecGotoXY) || (c >= ecSelLeft && c <= ecSelGotoXY);
}

constexpr bool IsMarker(TzeEditorCommand c) noexcept
{
    return (c >= ecGotoMarker0 && c <= ecGotoMarker9) || (c >= ecSetMarker0 && c <= ecSetMarker9);
}

} // namespace

void TzeCustomEdit::SetInsertMode(bool value)
{
    if (value != InsertMode()) {
        m_view.Options().InsertMode = value;
        if (!m_designing)
            InitializeCaret();
    }
}

void TzeCustomEdit::SetTabIndent(int value) noexcept
{
    if (value < 1 || value > 16 || value == TabIndent())
        return;
    // Tab characters reach other stops: the caret and every line move.
    m_view.Options().TabIndent = value;
    InvalidateAll();
    UpdateCaret();
}

void TzeCustomEdit::CommentLines(bool comment)
{
    const TPaintLockGuard lock(*this);
    m_view.CommentLines(comment);
}

bool TzeCustomEdit::ExecuteCommand(TzeEditorCommand command, char aChar, void *data)
{
    if (IsMovement(command))
        return MovementCommand(command, data);
    if (IsMarker(command))
        return MarkerCommand(command);
    return TextCommand(command, aChar);
}

bool TzeCustomEdit::MovementCommand(TzeEditorCommand command, void *data)
{
    const TzeEditorCommand move = command >= ecSelection ? TzeEditorCommand(command - ecSelection) : command;
    // The word moves go where the (overridable) word positions say.
    const TPoint word = move == ecWordLeft ? PrevWordPos() : move == ecWordRight ? NextWordPos() : CaretXY();
    return m_view.Move(command, static_cast<const TPoint *>(data), word);
}

bool TzeCustomEdit::TextCommand(TzeEditorCommand command, char aChar)
{
    // The commands that need the control: its key events for a tab, the
    // (overridable) word positions, the caret's shape, the clipboard. The
    // view runs the others.
    switch (command) {
    case ecChar:
        return TypeChar(aChar);
    case ecDeleteWord:
        return m_view.DeleteWordTo(NextWordPos(), true);
    case ecDeleteLastWord:
        return m_view.DeleteWordTo(PrevWordPos(), false);
    case ecInsertMode:
        SetInsertMode(true);
        return true;
    case ecOverwriteMode:
        SetInsertMode(false);
        return true;
    case ecToggleMode:
        SetInsertMode(!InsertMode());
        return true;
    case ecCopy:
        CopyToClipboard();
        return true;
    case ecCut:
        if (!ReadOnly())
            CutToClipboard();
        return true;
    case ecPaste:
        if (!ReadOnly())
            PasteFromClipboard();
        return true;
    default:
        return m_view.Execute(command, aChar);
    }
}

bool TzeCustomEdit::MarkerCommand(TzeEditorCommand command)
{
    if (!m_bookMarkOptions->EnableKeys())
        return true;
    if (command <= ecGotoMarker9) {
        GotoBookmark(command - ecGotoMarker0);
        return true;
    }
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
    return true;
}

bool TzeCustomEdit::TypeChar(char c)
{
    if (static_cast<unsigned char>(c) == 9) {
        // Each blank is a command of its own, with its own events and undo change.
        for (int i = 0; i < TabIndent(); ++i)
            CommandProcessor(ecChar, ' ', nullptr);
        return false;
    }
    return m_view.TypeChar(c);
}
