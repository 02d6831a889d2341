#include "shell/TrayHint.h"

#include "accounting/UsageState.h"
#include "accounting/ViewModel.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

// Labels as the tick leaves them, with distinct values per label so a mix-up shows.
struct TrayHintFixture : ::testing::Test
{
    UsageState state;
    ViewModel view;

    void SetUp() override
    {
        state.totalHours = 12;
        state.totalMinutes = 5;
        state.totalSeconds = 7;
        state.todayHours = 1;
        state.todayMinutes = 2;
        state.todaySeconds = 3;
        state.sessionHours = 0;
        state.sessionMinutes = 0;
        state.sessionSeconds = 9;
        view.setText("lDownS", "12,5 kb/s");
        view.setText("lUpS", "3 kb/s");
        view.setText("lIn", "1,2 MB");
        view.setText("lOut", "300 kb");
        view.setText("lInS", "700 kb");
        view.setText("lOutS", "40 kb");
        view.setHint(kTrayIcon, "before");
    }
    std::string composed(int choice)
    {
        state.trayTime = static_cast<TrayTime>(choice);
        ComposeTrayHint(state, view);
        return view.hint(kTrayIcon);
    }
};

TEST_F(TrayHintFixture, EachChoiceGivesItsThreeLinesByteForByte)
{
    EXPECT_EQ(composed(0), "Zeit: 12 Stunden, 5 Minuten, 7 Sekunden.\r\n"
                           "Down: 12,5 kb/s (Traffic: 1,2 MB)\r\n"
                           "Up: 3 kb/s (Traffic: 300 kb)");
    // Today's time but the session's traffic; second and third line start with a blank.
    EXPECT_EQ(composed(1), "Zeit: 1 Stunden, 2 Minuten, 3 Sekunden.\r\n"
                           " Down: 12,5 kb/s (Traffic: 700 kb)\r\n"
                           " Up: 3 kb/s (Traffic: 40 kb)");
    // "Zeit " without a colon; only the second line starts with a blank.
    EXPECT_EQ(composed(2), "Zeit 0 Stunden, 0 Minuten, 9 Sekunden.\r\n"
                           " Down: 12,5 kb/s (Traffic: 700 kb)\r\n"
                           "Up: 3 kb/s (Traffic: 40 kb)");
}

TEST_F(TrayHintFixture, OfflineSessionReadsAsTheOfflineLabels)
{
    state.sessionSeconds = 0;
    view.setText("lDownS", "0 kb/s");
    view.setText("lUpS", "0 kb/s");
    view.setText("lInS", "0 kb");
    view.setText("lOutS", "0 kb");
    EXPECT_EQ(composed(2), "Zeit 0 Stunden, 0 Minuten, 0 Sekunden.\r\n"
                           " Down: 0 kb/s (Traffic: 0 kb)\r\n"
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
