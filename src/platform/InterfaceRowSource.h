#pragma once

#include <cstdint>
#include <span>

namespace tavlor {

// The four fields of an interface-table row the program reads, plus the interface index
// (to notice that the row at a position is another interface) and the full link speed.
struct IfRow
{
    std::uint32_t dwIndex = 0;       // interface index
    std::uint32_t dwPhysAddrLen = 0; // 0 for loopback and links without a hardware address
    std::uint32_t dwSpeed = 0;       // bit/s, saturated at 0xFFFFFFFF when the true figure is larger
    std::uint64_t speed64 = 0;       // bit/s in full (10 Gbit/s does not fit 32 bits); 0 = unknown
    std::uint32_t dwInOctets = 0;    // low 32 bits of the received-bytes counter
    std::uint32_t dwOutOctets = 0;   // low 32 bits of the sent-bytes counter
};

inline constexpr std::uint32_t kNoError = 0;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorNotSupported = 50;
// Byte sizes of the Windows table layout: a 32-bit row count followed by 860-byte rows.
inline constexpr std::uint32_t kIfTableHeaderBytes = 4;
inline constexpr std::uint32_t kIfRowBytes = 860;

inline constexpr std::uint32_t ifTableBytesFor(std::uint32_t rows)
{
    return kIfTableHeaderBytes + rows * kIfRowBytes;
}

// The contract of GetIfTable. `size` is in bytes of the Windows layout (ifTableBytesFor).
// - rows empty (no buffer): write the bytes needed into size, return 122.
// - size too small for the current table: write the bytes needed into size, return 122.
// - otherwise: write the rows (sorted by dwIndex when `sorted`), set numEntries, return 0.
// Any other return value is a failure. `rows.size()` is never smaller than what `size` claims.
class InterfaceRowSource
{
public:
    virtual ~InterfaceRowSource() = default;
    virtual std::uint32_t getIfTable(std::span<IfRow> rows, std::uint32_t& numEntries, std::uint32_t& size,
                                     bool sorted) = 0;
};

} // namespace tavlor
