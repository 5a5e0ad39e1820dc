// zeKeyCmds.cpp: command identifiers, shortcut packing and the default bindings.
#include "editor/zeKeyCmds.h"

#include <algorithm>

#include "toolkit/AsciiCase.h"
#include "editor/zeTypes.h"

namespace {

// Windows virtual-key codes of the default table.
constexpr std::uint16_t vkBack = 8, vkReturn = 13, vkPrior = 33, vkNext = 34, vkEnd = 35, vkHome = 36,
                        vkLeft = 37, vkUp = 38, vkRight = 39, vkDown = 40, vkInsert = 45, vkDelete = 46;

struct TDefaultBinding {
    std::uint16_t key;
    TShiftState shift;
    TzeEditorCommand command;
};

constexpr TShiftState kNone = 0, kShift = ssShift, kCtrl = ssCtrl, kAlt = ssAlt;
constexpr TShiftState kCtrlShift = ssCtrl | ssShift, kAltShift = ssAlt | ssShift;

constexpr TDefaultBinding kDefaults[] = {
    {vkUp, kNone, ecUp}, {vkUp, kShift, ecSelUp}, {vkUp, kCtrl, ecScrollUp},
    {vkDown, kNone, ecDown}, {vkDown, kShift, ecSelDown}, {vkDown, kCtrl, ecScrollDown},
    {vkLeft, kNone, ecLeft}, {vkLeft, kShift, ecSelLeft}, {vkLeft, kCtrl, ecWordLeft}, {vkLeft, kCtrlShift, ecSelWordLeft},
    {vkRight, kNone, ecRight}, {vkRight, kShift, ecSelRight}, {vkRight, kCtrl, ecWordRight}, {vkRight, kCtrlShift, ecSelWordRight},
    {vkNext, kNone, ecPageDown}, {vkNext, kShift, ecSelPageDown}, {vkNext, kCtrl, ecPageBottom}, {vkNext, kCtrlShift, ecSelPageBottom},
    {vkPrior, kNone, ecPageUp}, {vkPrior, kShift, ecSelPageUp}, {vkPrior, kCtrl, ecPageTop}, {vkPrior, kCtrlShift, ecSelPageTop},
    {vkHome, kNone, ecLineStart}, {vkHome, kShift, ecSelLineStart}, {vkHome, kCtrl, ecEditorTop}, {vkHome, kCtrlShift, ecSelEditorTop},
    {vkEnd, kNone, ecLineEnd}, {vkEnd, kShift, ecSelLineEnd}, {vkEnd, kCtrl, ecEditorBottom}, {vkEnd, kCtrlShift, ecSelEditorBottom},
    {vkInsert, kNone, ecToggleMode}, {vkInsert, kCtrl, ecCopy}, {vkInsert, kShift, ecPaste},
    {vkDelete, kNone, ecDeleteChar}, {vkDelete, kShift, ecCut},
    {vkBack, kNone, ecDeleteLastChar}, {vkBack, kCtrl, ecDeleteLastWord}, {vkBack, kAlt, ecUndo}, {vkBack, kAltShift, ecRedo},
    {vkReturn, kNone, ecLineBreak},
    {'A', kCtrl, ecSelectAll}, {'C', kCtrl, ecCopy}, {'I', kCtrlShift, ecBlockIndent}, {'M', kCtrl, ecLineBreak},
    {'N', kCtrl, ecInsertLine}, {'T', kCtrl, ecDeleteWord}, {'U', kCtrlShift, ecBlockUnindent}, {'V', kCtrl, ecPaste},
    {'X', kCtrl, ecCut}, {'Y', kCtrl, ecDeleteLine}, {'Y', kCtrlShift, ecDeleteEOL}, {'Z', kCtrl, ecUndo},
    {'Z', kCtrlShift, ecRedo},
};

} // namespace

const std::array<TIdentMapEntry, 83> CommandIdents = {{
    {ecNone, "ecNone"},
    {ecLeft, "ecLeft"}, {ecRight, "ecRight"}, {ecUp, "ecUp"}, {ecDown, "ecDown"},
    {ecWordLeft, "ecWordLeft"}, {ecWordRight, "ecWordRight"}, {ecLineStart, "ecLineStart"}, {ecLineEnd, "ecLineEnd"},
    {ecPageUp, "ecPageUp"}, {ecPageDown, "ecPageDown"}, {ecPageLeft, "ecPageLeft"}, {ecPageRight, "ecPageRight"},
    {ecPageTop, "ecPageTop"}, {ecPageBottom, "ecPageBottom"}, {ecEditorTop, "ecEditorTop"},
    {ecEditorBottom, "ecEditorBottom"}, {ecGotoXY, "ecGotoXY"},
    {ecSelLeft, "ecSelLeft"}, {ecSelRight, "ecSelRight"}, {ecSelUp, "ecSelUp"}, {ecSelDown, "ecSelDown"},
    {ecSelWordLeft, "ecSelWordLeft"}, {ecSelWordRight, "ecSelWordRight"}, {ecSelLineStart, "ecSelLineStart"},
    {ecSelLineEnd, "ecSelLineEnd"}, {ecSelPageUp, "ecSelPageUp"}, {ecSelPageDown, "ecSelPageDown"},
    {ecSelPageLeft, "ecSelPageLeft"}, {ecSelPageRight, "ecSelPageRight"}, {ecSelPageTop, "ecSelPageTop"},
    {ecSelPageBottom, "ecSelPageBottom"}, {ecSelEditorTop, "ecSelEditorTop"}, {ecSelEditorBottom, "ecSelEditorBottom"},
    {ecSelGotoXY, "ecSelGotoXY"},
    {ecSelectAll, "ecSelectAll"},
    {ecDeleteLastChar, "ecDeleteLastChar"}, {ecDeleteChar, "ecDeleteChar"}, {ecDeleteWord, "ecDeleteWord"},
    {ecDeleteLastWord, "ecDeleteLastWord"}, {ecDeleteBOL, "ecDeleteBOL"}, {ecDeleteEOL, "ecDeleteEOL"},
    {ecDeleteLine, "ecDeleteLine"}, {ecClearAll, "ecClearAll"}, {ecLineBreak, "ecLineBreak"},
    {ecInsertLine, "ecInsertLine"}, {ecChar, "ecChar"},
    {ecImeStr, "ecImeStr"},
    {ecUndo, "ecUndo"}, {ecRedo, "ecRedo"}, {ecCut, "ecCut"}, {ecCopy, "ecCopy"}, {ecPaste, "ecPaste"},
    {ecScrollUp, "ecScrollUp"}, {ecScrollDown, "ecScrollDown"}, {ecScrollLeft, "ecScrollLeft"},
    {ecScrollRight, "ecScrollRight"}, {ecInsertMode, "ecInsertMode"}, {ecOverwriteMode, "ecOverwriteMode"},
    {ecToggleMode, "ecToggleMode"}, {ecBlockIndent, "ecBlockIndent"}, {ecBlockUnindent, "ecBlockUnindent"},
    {ecUserFirst, "ecUserFirst"},
    {701, "ecGotoMarker0"}, {702, "ecGotoMarker1"}, {703, "ecGotoMarker2"}, {704, "ecGotoMarker3"},
    {705, "ecGotoMarker4"}, {706, "ecGotoMarker5"}, {707, "ecGotoMarker6"}, {708, "ecGotoMarker7"},
    {709, "ecGotoMarker8"}, {710, "ecGotoMarker9"},
    {751, "ecSetMarker0"}, {752, "ecSetMarker1"}, {753, "ecSetMarker2"}, {754, "ecSetMarker3"},
    {755, "ecSetMarker4"}, {756, "ecSetMarker5"}, {757, "ecSetMarker6"}, {758, "ecSetMarker7"},
    {759, "ecSetMarker8"}, {760, "ecSetMarker9"},
}};

std::optional<std::string_view> CommandToIdent(TzeEditorCommand command)
{
    for (const TIdentMapEntry &entry : CommandIdents)
        if (entry.Value == command)
            return entry.Name;
    return std::nullopt;
}

std::optional<TzeEditorCommand> IdentToCommand(std::string_view ident)
{
    for (const TIdentMapEntry &entry : CommandIdents)
        if (SameTextIgnoringAsciiCase(entry.Name, ident))
            return entry.Value;
    return std::nullopt;
}

std::uint16_t ShortCut(std::uint16_t key, TShiftState shift) noexcept
{
    if (key > 255)
        return 0;
    std::uint16_t code = key;
    if (shift & ssShift)
        code |= scShift;
    if (shift & ssCtrl)
        code |= scCtrl;
    if (shift & ssAlt)
        code |= scAlt;
    return code;
}

void ShortCutToKey(std::uint16_t shortCut, std::uint16_t &key, TShiftState &shift) noexcept
{
    key = shortCut & ~(scShift | scCtrl | scAlt);
    shift = 0;
    if (shortCut & scShift)
        shift |= ssShift;
    if (shortCut & scCtrl)
        shift |= ssCtrl;
    if (shortCut & scAlt)
        shift |= ssAlt;
}

std::uint16_t TzeKeyStroke::GetShortCut() const noexcept
{
    return ShortCut(m_key, m_shift);
}

int TzeKeyStroke::Index() const noexcept
{
    return m_collection ? m_collection->IndexOf(this) : -1;
}

void TzeKeyStroke::SetShortCut(std::uint16_t value)
{
    if (value != 0 && m_collection) {
        const int i = m_collection->IndexOfShortCut(value);
        if (i != -1 && i != Index())
            throw EzeKeyError("Shortcut already exists");
    }
    std::uint16_t key = 0;
    TShiftState shift = 0;
    ShortCutToKey(value, key, shift);
    if (key != m_key || shift != m_shift) {
        m_key = key;
        m_shift = shift;
    }
}

void TzeKeyStroke::Assign(const TzeKeyStroke &source) noexcept
{
    m_key = source.m_key;
    m_shift = source.m_shift;
    m_command = source.m_command;
}

TzeKeyStroke &TzeKeyStrokes::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return *m_items[size_t(index)];
}

TzeKeyStroke &TzeKeyStrokes::Add()
{
    m_items.push_back(std::make_unique<TzeKeyStroke>(this));
    return *m_items.back();
}

void TzeKeyStrokes::Delete(int index)
{
    Items(index); // range check
    m_items.erase(m_items.begin() + index);
}

int TzeKeyStrokes::IndexOf(const TzeKeyStroke *item) const noexcept
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[size_t(i)].get() == item)
            return i;
    return -1;
}

int TzeKeyStrokes::IndexOfShortCut(std::uint16_t shortCut) const noexcept
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[size_t(i)]->GetShortCut() == shortCut)
            return i;
    return -1;
}

int TzeKeyStrokes::IndexOfKey(std::uint16_t key, TShiftState shift) const noexcept
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[size_t(i)]->Key() == key && m_items[size_t(i)]->Shift() == shift)
            return i;
    return -1;
}

void TzeKeyStrokes::Assign(const TzeKeyStrokes &source)
{
    if (&source == this)
        return;
    Clear();
    for (const auto &item : source.m_items)
        Add().Assign(*item);
}

void TzeKeyStrokes::LoadDefaults()
{
    Clear();
    auto add = [this](std::uint16_t key, TShiftState shift, TzeEditorCommand command) {
        TzeKeyStroke &k = Add();
        k.SetKey(key);
        k.SetShift(shift);
        k.SetCommand(command);
    };
    for (const TDefaultBinding &b : kDefaults)
        add(b.key, b.shift, b.command);
    for (int n = 0; n < kBookmarkCount; ++n)
        add(std::uint16_t('0' + n), kCtrl, TzeEditorCommand(ecGotoMarker0 + n));
    for (int n = 0; n < kBookmarkCount; ++n)
        add(std::uint16_t('0' + n), kCtrlShift, TzeEditorCommand(ecSetMarker0 + n));
}
