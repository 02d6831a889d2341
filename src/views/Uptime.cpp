#include "views/Uptime.h"

namespace tavlor {

std::string UptimeText(std::uint64_t millisecondsSinceBoot, std::string_view systemName)
{
    const std::uint64_t t = millisecondsSinceBoot;
    // Weeks are not wrapped: a machine up for a year shows 52 weeks and more, not 0.
    const std::uint64_t weeks = t / 604800000u;
    const std::uint64_t days = (t / 86400000u) % 7;
    const std::uint64_t hours = (t / 3600000u) % 24;
    const std::uint64_t minutes = (t / 60000u) % 60;
    const std::uint64_t seconds = (t / 1000u) % 60;

    std::string text(systemName);
    text += " Uptime: " + std::to_string(weeks) + " Wochen, " + std::to_string(days) + " Tage, ";
    text += std::to_string(hours) + " h, " + std::to_string(minutes) + " min, " + std::to_string(seconds) +
            " sek.";
    return text;
}

} // namespace tavlor
