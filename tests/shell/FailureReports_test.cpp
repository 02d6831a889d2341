#include "shell/FailureReports.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using Cause = FailureReports::Cause;
const std::string kSaveFailed = "nach /home/u/data/data.ini kann nicht geschrieben werden";

std::vector<std::string> drain(FailureReports& reports)
{
    std::vector<std::string> shown;
    while (std::optional<std::string> text = reports.next()) {
        shown.push_back(*text);
    }
    return shown;
}

TEST(FailureReports, ALastingCauseIsShownOnceUntilItEnds)
{
    FailureReports reports;
    for (int save = 0; save < 5; ++save) {
        reports.report(Cause::Save, kSaveFailed);
    }
    EXPECT_EQ(drain(reports), std::vector<std::string>{kSaveFailed});
    reports.report(Cause::Save, kSaveFailed); // five minutes later, still write-protected
    EXPECT_TRUE(reports.empty());
    reports.resolved(Cause::Save);
    EXPECT_TRUE(reports.empty()); // a successful save says nothing
    reports.report(Cause::Save, kSaveFailed);
    EXPECT_EQ(drain(reports), std::vector<std::string>{kSaveFailed});
}

TEST(FailureReports, CausesQueueInOrderAndAnEndedCauseLeavesTheQueue)
{
    FailureReports reports;
    reports.report(Cause::DataFilePlace, "place");
    reports.report(Cause::Save, kSaveFailed);
    reports.report(Cause::Tick, "tick broke");
    reports.report(Cause::Tick, "tick broke differently");
    reports.resolved(Cause::Save);
    EXPECT_EQ(drain(reports), (std::vector<std::string>{"place", "tick broke", "tick broke differently"}));
}

} // namespace
} // namespace tavlor
