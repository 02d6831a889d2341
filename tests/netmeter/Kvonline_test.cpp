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
    EXPECT_EQ(sampler.lastReading().ifIndex, 3u);
    EXPECT_EQ(sampler.lastReading().position, 3);
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

TEST_F(Sampler, CountersAreReadSignedWhileTheReadingKeepsTheUnsignedValue)
{
    source.byIndex(2).dwInOctets = 3000000000u;
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), -1294967296.0);
    EXPECT_TRUE(sampler.lastReading().ok);
    EXPECT_EQ(sampler.lastReading().counter, 3000000000u);
    EXPECT_EQ(sampler.GetAdapterText('i', 0, 1), "");

    // 0xFFFFFFFF reads as -1 like a failure; only the reading tells them apart.
    source.byIndex(3).dwOutOctets = 0xFFFFFFFFu;
    EXPECT_EQ(sampler.GetAdapterValue('o', 0, 1), -1.0);
    EXPECT_TRUE(sampler.lastReading().ok);
    EXPECT_EQ(sampler.lastReading().counter, 0xFFFFFFFFu);
}

TEST_F(Sampler, DownloadSizeTextsUseTheirThresholds)
{
    const std::pair<std::uint32_t, const char*> cases[] = {{1023, ""},           {1024, "1 KB"},
                                                           {1536, "1,5 KB"},     {999999, "976,56 KB"},
                                                           {2500000, "2,44 MB"}, {1500000000, "1,46 GB"}};
    for (const auto& [counter, text] : cases) {
        source.byIndex(2).dwInOctets = counter;
        EXPECT_EQ(sampler.GetAdapterText('i', 0, 1), text) << counter;
    }
}

TEST_F(Sampler, UploadSizeTextsStartAtOneThousandBytes)
{
    source.byIndex(3).dwOutOctets = 999;
    EXPECT_EQ(sampler.GetAdapterText('o', 0, 1), "");
    source.byIndex(3).dwOutOctets = 1000;
    EXPECT_EQ(sampler.GetAdapterText('O', 0, 1), "0,97 KB");
    source.byIndex(3).dwOutOctets = 1000000;
    EXPECT_EQ(sampler.GetAdapterText('o', 0, 1), "0,97 MB");
}

TEST_F(Sampler, LinkSpeedIsReadUnsignedAndInFull)
{
    const std::pair<IfRow, const char*> cases[] = {
        {MakeRow(2, 6, 0, 0, 100000000), "100Mbit"},
        {MakeRow(2, 6, 0, 0, 0), "0Mbit"},
        {MakeRow(2, 6, 0, 0, 1544000), "1,544Mbit"},
        {MakeRow(2, 6, 0, 0, 10000000000ULL), "10000Mbit"},
    };
    for (const auto& [row, text] : cases) {
        source.rows[1] = row;
        EXPECT_EQ(sampler.GetAdapterText('s', 0, 1), text);
        EXPECT_EQ(sampler.GetAdapterValue('S', 0, 1), static_cast<double>(row.speed64) / 1e6);
    }
    // 2.5 Gbit/s fits 32 bits only unsigned; a source without the full figure still shows it.
    source.rows[1] = MakeRow(2, 6, 0, 0, 0);
    source.rows[1].dwSpeed = 2500000000u;
    EXPECT_EQ(sampler.GetAdapterText('s', 0, 1), "2500Mbit");
    EXPECT_EQ(sampler.lastReading().linkSpeedBps, 2500000000u);
}

TEST_F(Sampler, LettersAreCaseInsensitiveAndUnknownLettersFail)
{
    EXPECT_EQ(sampler.GetAdapterValue('I', 0, 1), sampler.GetAdapterValue('i', 0, 1));
    EXPECT_EQ(sampler.GetAdapterValue('x', 0, 1), -1.0);
    EXPECT_FALSE(sampler.lastReading().ok);
    EXPECT_EQ(sampler.GetAdapterText('x', 0, 1), "0 Bytes");
}

TEST_F(Sampler, AFailedTableReadGivesTheFailureValuesAndKeepsTheAdapter)
{
    sampler.GetAdapterValue('i', 0, 1);
    source.scriptedResults = {31, 31};
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), -1.0);
    EXPECT_FALSE(sampler.lastReading().ok);
    EXPECT_EQ(sampler.GetAdapterText('s', 0, 1), "0 Bytes");
    EXPECT_EQ(sampler.adapterBase(), 2);
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), 2100.0);
}

TEST_F(Sampler, RowsOutsideTheSnapshotAreFailures)
{
    source.rows.pop_back(); // one adapter: the upload row (base + 1) does not exist
    EXPECT_EQ(sampler.GetAdapterValue('o', 0, 1), -1.0);
    EXPECT_FALSE(sampler.lastReading().ok);
    EXPECT_EQ(sampler.GetAdapterText('o', 0, 1), "0 Bytes");
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, -5), 2100.0);
    EXPECT_EQ(sampler.GetAdapterValue('o', 0, -1), 12.0);
    EXPECT_EQ(sampler.GetAdapterValue('o', 0, -2), -1.0);
    EXPECT_EQ(sampler.GetAdapterValue('o', 0, 0x7FFFFFFF), -1.0);
}

TEST_F(Sampler, WithoutAnAdapterRowEveryQueryDiscoversAgain)
{
    source.rows = {MakeRow(1, 0, 5, 5, 0)};
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), -1.0);
    EXPECT_EQ(sampler.adapterBase(), -11);
    const int queries = source.sizeQueries;
    EXPECT_EQ(sampler.GetAdapterText('s', 0, 1), "0 Bytes");
    EXPECT_EQ(source.sizeQueries, queries + 1);

    source.rows.push_back(MakeRow(4, 6, 777, 0));
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), 777.0);
    EXPECT_EQ(sampler.adapterBase(), 2);
}

TEST_F(Sampler, AGrownTableIsSizedAgainAndTheQueryStillAnswers)
{
    sampler.GetAdapterValue('i', 0, 1);
    const int queries = source.sizeQueries;
    source.rows.push_back(MakeRow(9, 0, 1, 1, 0)); // a dial-up link came up
    EXPECT_EQ(sampler.GetAdapterValue('i', 0, 1), 2100.0);
    EXPECT_EQ(source.sizeQueries, queries + 1);
    EXPECT_EQ(sampler.numEntries(), 4u);
    // The size handed over never claims more than the buffer holds.
    EXPECT_LE(source.lastSizeGiven, ifTableBytesFor(static_cast<std::uint32_t>(source.lastBufferRows)));
    EXPECT_EQ(sampler.GetAdapterValue('o', 0, 1), 3200.0);
    EXPECT_EQ(source.sizeQueries, queries + 1);
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
