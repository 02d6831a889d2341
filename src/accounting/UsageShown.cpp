#include "accounting/UsageShown.h"

#include "accounting/KvString.h"

namespace tavlor {

void ShowLoadedUsage(const UsageState& state, const LocaleFormat& locale, ViewModel& view)
{
    const NumberFormat numbers = NumberFormat::fromLocale(locale);
    view.setText("lOTS", "");
    view.setText("lIn", FormatByteSize(numbers, state.totalDownBytes));
    view.setText("lOut", FormatByteSize(numbers, state.totalUpBytes));
    view.setText("lOtDay", FormatDuration(state, "d", true));
    view.setText("lAll", FormatByteSize(numbers, state.totalBytes));
    view.setText("lotAll", FormatDuration(state, "a", true));
    view.setText("lRd", state.lastResetDate);
}

} // namespace tavlor
