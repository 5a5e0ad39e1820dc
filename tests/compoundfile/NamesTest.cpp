// NamesTest.cpp: entry names: what is valid, the format's upper-casing and
// order, case-insensitive lookup, and the UTF-8 helpers.
#include <gtest/gtest.h>

#include "compoundfile/CompoundFile.h"
#include "tests/compoundfile/CfbTestSupport.h"

using namespace cfbtest;

TEST(EntryNames, Validity)
{
    EXPECT_TRUE(cfb::IsValidName(u"Script"));
    EXPECT_TRUE(cfb::IsValidName(u"\u0005SummaryInformation"));
    EXPECT_TRUE(cfb::IsValidName(std::u16string(31, u'x')));
    EXPECT_FALSE(cfb::IsValidName(std::u16string(32, u'x')));
    EXPECT_FALSE(cfb::IsValidName(u""));
    for (const char16_t *bad : {u"a/b", u"a\\b", u"a:b", u"a!b"})
        EXPECT_FALSE(cfb::IsValidName(bad)) << cfb::NameToUtf8(bad);
    EXPECT_FALSE(cfb::IsValidName(std::u16string(u"a\0b", 3)));

    cfb::CompoundFile file;
    EXPECT_EQ(file.Root().CreateStream(u"a/b"), nullptr);
    EXPECT_EQ(file.Root().CreateStorage(std::u16string(32, u'x')), nullptr);
    EXPECT_EQ(file.Root().CreateStream(u""), nullptr);
    EXPECT_TRUE(file.Root().List().empty());
}

TEST(EntryNames, UpperCasing)
{
    const std::pair<char16_t, char16_t> pairs[] = {
        {u'a', u'A'}, {u'z', u'Z'}, {u'A', u'A'}, {u'1', u'1'}, {u'_', u'_'},
        {0xE9, 0xC9},   // e acute
        {0xFE, 0xDE},   // thorn
        {0xFF, 0x178},  // y diaeresis
        {0xB5, 0x39C},  // micro sign
        {0xF7, 0xF7},   // division sign
        {0xDF, 0xDF},   // sharp s has no single upper-case unit
        {0x101, 0x100}, // a macron
        {0x131, u'I'},  // dotless i
        {0x13A, 0x139}, // l acute
        {0x148, 0x147}, // n caron
        {0x149, 0x149}, // n preceded by apostrophe
        {0x14B, 0x14A}, // eng
        {0x17E, 0x17D}, // z caron
        {0x17F, u'S'},  // long s
        {0x3B1, 0x391}, // alpha
        {0x3C2, 0x3A3}, // final sigma
        {0x3C9, 0x3A9}, // omega
        {0x3AC, 0x386}, // alpha tonos
        {0x3CE, 0x38F}, // omega tonos
        {0x430, 0x410}, // Cyrillic a
        {0x44F, 0x42F}, // ya
        {0x451, 0x401}, // io
        {0x4E00, 0x4E00},
    };
    for (const auto &[lower, upper] : pairs)
        EXPECT_EQ(int(cfb::UpperCaseUnit(lower)), int(upper)) << std::hex << int(lower);
    // Upper-case letters stay as they are.
    for (char16_t c : {char16_t(0xC9), char16_t(0x100), char16_t(0x139), char16_t(0x178), char16_t(0x391),
                       char16_t(0x410), char16_t(0x401)})
        EXPECT_EQ(int(cfb::UpperCaseUnit(c)), int(c)) << std::hex << int(c);
}

TEST(EntryNames, FormatOrder)
{
    EXPECT_LT(cfb::CompareNames(u"Z", u"aa"), 0); // shorter first
    EXPECT_LT(cfb::CompareNames(u"ab", u"AC"), 0);
    EXPECT_GT(cfb::CompareNames(u"b", u"A"), 0);
    EXPECT_EQ(cfb::CompareNames(u"Script", u"SCRIPT"), 0);
    EXPECT_EQ(cfb::CompareNames(u"\u00e9t\u00e9", u"\u00c9T\u00c9"), 0);
    // By upper-cased unit value: '_' (0x5F) after 'Z' (0x5A) though before 'a'.
    EXPECT_LT(cfb::CompareNames(u"Z", u"_"), 0);
    EXPECT_GT(cfb::CompareNames(u"_", u"a"), 0);
}

TEST(EntryNames, LookupUsesTheFormatsCaseFolding)
{
    cfb::CompoundFile file;
    file.Root().CreateStream(u"\u00e9t\u00e9")->Data() = Pattern(3, 1); // "ete" with acutes
    file.Root().CreateStream(u"\u044f")->Data() = Pattern(4, 2);         // Cyrillic ya
    EXPECT_NE(file.Root().OpenStream(u"\u00c9T\u00c9"), nullptr);
    EXPECT_NE(file.Root().OpenStream(u"\u042f"), nullptr);
    file.Root().CreateStream(u"\u00c9t\u00e9");
    EXPECT_EQ(file.Root().List().size(), 2u);
    EXPECT_EQ(file.Root().OpenStream(u"\u00e9t\u00e9")->Size(), 0u);
}

TEST(EntryNames, LongAndUnusualNamesRoundTrip)
{
    cfb::CompoundFile file;
    const std::u16string longest(31, u'\u00e9');
    const std::u16string astral = u"\U0001F600 and more";
    const std::u16string control = u"\u0005DocumentSummaryInformation";
    for (const std::u16string &name : {longest, astral, control})
        file.Root().CreateStream(name)->Data() = Pattern(name.size(), 1);
    std::vector<std::uint8_t> image = file.Serialize();
    cfb::CompoundFile back;
    ASSERT_EQ(ParseImage(image, back), "");
    for (const std::u16string &name : {longest, astral, control}) {
        const cfb::Stream *stream = back.Root().OpenStream(name);
        ASSERT_NE(stream, nullptr) << cfb::NameToUtf8(name);
        EXPECT_EQ(stream->Name(), name);
    }
    const RawImage raw(image);
    EXPECT_EQ(raw.Entry(longest).nameBytes, 64);
}

TEST(EntryNames, Utf8Helpers)
{
    EXPECT_EQ(cfb::NameFromUtf8("Script"), u"Script");
    EXPECT_EQ(cfb::NameFromUtf8("caf\xC3\xA9"), u"caf\u00e9");
    EXPECT_EQ(cfb::NameFromUtf8("\xE2\x82\xAC"), u"\u20ac");
    EXPECT_EQ(cfb::NameFromUtf8("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(cfb::NameToUtf8(u"caf\u00e9 \u20ac \U0001F600"), "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    for (const char *text : {"x", "\xC3\xA9\xE2\x82\xAC", "\xF4\x8F\xBF\xBF"})
        EXPECT_EQ(cfb::NameToUtf8(cfb::NameFromUtf8(text)), std::string(text));

    // Malformed input becomes U+FFFD, one per bad sequence.
    EXPECT_EQ(cfb::NameFromUtf8("a\xFF"
                                "b"),
              u"a\ufffdb");
    EXPECT_EQ(cfb::NameFromUtf8("\xE2\x82"), u"\ufffd");         // cut short
    EXPECT_EQ(cfb::NameFromUtf8("\xC0\xAF"), u"\ufffd\ufffd");   // overlong
    EXPECT_EQ(cfb::NameFromUtf8("\xED\xA0\x80"), u"\ufffd");     // surrogate
    EXPECT_EQ(cfb::NameFromUtf8("\xF4\x90\x80\x80"), u"\ufffd"); // beyond U+10FFFF
    EXPECT_EQ(cfb::NameToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    std::u16string loneLow = u"a";
    loneLow += char16_t(0xDC00);
    loneLow += u'b';
    EXPECT_EQ(cfb::NameToUtf8(loneLow), "a\xEF\xBF\xBD" "b");
}
