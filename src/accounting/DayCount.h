#pragma once

#include "platform/Clock.h"

namespace tavlor {

// Date-times in the day-count form: days since 30 December 1899, the fraction the time of day.
double ToDayCount(const CivilDateTime& moment);
CivilDateTime FromDayCount(double dayCount);
// Midnight of the moment's date.
CivilDateTime DateOnly(const CivilDateTime& moment);
bool SameCalendarDate(const CivilDateTime& a, const CivilDateTime& b);

} // namespace tavlor
