// IconDialogsTest.cpp: icon bytes kept and checked; file-dialog filter rules.
#include <gtest/gtest.h>

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

} // namespace

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
