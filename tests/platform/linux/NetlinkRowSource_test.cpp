#include "platform/linux/NetlinkRowSource.h"

#include <gtest/gtest.h>

#include <net/if.h>

#include <vector>

namespace tavlor {
namespace {

std::vector<IfRow> readTable(NetlinkRowSource& source)
{
    std::uint32_t entries = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(source.getIfTable({}, entries, size, true), kErrorInsufficientBuffer);
    std::vector<IfRow> rows(size / kIfRowBytes + 4);
    size = ifTableBytesFor(static_cast<std::uint32_t>(rows.size()));
    EXPECT_EQ(source.getIfTable(rows, entries, size, true), kNoError);
    rows.resize(entries);
    return rows;
}

TEST(NetlinkRowSource, SizeQueryReportsTheBytesOfTheWindowsLayout)
{
    NetlinkRowSource source;
    std::uint32_t entries = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(source.getIfTable({}, entries, size, true), kErrorInsufficientBuffer);
    EXPECT_GE(size, ifTableBytesFor(1));
    EXPECT_EQ((size - kIfTableHeaderBytes) % kIfRowBytes, 0u);

    // A buffer one row short is too small and learns the size again.
    const std::uint32_t rowsNeeded = (size - kIfTableHeaderBytes) / kIfRowBytes;
    std::vector<IfRow> rows(rowsNeeded);
    std::uint32_t small = ifTableBytesFor(rowsNeeded - 1);
    EXPECT_EQ(source.getIfTable(rows, entries, small, true), kErrorInsufficientBuffer);
    EXPECT_EQ(small, size);
}

TEST(NetlinkRowSource, LoopbackIsListedWithoutAHardwareAddress)
{
    NetlinkRowSource source;
    const std::vector<IfRow> rows = readTable(source);
    const unsigned loIndex = if_nametoindex("lo");
    ASSERT_NE(loIndex, 0u);
    bool found = false;
    for (const IfRow& row : rows) {
        if (row.dwIndex == loIndex) {
            found = true;
            EXPECT_EQ(row.dwPhysAddrLen, 0u);
            EXPECT_EQ(row.speed64, 0u);
        }
    }
    EXPECT_TRUE(found);
}

TEST(NetlinkRowSource, RowsComeInInterfaceIndexOrderWithOneRowPerLink)
{
    NetlinkRowSource source;
    const std::vector<IfRow> rows = readTable(source);
    ASSERT_FALSE(rows.empty());
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_LT(rows[i - 1].dwIndex, rows[i].dwIndex);
    }
    struct if_nameindex* names = if_nameindex();
    ASSERT_NE(names, nullptr);
    std::size_t links = 0;
    for (auto* n = names; n->if_index != 0; ++n) {
        ++links;
    }
    if_freenameindex(names);
    EXPECT_EQ(rows.size(), links);
}

TEST(NetlinkRowSource, RepeatedReadsReuseTheSocketAndStayConsistent)
{
    NetlinkRowSource source;
    const std::vector<IfRow> first = readTable(source);
    for (int i = 0; i < 50; ++i) {
        const std::vector<IfRow> again = readTable(source);
        ASSERT_EQ(again.size(), first.size());
        for (std::size_t r = 0; r < again.size(); ++r) {
            EXPECT_EQ(again[r].dwIndex, first[r].dwIndex);
        }
    }
}

} // namespace
} // namespace tavlor
