// Colors.cpp: system-colour indices mapped to the Qt palette.
#include "toolkit/Colors.h"

#include <array>

#include <QGuiApplication>
#include <QPalette>

namespace {

struct TSystemColorEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    TColor classic; // 0x00BBGGRR of the classic Windows scheme
};

constexpr QPalette::ColorGroup A = QPalette::Active;
constexpr QPalette::ColorRole kNoRole = QPalette::NoRole;

// Indexed by the Windows system-colour index; index 25 is unused there.
constexpr std::array<TSystemColorEntry, 31> kSystemColors = {{
    {A, QPalette::Button, 0xC0C0C0},                        // scroll bar
    {A, QPalette::Dark, 0x808000},                          // desktop
    {A, QPalette::Highlight, 0x800000},                     // active caption
    {A, QPalette::Mid, 0x808080},                           // inactive caption
    {A, QPalette::Window, 0xC0C0C0},                        // menu
    {A, QPalette::Base, 0xFFFFFF},                          // window
    {A, QPalette::Shadow, 0x000000},                        // window frame
    {A, QPalette::WindowText, 0x000000},                    // menu text
    {A, QPalette::Text, 0x000000},                          // window text
    {A, QPalette::HighlightedText, 0xFFFFFF},               // caption text
    {A, QPalette::Window, 0xC0C0C0},                        // active border
    {A, QPalette::Window, 0xC0C0C0},                        // inactive border
    {A, QPalette::Mid, 0x808080},                           // application workspace
    {A, QPalette::Highlight, 0x800000},                     // highlight
    {A, QPalette::HighlightedText, 0xFFFFFF},               // highlight text
    {A, QPalette::Button, 0xC0C0C0},                        // button face
    {A, QPalette::Dark, 0x808080},                          // button shadow
    {QPalette::Disabled, QPalette::Text, 0x808080},         // grey text
    {A, QPalette::ButtonText, 0x000000},                    // button text
    {QPalette::Inactive, QPalette::HighlightedText, 0xC0C0C0}, // inactive caption text
    {A, QPalette::Light, 0xFFFFFF},                         // button highlight
    {A, QPalette::Shadow, 0x000000},                        // 3-D dark shadow
    {A, QPalette::Midlight, 0xDFDFDF},                      // 3-D light
    {A, QPalette::ToolTipText, 0x000000},                   // info text
    {A, QPalette::ToolTipBase, 0xE1FFFF},                   // info background
    {A, kNoRole, 0x000000},                                 // unused
    {A, QPalette::Link, 0xFF0000},                          // hot light
    {A, QPalette::Highlight, 0xD08410},                     // gradient active caption
    {A, QPalette::Mid, 0xB5B5B5},                           // gradient inactive caption
    {A, QPalette::Highlight, 0x800000},                     // menu highlight
    {A, QPalette::Window, 0xC0C0C0},                        // menu bar
}};

} // namespace

TColor ColorToRGB(TColor color)
{
    if (!IsSystemColor(color))
        return color;
    const unsigned index = std::uint32_t(color) & 0xFFu;
    if (index >= kSystemColors.size())
        return clBlack;
    const TSystemColorEntry &entry = kSystemColors[index];
    if (entry.role == kNoRole || !qGuiApp)
        return entry.classic;
    return QColorToColor(QGuiApplication::palette().color(entry.group, entry.role));
}

QColor ToQColor(TColor color)
{
    if (color == clNone)
        return QColor(Qt::transparent);
    const std::uint32_t rgb = std::uint32_t(ColorToRGB(color));
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

TColor QColorToColor(const QColor &color) noexcept
{
    return RGBToColor(color.red(), color.green(), color.blue());
}
