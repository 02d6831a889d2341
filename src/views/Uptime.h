#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavlor {

// "<system> Uptime: W Wochen, D Tage, H h, M min, S sek." from milliseconds since boot.
// systemName is "Linux" or "Windows".
std::string UptimeText(std::uint64_t millisecondsSinceBoot, std::string_view systemName);

} // namespace tavlor
