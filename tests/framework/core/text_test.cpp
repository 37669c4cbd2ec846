// The text functions, on ASCII and beyond.
#include "framework/core/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// The output base name as the engine derives it: the last "." and what follows go.
String withoutExtension(const String& name)
{
    const int32_t fields = CountFields(name, ".");
    if (fields <= 1)
        return name;
    return Left(name, Len(name) - Len(NthField(name, ".", fields)) - 1);
}

// Web-ready: lower case, blanks to "_", then only a-z, 0-9, "_", "." and "%" are kept.
String webReady(const String& base)
{
    const String lowered = ReplaceAll(Lowercase(base), " ", "_");
    String result;
    for (int32_t i = 1; i <= Len(lowered); ++i) {
        const String c = Mid(lowered, i, 1);
        const int32_t code = Asc(c);
        if ((code >= 'a' && code <= 'z') || (code >= '0' && code <= '9') || c == "_" || c == "." || c == "%")
            result += c;
    }
    return result;
}

TEST(Text, OutputNamesFromTheTextFunctions)
{
    struct Case {
        const char* name;
        const char* base;
        const char* web;
    };
    const Case cases[] = {
        { "IMG_0001.JPG", "IMG_0001", "img_0001" },
        { "archive.tar.gz", "archive.tar", "archive.tar" },
        { "no extension", "no extension", "no_extension" },
        { ".hidden", "", "" },
        { "name.", "name", "name" },
        { "\xC3\x89t\xC3\xA9 2007.tif", "\xC3\x89t\xC3\xA9 2007", "t_2007" },
        { "Summer Holiday 01.jpg", "Summer Holiday 01", "summer_holiday_01" },
        { "50% off.png", "50% off", "50%_off" },
        { "my.photo.JPG", "my.photo", "my.photo" },
        { "#1!.gif", "#1!", "1" },
        { "###.jpg", "###", "" },
    };
    for (const auto& c : cases) {
        const String base = withoutExtension(c.name);
        EXPECT_EQ(base, c.base) << c.name;
        EXPECT_EQ(webReady(base), c.web) << c.name;
    }
    EXPECT_EQ(Left(webReady("Summer Holiday 01"), 8), "summer_h");
}

TEST(Text, CharactersAreCodePoints)
{
    const String ete = "\xC3\x89t\xC3\xA9"; // "Été"
    const String broken = "a\xFF" "b"; // a stray byte is one character
    struct Case {
        String text;
        int32_t length;
        int32_t firstCode;
    };
    const Case cases[] = {
        { "", 0, 0 },
        { "abc", 3, 'a' },
        { ete, 3, 0xC9 },
        { broken, 3, 'a' },
        { "\xFF", 1, 0xFF },
        { "\xC0\x80", 2, 0xC0 }, // an overlong form is two stray bytes
        { "\xE2\x82", 2, 0xE2 }, // so is a cut sequence
        { "\xF0\x9F\x98\x80!", 2, 0x1F600 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Len(c.text), c.length) << c.text;
        EXPECT_EQ(Asc(c.text), c.firstCode) << c.text;
    }
    EXPECT_EQ(Left(ete, 1), "\xC3\x89");
    EXPECT_EQ(Left(ete, 2), "\xC3\x89t");
    EXPECT_EQ(Left(ete, 99), ete);
    EXPECT_EQ(Left(ete, 0), "");
    EXPECT_EQ(Left(ete, -4), "");
    EXPECT_EQ(Mid(ete, 2, 1), "t");
    EXPECT_EQ(Mid(ete, 3), "\xC3\xA9");
    EXPECT_EQ(Mid(ete, 4, 1), "");
    EXPECT_EQ(Mid(broken, 2, 1), "\xFF");
    EXPECT_EQ(Mid("Holiday", 3, 2), "li");
}

TEST(Text, LowercaseIsUnicodeAwareAndKeepsStrayBytes)
{
    EXPECT_EQ(Lowercase("\xC3\x89T\xC3\x89 ABC 2007"), "\xC3\xA9t\xC3\xA9 abc 2007");
    EXPECT_EQ(Lowercase("\xCE\xA9MEGA"), "\xCF\x89mega"); // Greek capital omega
    EXPECT_EQ(Lowercase("A\xFF" "B"), "a\xFF" "b");
    EXPECT_EQ(Lowercase(""), "");
}

TEST(Text, ReplaceAllMatchesAsciiLettersWithoutCase)
{
    struct Case {
        const char* text;
        const char* find;
        const char* replacement;
        const char* result;
    };
    const Case cases[] = {
        { "a b  c", " ", "_", "a_b__c" },
        { "Processing picture <0> of <1>", "<0>", "3", "Processing picture 3 of <1>" },
        { "<0>, <0>", "<0>", "x", "x, x" },
        { "Big bIG", "big", "S", "S S" },
        { "aaa", "aa", "b", "ba" },
        { "abc", "", "x", "abc" },
        { "abc", "abc", "", "" },
        { "\xC3\x89 \xC3\xA9", "\xC3\xA9", "e", "\xC3\x89 e" }, // non-ASCII letters keep their case
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceAll(c.text, c.find, c.replacement), c.result) << c.text;
}

TEST(Text, FieldsAndEquality)
{
    struct Case {
        const char* text;
        const char* delimiter;
        int32_t count;
        const char* last;
    };
    const Case cases[] = {
        { "", ".", 0, "" },
        { "abc", ".", 1, "abc" },
        { "a.b.c", ".", 3, "c" },
        { ".hidden", ".", 2, "hidden" },
        { "name.", ".", 2, "" },
        { "a..b", ".", 3, "b" },
        { "1x2X3", "x", 3, "3" },
        { "a, b, c", ", ", 3, "c" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountFields(c.text, c.delimiter), c.count) << c.text;
        EXPECT_EQ(NthField(c.text, c.delimiter, c.count), c.last) << c.text;
    }
    EXPECT_EQ(NthField("a.b.c", ".", 2), "b");
    EXPECT_EQ(NthField("a.b.c", ".", 4), "");
    EXPECT_EQ(NthField("a.b.c", ".", 0), "");

    EXPECT_TRUE(TextEquals("Holiday", "HOLIDAY"));
    EXPECT_TRUE(TextEquals("", ""));
    EXPECT_FALSE(TextEquals("Holiday", "Holidays"));
    EXPECT_FALSE(TextEquals("\xC3\x89t\xC3\xA9", "\xC3\xA9t\xC3\xA9"));
}

TEST(Text, ValReadsTheLeadingNumber)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        { "800", 800 }, { "800px", 800 }, { "", 0 }, { "abc", 0 }, { " 7", 7 }, { "\t 7", 7 },
        { "1e3", 1000 }, { "1E+3", 1000 }, { "2e-1", 0.2 }, { "2e", 2 }, { "2e+", 2 },
        { "12.5", 12.5 }, { "-5", -5 }, { "+5", 5 }, { "0.5", 0.5 }, { ".5", 0.5 }, { "5.", 5 },
        { "-", 0 }, { ".", 0 }, { "12,5", 12 }, { "0x10", 0 }, { "inf", 0 }, { "nan", 0 },
        { "50%", 50 }, { "7 8", 7 }, { "- 5", 0 },
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(Val(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isinf(Val("1e999")));
    EXPECT_EQ(Val("1e-999"), 0.0);
}

TEST(Text, Int32ConversionCutsTowardZeroAndSaturates)
{
    struct Case {
        double value;
        int32_t result;
    };
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    const Case cases[] = {
        { 219.99999999999997, 219 },
        { 1200.0 * (165.0 / 900.0), 219 }, // the box example: 1200 x 900 into 300 x 165
        { -2.7, -2 },
        { 0.9, 0 },
        { std::numeric_limits<double>::quiet_NaN(), 0 },
        { 1e12, kMax },
        { -1e12, kMin },
        { 2147483647.9, kMax },
        { -2147483648.9, kMin },
        { std::numeric_limits<double>::infinity(), kMax },
        { -std::numeric_limits<double>::infinity(), kMin },
    };
    for (const auto& c : cases)
        EXPECT_EQ(RuntimeCvtReal64ToSInt32(c.value), c.result) << c.value;
    EXPECT_EQ(RuntimeCvtReal64ToSInt32(Val("800px")), 800);
}

TEST(Text, StrAndRGB)
{
    EXPECT_EQ(Str(0), "0");
    EXPECT_EQ(Str(-5), "-5");
    EXPECT_EQ(Str(32767), "32767");
    EXPECT_EQ(RGB(255, 128, 0), (Color { 255, 128, 0 }));
    EXPECT_EQ(RGB(300, -1, 7), (Color { 255, 0, 7 }));
}

} // namespace
