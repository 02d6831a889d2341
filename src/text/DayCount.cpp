#include "text/DayCount.h"

#include <cmath>

namespace tavlor {

namespace {
// Days from 1970-01-01 for a proleptic Gregorian date (Howard Hinnant's algorithm).
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

// 1899-12-30 is day 0 of the day count.
const long long kEpochOffset = daysFromCivil(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
} // namespace

double ToDayCount(const CivilDateTime& t)
{
    const long long days =
        daysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) - kEpochOffset;
    const double ms = ((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.millisecond;
    return static_cast<double>(days) + ms / kMsPerDay;
}

CivilDateTime FromDayCount(double dayCount)
{
    // Round to whole milliseconds first so that 0.5 days is exactly noon.
    const long long totalMs = std::llround(dayCount * kMsPerDay);
    long long days = totalMs / 86400000LL;
    long long msOfDay = totalMs % 86400000LL;
    if (msOfDay < 0) {
        msOfDay += 86400000LL;
        --days;
    }
    CivilDateTime t;
    civilFromDays(days + kEpochOffset, t.year, t.month, t.day);
    t.hour = static_cast<int>(msOfDay / 3600000LL);
    t.minute = static_cast<int>(msOfDay / 60000LL % 60);
    t.second = static_cast<int>(msOfDay / 1000LL % 60);
    t.millisecond = static_cast<int>(msOfDay % 1000LL);
    return t;
}

CivilDateTime DateOnly(const CivilDateTime& moment)
{
    CivilDateTime d;
    d.year = moment.year;
    d.month = moment.month;
    d.day = moment.day;
    return d;
}

bool SameCalendarDate(const CivilDateTime& a, const CivilDateTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

namespace {
// Whole days from the stamp's date to now's date; negative when the clock stands behind.
long long daysSince(double dayStamp, const CivilDateTime& now)
{
    const CivilDateTime stamp = FromDayCount(dayStamp);
    return daysFromCivil(now.year, static_cast<unsigned>(now.month), static_cast<unsigned>(now.day)) -
           daysFromCivil(stamp.year, static_cast<unsigned>(stamp.month), static_cast<unsigned>(stamp.day));
}
} // namespace

bool IsNewDay(double dayStamp, const CivilDateTime& now)
{
    const long long days = daysSince(dayStamp, now);
    return days > 0 || days < -1;
}

} // namespace tavlor
