#pragma once

#include "platform/Clock.h"

namespace tavlor {

// Date-times in the day-count form: days since 30 December 1899, the fraction the time of day.
double ToDayCount(const CivilDateTime& moment);
CivilDateTime FromDayCount(double dayCount);
// Midnight of the moment's date.
CivilDateTime DateOnly(const CivilDateTime& moment);
bool SameCalendarDate(const CivilDateTime& a, const CivilDateTime& b);

// The day test: whether the today counters of the day of dayStamp are over at `now`. Only a
// date that moved forward ends the day. A clock stepped back by up to one day (a time-server
// correction across midnight) keeps the day, so today's time is neither wiped now nor again at
// the next midnight; a clock that stood further ahead was plainly wrong, and its day ends too.
bool IsNewDay(double dayStamp, const CivilDateTime& now);

} // namespace tavlor
