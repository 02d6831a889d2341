#pragma once

#include "platform/InterfaceRowSource.h"

#include <vector>

namespace tavlor::win32 {

// GetIfTable of IP Helper, translated into the rows the sampler reads.
class WinInterfaceRowSource final : public InterfaceRowSource
{
public:
    std::uint32_t getIfTable(std::span<IfRow> rows, std::uint32_t& numEntries, std::uint32_t& size,
                             bool sorted) override;

private:
    // The Windows table lands here first; it grows only when a larger table is asked for,
    // so the once-a-second queries do not allocate.
    std::vector<unsigned char> m_buffer;
};

} // namespace tavlor::win32
