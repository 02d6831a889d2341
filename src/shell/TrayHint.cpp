#include "shell/TrayHint.h"

#include "accounting/KvString.h"
#include "accounting/TickReading.h"
#include "accounting/ViewModel.h"

namespace tavlor {

namespace {
constexpr const char* kCrLf = "\r\n";

std::string traffic(const std::string& text)
{
    return " (Traffic: " + text + ")";
}
} // namespace

std::optional<std::string> TrayHintText(const TickReading& reading, int choice, const NumberFormat& numbers)
{
    if (choice < 0 || choice > 2) {
        return std::nullopt;
    }
    // Choice 0 shows the traffic since the last reset, the other two the session's.
    const std::string down =
        FormatSpeed(numbers, reading.downSpeed) +
        traffic(TrafficText(reading, choice == 0 ? Traffic::TotalDown : Traffic::SessionDown, numbers));
    const std::string up =
        FormatSpeed(numbers, reading.upSpeed) +
        traffic(TrafficText(reading, choice == 0 ? Traffic::TotalUp : Traffic::SessionUp, numbers));
    switch (choice) {
    case 0:
        return "Zeit: " + FormatDuration(reading.total, true) + kCrLf + "Down: " + down + kCrLf + "Up: " + up;
    case 1:
        return "Zeit: " + FormatDuration(reading.today, true) + kCrLf + " Down: " + down + kCrLf +
               " Up: " + up;
    default:
        return "Zeit " + FormatDuration(reading.session, true) + kCrLf + " Down: " + down + kCrLf +
               "Up: " + up;
    }
}

void ComposeTrayHint(const TickReading& reading, const NumberFormat& numbers, ViewModel& view)
{
    if (std::optional<std::string> hint = TrayHintText(reading, view.itemIndex("rGroup"), numbers)) {
        view.setHint(kTrayIcon, std::move(*hint));
    }
}

std::string TrayTooltipText(std::string_view hint)
{
    hint = hint.substr(0, hint.find('|'));
    std::size_t chars = 0;
    std::size_t pos = 0;
    while (pos < hint.size() && chars < kTrayTipMaxChars) {
        ++pos;
        // Continuation bytes belong to the character already counted.
        while (pos < hint.size() && (static_cast<unsigned char>(hint[pos]) & 0xC0) == 0x80) {
            ++pos;
        }
        ++chars;
    }
    return std::string(hint.substr(0, pos));
}

} // namespace tavlor
