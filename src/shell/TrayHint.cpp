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
    const ReadingTexts t = TextsOf(reading, numbers);
    switch (choice) {
    case 0:
        return "Zeit: " + FormatDuration(reading.total, true) + kCrLf + "Down: " + t.downSpeed +
               traffic(t.totalDown) + kCrLf + "Up: " + t.upSpeed + traffic(t.totalUp);
    case 1:
        return "Zeit: " + FormatDuration(reading.today, true) + kCrLf + " Down: " + t.downSpeed +
               traffic(t.sessionDown) + kCrLf + " Up: " + t.upSpeed + traffic(t.sessionUp);
    case 2:
        return "Zeit " + FormatDuration(reading.session, true) + kCrLf + " Down: " + t.downSpeed +
               traffic(t.sessionDown) + kCrLf + "Up: " + t.upSpeed + traffic(t.sessionUp);
    default:
        return std::nullopt;
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
