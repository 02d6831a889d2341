#include "netmeter/Kvonline.h"

#include "FakeRowSource.h"
#include "GermanLocale.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using test::MakeRow;

class Sampler : public ::testing::Test
{
protected:
    Sampler()
    {
        // Loopback first (no hardware address), then adapters A and B.
        source.rows = {MakeRow(1, 0, 11, 12, 0), MakeRow(2, 6, 2100, 2200, 100000000),
                       MakeRow(3, 6, 3100, 3200, 54000000)};
    }
    test::GermanLocale german;
    NumberFormat numbers = NumberFormat::fromLocale(german);
    test::FakeRowSource source;
    InterfaceSampler sampler{source, numbers};
};

TEST_F(Sampler, DefaultMethodsReadDownloadFromTheFirstAdapterAndUploadFromTheNext)
{
    EXPECT_EQ(sampler.adapterBase(), 0);
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), 2100.0);
    EXPECT_EQ(sampler.adapterBase(), 2);
    EXPECT_EQ(sampler.GetAdapterValue('o', 0, 1), 3200.0);
    EXPECT_EQ(sampler.methodRow('o', 0, 1)->index, 3u);
    EXPECT_EQ(sampler.GetAdapterValue('s', 0, 1), 100.0);
}

TEST_F(Sampler, SwappedMethodsSwapTheRowsButNotTheSpeedRow)
{
    EXPECT_EQ(sampler.GetAdapterValue('i', 1, 0), 3100.0);
    EXPECT_EQ(sampler.GetAdapterValue('o', 1, 0), 2200.0);
    EXPECT_EQ(sampler.GetAdapterText('s', 1, 0), "100Mbit");
}

TEST_F(Sampler, RowsAreTakenInInterfaceIndexOrder)
{
    std::swap(source.rows[0], source.rows[2]);
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), 2100.0);
    EXPECT_EQ(sampler.adapterBase(), 2);
}

TEST_F(Sampler, ThirtyTwoBitCountersAreReadSignedAndFullWidthOnesWhole)
{
    struct Case
    {
        std::uint8_t bits;
        std::uint64_t counter;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {32, 3000000000u, -1294967296.0, ""},
        {32, 0xFFFFFFFFu, -1.0, ""}, // reads like a failure, as on the system it mimics
        {64, 3000000000u, 3000000000.0, "2,92 GB"},
        {64, 12884901888ULL, 12884901888.0, "12,58 GB"},
    };
    for (const Case& c : cases) {
        source.byIndex(2) = MakeRow(2, 6, c.counter, 0, 100000000, c.bits);
        EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), c.value) << c.counter;
        EXPECT_EQ(sampler.GetAdapterText('i', 0, 1), c.text) << c.counter;
    }
}

TEST_F(Sampler, DownloadSizeTextsUseTheirThresholds)
{
    const std::pair<std::uint32_t, const char*> cases[] = {{1023, ""},           {1024, "1 KB"},
                                                           {1536, "1,5 KB"},     {999999, "976,56 KB"},
                                                           {2500000, "2,44 MB"}, {1500000000, "1,46 GB"}};
    for (const auto& [counter, text] : cases) {
        source.byIndex(2).rxBytes = counter;
        EXPECT_EQ(sampler.GetAdapterText('i', 0, 1), text) << counter;
    }
}

TEST_F(Sampler, UploadSizeTextsStartAtOneThousandBytes)
{
    source.byIndex(3).txBytes = 999;
    EXPECT_EQ(sampler.GetAdapterText('o', 0, 1), "");
    source.byIndex(3).txBytes = 1000;
    EXPECT_EQ(sampler.GetAdapterText('O', 0, 1), "0,97 KB");
    source.byIndex(3).txBytes = 1000000;
    EXPECT_EQ(sampler.GetAdapterText('o', 0, 1), "0,97 MB");
}

TEST_F(Sampler, LinkSpeedIsShownInFull)
{
    const std::pair<std::uint64_t, const char*> cases[] = {
        {100000000, "100Mbit"},        {0, "0Mbit"}, {1544000, "1,544Mbit"}, {2500000000u, "2500Mbit"},
        {10000000000ULL, "10000Mbit"},
    };
    for (const auto& [speed, text] : cases) {
        source.rows[1].speedBps = speed;
        EXPECT_EQ(sampler.GetAdapterText('s', 0, 1), text);
        EXPECT_EQ(sampler.GetAdapterValue('S', 0, 1), static_cast<double>(speed) / 1e6);
    }
}

TEST_F(Sampler, LettersAreCaseInsensitiveAndUnknownLettersFail)
{
    EXPECT_EQ(sampler.GetAdapterValue('I', 0, 1), sampler.GetAdapterValue('i', 0, 1));
    EXPECT_EQ(sampler.GetAdapterValue('x', 0, 1), -1.0);
    EXPECT_EQ(sampler.GetAdapterText('x', 0, 1), "0 Bytes");
}

TEST_F(Sampler, AFailedTableReadGivesTheFailureValuesAndKeepsTheAdapter)
{
    sampler.GetAdapterValue('i', 0, 1);
    source.failures = {true, true};
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), -1.0);
    EXPECT_FALSE(sampler.haveSnapshot());
    EXPECT_EQ(sampler.GetAdapterText('s', 0, 1), "0 Bytes");
    EXPECT_EQ(sampler.adapterBase(), 2);
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), 2100.0);
}

TEST_F(Sampler, RowsOutsideTheSnapshotAreFailures)
{
    source.rows.pop_back(); // one adapter: the upload row (base + 1) does not exist
    EXPECT_EQ(sampler.GetAdapterValue('o', 0, 1), -1.0);
    EXPECT_EQ(sampler.GetAdapterText('o', 0, 1), "0 Bytes");
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, -5), 2100.0);
    EXPECT_EQ(sampler.GetAdapterValue('o', 0, 0x7FFFFFFF), -1.0);
}

// The row before the first adapter is loopback on Linux: a method below 0 never reaches it.
TEST_F(Sampler, AMethodBelowZeroReadsNoRow)
{
    for (const std::int32_t method : {-1, -2, -0x7FFFFFFF - 1}) {
        EXPECT_EQ(sampler.GetAdapterValue('o', 0, method), -1.0) << method;
        EXPECT_EQ(sampler.GetAdapterValue('i', method, 1), -1.0) << method;
        EXPECT_EQ(sampler.GetAdapterText('o', 0, method), "0 Bytes") << method;
        EXPECT_EQ(sampler.methodRow('i', method, 1), nullptr) << method;
    }
    EXPECT_NE(sampler.methodRow('i', 0, -1), nullptr);
}

TEST_F(Sampler, WithoutAnAdapterRowEveryQueryDiscoversAgain)
{
    source.rows = {MakeRow(1, 0, 5, 5, 0)};
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), -1.0);
    EXPECT_EQ(sampler.adapterBase(), -11);
    EXPECT_EQ(sampler.GetAdapterText('s', 0, 1), "0 Bytes");

    source.rows.push_back(MakeRow(4, 6, 777, 0));
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), 777.0);
    EXPECT_EQ(sampler.adapterBase(), 2);
}

TEST_F(Sampler, AGrownTableStillAnswersFromTheSameAdapterBase)
{
    sampler.GetAdapterValue('i', 0, 1);
    source.rows.push_back(MakeRow(9, 0, 1, 1, 0)); // a dial-up link came up
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), 2100.0);
    EXPECT_EQ(sampler.links().size(), 4u);
    EXPECT_EQ(sampler.GetAdapterValue('o', 0, 1), 3200.0);
}

TEST_F(Sampler, TheOnlineLinkIsTheDialUpDeviceOrTheDefaultRoutesLink)
{
    test::FakeRoutes routes;
    test::FakeDialup dialup;
    InterfaceSampler online(source, numbers, &routes, &dialup);
    source.rows.push_back(MakeRow(7, 0, 70, 71));
    source.byIndex(7).name = "ppp0";
    ASSERT_TRUE(online.refresh());
    EXPECT_EQ(online.onlineLink(false), nullptr);
    EXPECT_EQ(online.onlineLink(true), nullptr);
    dialup.name = "ppp0";
    routes.index = 3;
    EXPECT_EQ(online.onlineLink(false)->index, 7u);
    EXPECT_EQ(online.onlineLink(true)->index, 3u);
    routes.index = 42; // a route over a link the snapshot does not know
    EXPECT_EQ(online.onlineLink(true), nullptr);
}

TEST_F(Sampler, TheFirstWorkingAdapterSkipsLoopbackLinksAndLinksThatAreDown)
{
    source.rows[0].kind = LinkKind::Loopback;
    source.rows[0].hwAddrLen = 6; // the kernel gives loopback a zero address
    source.byIndex(2).up = false;
    ASSERT_TRUE(sampler.refresh());
    EXPECT_EQ(sampler.adapterBase(), 2);
    EXPECT_EQ(sampler.firstUpAdapter()->index, 3u);
}

TEST_F(Sampler, AShrunkTableAnswersFromTheRowsStillThere)
{
    sampler.GetAdapterValue('i', 0, 1);
    source.rows.pop_back();
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), 2100.0);
    EXPECT_EQ(sampler.GetAdapterValue('o', 0, 1), -1.0);
}

} // namespace
} // namespace tavlor
