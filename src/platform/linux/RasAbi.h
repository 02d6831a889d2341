#pragma once

#include <cstddef>
#include <cstdint>

namespace tavlor {

// The dial-up provider on Linux is the program's own, so the records keep the classic 32-bit
// layout on every build: connection handles are 32 bits wide and RASCONNA is 412 bytes.
using RasHandle = std::uint32_t;
inline constexpr std::size_t kRasConnSize = 412;

} // namespace tavlor
