// zeHighlighter.cpp: token attributes with their registry layouts, the
// highlighter base with its sorted attribute list, and its editor list.
#include "highlight/zeHighlighter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>

#include "toolkit/AsciiCase.h"

namespace {

const std::string kBackground = "Background";
const std::string kForeground = "Foreground";
const std::string kStyle = "Style";

// The colour numbers of the imported layouts.
constexpr std::array<TColor, 16> kImportColors = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

std::optional<TColor> ImportColor(std::int64_t number)
{
    if (number < 0 || number >= std::int64_t(kImportColors.size()))
        return std::nullopt;
    return kImportColors[size_t(number)];
}

std::optional<TColor> ImportColor(std::string_view field)
{
    while (!field.empty() && field.front() == ' ')
        field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ')
        field.remove_suffix(1);
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
        return std::nullopt;
    return ImportColor(number);
}

// A stored flag is true unless it is "FALSE" in any letter case or "0".
bool ImportFlag(const std::string &text)
{
    return !SameTextIgnoringAsciiCase(text, "FALSE") && text != "0";
}

struct TImported {
    TColor background;
    TColor foreground;
    TFontStyles style;
};

TFontStyles ImportStyle(bool bold, bool italic, bool underline)
{
    TFontStyles style;
    if (bold)
        style |= fsBold;
    if (italic)
        style |= fsItalic;
    if (underline)
        style |= fsUnderline;
    return style;
}

// "f1,f2,style,default foreground,default background,foreground,background"
std::optional<TImported> ImportOldLayout(TBetterRegistry &registry, const std::string &attrKey,
                                         const std::string &attrName)
{
    if (!registry.OpenKeyReadOnly(attrKey) || !registry.ValueExists(attrName))
        return std::nullopt;
    const std::string value = registry.ReadString(attrName);
    std::array<std::string_view, 7> fields;
    std::string_view rest = value;
    for (size_t i = 0; i < fields.size() && !rest.empty(); ++i) {
        const size_t comma = rest.find(',');
        fields[i] = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    const std::optional<TColor> background = fields[4] == "1" ? clWindow : ImportColor(fields[6]);
    const std::optional<TColor> foreground = fields[3] == "1" ? clWindowText : ImportColor(fields[5]);
    if (!background || !foreground)
        return std::nullopt;
    const std::string_view styles = fields[2];
    return TImported{*background, *foreground,
                     ImportStyle(styles.find('B') != std::string_view::npos,
                                 styles.find('I') != std::string_view::npos,
                                 styles.find('U') != std::string_view::npos)};
}

std::optional<TImported> ImportNewLayout(TBetterRegistry &registry, const std::string &key)
{
    static const std::array<std::string, 7> names = {
        "Foreground Color", "Background Color", "Bold", "Italic", "Underline",
        "Default Foreground", "Default Background"};
    if (!registry.OpenKeyReadOnly(key))
        return std::nullopt;
    for (const std::string &name : names)
        if (!registry.ValueExists(name))
            return std::nullopt;
    const std::optional<TColor> background = ImportFlag(registry.ReadString("Default Background"))
                                                 ? clWindow
                                                 : ImportColor(registry.ReadInteger("Background Color"));
    const std::optional<TColor> foreground = ImportFlag(registry.ReadString("Default Foreground"))
                                                 ? clWindowText
                                                 : ImportColor(registry.ReadInteger("Foreground Color"));
    if (!background || !foreground)
        return std::nullopt;
    return TImported{*background, *foreground,
                     ImportStyle(ImportFlag(registry.ReadString("Bold")), ImportFlag(registry.ReadString("Italic")),
                                 ImportFlag(registry.ReadString("Underline")))};
}

// The framework's case-insensitive order of names.
bool NameLess(const std::string &a, const std::string &b)
{
    return LessIgnoringAsciiCase(a, b);
}

} // namespace

TzeHighLightAttributes::TzeHighLightAttributes(std::string name) : m_name(std::move(name)) {}

TzeHighLightAttributes::~TzeHighLightAttributes() = default;

void TzeHighLightAttributes::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TzeHighLightAttributes::SetBackground(TColor value)
{
    if (value == m_background)
        return;
    m_background = value;
    Changed();
}

void TzeHighLightAttributes::SetForeground(TColor value)
{
    if (value == m_foreground)
        return;
    m_foreground = value;
    Changed();
}

void TzeHighLightAttributes::SetStyle(TFontStyles value)
{
    if (value == m_style)
        return;
    m_style = value;
    Changed();
}

void TzeHighLightAttributes::SetIntegerStyle(int value)
{
    SetStyle((value & 1) ? TFontStyles(fsBold) : TFontStyles());
    if (value & 2)
        SetStyle(m_style | fsItalic);
    if (value & 4)
        SetStyle(m_style | fsUnderline);
    if (value & 8)
        SetStyle(m_style | fsStrikeOut);
}

void TzeHighLightAttributes::Assign(const TzeHighLightAttributes &source)
{
    m_background = source.m_background;
    m_foreground = source.m_foreground;
    m_style = source.m_style;
    m_name = source.m_name;
}

bool TzeHighLightAttributes::ImportFromRegistry(TRootKey rootKey, const std::string &attrKey,
                                                const std::string &attrName, bool oldStyle)
{
    try {
        TBetterRegistry registry(rootKey);
        const std::optional<TImported> imported = oldStyle ? ImportOldLayout(registry, attrKey, attrName)
                                                           : ImportNewLayout(registry, attrKey + '\\' + attrName);
        if (!imported)
            return false;
        SetBackground(imported->background);
        SetForeground(imported->foreground);
        SetStyle(imported->style);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

bool TzeHighLightAttributes::LoadFromRegistry(TBetterRegistry &registry)
{
    const std::string parent = registry.CurrentPath();
    if (!registry.OpenKeyReadOnly(m_name))
        return false;
    if (registry.ValueExists(kBackground))
        SetBackground(registry.ReadInteger(kBackground));
    if (registry.ValueExists(kForeground))
        SetForeground(registry.ReadInteger(kForeground));
    if (registry.ValueExists(kStyle))
        SetIntegerStyle(registry.ReadInteger(kStyle));
    registry.OpenKeyReadOnly('\\' + parent);
    return true;
}

bool TzeHighLightAttributes::SaveToRegistry(TBetterRegistry &registry)
{
    const std::string parent = registry.CurrentPath();
    if (!registry.OpenKey(m_name, true))
        return false;
    registry.WriteInteger(kBackground, m_background);
    registry.WriteInteger(kForeground, m_foreground);
    registry.WriteInteger(kStyle, IntegerStyle());
    registry.OpenKey('\\' + parent, false);
    return true;
}

void TzeEditorList::AddEditor(IzeHighlighterClient *editor)
{
    if (editor && std::find(m_editors.begin(), m_editors.end(), editor) == m_editors.end())
        m_editors.push_back(editor);
}

void TzeEditorList::RemoveEditor(IzeHighlighterClient *editor)
{
    auto it = std::find(m_editors.begin(), m_editors.end(), editor);
    if (it != m_editors.end())
        m_editors.erase(it);
}

void TzeEditorList::InvalidateAll() const
{
    // A copy: an editor may detach itself while repainting.
    const auto editors = m_editors;
    for (IzeHighlighterClient *editor : editors)
        editor->HighlighterChanged();
}

TzeCustomHighLighter::TzeCustomHighLighter() = default;

TzeCustomHighLighter::~TzeCustomHighLighter()
{
    const auto count = m_editors.Count();
    std::vector<IzeHighlighterClient *> editors;
    for (int i = 0; i < count; ++i)
        editors.push_back(m_editors.Items(i));
    for (IzeHighlighterClient *editor : editors)
        editor->HighlighterDestroyed(this);
    while (!m_attributes.empty())
        m_attributes.pop_back();
}

bool TzeCustomHighLighter::RangeAfterAnyLine(int &) const
{
    return false;
}

TzeIdentChars TzeCustomHighLighter::GetIdentChars() const
{
    TzeIdentChars chars;
    for (int c = 33; c < 256; ++c)
        chars.set(size_t(c));
    return chars;
}

std::string TzeCustomHighLighter::GetLanguageName() const
{
    return {};
}

int TzeCustomHighLighter::AttrCount() const
{
    return int(m_attributes.size());
}

TzeHighLightAttributes *TzeCustomHighLighter::Attribute(int index) const
{
    if (index < 0 || index >= AttrCount())
        return nullptr;
    return m_attributes[size_t(index)].get();
}

TzeHighlighterCapabilities TzeCustomHighLighter::GetCapabilities() const
{
    return hcRegistry;
}

void TzeCustomHighLighter::SetDefaultFilter(const std::string &value)
{
    if (value != m_defaultFilter)
        m_defaultFilter = value;
}

void TzeCustomHighLighter::NextToEol()
{
    while (!GetEol())
        Next();
}

TzeHighLightAttributes *TzeCustomHighLighter::AddAttribute(std::unique_ptr<TzeHighLightAttributes> attribute)
{
    if (!attribute)
        return nullptr;
    const auto at = std::lower_bound(m_attributes.begin(), m_attributes.end(), attribute->Name(),
                                     [](const auto &listed, const std::string &name) {
                                         return NameLess(listed->Name(), name);
                                     });
    if (at != m_attributes.end() && !NameLess(attribute->Name(), (*at)->Name()))
        return nullptr;
    return m_attributes.insert(at, std::move(attribute))->get();
}

void TzeCustomHighLighter::SetAttributesOnChange(const TzeHighLightAttributes::TNotifyEvent &handler)
{
    for (const auto &attribute : m_attributes)
        attribute->OnChange = handler;
}

void TzeCustomHighLighter::AttributeChanged(TzeHighLightAttributes *)
{
    m_editors.InvalidateAll();
}

bool TzeCustomHighLighter::LoadFromRegistry(TRootKey rootKey, const std::string &key)
{
    TBetterRegistry registry(rootKey);
    if (!registry.OpenKeyReadOnly(key))
        return false;
    for (const auto &attribute : m_attributes)
        if (!attribute->LoadFromRegistry(registry))
            return false;
    return true;
}

bool TzeCustomHighLighter::SaveToRegistry(TRootKey rootKey, const std::string &key)
{
    TBetterRegistry registry(rootKey);
    if (!registry.OpenKey(key, true))
        return false;
    for (const auto &attribute : m_attributes)
        if (!attribute->SaveToRegistry(registry))
            return false;
    registry.CloseKey(); // the values reach the store here, and a failure is raised
    return true;
}
