#include "text/KvString.h"

#include "model/UsageState.h"

#include "GermanLocale.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

class TextHelpers : public ::testing::Test
{
protected:
    test::GermanLocale german;
    test::EnglishLocale english;
    NumberFormat de = NumberFormat::fromLocale(german);
    NumberFormat en = NumberFormat::fromLocale(english);
};

TEST_F(TextHelpers, NumberTextIsTheShortestFormWithTheLocaleSeparator)
{
    EXPECT_EQ(de.format(1.5), "1,5");
    EXPECT_EQ(de.format(1023), "1023");
    EXPECT_EQ(de.format(-2.25), "-2,25");
    EXPECT_EQ(de.format(0.0), "0");
    EXPECT_EQ(de.format(-0.0), "0");
    EXPECT_EQ(de.format(0.1 + 0.2), "0,3");
    EXPECT_EQ(de.format(1.0 / 3.0), "0,333333333333333");
    EXPECT_EQ(de.format(2.0 / 3.0), "0,666666666666667");
    EXPECT_EQ(de.format(1e14), "100000000000000");
    EXPECT_EQ(en.format(1.5), "1.5");
    EXPECT_EQ(en.format(-1536.25), "-1536.25");
}

TEST_F(TextHelpers, NumberTextTakesTheExponentFormOnlyBeyondItsThresholds)
{
    EXPECT_EQ(de.format(123456789012345.0), "123456789012345");
    EXPECT_EQ(de.format(1234567890123456.0), "1,23456789012346E15");
    EXPECT_EQ(de.format(1e20), "1E20");
    EXPECT_EQ(de.format(0.00001), "0,00001");
    EXPECT_EQ(de.format(0.0000099), "9,9E-6");
    EXPECT_EQ(de.format(-0.0000015), "-1,5E-6");
    EXPECT_EQ(en.format(0.0000015), "1.5E-6");
}

TEST_F(TextHelpers, ParsingAcceptsOnlyTheLocaleForm)
{
    EXPECT_EQ(de.parse("1,5"), 1.5);
    EXPECT_EQ(de.parse("-2"), -2.0);
    EXPECT_EQ(de.parse(",5"), 0.5);
    EXPECT_EQ(de.parse("1,5E-6"), 1.5e-6);
    EXPECT_EQ(de.parse(" 42 "), 42.0);
    EXPECT_EQ(en.parse("1.5"), 1.5);
    for (const char* bad :
         {"", "-", ",", "1.5", "1,5x", "1,,5", "abc", "1E", "1 2", "0x10", "inf", "1e999"}) {
        EXPECT_FALSE(de.parse(bad).has_value()) << bad;
    }
    EXPECT_FALSE(en.parse("1,5").has_value());
}

TEST_F(TextHelpers, NumberTextsReadBackToTheSameValue)
{
    for (double v :
         {0.0, 1.5, -2.25, 1023.0, 999.99, 123456789.125, 4294967296.0, 0.34, 1e-7, 9.87654321e18}) {
        EXPECT_EQ(de.parse(de.format(v)), v) << de.format(v);
        EXPECT_EQ(en.parse(en.format(v)), v) << en.format(v);
    }
}

TEST_F(TextHelpers, DurationLetterIsCaseInsensitiveAndUnknownLettersGiveZeros)
{
    UsageState s;
    s.totalHours = 12, s.totalMinutes = 5, s.totalSeconds = 7;
    s.todayHours = 1;
    s.sessionSeconds = 75;
    EXPECT_EQ(FormatDuration(s, "a", true), "12 Stunden, 5 Minuten, 7 Sekunden.");
    EXPECT_EQ(FormatDuration(s, "A", true), FormatDuration(s, "a", true));
    EXPECT_EQ(FormatDuration(s, "a", false), "12:5:7");
    EXPECT_EQ(FormatDuration(s, "D", true), "1 Stunden, 0 Minuten, 0 Sekunden.");
    EXPECT_EQ(FormatDuration(s, "s", false), "0:0:75");
    EXPECT_EQ(FormatDuration(s, "x", true), "0:0:0");
    EXPECT_EQ(FormatDuration(s, "x", false), "0:0:0");
    EXPECT_EQ(FormatDuration(s, "aa", false), "0:0:0");
    EXPECT_EQ(FormatDuration(UsageState{}, "s", true), "0 Stunden, 0 Minuten, 0 Sekunden.");
}

// A speed in bytes per second gives the label's text and the monitor's figure: the figure is
// the number the text shows, so graph and label never disagree.
TEST_F(TextHelpers, SpeedTextAndFigureOfBytesPerSecond)
{
    const struct
    {
        double bytesPerSecond;
        const char* text;
        double figure;
    } cases[] = {
        {0, "0 kb/s", 0},
        {-300, "0 kb/s", 0},
        {5, "0 kb/s", 0},
        {500, "0,48 kb/s", 0.48},
        {2560, "2,5 kb/s", 2.5},
        {12636.16, "12,34 kb/s", 12.34},
        {1536000, "1500 kb/s", 1500},
        {1e12, "976562500 kb/s", 976562500},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatSpeed(de, c.bytesPerSecond), c.text) << c.bytesPerSecond;
        EXPECT_DOUBLE_EQ(SpeedFigure(de, c.bytesPerSecond), c.figure) << c.bytesPerSecond;
        const std::string text = c.text;
        EXPECT_EQ(de.parse(text.substr(0, text.find(" kb"))), SpeedFigure(de, c.bytesPerSecond));
    }
}

TEST_F(TextHelpers, TruncationCutsAndNeverRounds)
{
    EXPECT_EQ(TruncateDecimals(de, 2, 1023), 1023);
    EXPECT_EQ(TruncateDecimals(de, 2, 0.341796875), 0.34);
    EXPECT_EQ(TruncateDecimals(de, 2, -1.2345), -1.23);
    EXPECT_EQ(TruncateDecimals(de, 2, 1.999), 1.99);
    EXPECT_EQ(TruncateDecimals(de, 0, 7.9), 7.0);
    EXPECT_EQ(TruncateDecimals(de, 5, 1.5), 1.5);
}

TEST_F(TextHelpers, TruncationUsesTheLocaleSeparatorNotALiteralComma)
{
    EXPECT_EQ(TruncateDecimals(en, 2, 0.341796875), 0.34);
    EXPECT_EQ(TruncateDecimals(en, 2, -1.2345), -1.23);
    EXPECT_EQ(en.format(TruncateDecimals(en, 2, 1000.0 / 1024.0)), "0.97");
}

TEST_F(TextHelpers, TruncationOfExponentFormsCutsTinyValuesAndKeepsHugeOnes)
{
    EXPECT_EQ(TruncateDecimals(de, 2, 0.0000015), 0.0);
    EXPECT_EQ(TruncateDecimals(de, 4, -0.0000015), 0.0);
    EXPECT_EQ(de.format(TruncateDecimals(de, 4, -0.0000015)), "0");
    EXPECT_DOUBLE_EQ(TruncateDecimals(de, 6, 0.0000015), 0.000001);
    EXPECT_EQ(TruncateDecimals(de, 2, 1e20), 1e20);
    EXPECT_EQ(TruncateDecimals(de, 2, -1.25e17), -1.25e17);
}

TEST_F(TextHelpers, ByteSizeUnitsChangeAtTheirThresholds)
{
    EXPECT_EQ(FormatByteSize(de, 0), "0 Bytes");
    EXPECT_EQ(FormatByteSize(de, 700), "700 Bytes");
    EXPECT_EQ(FormatByteSize(de, 1023), "1023 Bytes");
    EXPECT_EQ(FormatByteSize(de, 1024), "1 KB");
    EXPECT_EQ(FormatByteSize(de, 1536), "1,5 KB");
    EXPECT_EQ(FormatByteSize(de, 1023999), "999,99 KB");
    EXPECT_EQ(FormatByteSize(de, 1024000), "0,97 MB");
    EXPECT_EQ(FormatByteSize(de, 1048576), "1 MB");
    EXPECT_EQ(FormatByteSize(de, 999999999), "953,67 MB");
    EXPECT_EQ(FormatByteSize(de, 1000000000), "0,93 GB");
    EXPECT_EQ(FormatByteSize(de, 5e12), "4656,61 GB");
    EXPECT_EQ(FormatByteSize(de, 10.75), "10,75 Bytes");
    EXPECT_EQ(FormatByteSize(en, 1536), "1.5 KB");
}

TEST_F(TextHelpers, NegativeByteSizesUseTheirOwnGigabyteDivisor)
{
    EXPECT_EQ(FormatByteSize(de, -1536), "-1,5 KB");
    EXPECT_EQ(FormatByteSize(de, -700), "-700 Bytes");
    EXPECT_EQ(FormatByteSize(de, -1024000), "-0,97 MB");
    EXPECT_EQ(FormatByteSize(de, -1000000000), "-0,97 GB");
    EXPECT_EQ(FormatByteSize(de, -2048000000), "-2 GB");
}

TEST_F(TextHelpers, FieldsAreCountedWithoutALeadingEmptyOne)
{
    EXPECT_EQ(CountSeparators("1:2:3", ':'), 3);
    EXPECT_EQ(CountSeparators("1:2:3:", ':'), 3);
    EXPECT_EQ(CountSeparators(":2:3", ':'), 2);
    EXPECT_EQ(CountSeparators("abc", ':'), 1);
    EXPECT_EQ(CountSeparators("", ':'), 0);
    EXPECT_EQ(CountSeparators(":", ':'), 0);
    EXPECT_EQ(CountSeparators("::", ':'), 1);
}

TEST_F(TextHelpers, TokensAreTheFieldsBetweenSeparators)
{
    EXPECT_EQ(ExtractToken("12:5:7", 1, ':'), "12");
    EXPECT_EQ(ExtractToken("12:5:7", 2, ':'), "5");
    EXPECT_EQ(ExtractToken("12:5:7", 3, ':'), "7");
    EXPECT_EQ(ExtractToken("12:5:7", 4, ':'), "");
    EXPECT_EQ(ExtractToken("12:5", 3, ':'), "");
    EXPECT_EQ(ExtractToken("1;2", 2, ';'), "2");
    EXPECT_EQ(ExtractToken("", 1, ':'), "");
    EXPECT_EQ(ExtractToken("12:5:7", 0, ':'), "12");
    EXPECT_EQ(ExtractToken("12:5:7", -3, ':'), "12");
    EXPECT_EQ(ExtractToken("a~b~c", 2, '~'), "b");
    EXPECT_EQ(ExtractToken("10.0.0.1;192.168.1.2;", 2, ';'), "192.168.1.2");
}

} // namespace
} // namespace tavlor
