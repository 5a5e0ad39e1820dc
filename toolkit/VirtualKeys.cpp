// VirtualKeys.cpp: the Qt key to virtual-key table.
#include "toolkit/VirtualKeys.h"

#include <string_view>

#include <QKeyEvent>

std::uint16_t VirtualKeyFromQt(int qtKey) noexcept
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return std::uint16_t('A' + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return std::uint16_t('0' + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return std::uint16_t(0x70 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Clear: return 0x0C;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Print: return 0x2C;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Help: return 0x2F;
    case Qt::Key_Menu: return 0x5D;
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    case Qt::Key_Semicolon: return 0xBA;
    case Qt::Key_Equal: return 0xBB;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_Minus: return 0xBD;
    case Qt::Key_Period: return 0xBE;
    case Qt::Key_Slash: return 0xBF;
    case Qt::Key_QuoteLeft: return 0xC0;
    case Qt::Key_BracketLeft: return 0xDB;
    case Qt::Key_Backslash: return 0xDC;
    case Qt::Key_BracketRight: return 0xDD;
    case Qt::Key_Apostrophe: return 0xDE;
    // Shifted symbols of the US layout: the code of the key that has them.
    case Qt::Key_Colon: return 0xBA;
    case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Less: return 0xBC;
    case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Question: return 0xBF;
    case Qt::Key_AsciiTilde: return 0xC0;
    case Qt::Key_BraceLeft: return 0xDB;
    case Qt::Key_Bar: return 0xDC;
    case Qt::Key_BraceRight: return 0xDD;
    case Qt::Key_QuoteDbl: return 0xDE;
    default: return 0;
    }
}

std::uint16_t VirtualKeyFromEvent(const QKeyEvent &event) noexcept
{
#if defined(Q_OS_WIN)
    if (const quint32 native = event.nativeVirtualKey(); native > 0 && native < 0xFF)
        return std::uint16_t(native);
#endif
    if (event.modifiers() & Qt::KeypadModifier) {
        // The number pad has codes of its own; without NumLock its keys
        // arrive as the movement keys and are mapped as those below.
        const int qtKey = event.key();
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return std::uint16_t(0x60 + (qtKey - Qt::Key_0));
        switch (qtKey) {
        case Qt::Key_Asterisk: return 0x6A;
        case Qt::Key_Plus: return 0x6B;
        case Qt::Key_Minus: return 0x6D;
        case Qt::Key_Period:
        case Qt::Key_Comma: return 0x6E;
        case Qt::Key_Slash: return 0x6F;
        default: break;
        }
    }
    const std::uint16_t key = VirtualKeyFromQt(event.key());
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return key;
#if defined(Q_OS_LINUX)
    // X11 and Wayland key codes: the evdev codes of the row 1 .. 0 (2 .. 11) plus 8.
    const quint32 scan = event.nativeScanCode();
    if (scan >= 10 && scan <= 19)
        return std::uint16_t(scan == 19 ? '0' : '1' + (scan - 10));
    // A letter of a non-Latin layout (Cyrillic, Greek) is the Latin letter of
    // its position, so that Ctrl+C still copies there.
    if (key == 0) {
        static constexpr struct {
            quint32 first;
            std::string_view letters;
        } kRows[] = {{24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}};
        for (const auto &row : kRows)
            if (scan >= row.first && scan - row.first < row.letters.size())
                return std::uint16_t(row.letters[scan - row.first]);
    }
#endif
    if (event.nativeScanCode() == 0 && (event.modifiers() & Qt::ShiftModifier)) {
        static constexpr int kShiftedDigits[10] = {Qt::Key_ParenRight, Qt::Key_Exclam,    Qt::Key_At,
                                                   Qt::Key_NumberSign, Qt::Key_Dollar,    Qt::Key_Percent,
                                                   Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,
                                                   Qt::Key_ParenLeft};
        for (int digit = 0; digit < 10; ++digit)
            if (event.key() == kShiftedDigits[digit])
                return std::uint16_t('0' + digit);
    }
    return key;
}

std::uint8_t ShiftStateFromQt(Qt::KeyboardModifiers modifiers) noexcept
{
    std::uint8_t shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::AltModifier)
        shift |= 2;
    if (modifiers & Qt::ControlModifier)
        shift |= 4;
    return shift;
}
