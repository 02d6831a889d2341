#include "accounting/UsageShown.h"
#include "text/WidgetNames.h"

#include "text/KvString.h"

namespace tavlor {

void ShowLoadedUsage(const UsageState& state, const LocaleFormat& locale, ViewModel& view)
{
    const NumberFormat numbers = NumberFormat::fromLocale(locale);
    view.setText(names::lOTS, "");
    view.setText(names::lIn, FormatByteSize(numbers, state.totalDownBytes));
    view.setText(names::lOut, FormatByteSize(numbers, state.totalUpBytes));
    view.setText(names::lOtDay, FormatDuration(state, "d", true));
    view.setText(names::lAll, FormatByteSize(numbers, state.totalBytes));
    view.setText(names::lotAll, FormatDuration(state, "a", true));
    view.setText(names::lRd, state.lastResetDate);
}

} // namespace tavlor
