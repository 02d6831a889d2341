#include "datafile/UsageValues.h"

#include "platform/LocaleFormat.h"
#include "text/KvString.h"

#include <cmath>
#include <limits>
#include <string>

namespace tavlor {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::int32_t> parseHex(std::string_view digits)
{
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : digits) {
        int d = hexDigit(c);
        if (d < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> parseDecimal(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

// A time field: a count too large for 32 bits is held at the largest one, not thrown away.
std::optional<std::int32_t> parseTimeField(std::string_view text)
{
    if (std::optional<std::int32_t> value = parseDecimal(text)) {
        return value;
    }
    std::string_view digits = !text.empty() && text.front() == '+' ? text.substr(1) : text;
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    return std::numeric_limits<std::int32_t>::max();
}

} // namespace

std::optional<std::int32_t> ParseFileInteger(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return parseHex(text.substr(2));
    }
    return parseDecimal(text);
}

std::optional<double> ParseFileNumber(std::string_view text, const LocaleFormat& locale)
{
    for (const NumberFormat& nf : {NumberFormat::fromLocale(locale), NumberFormat(","), NumberFormat(".")}) {
        std::optional<double> value = nf.parse(text);
        if (value && std::isfinite(*value)) {
            return value;
        }
    }
    return std::nullopt;
}

HoursMinutesSeconds ReadDurationFields(std::string_view text)
{
    std::int32_t fields[3] = {0, 0, 0};
    for (int n = 1; n <= 3; ++n) {
        const std::string field = ExtractToken(text, n, ':');
        fields[n - 1] = parseTimeField(TrimBlanks(field)).value_or(0);
    }
    return HoursMinutesSeconds{fields[0], fields[1], fields[2]};
}

} // namespace tavlor
