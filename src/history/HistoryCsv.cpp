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

// Length of the UTF-8 sequence starting at text[i], 0 when it is not one.
std::size_t utf8Length(std::string_view text, std::size_t i)
{
    const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || (length == 2 && lead < 0xC2) || i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) >> 6) != 0x2) {
            return 0;
        }
    }
    return length;
}

bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

// The fifth column as written: plain, or quoted with doubled quotes inside.
std::optional<std::string> parseConnection(std::string_view raw)
{
    raw = TrimBlanks(raw);
    std::string name;
    if (!raw.empty() && raw.front() == '"') {
        if (raw.size() < 2 || raw.back() != '"') {
            return std::nullopt;
        }
        const std::string_view inner = raw.substr(1, raw.size() - 2);
        for (std::size_t i = 0; i < inner.size(); ++i) {
            if (inner[i] == '"' && (i + 1 >= inner.size() || inner[++i] != '"')) {
                return std::nullopt;
            }
            name += inner[i];
        }
    } else if (raw.find_first_of("\";") == std::string_view::npos) {
        name = raw;
    } else {
        return std::nullopt;
    }
    // A name the writer would not have written (empty, broken UTF-8, control characters) is damage.
    const std::optional<std::string> clean = CleanConnectionName(name);
    if (!clean || *clean != name) {
        return std::nullopt;
    }
    return name;
}

struct ParsedRow
{
    HistoryKey key;
    Usage usage;
};

std::optional<ParsedRow> parseRow(std::string_view line)
{
    std::string_view f[4];
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t semi = line.find(';', start);
        if (semi == std::string_view::npos) {
            return std::nullopt;
        }
        f[i] = line.substr(start, semi - start);
        start = semi + 1;
    }
    const std::size_t semi = line.find(';', start);
    f[3] = line.substr(start, semi == std::string_view::npos ? std::string_view::npos : semi - start);
    std::optional<std::string> connection = std::string();
    if (semi != std::string_view::npos) {
        connection = parseConnection(line.substr(semi + 1));
    }
    const std::optional<CalendarDay> day = parseDay(f[0]);
    const auto seconds = wholeNumber(f[1]);
    const auto down = wholeNumber(f[2]);
    const auto up = wholeNumber(f[3]);
    if (!day || !seconds || !down || !up || !connection) {
        return std::nullopt;
    }
    return ParsedRow{{*day, std::move(*connection)}, Usage{*seconds, *down, *up}};
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

std::optional<std::string> CleanConnectionName(std::string_view name)
{
    std::string clean;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = utf8Length(name, i);
        if (length == 0) {
            clean += '?';
            ++i;
            continue;
        }
        clean += isControl(static_cast<unsigned char>(name[i])) ? ' ' : name[i];
        clean.append(name.substr(i + 1, length - 1));
        i += length;
    }
    const std::string_view trimmed = TrimBlanks(clean);
    if (trimmed.empty()) {
        return std::nullopt;
    }
    return std::string(trimmed);
}

std::string HistoryCsvRow(const CalendarDay& day, const Usage& usage, const std::string& connection)
{
    std::string row = IsoDate(day) + ';' + std::to_string(usage.onlineSeconds) + ';' +
                      std::to_string(usage.downBytes) + ';' + std::to_string(usage.upBytes);
    if (!connection.empty()) {
        row += ';';
        if (connection.find_first_of("\";") == std::string::npos) {
            row += connection;
        } else {
            row += '"';
            for (char c : connection) {
                row += c == '"' ? std::string("\"\"") : std::string(1, c);
            }
            row += '"';
        }
    }
    return row + '\n';
}

std::string FormatHistoryCsv(const UsageHistory& history)
{
    std::string text = std::string(kBom) + kHistoryHeader + '\n';
    for (const auto& [key, usage] : history.rows()) {
        if (const std::string* line = history.asRead(key)) {
            text += *line + '\n';
        } else if (!usage.empty()) {
            text += HistoryCsvRow(key.day, usage, key.connection);
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
        const std::optional<ParsedRow> row = parseRow(line);
        // A second row for a day and connection is set aside rather than added: it may be a
        // pasted copy.
        if (row && !result.history.contains(row->key)) {
            result.history.add(row->key.day, row->key.connection, row->usage);
            if (result.history.contains(row->key)) {
                result.history.keepAsRead(row->key, std::string(line));
            }
        } else {
            result.damaged.emplace_back(line);
        }
    }
    return result;
}

} // namespace tavlor
