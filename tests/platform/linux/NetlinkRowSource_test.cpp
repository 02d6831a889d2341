#include "platform/linux/NetlinkRowSource.h"

#include <gtest/gtest.h>

#include <net/if.h>

#include <algorithm>
#include <vector>

namespace tavlor {
namespace {

std::vector<LinkRow> readTable(NetlinkRowSource& source)
{
    std::vector<LinkRow> rows;
    EXPECT_TRUE(source.readLinks(rows));
    return rows;
}

TEST(NetlinkRowSource, LoopbackIsListedByKindWithoutAHardwareAddress)
{
    NetlinkRowSource source;
    const std::vector<LinkRow> rows = readTable(source);
    const unsigned loIndex = if_nametoindex("lo");
    ASSERT_NE(loIndex, 0u);
    bool found = false;
    for (const LinkRow& row : rows) {
        if (row.index == loIndex) {
            found = true;
            EXPECT_EQ(row.name, "lo");
            EXPECT_EQ(row.kind, LinkKind::Loopback);
            EXPECT_EQ(row.hwAddrLen, 0u);
            EXPECT_EQ(row.speedBps, 0u);
            EXPECT_EQ(row.counterBits, 64);
        }
    }
    EXPECT_TRUE(found);
}

TEST(NetlinkRowSource, RowsComeInInterfaceIndexOrderWithOneNamedRowPerLink)
{
    NetlinkRowSource source;
    const std::vector<LinkRow> rows = readTable(source);
    ASSERT_FALSE(rows.empty());
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_LT(rows[i - 1].index, rows[i].index);
    }
    struct if_nameindex* names = if_nameindex();
    ASSERT_NE(names, nullptr);
    std::size_t links = 0;
    for (auto* n = names; n->if_index != 0; ++n) {
        ++links;
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const LinkRow& r) { return r.index == n->if_index; });
        ASSERT_NE(row, rows.end()) << n->if_name;
        EXPECT_EQ(row->name, n->if_name);
    }
    if_freenameindex(names);
    EXPECT_EQ(rows.size(), links);
}

TEST(NetlinkRowSource, RepeatedReadsReuseTheSocketAndStayConsistent)
{
    NetlinkRowSource source;
    const std::vector<LinkRow> first = readTable(source);
    std::vector<LinkRow> again;
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(source.readLinks(again));
        ASSERT_EQ(again.size(), first.size());
        for (std::size_t r = 0; r < again.size(); ++r) {
            EXPECT_EQ(again[r].index, first[r].index);
            EXPECT_EQ(again[r].name, first[r].name);
            EXPECT_GE(again[r].rxBytes, first[r].rxBytes);
        }
    }
}

} // namespace
} // namespace tavlor
