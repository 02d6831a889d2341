#include "platform/linux/ProcSystemTimes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tavlor::platform {
namespace {

namespace fs = std::filesystem;

class ProcSystemTimesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "tavlor-stat-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string writeStat(const std::string& text)
    {
        const std::string path = (m_dir / "stat").string();
        std::ofstream(path) << text;
        return path;
    }

    fs::path m_dir;
};

TEST_F(ProcSystemTimesTest, IdleIsIdlePlusIowaitOfTheCpuLineIn100nsUnits)
{
    const std::string path =
        writeStat("cpu  500 10 300 1000 50 1 2 0 0 0\ncpu0 250 5 150 500 25 0 1 0 0 0\n");
    ProcSystemTimes times(path, 100, 2);
    const std::optional<CpuTimes> read = times.cpuTimes();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->idleTime100ns, 1050 * 100000);
    EXPECT_EQ(read->processors, 2);
    EXPECT_GT(read->systemTime100ns, 0);

    // A tick rate that does not divide 10^7 evenly still converts without losing the rest.
    ProcSystemTimes odd(path, 300, 1);
    EXPECT_EQ(odd.cpuTimes()->idleTime100ns, 35000000);
}

TEST_F(ProcSystemTimesTest, OldKernelLineWithoutIowait)
{
    ProcSystemTimes times(writeStat("cpu 1 2 3 4\n"), 100, 1);
    ASSERT_TRUE(times.cpuTimes());
    EXPECT_EQ(times.cpuTimes()->idleTime100ns, 400000);
}

TEST_F(ProcSystemTimesTest, UnreadableOrMalformedStatGivesNothing)
{
    EXPECT_FALSE(ProcSystemTimes((m_dir / "missing").string(), 100, 1).cpuTimes());
    EXPECT_FALSE(ProcSystemTimes(writeStat(""), 100, 1).cpuTimes());
    EXPECT_FALSE(ProcSystemTimes(writeStat("cpu0 1 2 3 4 5\n"), 100, 1).cpuTimes());
    EXPECT_FALSE(ProcSystemTimes(writeStat("cpu 1 2 x 4 5\n"), 100, 1).cpuTimes());
}

TEST(ProcSystemTimes, RealSystemCountsForward)
{
    ProcSystemTimes times;
    const std::optional<CpuTimes> first = times.cpuTimes();
    ASSERT_TRUE(first);
    EXPECT_GE(first->processors, 1);
    const std::optional<CpuTimes> second = times.cpuTimes();
    ASSERT_TRUE(second);
    EXPECT_GE(second->idleTime100ns, first->idleTime100ns);
    EXPECT_GT(second->systemTime100ns, first->systemTime100ns);
}

TEST(ProcSystemTimes, MillisecondsSinceBootAgreeWithProcUptime)
{
    double uptimeSeconds = 0;
    std::ifstream("/proc/uptime") >> uptimeSeconds;
    ASSERT_GT(uptimeSeconds, 0);
    const double ms = static_cast<double>(ProcSystemTimes().millisecondsSinceBoot());
    EXPECT_NEAR(ms, uptimeSeconds * 1000, 2000);
}

} // namespace
} // namespace tavlor::platform
