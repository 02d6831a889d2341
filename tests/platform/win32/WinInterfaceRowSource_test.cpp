#include "platform/win32/WinInterfaceRowSource.h"

#include "accounting/KvString.h"
#include "netmeter/Kvonline.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <gtest/gtest.h>

#include <vector>

namespace tavlor::win32 {
namespace {

// The system's own table, read directly, to compare with what the row source hands on.
std::vector<MIB_IFROW> systemRows()
{
    ULONG size = 0;
    GetIfTable(nullptr, &size, TRUE);
    std::vector<unsigned char> buffer(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (GetIfTable(table, &size, TRUE) != NO_ERROR) {
        return {};
    }
    return {table->table, table->table + table->dwNumEntries};
}

struct Table
{
    std::uint32_t result = 0;
    std::uint32_t size = 0;
    std::uint32_t entries = 0;
    std::vector<IfRow> rows;
};

// The two-step use of the sampler: ask for the size, then read into a buffer of that size.
Table readTable(WinInterfaceRowSource& source)
{
    Table t;
    std::uint32_t ignored = 0;
    EXPECT_EQ(source.getIfTable({}, ignored, t.size, true), kErrorInsufficientBuffer);
    t.rows.resize((t.size - kIfTableHeaderBytes) / kIfRowBytes);
    t.result = source.getIfTable(t.rows, t.entries, t.size, true);
    t.rows.resize(t.entries);
    return t;
}

TEST(WinInterfaceRowSource, HandsOnTheSystemRowsInIndexOrderWithLoopbackFirst)
{
    WinInterfaceRowSource source;
    const Table table = readTable(source);
    const std::vector<MIB_IFROW> expected = systemRows();

    ASSERT_EQ(table.result, kNoError);
    ASSERT_GE(table.rows.size(), 2u) << "expects the loopback and at least one adapter";
    EXPECT_EQ(table.size, ifTableBytesFor(static_cast<std::uint32_t>(table.rows.size())));
    ASSERT_EQ(table.rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(table.rows[i].dwIndex, expected[i].dwIndex) << "row " << i;
        EXPECT_EQ(table.rows[i].dwPhysAddrLen, expected[i].dwPhysAddrLen) << "row " << i;
        EXPECT_EQ(table.rows[i].dwSpeed, expected[i].dwSpeed) << "row " << i;
        if (i > 0) {
            EXPECT_LT(table.rows[i - 1].dwIndex, table.rows[i].dwIndex);
        }
    }
    EXPECT_EQ(expected[0].dwType, static_cast<DWORD>(MIB_IF_TYPE_LOOPBACK));
    EXPECT_EQ(table.rows[0].dwPhysAddrLen, 0u);
    EXPECT_GT(table.rows[1].dwPhysAddrLen, 0u);
}

TEST(WinInterfaceRowSource, TooSmallASizeIsAnsweredWithTheSizeNeeded)
{
    WinInterfaceRowSource source;
    const Table full = readTable(source);
    ASSERT_EQ(full.result, kNoError);

    std::vector<IfRow> rows(full.rows.size());
    std::uint32_t entries = 0;
    std::uint32_t size = ifTableBytesFor(1);
    EXPECT_EQ(source.getIfTable(rows, entries, size, true), kErrorInsufficientBuffer);
    EXPECT_EQ(size, full.size);
}

TEST(WinInterfaceRowSource, NeverWritesMoreRowsThanTheBufferHoldsWhateverTheSizeClaims)
{
    WinInterfaceRowSource source;
    const Table full = readTable(source);
    ASSERT_GE(full.rows.size(), 2u);

    // The buffer holds one row less than the size handed in claims.
    std::vector<IfRow> rows(full.rows.size() + 1);
    const std::span<IfRow> shortBuffer(rows.data(), full.rows.size() - 1);
    std::uint32_t entries = 0;
    std::uint32_t size = full.size;
    EXPECT_EQ(source.getIfTable(shortBuffer, entries, size, true), kErrorInsufficientBuffer);
    EXPECT_EQ(size, full.size);
    EXPECT_EQ(rows[full.rows.size() - 1].dwIndex, 0u) << "a row beyond the buffer was written";
}

TEST(WinInterfaceRowSource, DrivesTheSamplerToTheFirstAdapterAfterTheLoopback)
{
    WinInterfaceRowSource source;
    const NumberFormat numbers(",");
    InterfaceSampler sampler(source, numbers);

    const double download = sampler.GetAdapterValue('i', 0, 1);
    EXPECT_EQ(sampler.adapterBase(), 2);
    EXPECT_NE(download, -1.0);
    EXPECT_TRUE(sampler.lastReading().ok);
    EXPECT_EQ(sampler.lastReading().position, 2);
    EXPECT_NE(sampler.GetAdapterText('s', 0, 1), "0 Bytes");
}

} // namespace
} // namespace tavlor::win32
