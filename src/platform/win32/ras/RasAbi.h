#pragma once

#include <cstddef>
#include <cstdint>

namespace tavlor {

// rasapi32.dll fills handles of the process's pointer width; with the system's 4-byte packing
// RASCONNA is 412 bytes in a 32-bit process and 416 in a 64-bit one. A narrower handle would let
// RasDialA write past it.
using RasHandle = std::uintptr_t;
inline constexpr std::size_t kRasConnSize = sizeof(void*) == 8 ? 416 : 412;

} // namespace tavlor
