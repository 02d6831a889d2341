#include "history/LimitCut.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavlor {
namespace {

const CountedConnection kStick{CountedKind::Metered, "/ActiveConnection/4", "Stick"};
const CountedConnection kStickAgain{CountedKind::Metered, "/ActiveConnection/5", "Stick"};
const CountedConnection kModem{CountedKind::Dialup, "/ActiveConnection/9", "T-Online"};
const CountedConnection kLan{CountedKind::Gateway, "", "eth0"};

// One second of a scenario: what was counted, and whether the cut is due now.
struct Step
{
    char what; // 'o' over the limit, 'u' under it, 'x' offline, 'r' released, 'n' Trennen off
    const CountedConnection* connection;
    bool cut;
    int answer = 0; // after the second: 1 the service answers ok, -1 it fails
};

std::vector<Step> repeat(int count, Step step)
{
    return std::vector<Step>(static_cast<std::size_t>(count), step);
}

TEST(LimitCut, CutsEachActivationOnceAndNeverWhatIsNotItsOwn)
{
    struct Case
    {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"under the limit nothing", {{'u', &kStick, false}, {'u', &kModem, false}}},
        {"at 100 % once, not again while the cut is asked for",
         {{'u', &kStick, false}, {'o', &kStick, true}, {'o', &kStick, false}, {'o', &kStick, false}}},
        {"Trennen off, released, gateway, offline: never",
         {{'n', &kStick, false}, {'r', &kStick, false}, {'o', &kLan, false}, {'x', &kStick, false}}},
        {"a dial-up connection is cut as well", {{'o', &kModem, true}}},
        {"back with a new path: cut again",
         {{'o', &kStick, true, 1}, {'x', &kStick, false}, {'o', &kStickAgain, true}}},
        {"back with the same path after it was gone: cut again",
         {{'o', &kStick, true, 1}, {'x', &kStick, false}, {'x', &kStick, false}, {'o', &kStick, true}}},
        {"still counted after an answered cut: again after three seconds",
         {{'o', &kStick, true, 1}, {'o', &kStick, false}, {'o', &kStick, false}, {'o', &kStick, true}}},
        {"a failed cut is tried again",
         {{'o', &kStick, true, -1}, {'o', &kStick, false}, {'o', &kStick, false}, {'o', &kStick, true}}},
        {"another connection after a cut is cut too",
         {{'o', &kStick, true}, {'o', &kModem, true}, {'o', &kModem, false}}},
        {"released in the middle: the next activation is left alone",
         {{'o', &kStick, true, 1},
          {'x', &kStick, false},
          {'r', &kStickAgain, false},
          {'r', &kStickAgain, false}}},
    };
    for (const Case& c : cases) {
        LimitCut limit;
        int second = 0;
        for (const Step& step : c.steps) {
            const LimitSecond s{step.what != 'x', *step.connection, step.what != 'u', step.what != 'n',
                                step.what == 'r'};
            const std::optional<CountedConnection> cut = limit.decide(s);
            EXPECT_EQ(cut.has_value(), step.cut) << c.name << ", second " << second;
            if (cut) {
                EXPECT_EQ(*cut, *step.connection) << c.name;
            }
            if (step.answer != 0) {
                limit.answered(*step.connection, step.answer > 0, *step.connection);
            }
            ++second;
        }
    }
}

TEST(LimitCut, ACutNeverAnsweredIsAskedForAgainOnlyAfterHalfAMinute)
{
    LimitCut limit;
    const LimitSecond over{true, kStick, true, true, false};
    int cuts = 0;
    for (int second = 0; second <= LimitCut::kSecondsWithoutAnswer; ++second) {
        cuts += limit.decide(over) ? 1 : 0;
    }
    EXPECT_EQ(cuts, 2);
}

TEST(LimitCut, AnAnswerTellsACutFromAConnectionThatWentByItself)
{
    LimitCut limit;
    ASSERT_TRUE(limit.decide({true, kStick, true, true, false}));
    EXPECT_EQ(limit.answered(kStick, true, kStick), LimitCut::Outcome::Cut);
    EXPECT_EQ(limit.answered(kStick, false, CountedConnection{}), LimitCut::Outcome::Vanished);
    EXPECT_EQ(limit.answered(kStick, false, kStickAgain), LimitCut::Outcome::Vanished);
    EXPECT_EQ(limit.answered(kStick, false, kStick), LimitCut::Outcome::Failed);
    EXPECT_TRUE(limit.firstFailure());
    EXPECT_EQ(limit.answered(kStick, false, kStick), LimitCut::Outcome::Failed);
    EXPECT_FALSE(limit.firstFailure()); // told once per activation
    EXPECT_EQ(LimitCutText("Mobil \xE2\x80\x9E"
                           "A\xE2\x80\x9C"),
              "Limit erreicht: Verbindung \xE2\x80\x9EMobil \xE2\x80\x9E"
              "A\xE2\x80\x9C\xE2\x80\x9C getrennt.");
    EXPECT_EQ(LimitCutName({CountedKind::Dialup, "x", ""}, "ppp0"), "ppp0");
}

} // namespace
} // namespace tavlor
