// icon_fuzz.cpp: libFuzzer target for the icon decoder. Any bytes either load
// (Validate agrees, the bytes are kept exactly, the directory's best entry has
// a side of 1 to 256 and decodes to no more than the largest icon image) or
// are refused with EInvalidGraphic, leaving the icon as it was.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "toolkit/Icon.h"

namespace {

[[noreturn]] void Die(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// A 1x1 icon that the target loads first, so a refused load can be checked
// to leave it alone.
const std::vector<std::uint8_t> kPrevious = {
    0, 0, 1, 0, 1, 0, 1, 1, 0, 0, 1, 0, 32, 0, 48, 0, 0, 0, 22, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 2, 0,
    0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 90, 90,
    90, 90, 0, 0, 0, 0};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    const bool valid = TIcon::Validate(bytes).empty();
    TIcon icon;
    icon.LoadFromBytes(kPrevious);
    try {
        icon.LoadFromBytes(bytes);
    } catch (const EInvalidGraphic &) {
        if (valid)
            Die("a valid icon was refused");
        if (icon.Bytes() != kPrevious)
            Die("a refused load changed the icon");
        return 0;
    }
    if (!valid)
        Die("an invalid icon was taken");
    if (icon.Bytes() != bytes)
        Die("the icon does not keep its bytes");
    if (icon.Width() < 1 || icon.Width() > 256 || icon.Height() < 1 || icon.Height() > 256)
        Die("the directory side is outside 1..256");
    const QImage image = icon.Image();
    if (!image.isNull() && (image.width() > TIcon::kMaxImageSide || image.height() > TIcon::kMaxImageSide))
        Die("the decoded image is larger than the largest icon image");
    return 0;
}
