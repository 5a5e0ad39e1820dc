// Icon.h: the framework's icon image.
// TIcon keeps the bytes of a Windows .ico file exactly as loaded, so that a
// script's icon is written back unchanged, and decodes them for display.
#ifndef QUENLO_TOOLKIT_ICON_H
#define QUENLO_TOOLKIT_ICON_H

#include <cstdint>
#include <string>
#include <vector>

#include <QImage>

#include "toolkit/Exception.h"

// Bytes that are not an icon.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

class TIcon {
public:
    // The icon reader's limits, named in its messages: the largest icon file,
    // and the largest side of an image in it, as its own header states it.
    static constexpr std::size_t kMaxIconBytes = 1u << 20;
    static constexpr int kMaxImageSide = 1024;

    bool Empty() const noexcept { return m_bytes.empty(); }
    void Clear() noexcept { m_bytes.clear(); }
    // Takes the bytes of an .ico file; raises EInvalidGraphic, leaving the icon
    // unchanged, when they are not one ("Icon image is not valid", followed by
    // the reason when a limit is exceeded).
    void LoadFromBytes(std::vector<std::uint8_t> bytes);
    // Reads an .ico file; raises EStreamError or EInvalidGraphic (a file over
    // the largest icon is refused without reading it).
    void LoadFromFile(const std::string &path);
    const std::vector<std::uint8_t> &Bytes() const noexcept { return m_bytes; }
    void Assign(const TIcon &source) { m_bytes = source.m_bytes; }

    // The image of the directory entry with the most pixels (then the most
    // colours); a null image when empty or when Qt cannot decode it.
    QImage Image() const;
    // Width and height of that entry as the directory states them (0 when empty).
    int Width() const;
    int Height() const;

    // Why bytes are not an icon, or empty when they are one.
    static std::string Validate(const std::vector<std::uint8_t> &bytes);
    // Which limit the bytes exceed, or empty; part of Validate.
    static std::string CheckLimits(const std::vector<std::uint8_t> &bytes);

private:
    int BestEntry() const;
    std::vector<std::uint8_t> m_bytes;
};

#endif
