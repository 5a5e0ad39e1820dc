// IconDialogsTest.cpp: icon bytes kept and checked; file-dialog filter rules.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "toolkit/Dialogs.h"
#include "toolkit/Icon.h"

namespace {

std::vector<std::uint8_t> IconHeader(std::uint16_t count, std::uint32_t length, std::uint32_t offset)
{
    std::vector<std::uint8_t> b = {0, 0, 1, 0, std::uint8_t(count), std::uint8_t(count >> 8)};
    for (int i = 0; i < count; ++i) {
        const std::uint8_t e[16] = {16, 16, 0, 0, 1, 0, 32, 0,
                                    std::uint8_t(length), std::uint8_t(length >> 8), std::uint8_t(length >> 16), std::uint8_t(length >> 24),
                                    std::uint8_t(offset), std::uint8_t(offset >> 8), std::uint8_t(offset >> 16), std::uint8_t(offset >> 24)};
        for (std::uint8_t x : e)
            b.push_back(x);
    }
    return b;
}

// One image whose own header states its size: a PNG's signature and IHDR,
// or a bitmap info header (height doubled for the mask), padded to length.
std::vector<std::uint8_t> IconWithStatedSize(bool png, std::uint32_t side, std::size_t length = 64)
{
    auto b = IconHeader(1, std::uint32_t(length), 22);
    const auto put32 = [&b](std::uint32_t v, bool bigEndian) {
        for (int i = 0; i < 4; ++i)
            b.push_back(std::uint8_t(v >> (bigEndian ? 24 - 8 * i : 8 * i)));
    };
    if (png) {
        b.insert(b.end(), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'});
        put32(side, true);
        put32(side, true);
    } else {
        put32(40, false);
        put32(side, false);
        put32(side * 2, false);
    }
    b.resize(22 + length, 0);
    return b;
}

} // namespace

TEST(Icon, LimitsAreNamedAndEnforced)
{
    struct Case {
        std::vector<std::uint8_t> bytes;
        const char *limit; // nullptr: within the limits
    };
    const std::string image = "icon: image 0 of 1025 x 1025 pixels is larger than the largest icon image (1024 x 1024 pixels)";
    const std::vector<Case> cases = {
        {IconWithStatedSize(true, 1024), nullptr},
        {IconWithStatedSize(true, 1025), image.c_str()},
        {IconWithStatedSize(false, 1024), nullptr},
        {IconWithStatedSize(false, 1025), image.c_str()},
        {IconWithStatedSize(false, 16, TIcon::kMaxIconBytes - 22), nullptr},
        {IconWithStatedSize(false, 16, TIcon::kMaxIconBytes - 21),
         "icon: file of 1048577 bytes is larger than the largest icon (1048576 bytes)"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TIcon::CheckLimits(c.bytes), c.limit ? c.limit : "");
        EXPECT_EQ(TIcon::Validate(c.bytes), c.limit ? c.limit : "");
        TIcon icon;
        try {
            icon.LoadFromBytes(c.bytes);
            EXPECT_EQ(c.limit, nullptr) << "accepted past " << c.limit;
        } catch (const EInvalidGraphic &e) {
            EXPECT_EQ(e.what(), "Icon image is not valid: " + std::string(c.limit ? c.limit : "none"));
        }
    }

    // A file over the limit is refused by its size alone.
    const std::string path = ::testing::TempDir() + "quenlo-large.ico";
    const auto large = cases.back().bytes;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(large.data()), std::streamsize(large.size()));
    TIcon icon;
    try {
        icon.LoadFromFile(path);
        ADD_FAILURE() << "a file over the largest icon was taken";
    } catch (const EInvalidGraphic &e) {
        EXPECT_STREQ(e.what(), "Icon image is not valid: icon: file is larger than the largest icon (1048576 bytes)");
    }
    std::remove(path.c_str());
}

TEST(Icon, KeepsValidBytesExactly)
{
    auto bytes = IconHeader(1, 4, 22);
    bytes.insert(bytes.end(), {1, 2, 3, 4});
    TIcon icon;
    icon.LoadFromBytes(bytes);
    EXPECT_EQ(icon.Bytes(), bytes);
    EXPECT_EQ(icon.Width(), 16);
    TIcon copy;
    copy.Assign(icon);
    EXPECT_EQ(copy.Bytes(), bytes);
}

TEST(Icon, RejectsBytesThatAreNotAnIcon)
{
    TIcon icon;
    auto good = IconHeader(1, 4, 22);
    good.insert(good.end(), {1, 2, 3, 4});
    icon.LoadFromBytes(good);

    auto past = IconHeader(1, 40, 22);               // image runs past the end
    past.insert(past.end(), {1, 2, 3, 4});
    auto inside = IconHeader(1, 4, 2);               // image overlaps the header
    inside.insert(inside.end(), {1, 2, 3, 4});
    auto cursor = good;
    cursor[2] = 2;                                   // type 2 is a cursor
    const std::vector<std::vector<std::uint8_t>> bad = {
        {}, {0, 0, 1}, IconHeader(0, 0, 0), IconHeader(3, 4, 22), past, inside, cursor,
        {'G', 'I', 'F', '8', '9', 'a', 0, 0}};
    for (const auto &bytes : bad) {
        EXPECT_FALSE(TIcon::Validate(bytes).empty());
        try {
            icon.LoadFromBytes(bytes);
            ADD_FAILURE() << "accepted " << bytes.size() << " bytes";
        } catch (const EInvalidGraphic &e) {
            EXPECT_STREQ(e.what(), "Icon image is not valid");
        }
        EXPECT_EQ(icon.Bytes(), good); // unchanged
    }
}

TEST(Dialogs, FilterInQtForm)
{
    EXPECT_EQ(ConvertDialogFilter("Tavrix scripts (*.tvs)|*.tvs|All files (*.*)|*.*"),
              "Tavrix scripts (*.tvs);;All files (*)");
    EXPECT_EQ(ConvertDialogFilter("Icons|*.ico;*.ICO"), "Icons (*.ico *.ICO)");
    EXPECT_EQ(ConvertDialogFilter(""), "");
}

TEST(Dialogs, DefaultExtension)
{
    EXPECT_EQ(ApplyDefaultExtension("/a/b/demo", "tvs"), "/a/b/demo.tvs");
    EXPECT_EQ(ApplyDefaultExtension("/a.dir/demo", "tvs"), "/a.dir/demo.tvs");
    EXPECT_EQ(ApplyDefaultExtension("/a/demo.txt", "tvs"), "/a/demo.txt");
    EXPECT_EQ(ApplyDefaultExtension("", "tvs"), "");
}
