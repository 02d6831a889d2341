#include "shell/Readability.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

int red(Rgb c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}
int green(Rgb c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
int blue(Rgb c)
{
    return static_cast<int>(c & 0xFF);
}

TEST(ContrastRatio, MatchesTheKnownPairs)
{
    EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(0xFFFFFF, 0x000000), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(0x777777, 0x777777), 1.0, 0.001);
    // The design's red on white falls just short of 4.5; green and blue reach it.
    EXPECT_NEAR(ContrastRatio(0xFF0000, 0xFFFFFF), 4.0, 0.01);
    EXPECT_GT(ContrastRatio(0x008000, 0xFFFFFF), 5.0);
    EXPECT_GT(ContrastRatio(0x0000FF, 0xFFFFFF), 8.5);
}

TEST(ReadableOn, KeepsTheDesignWhereItReadsAndMovesItJustFarEnoughElsewhere)
{
    const struct
    {
        const char* what;
        Rgb designed;
        Rgb background;
    } cases[] = {
        {"dark red on a light grey", 0x800000, 0xEFEFEF},
        {"dark red on a dark grey", 0x800000, 0x353535},
        {"black on a dark grey", 0x000000, 0x2A2A2A},
        {"blue on black (high contrast)", 0x0000FF, 0x000000},
        {"blue on a light grey", 0x0000FF, 0xF0F0F0},
        {"white on white", 0xFFFFFF, 0xFFFFFF},
        {"dark red on a mid grey", 0x800000, 0x808080},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Rgb shown = ReadableOn(c.designed, c.background);
        EXPECT_GE(ContrastRatio(shown, c.background), 4.5);
        if (ContrastRatio(c.designed, c.background) >= 4.5) {
            EXPECT_EQ(shown, c.designed);
        }
    }
}

TEST(ReadableOn, ALightenedDarkRedStaysARed)
{
    const Rgb shown = ReadableOn(0x800000, 0x353535);
    EXPECT_GT(red(shown), green(shown) + 40);
    EXPECT_EQ(green(shown), blue(shown));
    // Just far enough: not simply white.
    EXPECT_LT(ContrastRatio(shown, 0x353535), 6.0);
}

TEST(KeepOnScreen, LeavesAReachablePositionAndMovesALostOneOntoTheNearestScreen)
{
    const std::vector<ScreenRect> oneScreenWithPanel{{0, 30, 1280, 770}};
    const std::vector<ScreenRect> twoScreens{{0, 0, 1280, 800}, {1280, 0, 1920, 1080}};
    const struct
    {
        const char* what;
        ScreenRect frame;
        std::vector<ScreenRect> screens;
        int x;
        int y;
    } cases[] = {
        {"inside", {60, 40, 450, 600}, oneScreenWithPanel, 60, 40},
        {"saved under the top panel", {0, 0, 450, 600}, oneScreenWithPanel, 0, 30},
        {"on a screen that is gone", {3000, 200, 450, 600}, oneScreenWithPanel, 830, 200},
        {"above and left of everything", {-900, -700, 450, 600}, oneScreenWithPanel, 0, 30},
        {"on the second screen", {2000, 300, 450, 600}, twoScreens, 2000, 300},
        {"across the two screens", {1000, 100, 450, 600}, twoScreens, 1000, 100},
        {"larger than the screen", {-50, 500, 1400, 900}, oneScreenWithPanel, 0, 30},
        {"no screens known", {-50, -50, 450, 600}, {}, -50, -50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ScreenRect placed = KeepOnScreen(c.frame, c.screens);
        EXPECT_EQ(placed.x, c.x);
        EXPECT_EQ(placed.y, c.y);
        EXPECT_EQ(placed.width, c.frame.width);
    }
}

} // namespace
} // namespace tavlor
