#include "history/HistoryCsv.h"

#include "text/KvString.h"

#include <charconv>
#include <cstdio>
#include <optional>

namespace tavlor {

namespace {
constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::optional<std::uint64_t> wholeNumber(std::string_view text)
{
    text = TrimBlanks(text);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> digits(std::string_view text, std::size_t from, std::size_t count)
{
    if (from + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text.substr(from, count)) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<CalendarDay> parseDay(std::string_view text)
{
    text = TrimBlanks(text);
    std::optional<int> y, m, d;
    if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        y = digits(text, 0, 4), m = digits(text, 5, 2), d = digits(text, 8, 2);
    } else if (text.size() == 10 && text[2] == '.' && text[5] == '.') {
        d = digits(text, 0, 2), m = digits(text, 3, 2), y = digits(text, 6, 4);
    }
    if (!y || !m || !d || !IsValidDay({*y, *m, *d})) {
        return std::nullopt;
    }
    return CalendarDay{*y, *m, *d};
}

std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t semi = line.find(';'); semi != std::string_view::npos; semi = line.find(';', start)) {
        out.push_back(line.substr(start, semi - start));
        start = semi + 1;
    }
    out.push_back(line.substr(start));
    return out;
}

std::optional<DayUsage> parseRow(std::string_view line)
{
    const std::vector<std::string_view> f = fields(line);
    if (f.size() != 4) {
        return std::nullopt;
    }
    const std::optional<CalendarDay> day = parseDay(f[0]);
    const auto seconds = wholeNumber(f[1]);
    const auto down = wholeNumber(f[2]);
    const auto up = wholeNumber(f[3]);
    if (!day || !seconds || !down || !up) {
        return std::nullopt;
    }
    return DayUsage{*day, Usage{*seconds, *down, *up}};
}

bool isHeader(std::string_view line)
{
    return TrimBlanks(line).substr(0, 5) == "Datum";
}
} // namespace

std::string IsoDate(const CalendarDay& day)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

std::string HistoryCsvRow(const CalendarDay& day, const Usage& usage)
{
    return IsoDate(day) + ';' + std::to_string(usage.onlineSeconds) + ';' + std::to_string(usage.downBytes) +
           ';' + std::to_string(usage.upBytes) + '\n';
}

std::string FormatHistoryCsv(const UsageHistory& history)
{
    std::string text = std::string(kBom) + kHistoryHeader + '\n';
    for (const auto& [day, usage] : history.days()) {
        if (!usage.empty()) {
            text += HistoryCsvRow(day, usage);
        }
    }
    return text;
}

HistoryParse ParseHistoryCsv(std::string_view bytes)
{
    HistoryParse result;
    if (bytes.substr(0, kBom.size()) == kBom) {
        bytes.remove_prefix(kBom.size());
    }
    bool first = true;
    while (!bytes.empty()) {
        const std::size_t nl = bytes.find('\n');
        std::string_view line = bytes.substr(0, nl);
        bytes.remove_prefix(nl == std::string_view::npos ? bytes.size() : nl + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (TrimBlanks(line).empty() || (first && isHeader(line))) {
            first = false;
            continue;
        }
        first = false;
        const std::optional<DayUsage> row = parseRow(line);
        // A second row for a day is set aside rather than added: it may be a pasted copy.
        if (row && !result.history.contains(row->day)) {
            result.history.add(row->day, row->usage);
        } else {
            result.damaged.emplace_back(line);
        }
    }
    return result;
}

} // namespace tavlor
