// Colors.h: the framework's colour values and their mapping to Qt.
// A TColor is 0x00BBGGRR for a plain colour, or 0x80000000 plus a Windows
// system-colour index, which resolves through the application's QPalette.
#ifndef QUENLO_TOOLKIT_COLORS_H
#define QUENLO_TOOLKIT_COLORS_H

#include <cstdint>

#include <QColor>

using TColor = std::int32_t;

// The system-colour form: top byte 0x80, index in the low byte.
constexpr TColor SystemColor(int index) noexcept
{
    return TColor(0x80000000u | (unsigned(index) & 0xFFu));
}
constexpr bool IsSystemColor(TColor color) noexcept
{
    return (std::uint32_t(color) & 0xFF000000u) == 0x80000000u;
}

// System colours, by Windows index.
inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);

// Plain colours, 0x00BBGGRR.
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

// Markers of the colour picker, not drawable colours.
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

constexpr TColor RGBToColor(int r, int g, int b) noexcept
{
    return TColor((unsigned(b) & 0xFFu) << 16 | (unsigned(g) & 0xFFu) << 8 | (unsigned(r) & 0xFFu));
}

// A system colour becomes the current palette's colour as 0x00BBGGRR (black
// for an index without a palette counterpart); with no QGuiApplication the
// classic Windows defaults stand in. Any other value is returned unchanged.
TColor ColorToRGB(TColor color);

// The drawable colour of ColorToRGB(color), opaque; clNone is transparent.
QColor ToQColor(TColor color);

// The 0x00BBGGRR value of a QColor (alpha dropped).
TColor QColorToColor(const QColor &color) noexcept;

#endif
