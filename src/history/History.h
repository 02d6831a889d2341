#pragma once

#include "platform/Clock.h"

#include <compare>
#include <cstdint>
#include <map>
#include <vector>

namespace tavlor {

// A local calendar date, the key of the history.
struct CalendarDay
{
    int year = 1970;
    int month = 1;
    int day = 1;

    static CalendarDay of(const CivilDateTime& moment) { return {moment.year, moment.month, moment.day}; }
    friend auto operator<=>(const CalendarDay&, const CalendarDay&) = default;
};

bool IsValidDay(const CalendarDay& day);
// Days since 1899-12-30, so that differences are day counts.
long long DaySerial(const CalendarDay& day);
CalendarDay DayFromSerial(long long serial);
int DaysInMonth(int year, int month);

// What was counted on one day (or summed over several).
struct Usage
{
    std::uint64_t onlineSeconds = 0;
    std::uint64_t downBytes = 0;
    std::uint64_t upBytes = 0;

    bool empty() const { return onlineSeconds == 0 && downBytes == 0 && upBytes == 0; }
    Usage& operator+=(const Usage& other);
    friend bool operator==(const Usage&, const Usage&) = default;
};

struct DayUsage
{
    CalendarDay day;
    Usage usage;
};

struct MonthUsage
{
    int year = 0;
    int month = 0;
    Usage usage;
};

// One row per calendar day, fed with the same deltas as the totals.
class UsageHistory
{
public:
    void add(const CalendarDay& day, const Usage& usage);
    bool contains(const CalendarDay& day) const { return m_days.count(day) != 0; }
    Usage on(const CalendarDay& day) const;
    // Inclusive range.
    Usage between(const CalendarDay& first, const CalendarDay& last) const;
    Usage total() const;
    const std::map<CalendarDay, Usage>& days() const { return m_days; }

    // The `count` days up to `today`, oldest first, days without use included.
    std::vector<DayUsage> lastDays(const CalendarDay& today, int count) const;
    // The `count` calendar months up to today's, oldest first.
    std::vector<MonthUsage> lastMonths(const CalendarDay& today, int count) const;

private:
    std::map<CalendarDay, Usage> m_days;
};

} // namespace tavlor
