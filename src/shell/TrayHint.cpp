#include "shell/TrayHint.h"

#include "model/TickReading.h"
#include "text/KvString.h"
#include "text/ViewModel.h"

namespace tavlor {

namespace {
constexpr const char* kCrLf = "\r\n";

std::string traffic(const std::string& text)
{
    return " (Traffic: " + text + ")";
}
} // namespace

std::optional<std::string> TrayHintText(const TickReading& reading, TrayTime choice,
                                        const NumberFormat& numbers)
{
    if (choice != TrayTime::Total && choice != TrayTime::Today && choice != TrayTime::Session) {
        return std::nullopt;
    }
    const bool total = choice == TrayTime::Total;
    // The total's choice shows the traffic since the last reset, the other two the session's.
    const std::string down =
        FormatSpeed(numbers, reading.downSpeed) +
        traffic(TrafficText(reading, total ? Traffic::TotalDown : Traffic::SessionDown, numbers));
    const std::string up =
        FormatSpeed(numbers, reading.upSpeed) +
        traffic(TrafficText(reading, total ? Traffic::TotalUp : Traffic::SessionUp, numbers));
    switch (choice) {
    case TrayTime::Total:
        return "Zeit: " + FormatDuration(reading.total, true) + kCrLf + "Down: " + down + kCrLf + "Up: " + up;
    case TrayTime::Today:
        return "Zeit: " + FormatDuration(reading.today, true) + kCrLf + " Down: " + down + kCrLf +
               " Up: " + up;
    default:
        return "Zeit " + FormatDuration(reading.session, true) + kCrLf + " Down: " + down + kCrLf +
               "Up: " + up;
    }
}

void ComposeTrayHint(const TickReading& reading, TrayTime choice, const NumberFormat& numbers,
                     ViewModel& view)
{
    if (std::optional<std::string> hint = TrayHintText(reading, choice, numbers)) {
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
