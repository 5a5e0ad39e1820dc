// VirtualKeys.h: Qt key events as the Windows virtual-key codes and
// Shift/Ctrl/Alt modifiers that the editor's key bindings are written in.
#ifndef QUENLO_TOOLKIT_VIRTUALKEYS_H
#define QUENLO_TOOLKIT_VIRTUALKEYS_H

#include <cstdint>

#include <Qt>

// The virtual-key code of a Qt key, or 0 when it has none.
std::uint16_t VirtualKeyFromQt(int qtKey) noexcept;

// Modifier bits as the bindings use them: 1 Shift, 2 Alt, 4 Ctrl. On macOS Qt
// reports the Command key as Control, which is what users there expect.
std::uint8_t ShiftStateFromQt(Qt::KeyboardModifiers modifiers) noexcept;

#endif
