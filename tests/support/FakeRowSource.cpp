#include "FakeRowSource.h"

#include <algorithm>
#include <stdexcept>

namespace tavlor::test {

std::uint32_t FakeRowSource::getIfTable(std::span<IfRow> buffer, std::uint32_t& numEntries,
                                        std::uint32_t& size, bool sorted)
{
    ++calls;
    lastSizeGiven = size;
    lastBufferRows = buffer.size();
    const std::uint32_t needed = ifTableBytesFor(static_cast<std::uint32_t>(rows.size()));
    if (buffer.empty()) {
        ++sizeQueries;
        size = needed;
        return kErrorInsufficientBuffer;
    }
    if (!scriptedResults.empty()) {
        const std::uint32_t result = scriptedResults.front();
        scriptedResults.pop_front();
        if (result != kNoError) {
            return result;
        }
    }
    if (size < needed) {
        size = needed;
        return kErrorInsufficientBuffer;
    }
    if (buffer.size() < rows.size()) {
        throw std::logic_error("size claims more rows than the buffer holds");
    }
    std::vector<IfRow> out = rows;
    if (sorted) {
        std::stable_sort(out.begin(), out.end(),
                         [](const IfRow& a, const IfRow& b) { return a.dwIndex < b.dwIndex; });
    }
    std::copy(out.begin(), out.end(), buffer.begin());
    numEntries = static_cast<std::uint32_t>(out.size());
    return kNoError;
}

IfRow& FakeRowSource::byIndex(std::uint32_t ifIndex)
{
    for (IfRow& row : rows) {
        if (row.dwIndex == ifIndex) {
            return row;
        }
    }
    throw std::out_of_range("no such interface index");
}

IfRow MakeRow(std::uint32_t ifIndex, std::uint32_t physAddrLen, std::uint32_t in, std::uint32_t out,
              std::uint64_t speedBps)
{
    IfRow row;
    row.dwIndex = ifIndex;
    row.dwPhysAddrLen = physAddrLen;
    row.dwInOctets = in;
    row.dwOutOctets = out;
    row.speed64 = speedBps;
    row.dwSpeed = static_cast<std::uint32_t>(std::min<std::uint64_t>(speedBps, 0xFFFFFFFFULL));
    return row;
}

} // namespace tavlor::test
