// VirtualKeys.h: Qt key events as the Windows virtual-key codes and
// Shift/Ctrl/Alt modifiers that the editor's key bindings are written in.
#ifndef QUENLO_TOOLKIT_VIRTUALKEYS_H
#define QUENLO_TOOLKIT_VIRTUALKEYS_H

#include <cstdint>

#include <Qt>

class QKeyEvent;

// The virtual-key code of a Qt key, or 0 when it has none.
std::uint16_t VirtualKeyFromQt(int qtKey) noexcept;
// The Qt key that a virtual-key code stands for (the unshifted one where
// several share it), or 0 when it has none.
int QtKeyFromVirtualKey(std::uint16_t key) noexcept;

// The virtual-key code of a key event. Windows gives it directly. Elsewhere
// the digit row is read from the key's position, since Qt names the symbol
// that Shift (or the keyboard layout) puts there: Ctrl+Shift+1 arrives as
// '!' on a US layout and Ctrl+1 as '&' on a French one, and both are key '1'
// to the bindings. Without a position (synthetic events) the shifted US
// digit row is taken as the digits. The letters of a non-Latin layout are
// read from their position too; the number pad has its own codes.
std::uint16_t VirtualKeyFromEvent(const QKeyEvent &event) noexcept;

// Modifier bits as the bindings use them: 1 Shift, 2 Alt, 4 Ctrl. On macOS Qt
// reports the Command key as Control, which is what users there expect.
std::uint8_t ShiftStateFromQt(Qt::KeyboardModifiers modifiers) noexcept;
// The other way round: the Qt modifiers of a binding's bits.
Qt::KeyboardModifiers QtModifiersFromShiftState(std::uint8_t shift) noexcept;

#endif
