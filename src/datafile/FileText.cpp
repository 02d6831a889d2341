#include "datafile/FileText.h"

#include "datafile/ProfileFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace tavlor {

namespace {

// The zero of every decimal digit block a locale of Qt or Windows writes dates in.
constexpr std::array<char32_t, 17> kZeros = {0x30,  0x660, 0x6F0, 0x7C0, 0x966, 0x9E6, 0xA66,  0xAE6, 0xB66,
                                             0xBE6, 0xC66, 0xCE6, 0xD66, 0xE50, 0xED0, 0x1040, 0xFF10};

int digitValue(char32_t c)
{
    for (char32_t zero : kZeros) {
        if (c >= zero && c <= zero + 9) {
            return static_cast<int>(c - zero);
        }
    }
    return -1;
}

// Code points of a UTF-8 text; a malformed byte stands for itself.
std::u32string codePoints(std::string_view text)
{
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80         ? 1
                           : (lead >> 5) == 6  ? 2
                           : (lead >> 4) == 14 ? 3
                           : (lead >> 3) == 30 ? 4
                                               : 1;
        char32_t cp = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + static_cast<std::size_t>(k) < text.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
        }
        out += cp;
        i += static_cast<std::size_t>(length);
    }
    return out;
}

// A date text cut into its digit groups and the separators between them.
struct DateParts
{
    std::vector<int> values;
    std::vector<int> lengths;
    std::vector<std::u32string> separators; // between group i and i + 1
};

bool ignorable(char32_t c)
{
    return c == U' ' || c == 0xA0 || c == 0x200E || c == 0x200F || c == 0x061C || c == 0x202F;
}

DateParts split(std::string_view text)
{
    DateParts parts;
    std::u32string separator;
    bool inGroup = false;
    for (char32_t c : codePoints(text)) {
        const int digit = digitValue(c);
        if (digit < 0) {
            if (!ignorable(c) && !parts.values.empty()) {
                separator += c;
            }
            inGroup = false;
            continue;
        }
        if (!inGroup) {
            if (!parts.values.empty()) {
                parts.separators.push_back(separator);
            }
            separator.clear();
            parts.values.push_back(0);
            parts.lengths.push_back(0);
            inGroup = true;
        }
        parts.values.back() = parts.values.back() * 10 + digit;
        parts.lengths.back() += parts.lengths.back() < 9 ? 1 : 0;
    }
    return parts;
}

enum Field
{
    Day,
    Month,
    Year
};
using Order = std::array<Field, 3>;

// The order and separators of the locale's short date, learnt from a date whose fields differ.
struct LocalePattern
{
    Order order{Day, Month, Year};
    std::vector<std::u32string> separators;
};

LocalePattern patternOf(const LocaleFormat& locale)
{
    LocalePattern pattern;
    const DateParts probe = split(locale.formatShortDate(CivilDateTime{2033, 11, 22, 0, 0, 0, 0}));
    if (probe.values.size() != 3) {
        return pattern;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        const int v = probe.values[i];
        pattern.order[i] = v == 22 ? Day : v == 11 ? Month : Year;
    }
    pattern.separators = probe.separators;
    return pattern;
}

bool isLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

std::optional<CivilDateTime> assemble(const DateParts& parts, const Order& order)
{
    CivilDateTime date;
    for (std::size_t i = 0; i < 3; ++i) {
        const int value = parts.values[i];
        const int length = parts.lengths[i];
        if (order[i] == Year) {
            if (length != 2 && length != 4) {
                return std::nullopt;
            }
            date.year = length == 2 ? 2000 + value : value;
        } else if (length > 2) {
            return std::nullopt;
        } else {
            (order[i] == Day ? date.day : date.month) = value;
        }
    }
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1) {
        return std::nullopt;
    }
    const int days = date.month == 2 && isLeap(date.year) ? 29 : kDays[date.month - 1];
    return date.day <= days ? std::optional<CivilDateTime>(date) : std::nullopt;
}

std::string twoDigits(int value)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", value);
    return buf;
}

// The field orders a date text can stand for. A four-digit first field is a year; dotted dates
// are day first in every locale that writes them; anything else may be either way round.
std::vector<Order> ordersOf(const DateParts& parts, const LocalePattern& pattern)
{
    if (parts.lengths[0] == 4) {
        return {{Year, Month, Day}};
    }
    const std::vector<std::u32string> dots{U".", U"."};
    std::vector<Order> orders{{Day, Month, Year}};
    if (parts.separators != dots) {
        orders.push_back({Month, Day, Year});
    }
    if (pattern.order[0] == Year && parts.separators == pattern.separators) {
        orders.push_back(pattern.order);
    }
    return orders;
}

long dayNumber(const CivilDateTime& d)
{
    return static_cast<long>(d.year) * 372 + (d.month - 1) * 31 + (d.day - 1);
}

std::optional<CivilDateTime> readOwnForm(const DateParts& parts, const LocaleFormat& locale,
                                         const CivilDateTime& writtenOn)
{
    std::vector<CivilDateTime> dates;
    for (const Order& order : ordersOf(parts, patternOf(locale))) {
        const std::optional<CivilDateTime> date = assemble(parts, order);
        if (date && std::find(dates.begin(), dates.end(), *date) == dates.end()) {
            dates.push_back(*date);
        }
    }
    if (dates.size() <= 1) {
        return dates.empty() ? std::nullopt : std::optional<CivilDateTime>(dates.front());
    }
    // A file holds no day after its own last change; of the others the nearest is the one.
    const long written = dayNumber(writtenOn);
    std::optional<CivilDateTime> best;
    for (const CivilDateTime& date : dates) {
        const long day = dayNumber(date);
        if (day <= written && (!best || day > dayNumber(*best))) {
            best = date;
        }
    }
    if (!best) {
        for (const CivilDateTime& date : dates) {
            if (!best || dayNumber(date) < dayNumber(*best)) {
                best = date;
            }
        }
    }
    return best;
}

} // namespace

bool FitsDataFile(std::string_view utf8)
{
    // Non-Latin digits and bidirectional marks have no place in Windows-1252 either.
    return Cp1252ToUtf8(Utf8ToCp1252(utf8)) == utf8;
}

std::string FileDateText(const LocaleFormat& locale, const CivilDateTime& date)
{
    const std::string text = locale.formatShortDate(date);
    if (FitsDataFile(text) && !text.empty()) {
        return text;
    }
    return twoDigits(date.day) + "." + twoDigits(date.month) + "." + std::to_string(date.year);
}

std::string FileDateTimeText(const LocaleFormat& locale, const CivilDateTime& moment)
{
    const std::string text = locale.formatDateTime(moment);
    if (FitsDataFile(text) && !text.empty()) {
        return text;
    }
    return twoDigits(moment.day) + "." + twoDigits(moment.month) + "." + std::to_string(moment.year) + " " +
           twoDigits(moment.hour) + ":" + twoDigits(moment.minute) + ":" + twoDigits(moment.second);
}

NumberFormat FileNumberFormat(const LocaleFormat& locale)
{
    const std::string separator = locale.decimalSeparator();
    const bool usable = separator.size() == 1 && separator != "-" && separator != "+" &&
                        digitValue(static_cast<unsigned char>(separator[0])) < 0 && separator != "e" &&
                        separator != "E";
    return NumberFormat(usable ? separator : ",");
}

std::optional<CivilDateTime> ParseFileDate(std::string_view text, const LocaleFormat& locale,
                                           const std::optional<CivilDateTime>& writtenOn)
{
    if (writtenOn) {
        const DateParts parts = split(text);
        if (parts.values.size() == 3) {
            if (std::optional<CivilDateTime> own = readOwnForm(parts, locale, *writtenOn)) {
                return own;
            }
        }
        if (auto longForm = locale.parseLongDate(text)) {
            return longForm;
        }
        // Month names and the like: the locale's own form is the only reading there is.
        return parts.values.size() == 3 ? std::nullopt : locale.parseShortDate(text);
    }
    if (auto strict = locale.parseShortDate(text)) {
        return strict;
    }
    if (auto longForm = locale.parseLongDate(text)) {
        return longForm;
    }
    const DateParts parts = split(text);
    if (parts.values.size() != 3) {
        return std::nullopt;
    }
    const LocalePattern pattern = patternOf(locale);
    const std::vector<std::u32string> dots{U".", U"."};
    if (parts.lengths[0] == 4 && parts.separators == std::vector<std::u32string>{U"-", U"-"}) {
        return assemble(parts, {Year, Month, Day});
    }
    // The file's own fallback form, unless the locale itself writes its dates with dots.
    if (parts.separators == dots && pattern.separators != dots) {
        return assemble(parts, {Day, Month, Year});
    }
    return assemble(parts, pattern.order);
}

} // namespace tavlor
