#pragma once

#include "model/UsageState.h"
#include "platform/LocaleFormat.h"
#include "text/ViewModel.h"

namespace tavlor {

// The labels of the loaded counters and the reset date, as the start shows them: the totals,
// the total and today's time in the long form, lOTS empty until the first tick, lRd as stored.
void ShowLoadedUsage(const UsageState& state, const LocaleFormat& locale, ViewModel& view);

} // namespace tavlor
