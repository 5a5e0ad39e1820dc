// zeKeyCmds.h: the editor's command codes and key bindings.
// TzeEditorCommand values and their identifiers (CommandIdents), TzeKeyStroke
// (one key with its modifiers bound to a command), TzeKeyStrokes (the editor's
// binding collection with the default table) and EzeKeyError.
#ifndef QUENLO_EDITOR_ZEKEYCMDS_H
#define QUENLO_EDITOR_ZEKEYCMDS_H

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Exception.h"

class TzeCustomEdit;

using TzeEditorCommand = std::uint16_t;

// Movement commands; each selecting variant is its plain command + 100.
constexpr TzeEditorCommand ecNone = 0;
constexpr TzeEditorCommand ecLeft = 1;
constexpr TzeEditorCommand ecRight = 2;
constexpr TzeEditorCommand ecUp = 3;
constexpr TzeEditorCommand ecDown = 4;
constexpr TzeEditorCommand ecWordLeft = 5;
constexpr TzeEditorCommand ecWordRight = 6;
constexpr TzeEditorCommand ecLineStart = 7;
constexpr TzeEditorCommand ecLineEnd = 8;
constexpr TzeEditorCommand ecPageUp = 9;
constexpr TzeEditorCommand ecPageDown = 10;
constexpr TzeEditorCommand ecPageLeft = 11;
constexpr TzeEditorCommand ecPageRight = 12;
constexpr TzeEditorCommand ecPageTop = 13;
constexpr TzeEditorCommand ecPageBottom = 14;
constexpr TzeEditorCommand ecEditorTop = 15;
constexpr TzeEditorCommand ecEditorBottom = 16;
constexpr TzeEditorCommand ecGotoXY = 17;
constexpr TzeEditorCommand ecSelection = 100; // offset of the selecting variants
constexpr TzeEditorCommand ecSelLeft = ecLeft + ecSelection;
constexpr TzeEditorCommand ecSelRight = ecRight + ecSelection;
constexpr TzeEditorCommand ecSelUp = ecUp + ecSelection;
constexpr TzeEditorCommand ecSelDown = ecDown + ecSelection;
constexpr TzeEditorCommand ecSelWordLeft = ecWordLeft + ecSelection;
constexpr TzeEditorCommand ecSelWordRight = ecWordRight + ecSelection;
constexpr TzeEditorCommand ecSelLineStart = ecLineStart + ecSelection;
constexpr TzeEditorCommand ecSelLineEnd = ecLineEnd + ecSelection;
constexpr TzeEditorCommand ecSelPageUp = ecPageUp + ecSelection;
constexpr TzeEditorCommand ecSelPageDown = ecPageDown + ecSelection;
constexpr TzeEditorCommand ecSelPageLeft = ecPageLeft + ecSelection;
constexpr TzeEditorCommand ecSelPageRight = ecPageRight + ecSelection;
constexpr TzeEditorCommand ecSelPageTop = ecPageTop + ecSelection;
constexpr TzeEditorCommand ecSelPageBottom = ecPageBottom + ecSelection;
constexpr TzeEditorCommand ecSelEditorTop = ecEditorTop + ecSelection;
constexpr TzeEditorCommand ecSelEditorBottom = ecEditorBottom + ecSelection;
constexpr TzeEditorCommand ecSelGotoXY = ecGotoXY + ecSelection;
constexpr TzeEditorCommand ecSelectAll = 199;

constexpr TzeEditorCommand ecDeleteLastChar = 401;
constexpr TzeEditorCommand ecDeleteChar = 402;
constexpr TzeEditorCommand ecDeleteWord = 403;
constexpr TzeEditorCommand ecDeleteLastWord = 404;
constexpr TzeEditorCommand ecDeleteBOL = 405;
constexpr TzeEditorCommand ecDeleteEOL = 406;
constexpr TzeEditorCommand ecDeleteLine = 407;
constexpr TzeEditorCommand ecClearAll = 408;
constexpr TzeEditorCommand ecLineBreak = 409;
constexpr TzeEditorCommand ecInsertLine = 410;
constexpr TzeEditorCommand ecChar = 411;
constexpr TzeEditorCommand ecImeStr = 500;

constexpr TzeEditorCommand ecUndo = 601;
constexpr TzeEditorCommand ecRedo = 602;
constexpr TzeEditorCommand ecCut = 603;
constexpr TzeEditorCommand ecCopy = 604;
constexpr TzeEditorCommand ecPaste = 605;
constexpr TzeEditorCommand ecScrollUp = 606;
constexpr TzeEditorCommand ecScrollDown = 607;
constexpr TzeEditorCommand ecScrollLeft = 608;
constexpr TzeEditorCommand ecScrollRight = 609;
constexpr TzeEditorCommand ecInsertMode = 610;
constexpr TzeEditorCommand ecOverwriteMode = 611;
constexpr TzeEditorCommand ecToggleMode = 612;
constexpr TzeEditorCommand ecBlockIndent = 613;
constexpr TzeEditorCommand ecBlockUnindent = 614;

constexpr TzeEditorCommand ecGotoMarker0 = 701; // .. ecGotoMarker0 + 9
constexpr TzeEditorCommand ecGotoMarker9 = 710;
constexpr TzeEditorCommand ecSetMarker0 = 751;  // .. ecSetMarker0 + 9
constexpr TzeEditorCommand ecSetMarker9 = 760;
constexpr TzeEditorCommand ecUserFirst = 1001; // every value from here on is a user command

struct TIdentMapEntry {
    TzeEditorCommand Value;
    std::string_view Name;
};

// The 83 identifiers used when bindings are stored, in their fixed order.
extern const std::array<TIdentMapEntry, 83> CommandIdents;

// The identifier of the first entry with this value; nothing when there is
// none (such a value is stored as a plain number).
std::optional<std::string_view> CommandToIdent(TzeEditorCommand command);
// The value of the first entry whose identifier equals ident in any letter case.
std::optional<TzeEditorCommand> IdentToCommand(std::string_view ident);

// Modifier keys of a binding, as a small bit set.
enum TShiftStateFlag : std::uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = std::uint8_t;

// Shortcut bits on top of the virtual-key code.
constexpr std::uint16_t scShift = 0x2000;
constexpr std::uint16_t scCtrl = 0x4000;
constexpr std::uint16_t scAlt = 0x8000;

std::uint16_t ShortCut(std::uint16_t key, TShiftState shift) noexcept;
void ShortCutToKey(std::uint16_t shortCut, std::uint16_t &key, TShiftState &shift) noexcept;

// A duplicate shortcut in one collection.
class EzeKeyError : public Exception {
public:
    using Exception::Exception;
};

class TzeKeyStrokes;

// One binding: a virtual key with exactly these modifiers runs Command.
class TzeKeyStroke {
public:
    explicit TzeKeyStroke(TzeKeyStrokes *collection) noexcept : m_collection(collection) {}

    std::uint16_t Key() const noexcept { return m_key; }
    TShiftState Shift() const noexcept { return m_shift; }
    void SetKey(std::uint16_t key) noexcept { m_key = key; }
    void SetShift(TShiftState shift) noexcept { m_shift = shift; }
    TzeEditorCommand Command() const noexcept { return m_command; }
    void SetCommand(TzeEditorCommand value) noexcept
    {
        if (value != m_command)
            m_command = value;
    }
    // 0 when Key is above 255.
    std::uint16_t GetShortCut() const noexcept;
    // Raises EzeKeyError "Shortcut already exists" when another binding of the
    // collection has this non-zero shortcut; the binding is then unchanged.
    void SetShortCut(std::uint16_t value);
    // Copies key, modifiers and command, without the duplicate check.
    void Assign(const TzeKeyStroke &source) noexcept;
    int Index() const noexcept;

private:
    TzeKeyStrokes *m_collection;
    std::uint16_t m_key = 0;
    TShiftState m_shift = 0;
    TzeEditorCommand m_command = ecNone;
};

// The editor's key bindings, in lookup order (the first match wins).
class TzeKeyStrokes {
public:
    explicit TzeKeyStrokes(TzeCustomEdit *owner) noexcept : m_owner(owner) {}
    TzeKeyStrokes(const TzeKeyStrokes &) = delete;
    TzeKeyStrokes &operator=(const TzeKeyStrokes &) = delete;

    TzeCustomEdit *Owner() const noexcept { return m_owner; }
    int Count() const noexcept { return int(m_items.size()); }
    // Out of range raises EListError.
    TzeKeyStroke &Items(int index) const;
    // Appends an empty binding (key 0, no modifiers, ecNone).
    TzeKeyStroke &Add();
    void Clear() noexcept { m_items.clear(); }
    void Delete(int index);
    int IndexOf(const TzeKeyStroke *item) const noexcept;
    int IndexOfShortCut(std::uint16_t shortCut) const noexcept;
    // Key and modifiers must match exactly.
    int IndexOfKey(std::uint16_t key, TShiftState shift) const noexcept;
    void Assign(const TzeKeyStrokes &source);
    // The 73 default bindings, in table order.
    void LoadDefaults();

private:
    TzeCustomEdit *m_owner;
    std::vector<std::unique_ptr<TzeKeyStroke>> m_items;
};

#endif
