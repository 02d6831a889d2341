#include "history/History.h"

#include "text/DayCount.h"

#include <cmath>

namespace tavlor {

bool IsValidDay(const CalendarDay& d)
{
    return d.year >= 1900 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= DaysInMonth(d.year, d.month);
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[(month - 1) % 12];
}

long long DaySerial(const CalendarDay& d)
{
    return std::llround(ToDayCount(CivilDateTime{d.year, d.month, d.day, 0, 0, 0, 0}));
}

CalendarDay DayFromSerial(long long serial)
{
    return CalendarDay::of(FromDayCount(static_cast<double>(serial)));
}

Usage& Usage::operator+=(const Usage& other)
{
    onlineSeconds += other.onlineSeconds;
    downBytes += other.downBytes;
    upBytes += other.upBytes;
    return *this;
}

void UsageHistory::add(const CalendarDay& day, const Usage& usage)
{
    if (!usage.empty() || contains(day)) {
        m_days[day] += usage;
    }
}

Usage UsageHistory::on(const CalendarDay& day) const
{
    auto it = m_days.find(day);
    return it == m_days.end() ? Usage{} : it->second;
}

Usage UsageHistory::between(const CalendarDay& first, const CalendarDay& last) const
{
    Usage sum;
    for (auto it = m_days.lower_bound(first); it != m_days.end() && it->first <= last; ++it) {
        sum += it->second;
    }
    return sum;
}

Usage UsageHistory::total() const
{
    Usage sum;
    for (const auto& [day, usage] : m_days) {
        sum += usage;
    }
    return sum;
}

std::vector<DayUsage> UsageHistory::lastDays(const CalendarDay& today, int count) const
{
    std::vector<DayUsage> rows;
    const long long last = DaySerial(today);
    for (long long serial = last - count + 1; serial <= last; ++serial) {
        const CalendarDay day = DayFromSerial(serial);
        rows.push_back({day, on(day)});
    }
    return rows;
}

std::vector<MonthUsage> UsageHistory::lastMonths(const CalendarDay& today, int count) const
{
    std::vector<MonthUsage> rows;
    const int lastIndex = today.year * 12 + today.month - 1;
    for (int index = lastIndex - count + 1; index <= lastIndex; ++index) {
        const int year = index / 12;
        const int month = index % 12 + 1;
        rows.push_back({year, month, between({year, month, 1}, {year, month, DaysInMonth(year, month)})});
    }
    return rows;
}

} // namespace tavlor
