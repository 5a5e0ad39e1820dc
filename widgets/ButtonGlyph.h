// ButtonGlyph.h: a button's glyph strip and its per-state images.
// TButtonGlyph keeps the source strip and draws the image of a state;
// TGlyphList holds images of one size with reusable slots; TGlyphCache shares
// one list per size among all glyphs.
#ifndef QUENLO_WIDGETS_BUTTONGLYPH_H
#define QUENLO_WIDGETS_BUTTONGLYPH_H

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include <QImage>

#include "toolkit/Bitmap.h"
#include "toolkit/Colors.h"

class TPickerCanvas;

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// Images of one size; a slot freed by Delete is reused by the next Add.
class TGlyphList {
public:
    explicit TGlyphList(QSize size) : m_size(size) {}
    QSize Size() const noexcept { return m_size; }
    int Add(const QImage &image);
    void Delete(int index);
    // The image in a used slot; a null image for a free or unknown slot.
    const QImage &Image(int index) const;
    int Count() const noexcept { return m_count; }

private:
    QSize m_size;
    std::vector<QImage> m_images;
    std::vector<bool> m_used;
    int m_count = 0;
};

// One list per glyph size, shared by every glyph of the application.
class TGlyphCache {
public:
    TGlyphList *GetList(QSize size);
    // Destroys the list when it holds no image any more.
    void ReturnList(TGlyphList *list);
    bool Empty() const noexcept { return m_lists.empty(); }
    int ListCount() const noexcept { return int(m_lists.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> m_lists;
};

class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph &) = delete;
    TButtonGlyph &operator=(const TButtonGlyph &) = delete;

    const TBitmap &Glyph() const noexcept { return m_source; }
    // Copies the strip and takes its transparent colour (the bottom-left
    // pixel, or the bitmap's fixed colour); a strip whose width is 2..4 times
    // its height sets NumGlyphs.
    void SetGlyph(const TBitmap &glyph);
    int NumGlyphs() const noexcept { return m_numGlyphs; }
    // 1..4; other values are ignored.
    void SetNumGlyphs(int count);
    TColor TransparentColor() const noexcept { return m_transparentColor; }

    // Releases the four state images (they are rebuilt on demand).
    void Invalidate();
    // One image of the strip; empty without glyph.
    QSize ImageSize() const noexcept;
    // The image for a state, built once and kept in the shared cache; null
    // without glyph. Pixels of the transparent colour are clear in the up,
    // down and exclusive images.
    QImage StateImage(TButtonState state);
    // Draws the state's image at `at`; on the button face unless transparent.
    void Draw(TPickerCanvas &canvas, QPoint at, TButtonState state, bool transparent);

    // Set by the owner to repaint after a change of the strip.
    std::function<void()> OnChange;

    // The shared cache, or null while no glyph has built an image.
    static const TGlyphCache *Cache() noexcept;

private:
    QImage BuildImage(TButtonState state) const;
    void Changed();

    TBitmap m_source; // its image in Format_ARGB32
    TGlyphList *m_list = nullptr; // in the shared cache
    std::array<int, 4> m_indexes{-1, -1, -1, -1};
    TColor m_transparentColor = clOlive; // clNone: nothing is transparent
    int m_numGlyphs = 1;
};

#endif
