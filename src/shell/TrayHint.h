#pragma once

#include "model/Settings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavlor {

class NumberFormat;
struct TickReading;
class ViewModel;

// Windows tooltips hold at most 127 characters; the program never relies on more.
inline constexpr std::size_t kTrayTipMaxChars = 127;

// The three-line hint for a tray display choice made from the reading's figures, as the labels
// show them; none for TrayTime::None (an edited file may select no item).
std::optional<std::string> TrayHintText(const TickReading& reading, TrayTime choice,
                                        const NumberFormat& numbers);
// Stores the hint for the choice as the tray icon's; with no item selected the hint is left as
// it is.
void ComposeTrayHint(const TickReading& reading, TrayTime choice, const NumberFormat& numbers,
                     ViewModel& view);

// What reaches the notification area for a hint: the text before its first "|", cut to
// kTrayTipMaxChars characters without splitting a UTF-8 sequence.
std::string TrayTooltipText(std::string_view hint);

} // namespace tavlor
