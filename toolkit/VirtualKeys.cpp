// VirtualKeys.cpp: the table between Qt keys and virtual-key codes.
#include "toolkit/VirtualKeys.h"

#include <string_view>

#include <QKeyEvent>

namespace {

// The keys that are not letters, digits or function keys. Where two Qt keys
// share a code the first is the one its code stands for: Return before Enter,
// the unshifted symbol before the shifted one.
struct TKeyCode {
    int qtKey;
    std::uint16_t virtualKey;
};
constexpr TKeyCode kKeyCodes[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09}, {Qt::Key_Backtab, 0x09},
    {Qt::Key_Clear, 0x0C}, {Qt::Key_Return, 0x0D}, {Qt::Key_Enter, 0x0D},
    {Qt::Key_Shift, 0x10}, {Qt::Key_Control, 0x11}, {Qt::Key_Alt, 0x12},
    {Qt::Key_Pause, 0x13}, {Qt::Key_CapsLock, 0x14}, {Qt::Key_Escape, 0x1B},
    {Qt::Key_Space, 0x20}, {Qt::Key_PageUp, 0x21}, {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23}, {Qt::Key_Home, 0x24}, {Qt::Key_Left, 0x25}, {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27}, {Qt::Key_Down, 0x28}, {Qt::Key_Print, 0x2C},
    {Qt::Key_Insert, 0x2D}, {Qt::Key_Delete, 0x2E}, {Qt::Key_Help, 0x2F},
    {Qt::Key_Menu, 0x5D}, {Qt::Key_NumLock, 0x90}, {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Equal, 0xBB}, {Qt::Key_Comma, 0xBC},
    {Qt::Key_Minus, 0xBD}, {Qt::Key_Period, 0xBE}, {Qt::Key_Slash, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0}, {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_Backslash, 0xDC},
    {Qt::Key_BracketRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE},
    // Shifted symbols of the US layout: the code of the key that has them.
    {Qt::Key_Colon, 0xBA}, {Qt::Key_Plus, 0xBB}, {Qt::Key_Less, 0xBC},
    {Qt::Key_Underscore, 0xBD}, {Qt::Key_Greater, 0xBE}, {Qt::Key_Question, 0xBF},
    {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BraceLeft, 0xDB}, {Qt::Key_Bar, 0xDC},
    {Qt::Key_BraceRight, 0xDD}, {Qt::Key_QuoteDbl, 0xDE},
};

} // namespace

std::uint16_t VirtualKeyFromQt(int qtKey) noexcept
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return std::uint16_t('A' + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return std::uint16_t('0' + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return std::uint16_t(0x70 + (qtKey - Qt::Key_F1));
    for (const TKeyCode &code : kKeyCodes)
        if (code.qtKey == qtKey)
            return code.virtualKey;
    return 0;
}

int QtKeyFromVirtualKey(std::uint16_t key) noexcept
{
    if (key >= 'A' && key <= 'Z')
        return Qt::Key_A + (key - 'A');
    if (key >= '0' && key <= '9')
        return Qt::Key_0 + (key - '0');
    if (key >= 0x70 && key < 0x70 + 24)
        return Qt::Key_F1 + (key - 0x70);
    for (const TKeyCode &code : kKeyCodes)
        if (code.virtualKey == key)
            return code.qtKey;
    return 0;
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

Qt::KeyboardModifiers QtModifiersFromShiftState(std::uint8_t shift) noexcept
{
    Qt::KeyboardModifiers modifiers;
    if (shift & 1)
        modifiers |= Qt::ShiftModifier;
    if (shift & 2)
        modifiers |= Qt::AltModifier;
    if (shift & 4)
        modifiers |= Qt::ControlModifier;
    return modifiers;
}
