#include "accounting/ResetGateway.h"
#include "text/WidgetNames.h"

#include "datafile/FileText.h"

namespace tavlor {

void ResetCounters(UsageState& state, ViewModel& view, const Clock& clock, const LocaleFormat& locale,
                   const std::function<void()>& save)
{
    state.baseUpBytes = 0;
    state.baseDownBytes = 0;
    view.setText(names::lAll, "0 kb");
    view.setText(names::lotAll, "-");
    // The next online tick takes its readings as the start of the new period.
    state.sessionUpStart = kSessionNotStarted;
    state.sessionDownStart = kSessionNotStarted;
    state.totalUpBytes = 0;
    state.totalDownBytes = 0;
    state.totalBytes = 0;
    view.setText(names::lOut, "0 kb");
    view.setText(names::lIn, "0 kb");
    state.totalHours = 0;
    state.totalMinutes = 0;
    state.totalSeconds = 0;
    // Shown as the file will hold it: a locale whose digits the file cannot hold gets dd.MM.yyyy.
    state.lastResetDate = FileDateText(locale, clock.nowLocal());
    view.setText(names::lRd, state.lastResetDate);
    save();
}

bool GatewaySwitchClicked(UsageState& state, bool ticked,
                          const std::function<bool(const std::string&)>& confirm)
{
    const bool on = ticked && confirm(kGatewayQuestion);
    state.onLAN = on;
    return on;
}

} // namespace tavlor
