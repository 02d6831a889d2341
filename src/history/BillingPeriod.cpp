#include "history/BillingPeriod.h"

#include <algorithm>

namespace tavlor {

namespace {
CalendarDay monthsLater(const CalendarDay& day, int months)
{
    const int index = day.year * 12 + day.month - 1 + months;
    return {index / 12, index % 12 + 1, day.day};
}
} // namespace

int BillingPeriod::length() const
{
    return static_cast<int>(DaySerial(last) - DaySerial(first)) + 1;
}

int BillingPeriod::daysLeft(const CalendarDay& today) const
{
    return static_cast<int>(std::clamp<long long>(DaySerial(last) - DaySerial(today) + 1, 0, length()));
}

int BillingPeriod::daysElapsed(const CalendarDay& today) const
{
    return static_cast<int>(std::clamp<long long>(DaySerial(today) - DaySerial(first) + 1, 1, length()));
}

BillingPeriod PeriodContaining(const CalendarDay& day, int billingDay)
{
    billingDay = std::clamp(billingDay, kMinBillingDay, kMaxBillingDay);
    CalendarDay first{day.year, day.month, billingDay};
    if (day.day < billingDay) {
        first = monthsLater(first, -1);
    }
    const CalendarDay next = monthsLater(first, 1);
    return {first, DayFromSerial(DaySerial(next) - 1)};
}

double ProjectToPeriodEnd(double usedSoFar, const BillingPeriod& period, const CalendarDay& today)
{
    return usedSoFar / period.daysElapsed(today) * period.length();
}

} // namespace tavlor
