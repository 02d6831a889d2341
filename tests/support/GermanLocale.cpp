#include "GermanLocale.h"

#include <cstdio>

namespace tavlor::test {

namespace {
bool isLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Parses "d<sep>m<sep>yyyy" strictly: digits only, real calendar date.
std::optional<CivilDateTime> parseDmy(std::string_view text, char sep, bool monthFirst)
{
    int parts[3] = {0, 0, 0};
    int field = 0;
    int digits = 0;
    for (char c : text) {
        if (c == sep) {
            if (digits == 0 || field == 2) {
                return std::nullopt;
            }
            ++field;
            digits = 0;
            continue;
        }
        if (c < '0' || c > '9' || digits >= 4) {
            return std::nullopt;
        }
        parts[field] = parts[field] * 10 + (c - '0');
        ++digits;
    }
    if (field != 2 || digits == 0) {
        return std::nullopt;
    }
    CivilDateTime d;
    d.day = monthFirst ? parts[1] : parts[0];
    d.month = monthFirst ? parts[0] : parts[1];
    d.year = parts[2];
    if (d.year < 100) {
        d.year += 2000;
    }
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > daysInMonth(d.year, d.month)) {
        return std::nullopt;
    }
    return d;
}

std::string fmt(const char* pattern, int a, int b, int c)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, pattern, a, b, c);
    return buf;
}
} // namespace

std::string GermanLocale::formatShortDate(const CivilDateTime& d) const
{
    return fmt("%02d.%02d.%04d", d.day, d.month, d.year);
}
std::optional<CivilDateTime> GermanLocale::parseShortDate(std::string_view text) const
{
    return parseDmy(text, '.', false);
}
std::string GermanLocale::formatDateTime(const CivilDateTime& t) const
{
    return formatShortDate(t) + " " + formatLongTime(t);
}
std::string GermanLocale::formatLongTime(const CivilDateTime& t) const
{
    return fmt("%02d:%02d:%02d", t.hour, t.minute, t.second);
}

std::string EnglishLocale::formatShortDate(const CivilDateTime& d) const
{
    return fmt("%d/%d/%04d", d.month, d.day, d.year);
}
std::optional<CivilDateTime> EnglishLocale::parseShortDate(std::string_view text) const
{
    return parseDmy(text, '/', true);
}
std::string EnglishLocale::formatDateTime(const CivilDateTime& t) const
{
    return formatShortDate(t) + " " + formatLongTime(t);
}
std::string EnglishLocale::formatLongTime(const CivilDateTime& t) const
{
    return fmt("%02d:%02d:%02d", t.hour, t.minute, t.second);
}

} // namespace tavlor::test
