#pragma once

#include "platform/InterfaceRowSource.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace tavlor::test {

// An interface table held in memory that keeps the GetIfTable contract; tests edit `rows`
// between calls and can script the result codes of the next calls that bring a buffer.
class FakeRowSource final : public InterfaceRowSource
{
public:
    std::vector<IfRow> rows;
    // Popped by each call that brings a buffer; kNoError means "answer normally".
    std::deque<std::uint32_t> scriptedResults;
    int calls = 0;
    int sizeQueries = 0;
    std::uint32_t lastSizeGiven = 0;
    std::size_t lastBufferRows = 0;

    std::uint32_t getIfTable(std::span<IfRow> buffer, std::uint32_t& numEntries, std::uint32_t& size,
                             bool sorted) override;

    IfRow& byIndex(std::uint32_t ifIndex);
};

// A row the way the tests need it most often.
IfRow MakeRow(std::uint32_t ifIndex, std::uint32_t physAddrLen, std::uint32_t in = 0, std::uint32_t out = 0,
              std::uint64_t speedBps = 100000000);

} // namespace tavlor::test
