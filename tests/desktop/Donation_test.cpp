#include "desktop/Donation.h"

#include <gtest/gtest.h>

#include <string_view>

namespace tavlor {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

TEST(FreewareNotice, NineLinesInTwoParagraphsNamingTheProgram)
{
    const std::vector<std::string> lines = FreewareNotice();
    ASSERT_EQ(lines.size(), 9u);
    int empty = 0;
    for (const std::string& line : lines) {
        empty += line.empty() ? 1 : 0;
    }
    EXPECT_EQ(empty, 1);
    EXPECT_TRUE(lines.front().find("Tavlor") != std::string::npos);
    EXPECT_FALSE(lines.front().empty());
    EXPECT_FALSE(lines.back().empty());
}

TEST(DonationLines, ElevenLinesWithTheFixedTextsAndLabels)
{
    const std::vector<std::string> lines = DonationLines();
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "Ihre Spende überweisen Sie bitte auf folgendes Konto:");
    EXPECT_TRUE(StartsWith(lines[1], "Empfänger:   "));
    EXPECT_NE(lines[1].at(std::string_view("Empfänger:   ").size()), ' ');
    EXPECT_TRUE(StartsWith(lines[2], "Bankleitzahl:"));
    EXPECT_NE(lines[2].at(std::string_view("Bankleitzahl:").size()), ' ');
    EXPECT_TRUE(StartsWith(lines[3], "Kontonummer: "));
    EXPECT_EQ(lines[4], "Verwendungszweck: Tavlor Spende");
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "Für Überweisungen aus dem Europäischen Ausland:");
    EXPECT_TRUE(StartsWith(lines[7], "IBAN: "));
    EXPECT_TRUE(StartsWith(lines[8], "BIC: "));
    EXPECT_EQ(lines[9], "");
    EXPECT_EQ(lines[10], "Vielen Dank für Ihre freundliche Spende.");
}

TEST(ContactAddress, IsAMailAddressOfTheProject)
{
    EXPECT_TRUE(StartsWith(kContactAddress, "mailto:"));
    EXPECT_STREQ(kContactHint, "E-mail an den Author");
    EXPECT_NE(std::string_view(kContactCaption), "");
}

} // namespace
} // namespace tavlor
