#include "shell/TrayHint.h"

#include "accounting/KvString.h"
#include "accounting/UsageState.h"
#include "accounting/ViewModel.h"

namespace tavlor {

namespace {
constexpr const char* kCrLf = "\r\n";

std::string traffic(const ViewModel& view, const char* label)
{
    return " (Traffic: " + view.text(label) + ")";
}
} // namespace

void ComposeTrayHint(const UsageState& state, ViewModel& view)
{
    const std::string down = view.text("lDownS");
    const std::string up = view.text("lUpS");
    std::string hint;
    switch (state.trayTime) {
    case TrayTime::Total:
        hint = "Zeit: " + FormatDuration(state, "a", true) + kCrLf + "Down: " + down + traffic(view, "lIn") +
               kCrLf + "Up: " + up + traffic(view, "lOut");
        break;
    case TrayTime::Today:
        hint = "Zeit: " + FormatDuration(state, "d", true) + kCrLf + " Down: " + down +
               traffic(view, "lInS") + kCrLf + " Up: " + up + traffic(view, "lOutS");
        break;
    case TrayTime::Session:
        hint = "Zeit " + FormatDuration(state, "s", true) + kCrLf + " Down: " + down + traffic(view, "lInS") +
               kCrLf + "Up: " + up + traffic(view, "lOutS");
        break;
    case TrayTime::None:
    default:
        return;
    }
    view.setHint(kTrayIcon, hint);
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
