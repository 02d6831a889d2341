#pragma once

#include "model/UsageState.h"
#include "platform/Clock.h"
#include "platform/LocaleFormat.h"
#include "text/ViewModel.h"

#include <functional>
#include <string>

namespace tavlor {

inline constexpr const char* kGatewayQuestion =
    "Nur aktivieren wenn Sie \xC3\xBC"
    "ber ein Netzwerk oder Gateway eine Verbindung ins Internet erhalten.\r\nHaken setzen? ";

// btnResetClick: clears the totals and the total time, records today as the reset date and
// saves through `save` (which may throw SaveError).
void ResetCounters(UsageState& state, ViewModel& view, const Clock& clock, const LocaleFormat& locale,
                   const std::function<void()>& save);

// cbLanClick after the box changed to `ticked`. `confirm` asks the gateway question and returns
// true for "Ja". Returns the state the box must show afterwards; sets state.onLAN.
bool GatewaySwitchClicked(UsageState& state, bool ticked,
                          const std::function<bool(const std::string&)>& confirm);

} // namespace tavlor
