#include "shell/CloseRules.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

struct Asker
{
    bool answer = true;
    int asked = 0;
    std::function<bool()> fn()
    {
        return [this] {
            ++asked;
            return answer;
        };
    }
};

TEST(DecideClose, MiniHidesTheCloseButtonButNotTheTrayQuit)
{
    Asker ask;
    bool quit = false;
    EXPECT_EQ(DecideClose(quit, true, true, ask.fn()), CloseVerdict::HideToTray);
    EXPECT_EQ(ask.asked, 0);
    quit = true;
    EXPECT_EQ(DecideClose(quit, true, false, ask.fn()), CloseVerdict::Close);
    EXPECT_FALSE(quit);
}

TEST(DecideClose, BeendenAsksAndOnlyJaCloses)
{
    Asker ask;
    bool quit = false;
    ask.answer = false;
    EXPECT_EQ(DecideClose(quit, false, true, ask.fn()), CloseVerdict::StayOpen);
    ask.answer = true;
    EXPECT_EQ(DecideClose(quit, false, true, ask.fn()), CloseVerdict::Close);
    EXPECT_EQ(ask.asked, 2);
    EXPECT_EQ(DecideClose(quit, false, false, ask.fn()), CloseVerdict::Close);
    EXPECT_EQ(ask.asked, 2);
}

TEST(DecideClose, ANeinToTheTrayQuitClearsTheRequestSoTheNextCloseHidesAgain)
{
    Asker ask;
    ask.answer = false;
    bool quit = true;
    EXPECT_EQ(DecideClose(quit, true, true, ask.fn()), CloseVerdict::StayOpen);
    EXPECT_FALSE(quit);
    EXPECT_EQ(DecideClose(quit, true, true, ask.fn()), CloseVerdict::HideToTray);
    EXPECT_EQ(ask.asked, 1);
}

} // namespace
} // namespace tavlor
