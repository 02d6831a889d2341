#include "shell/TrayHint.h"

#include "model/TickReading.h"
#include "text/KvString.h"
#include "text/ViewModel.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

// A reading with distinct figures per field, so a mix-up shows.
struct TrayHintFixture : ::testing::Test
{
    NumberFormat numbers{","};
    TickReading reading;
    ViewModel view;

    void SetUp() override
    {
        reading.online = true;
        reading.total = {12, 5, 7};
        reading.today = {1, 2, 3};
        reading.session = {0, 0, 9};
        reading.downSpeed = 12800; // 12,5 kb/s
        reading.upSpeed = 3072;
        reading.totalDownBytes = 1258292; // 1,2 MB
        reading.totalUpBytes = 300;
        reading.sessionDownBytes = 716800; // 700 KB
        reading.sessionUpBytes = 40960;
        view.setHint(kTrayIcon, "before");
    }
    std::string composed(int choice)
    {
        ComposeTrayHint(reading, static_cast<TrayTime>(choice), numbers, view);
        return view.hint(kTrayIcon);
    }
};

TEST_F(TrayHintFixture, EachChoiceGivesItsThreeLinesByteForByte)
{
    EXPECT_EQ(composed(0), "Zeit: 12 Stunden, 5 Minuten, 7 Sekunden.\r\n"
                           "Down: 12,5 kb/s (Traffic: 1,2 MB)\r\n"
                           "Up: 3 kb/s (Traffic: 300 Bytes)");
    // Today's time but the session's traffic; second and third line start with a blank.
    EXPECT_EQ(composed(1), "Zeit: 1 Stunden, 2 Minuten, 3 Sekunden.\r\n"
                           " Down: 12,5 kb/s (Traffic: 700 KB)\r\n"
                           " Up: 3 kb/s (Traffic: 40 KB)");
    // "Zeit " without a colon; only the second line starts with a blank.
    EXPECT_EQ(composed(2), "Zeit 0 Stunden, 0 Minuten, 9 Sekunden.\r\n"
                           " Down: 12,5 kb/s (Traffic: 700 KB)\r\n"
                           "Up: 3 kb/s (Traffic: 40 KB)");
}

// Offline the session reads as the offline labels; right after a reset the totals read as the
// reset left their labels.
TEST_F(TrayHintFixture, OfflineAndResetFiguresReadAsTheirLabels)
{
    reading.online = false;
    reading.session = {};
    reading.downSpeed = 0;
    reading.upSpeed = 0;
    EXPECT_EQ(composed(2), "Zeit 0 Stunden, 0 Minuten, 0 Sekunden.\r\n"
                           " Down: 0 kb/s (Traffic: 0 kb)\r\n"
                           "Up: 0 kb/s (Traffic: 0 kb)");
    reading.totalsCleared = true;
    reading.total = {};
    EXPECT_EQ(composed(0), "Zeit: 0 Stunden, 0 Minuten, 0 Sekunden.\r\n"
                           "Down: 0 kb/s (Traffic: 0 kb)\r\n"
                           "Up: 0 kb/s (Traffic: 0 kb)");
}

TEST_F(TrayHintFixture, NoItemSelectedLeavesTheHintAsItWas)
{
    EXPECT_EQ(composed(-1), "before");
    EXPECT_EQ(composed(3), "before");
    view.setHint(kTrayIcon, "Offline");
    EXPECT_EQ(composed(-1), "Offline");
}

TEST(TrayTooltipText, CutsAt127CharactersAndBeforeTheFirstBar)
{
    EXPECT_EQ(TrayTooltipText("Offline"), "Offline");
    EXPECT_EQ(TrayTooltipText(std::string(127, 'x')), std::string(127, 'x'));
    EXPECT_EQ(TrayTooltipText(std::string(200, 'x')), std::string(127, 'x'));
    EXPECT_EQ(TrayTooltipText("first|second"), "first");
    EXPECT_EQ(TrayTooltipText("|"), "");
}

TEST(TrayTooltipText, CountsCharactersNotBytes)
{
    // 126 ASCII characters, then "ä" (two bytes) as the 127th and "ö" as the 128th.
    const std::string text = std::string(126, 'a') + "\xC3\xA4" + "\xC3\xB6";
    EXPECT_EQ(TrayTooltipText(text), std::string(126, 'a') + "\xC3\xA4");
    std::string many;
    for (int i = 0; i < 130; ++i) {
        many += "\xC3\xBC";
    }
    const std::string cut = TrayTooltipText(many);
    EXPECT_EQ(cut.size(), 127u * 2);
    EXPECT_EQ(cut.substr(cut.size() - 2), "\xC3\xBC");
}

} // namespace
} // namespace tavlor
