// VirtualKeysTest.cpp: Qt keys and key events as virtual-key codes and modifier bits.
#include <gtest/gtest.h>

#include <QKeyEvent>

#include "toolkit/VirtualKeys.h"

namespace {

std::uint16_t FromEvent(int key, Qt::KeyboardModifiers modifiers, quint32 scanCode)
{
    const QKeyEvent event(QEvent::KeyPress, key, modifiers, scanCode, 0, 0);
    return VirtualKeyFromEvent(event);
}

} // namespace

TEST(VirtualKeys, QtKeysMapToTheirCodes)
{
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_A), 'A');
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Z), 'Z');
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7), '7');
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F1), 0x70);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Backspace), 0x08);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter), 0x0D);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_PageDown), 0x22);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Delete), 0x2E);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Exclam), 0); // a symbol has no code of its own
    EXPECT_EQ(ShiftStateFromQt(Qt::ShiftModifier | Qt::ControlModifier), 1 | 4);
    EXPECT_EQ(ShiftStateFromQt(Qt::AltModifier), 2);
    EXPECT_EQ(ShiftStateFromQt(Qt::KeypadModifier), 0);
    for (std::uint8_t shift = 0; shift < 8; ++shift) // every binding's bits go there and back
        EXPECT_EQ(ShiftStateFromQt(QtModifiersFromShiftState(shift)), shift);
}

// Every code that names a key names it back; the unshifted of two symbols.
TEST(VirtualKeys, CodesNameTheirQtKeysBack)
{
    int named = 0;
    for (std::uint16_t code = 1; code < 256; ++code)
        if (const int qtKey = QtKeyFromVirtualKey(code); qtKey != 0 && ++named) {
            EXPECT_EQ(VirtualKeyFromQt(qtKey), code) << code;
        }
    EXPECT_GT(named, 26 + 10 + 24); // letters, digits, function keys and more
    EXPECT_EQ(QtKeyFromVirtualKey(0x0D), Qt::Key_Return);
    EXPECT_EQ(QtKeyFromVirtualKey(0xBA), Qt::Key_Semicolon);
    EXPECT_EQ(QtKeyFromVirtualKey(0x60), 0); // the number pad
}

TEST(VirtualKeys, TheDigitRowIsReadFromTheKeyPosition)
{
    // Ctrl+Shift+1 on a US layout names '!'.
    EXPECT_EQ(FromEvent(Qt::Key_Exclam, Qt::ShiftModifier | Qt::ControlModifier, 0), '1');
    EXPECT_EQ(FromEvent(Qt::Key_ParenRight, Qt::ShiftModifier, 0), '0');
    // Unshifted symbols of a synthetic event stay what they are.
    EXPECT_EQ(FromEvent(Qt::Key_Ampersand, Qt::ControlModifier, 0), 0);
    EXPECT_EQ(FromEvent(Qt::Key_Home, Qt::ShiftModifier, 0), 0x24);
    EXPECT_EQ(FromEvent(Qt::Key_4, Qt::ControlModifier, 13), '4');
#if defined(Q_OS_LINUX)
    // X11 key codes 10 .. 19 are the row 1 .. 0 whatever the layout names:
    // '&' is Ctrl+1 on a French layout, '"' Ctrl+Shift+2 on a German one.
    EXPECT_EQ(FromEvent(Qt::Key_Ampersand, Qt::ControlModifier, 10), '1');
    EXPECT_EQ(FromEvent(Qt::Key_QuoteDbl, Qt::ShiftModifier | Qt::ControlModifier, 11), '2');
    EXPECT_EQ(FromEvent(Qt::Key_Agrave, Qt::ControlModifier, 19), '0');
    // Other positions keep the key's own code.
    EXPECT_EQ(FromEvent(Qt::Key_Minus, Qt::ControlModifier, 20), 0xBD);
#endif
}

TEST(VirtualKeys, NumberPadAndShiftedSymbolsHaveTheirCodes)
{
    EXPECT_EQ(FromEvent(Qt::Key_1, Qt::KeypadModifier | Qt::ControlModifier, 0), 0x61);
    EXPECT_EQ(FromEvent(Qt::Key_0, Qt::KeypadModifier, 0), 0x60);
    EXPECT_EQ(FromEvent(Qt::Key_Minus, Qt::KeypadModifier, 0), 0x6D);
    EXPECT_EQ(FromEvent(Qt::Key_Slash, Qt::KeypadModifier, 0), 0x6F);
    // Without NumLock the pad gives movement keys, the same as the others.
    EXPECT_EQ(FromEvent(Qt::Key_Home, Qt::KeypadModifier | Qt::ControlModifier, 0), 0x24);
    EXPECT_EQ(FromEvent(Qt::Key_Enter, Qt::KeypadModifier, 0), 0x0D);
    // A shifted symbol of the US layout is the key it is on.
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Plus), 0xBB);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Question), 0xBF);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_BraceRight), 0xDD);
#if defined(Q_OS_LINUX)
    // A Cyrillic letter (Qt names it by its code point) is the Latin letter
    // of its position: X11 key code 54 is C, 52 Z, 33 P.
    EXPECT_EQ(FromEvent(0x0421, Qt::ControlModifier, 54), 'C');
    EXPECT_EQ(FromEvent(0x042F, Qt::ControlModifier, 52), 'Z');
    EXPECT_EQ(FromEvent(0x0417, Qt::ControlModifier, 33), 'P');
    // A Latin letter keeps its own code wherever it is (A is at Q's place on a French layout).
    EXPECT_EQ(FromEvent(Qt::Key_A, Qt::ControlModifier, 24), 'A');
#endif
}
