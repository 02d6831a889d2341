#pragma once

#include "history/History.h"

namespace tavlor {

// A billing period runs from the billing day (1-28, so every month has it) of one month to the
// day before the billing day of the next.
struct BillingPeriod
{
    CalendarDay first;
    CalendarDay last;

    int length() const;                              // days
    int daysLeft(const CalendarDay& today) const;    // today included
    int daysElapsed(const CalendarDay& today) const; // today included
};

inline constexpr int kMinBillingDay = 1;
inline constexpr int kMaxBillingDay = 28;

BillingPeriod PeriodContaining(const CalendarDay& day, int billingDay);

// What the period would reach at the rate of its days so far (today counted as a whole day).
double ProjectToPeriodEnd(double usedSoFar, const BillingPeriod& period, const CalendarDay& today);

} // namespace tavlor
