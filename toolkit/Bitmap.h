// Bitmap.h: the framework's bitmap, an image with its transparent colour.
// TBitmap names the colour that a button glyph drawn from it leaves clear:
// the bottom-left pixel (tmAuto), or a colour of its own (tmFixed).
#ifndef QUENLO_TOOLKIT_BITMAP_H
#define QUENLO_TOOLKIT_BITMAP_H

#include <utility>

#include <QColor>
#include <QImage>

#include "toolkit/Colors.h"

enum TTransparentMode { tmAuto, tmFixed };

class TBitmap {
public:
    TBitmap() = default;
    // Implicit: a plain image is a bitmap in tmAuto mode.
    TBitmap(QImage image) : m_image(std::move(image)) {}

    const QImage &Image() const noexcept { return m_image; }
    bool Empty() const noexcept { return m_image.isNull(); }

    TTransparentMode TransparentMode() const noexcept { return m_mode; }
    // tmFixed keeps the colour that is transparent at that moment; tmAuto
    // goes back to the bottom-left pixel.
    void SetTransparentMode(TTransparentMode mode)
    {
        if (mode == m_mode)
            return;
        if (mode == tmFixed)
            m_fixedColor = TransparentColor();
        m_mode = mode;
    }

    // tmAuto: the bottom-left pixel's colour, clDefault while empty. tmFixed:
    // the colour set, which may be a system colour or clNone (nothing clear).
    TColor TransparentColor() const
    {
        if (m_mode == tmFixed)
            return m_fixedColor;
        if (m_image.isNull())
            return clDefault;
        return QColorToColor(m_image.pixelColor(0, m_image.height() - 1));
    }
    // Switches to tmFixed with this colour; clDefault switches to tmAuto.
    void SetTransparentColor(TColor color)
    {
        m_mode = color == clDefault ? tmAuto : tmFixed;
        m_fixedColor = color;
    }

    bool operator==(const TBitmap &other) const
    {
        return m_image == other.m_image && m_mode == other.m_mode &&
               (m_mode == tmAuto || m_fixedColor == other.m_fixedColor);
    }

private:
    QImage m_image;
    TTransparentMode m_mode = tmAuto;
    TColor m_fixedColor = clDefault; // meaningful in tmFixed only
};

#endif
