// ButtonGlyph.cpp: glyph strips, the embossed disabled look and the shared cache.
#include "widgets/ButtonGlyph.h"

#include <algorithm>
#include <cassert>
#include <optional>

#include <QPainter>

#include "widgets/PickerCanvas.h"

namespace {

// Created with the first list, destroyed when a glyph goes while it is empty.
std::unique_ptr<TGlyphCache> g_cache;

QRgb Rgb(TColor color)
{
    return ToQColor(color).rgba();
}

// The opaque colour that a glyph leaves clear; none for clNone.
std::optional<QRgb> ClearRgb(TColor transparent)
{
    if (transparent == clNone)
        return std::nullopt;
    return Rgb(transparent) | 0xFF000000u;
}

bool IsClear(QRgb pixel, std::optional<QRgb> clear)
{
    return clear && (pixel | 0xFF000000u) == *clear;
}

// True where the image has ink: opaque and neither transparent colour nor white.
bool IsInk(QRgb pixel, std::optional<QRgb> clear)
{
    return qAlpha(pixel) != 0 && !IsClear(pixel, clear) && (pixel | 0xFF000000u) != 0xFFFFFFFFu;
}

} // namespace

int TGlyphList::Add(const QImage &image)
{
    assert(image.size() == m_size);
    const auto free = std::find(m_used.begin(), m_used.end(), false);
    int index = int(free - m_used.begin());
    if (free == m_used.end()) {
        m_images.push_back(image);
        m_used.push_back(true);
    } else {
        m_images[size_t(index)] = image;
        m_used[size_t(index)] = true;
    }
    ++m_count;
    return index;
}

void TGlyphList::Delete(int index)
{
    if (index < 0 || index >= int(m_used.size()) || !m_used[size_t(index)])
        return;
    m_used[size_t(index)] = false;
    m_images[size_t(index)] = QImage();
    --m_count;
    assert(m_count >= 0);
}

const QImage &TGlyphList::Image(int index) const
{
    static const QImage none;
    if (index < 0 || index >= int(m_images.size()))
        return none;
    return m_images[size_t(index)];
}

TGlyphList *TGlyphCache::GetList(QSize size)
{
    for (const auto &list : m_lists)
        if (list->Size() == size)
            return list.get();
    m_lists.push_back(std::make_unique<TGlyphList>(size));
    return m_lists.back().get();
}

void TGlyphCache::ReturnList(TGlyphList *list)
{
    if (!list || list->Count() != 0)
        return;
    std::erase_if(m_lists, [list](const auto &owned) { return owned.get() == list; });
}

TButtonGlyph::TButtonGlyph() = default;

TButtonGlyph::~TButtonGlyph()
{
    Invalidate();
    if (g_cache && g_cache->Empty())
        g_cache.reset();
}

const TGlyphCache *TButtonGlyph::Cache() noexcept
{
    return g_cache.get();
}

void TButtonGlyph::SetGlyph(const TBitmap &glyph)
{
    Invalidate();
    m_source = glyph;
    if (!m_source.Empty()) {
        m_transparentColor = m_source.TransparentColor();
        const int w = m_source.Image().width(), h = m_source.Image().height();
        if (h > 0 && w % h == 0) {
            const int count = w / h;
            m_numGlyphs = count < 5 ? std::max(count, 1) : 1;
        }
    }
    Changed();
}

void TButtonGlyph::SetNumGlyphs(int count)
{
    if (count < 1 || count > 4 || count == m_numGlyphs)
        return;
    Invalidate();
    m_numGlyphs = count;
    Changed();
}

void TButtonGlyph::Invalidate()
{
    for (int &index : m_indexes) {
        if (index != -1 && m_list)
            m_list->Delete(index);
        index = -1;
    }
    if (g_cache && m_list)
        g_cache->ReturnList(m_list);
    m_list = nullptr;
}

void TButtonGlyph::Changed()
{
    if (OnChange)
        OnChange();
}

QSize TButtonGlyph::ImageSize() const noexcept
{
    if (m_source.Empty())
        return QSize();
    return QSize(m_source.Image().width() / m_numGlyphs, m_source.Image().height());
}

QImage TButtonGlyph::BuildImage(TButtonState state) const
{
    const QSize size = ImageSize();
    const int index = int(state) >= m_numGlyphs ? 0 : int(state);
    QImage image = m_source.Image()
                       .copy(index * size.width(), 0, size.width(), size.height())
                       .convertToFormat(QImage::Format_ARGB32);
    const std::optional<QRgb> clear = ClearRgb(m_transparentColor);
    if (state != bsDisabled || m_numGlyphs >= 2) {
        const QRgb face = Rgb(clBtnFace), highlight = Rgb(clBtnHighlight), shadow = Rgb(clBtnShadow);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y) | 0xFF000000u;
                if (IsClear(pixel, clear))
                    image.setPixel(x, y, state == bsDisabled ? face : 0u);
                else if (state == bsDisabled && pixel == 0xFFFFFFFFu)
                    image.setPixel(x, y, highlight);
                else if (state == bsDisabled && pixel == 0xFF808080u)
                    image.setPixel(x, y, shadow);
            }
        return image;
    }
    // Embossed: the glyph's shape in highlight one pixel down-right, then in
    // shadow, on the button face.
    QImage embossed(size, QImage::Format_ARGB32);
    embossed.fill(Rgb(clBtnFace));
    for (int pass = 0; pass < 2; ++pass) {
        const int offset = pass == 0 ? 1 : 0;
        const QRgb ink = Rgb(pass == 0 ? clBtnHighlight : clBtnShadow);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (IsInk(image.pixel(x, y), clear) && x + offset < size.width() && y + offset < size.height())
                    embossed.setPixel(x + offset, y + offset, ink);
    }
    return embossed;
}

QImage TButtonGlyph::StateImage(TButtonState state)
{
    if (m_source.Empty())
        return QImage();
    // Without an own down image the up image serves.
    if (state == bsDown && m_numGlyphs < 3)
        state = bsUp;
    int &index = m_indexes[size_t(state)];
    if (index == -1) {
        if (!g_cache)
            g_cache = std::make_unique<TGlyphCache>();
        if (!m_list)
            m_list = g_cache->GetList(ImageSize());
        index = m_list->Add(BuildImage(state));
    }
    return m_list->Image(index);
}

void TButtonGlyph::Draw(TPickerCanvas &canvas, QPoint at, TButtonState state, bool transparent)
{
    const QImage image = StateImage(state);
    QPainter *painter = canvas.Painter();
    if (image.isNull() || !painter)
        return;
    if (!transparent && state != bsExclusive) {
        const TColor brush = canvas.BrushColor();
        canvas.SetBrushColor(clBtnFace);
        canvas.FillRect(QRect(at, image.size()));
        canvas.SetBrushColor(brush);
    }
    painter->drawImage(at, image);
}
