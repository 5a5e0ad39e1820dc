// Win1252Test.cpp: conversions at the Unicode boundary.
#include <gtest/gtest.h>

#include "toolkit/Win1252.h"

TEST(Win1252, EveryByteRoundTrips)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(char(b));
    const QString text = Win1252::ToUnicode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x80].unicode(), 0x20AC); // euro sign
    EXPECT_EQ(text[0xE9].unicode(), 0xE9);
    auto back = Win1252::FromUnicode(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Win1252, CharactersOutsideTheCodePage)
{
    EXPECT_FALSE(Win1252::FromUnicode(QString::fromUtf8("a\u0416b")).has_value());
    EXPECT_EQ(Win1252::FromUnicodeDropping(QString::fromUtf8("a\u0416b\u20AC")), "ab\x80");
    EXPECT_FALSE(Win1252::FromUtf8("\xE2\x82").has_value()); // cut UTF-8 sequence
    EXPECT_EQ(*Win1252::FromUtf8("caf\xC3\xA9"), "caf\xE9");
    EXPECT_EQ(Win1252::ToUtf8("caf\xE9"), "caf\xC3\xA9");
}
