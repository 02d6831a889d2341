#include "datafile/ProfileFile.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

TEST(ProfileFileRead, SectionAndKeyMatchWithoutRegardToCase)
{
    ProfileFile file("[data]\r\nTup=5\r\n");
    EXPECT_EQ(file.readString("DATA", "TUp", "d"), "5");
    EXPECT_EQ(file.readString("Data", "tup", "d"), "5");
    EXPECT_EQ(file.readString("DATA", "TDown", "d"), "d");
    EXPECT_EQ(file.readString("other", "TUp", "d"), "d");
}

TEST(ProfileFileRead, BlanksAroundNamesAndValuesAreTrimmedAndOnePairOfQuotesStripped)
{
    ProfileFile file("  [ DATA ]  \r\n\t a b \t=  x y \t\r\nq=\"quoted\"\r\ns=' single '\r\n"
                     "two=\"\"x\"\"\r\nodd=\"open\r\nmixed=\"x'\r\nlone=\"\r\n");
    EXPECT_EQ(file.readString("DATA", "a b", ""), "x y");
    EXPECT_EQ(file.readString(" DATA ", " a b ", ""), "x y");
    EXPECT_EQ(file.readString("DATA", "q", ""), "quoted");
    EXPECT_EQ(file.readString("DATA", "s", ""), " single ");
    EXPECT_EQ(file.readString("DATA", "two", ""), "\"x\"");
    EXPECT_EQ(file.readString("DATA", "odd", ""), "\"open");
    EXPECT_EQ(file.readString("DATA", "mixed", ""), "\"x'");
    EXPECT_EQ(file.readString("DATA", "lone", ""), "\"");
}

TEST(ProfileFileRead, EmptyValueIsEmptyButALineWithoutEqualsIsNoKey)
{
    ProfileFile file("[DATA]\r\nRD=\r\nTUp\r\n");
    EXPECT_EQ(file.readString("DATA", "RD", "today"), "");
    EXPECT_EQ(file.readString("DATA", "TUp", "0"), "0");
}

TEST(ProfileFileRead, FirstOfDuplicateKeysAndSectionsWins)
{
    ProfileFile file("[DATA]\r\nX=1\r\nx=2\r\n[other]\r\nY=5\r\n[data]\r\nX=3\r\nY=4\r\n");
    EXPECT_EQ(file.readString("DATA", "X", ""), "1");
    // Only the first section of a name is looked at, as the platform's functions do.
    EXPECT_EQ(file.readString("DATA", "Y", "none"), "none");
}

TEST(ProfileFileRead, LinesBeforeTheFirstSectionAndBrokenHeadersBelongToNoSection)
{
    ProfileFile file("TUp=9\r\n[DATA\r\nTDown=8\r\n[DATA]\r\nX=1\r\n");
    EXPECT_EQ(file.readString("DATA", "TUp", "-"), "-");
    EXPECT_EQ(file.readString("DATA", "TDown", "-"), "-");
    EXPECT_EQ(file.readString("DATA", "X", "-"), "1");
}

TEST(ProfileFileRead, ValuesAreCutAtTheLimitAndAtANul)
{
    std::string longValue(3000, 'v');
    ProfileFile file("[DATA]\r\nL=" + longValue + "\r\nN=ab" + std::string(1, '\0') + "cd\r\n");
    EXPECT_EQ(file.readString("DATA", "L", ""), std::string(ProfileFile::kMaxValueLength, 'v'));
    EXPECT_EQ(file.readString("DATA", "N", ""), "ab");
}

TEST(ProfileFileRead, LfOnlyAndMissingFinalLineBreakAreRead)
{
    ProfileFile file("[DATA]\nA=1\nB=2");
    EXPECT_EQ(file.readString("DATA", "A", ""), "1");
    EXPECT_EQ(file.readString("DATA", "B", ""), "2");
}

TEST(ProfileFileWrite, ExistingKeyIsUpdatedInPlaceKeepingItsSpellingAndEveryOtherByte)
{
    const std::string head = "Diese Datei nicht \xE4ndern!!!  x\r\n\r\n[data]\r\noTA=0:0:0\r\n";
    ProfileFile file(head + "  Tup = 0 \r\nTDown=0\r\n");
    file.writeString("DATA", "TUp", "1234,5");
    EXPECT_EQ(file.bytes(), head + "Tup=1234,5\r\nTDown=0\r\n");
}

TEST(ProfileFileWrite, MissingKeyGoesAfterTheLastLineOfItsSection)
{
    ProfileFile file("[DATA]\r\nA=1\r\n\r\n[other]\r\nB=2\r\n");
    file.writeString("data", "C", "3");
    EXPECT_EQ(file.bytes(), "[DATA]\r\nA=1\r\nC=3\r\n\r\n[other]\r\nB=2\r\n");

    ProfileFile empty("[DATA]\r\n\r\n[other]\r\n");
    empty.writeString("DATA", "C", "3");
    EXPECT_EQ(empty.bytes(), "[DATA]\r\nC=3\r\n\r\n[other]\r\n");
}

TEST(ProfileFileWrite, MissingSectionGoesAtTheEndOfTheFile)
{
    ProfileFile file("head\r\n[other]\r\nB=2");
    file.writeString("DATA", "TUp", "5");
    EXPECT_EQ(file.bytes(), "head\r\n[other]\r\nB=2\r\n[DATA]\r\nTUp=5\r\n");

    ProfileFile empty;
    empty.writeString("DATA", "TUp", "5");
    EXPECT_EQ(empty.bytes(), "[DATA]\r\nTUp=5\r\n");
}

TEST(ProfileFileWrite, LfOnlyFileKeepsItsLineBreaks)
{
    ProfileFile file("[DATA]\nA=1\nB=2\n");
    file.writeString("DATA", "A", "7");
    file.writeString("DATA", "C", "8");
    EXPECT_EQ(file.bytes(), "[DATA]\nA=7\nB=2\nC=8\r\n");
}

TEST(ProfileFileWrite, EveryWrittenValueReadsBackUnchanged)
{
    for (const std::string value :
         {"", " lead", "trail ", "\"quoted\"", "'x'", "\"", "a=b", "[DATA]", "\t"}) {
        ProfileFile file("[DATA]\r\nK=old\r\n");
        file.writeString("DATA", "K", value);
        EXPECT_EQ(file.readString("DATA", "K", "-"), value) << "value [" << value << "]";
    }
}

TEST(ProfileFileWrite, ALineBreakInAValueCannotAddLines)
{
    ProfileFile file("[DATA]\r\nK=old\r\n");
    file.writeString("DATA", "K", "new\r\nTUp=999");
    EXPECT_EQ(file.readString("DATA", "TUp", "none"), "none");
    // The value ends at the line break; the CR before it is kept, quoted so that it reads back.
    EXPECT_EQ(file.bytes(), "[DATA]\r\nK=\"new\r\"\r\n");
    EXPECT_EQ(file.readString("DATA", "K", ""), "new\r");
}

TEST(Cp1252, ConvertsTheProgramsTextsBothWays)
{
    EXPECT_EQ(Utf8ToCp1252("\xC3\xA4nderung \xE2\x82\xAC"), "\xE4nderung \x80");
    EXPECT_EQ(Cp1252ToUtf8("\xE4\x80\x9F"), "\xC3\xA4\xE2\x82\xAC\xC5\xB8");
    // Not in the code page, malformed or cut-off UTF-8: one '?' each.
    EXPECT_EQ(Utf8ToCp1252("a\xE2\x98\x83"
                           "b"),
              "a?b");
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");
}

// UTF-16 in either byte order, as some editors save: every code unit after the mark.
std::string utf16(const std::u16string& text, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char hi = static_cast<char>(unit >> 8);
        const char lo = static_cast<char>(unit & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

TEST(ProfileFileDecoding, WhatEditorsMakeOfTheFileReadsAsWindows1252WithLineFeeds)
{
    const std::string cp1252 = "Diese Datei nicht \xE4ndern!!!\r\n\r\n[data]\r\nTup=5\r\nRD=08.12.2026\r\n";
    const std::u16string text =
        u"Diese Datei nicht \u00E4ndern!!!\r\n\r\n[data]\r\nTup=5\r\nRD=08.12.2026\r\n";
    struct Case
    {
        const char* what;
        std::string raw;
        std::string decoded;
    };
    const Case cases[] = {
        {"Windows-1252 as written", cp1252, cp1252},
        {"UTF-8 with a byte-order mark",
         "\xEF\xBB\xBF"
         "Diese Datei nicht \xC3\xA4ndern!!!\r\n\r\n[data]\r\nTup=5\r\nRD=08.12.2026\r\n",
         cp1252},
        {"a mark before Windows-1252 bytes", "\xEF\xBB\xBF" + cp1252, cp1252},
        {"UTF-16 little-endian", utf16(text, false), cp1252},
        {"UTF-16 big-endian", utf16(text, true), cp1252},
        {"UTF-16 with characters outside the code page",
         utf16(u"[data]\r\nRD=\u0434\U0001F600\xD800x\r\nTup=5\r\n", false),
         "[data]\r\nRD=???x\r\nTup=5\r\n"},
        {"CR-only line ends", "Diese Datei nicht \xE4ndern!!!\r\r[data]\rTup=5\rRD=08.12.2026\r", cp1252},
    };
    for (const Case& c : cases) {
        ProfileFile file(c.raw);
        EXPECT_EQ(file.bytes(), c.decoded) << c.what;
        EXPECT_EQ(file.readString("DATA", "TUp", "-"), "5") << c.what;
        file.writeString("DATA", "TDown", "7");
        EXPECT_EQ(file.bytes(), c.decoded + "TDown=7\r\n") << c.what;
    }
}

TEST(ProfileFileDecoding, AByteOrderMarkRightBeforeTheSectionDoesNotHideIt)
{
    ProfileFile file("Diese Datei nicht \xE4ndern!!!\r\n\r\n\xEF\xBB\xBF[data]\r\nTup=5\r\n");
    EXPECT_EQ(file.readString("DATA", "TUp", "-"), "5");
    file.writeString("DATA", "Tup", "6");
    EXPECT_EQ(file.readString("DATA", "TUp", "-"), "6");
    EXPECT_EQ(file.bytes().find("[DATA]"), std::string::npos);
    ProfileFile atStart("\xEF\xBB\xBF[data]\r\nTup=5\r\n");
    atStart.writeString("DATA", "Tup", "6");
    EXPECT_EQ(atStart.bytes(), "[data]\r\nTup=6\r\n");
}

TEST(Cp1252, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

} // namespace
} // namespace tavlor
