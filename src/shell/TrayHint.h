#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavlor {

struct UsageState;
class ViewModel;

// Windows tooltips hold at most 127 characters; the program never relies on more.
inline constexpr std::size_t kTrayTipMaxChars = 127;

// Builds the three-line hint for the tray display choice (state.trayTime) from the
// labels as they stand and stores it as the tray icon's hint. With no item selected the
// hint is left as it is.
void ComposeTrayHint(const UsageState& state, ViewModel& view);

// What reaches the notification area for a hint: the text before its first "|", cut to
// kTrayTipMaxChars characters without splitting a UTF-8 sequence.
std::string TrayTooltipText(std::string_view hint);

} // namespace tavlor
