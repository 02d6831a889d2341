#include "text/KvString.h"

#include "model/UsageState.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tavlor {

namespace {
constexpr int kPrecision = 15;

// Decimal digits (without trailing zeros) and the exponent of the first digit, rounded to
// 15 significant digits. std::to_chars ignores the C locale, which Qt sets from the user's.
struct Digits
{
    std::string digits;
    int exponent = 0;
};

Digits significantDigits(double magnitude)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, kPrecision - 1);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    const std::size_t e = text.find('e');
    Digits out;
    for (char c : text.substr(0, e)) {
        if (c != '.') {
            out.digits += c;
        }
    }
    while (out.digits.size() > 1 && out.digits.back() == '0') {
        out.digits.pop_back();
    }
    std::string_view exp = text.substr(e + 1);
    if (!exp.empty() && exp.front() == '+') {
        exp.remove_prefix(1);
    }
    std::from_chars(exp.data(), exp.data() + exp.size(), out.exponent);
    return out;
}

std::string fixedForm(const Digits& d, const std::string& sep)
{
    const int count = static_cast<int>(d.digits.size());
    if (d.exponent < 0) {
        return "0" + sep + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    }
    const int intDigits = d.exponent + 1;
    if (count <= intDigits) {
        return d.digits + std::string(static_cast<std::size_t>(intDigits - count), '0');
    }
    return d.digits.substr(0, static_cast<std::size_t>(intDigits)) + sep +
           d.digits.substr(static_cast<std::size_t>(intDigits));
}

std::string exponentForm(const Digits& d, const std::string& sep)
{
    std::string out = d.digits.substr(0, 1);
    if (d.digits.size() > 1) {
        out += sep + d.digits.substr(1);
    }
    return out + "E" + std::to_string(d.exponent);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of a run of digits at the start of text.
std::size_t digitRun(std::string_view text)
{
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[n])) {
        ++n;
    }
    return n;
}

double truncateArithmetically(int decimals, double value)
{
    if (decimals > kPrecision) {
        return value;
    }
    const double scale = std::pow(10.0, decimals);
    const double cut = std::trunc(value * scale) / scale;
    return cut == 0.0 ? 0.0 : cut; // no "-0"
}
} // namespace

NumberFormat::NumberFormat(std::string decimalSeparator) : m_separator(std::move(decimalSeparator))
{
    if (m_separator.empty()) {
        m_separator = ",";
    }
}

NumberFormat NumberFormat::fromLocale(const LocaleFormat& locale)
{
    return NumberFormat(locale.decimalSeparator());
}

std::string NumberFormat::format(double value) const
{
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (value == 0.0) {
        return "0";
    }
    const Digits d = significantDigits(std::fabs(value));
    const bool exponent = d.exponent < -5 || d.exponent >= kPrecision;
    const std::string body = exponent ? exponentForm(d, m_separator) : fixedForm(d, m_separator);
    return value < 0 ? "-" + body : body;
}

std::optional<double> NumberFormat::parse(std::string_view text) const
{
    text = TrimBlanks(text);
    std::string plain; // the same number with "." for std::from_chars
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-') {
            plain += '-';
        }
        ++i;
    }
    const std::size_t intDigits = digitRun(text.substr(i));
    plain.append(text.substr(i, intDigits));
    i += intDigits;
    std::size_t fracDigits = 0;
    if (text.substr(i).starts_with(m_separator)) {
        i += m_separator.size();
        fracDigits = digitRun(text.substr(i));
        plain += '.';
        plain.append(text.substr(i, fracDigits));
        i += fracDigits;
    }
    if (intDigits + fracDigits == 0) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
            plain += text[i++];
        }
        const std::size_t expDigits = digitRun(text.substr(i));
        if (expDigits == 0) {
            return std::nullopt;
        }
        plain.append(text.substr(i, expDigits));
        i += expDigits;
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto res = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (res.ec != std::errc() || res.ptr != plain.data() + plain.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string FormatDuration(const UsageState& state, std::string_view letter, bool longStyle)
{
    std::string lower(letter);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    TimeSet set;
    if (lower == "a") {
        set = {state.totalHours, state.totalMinutes, state.totalSeconds};
    } else if (lower == "d") {
        set = {state.todayHours, state.todayMinutes, state.todaySeconds};
    } else if (lower == "s") {
        set = {state.sessionHours, state.sessionMinutes, state.sessionSeconds};
    } else {
        return "0:0:0";
    }
    return FormatDuration(set, longStyle);
}

std::string FormatDuration(const TimeSet& set, bool longStyle)
{
    if (longStyle) {
        return std::to_string(set.hours) + " Stunden, " + std::to_string(set.minutes) + " Minuten, " +
               std::to_string(set.seconds) + " Sekunden.";
    }
    return std::to_string(set.hours) + ":" + std::to_string(set.minutes) + ":" + std::to_string(set.seconds);
}

double SpeedFigure(const NumberFormat& nf, double bytesPerSecond)
{
    return bytesPerSecond > 0 ? TruncateDecimals(nf, 2, bytesPerSecond / 1024.0) : 0.0;
}

std::string FormatSpeed(const NumberFormat& nf, double bytesPerSecond)
{
    return bytesPerSecond > 0 ? nf.format(SpeedFigure(nf, bytesPerSecond)) + " kb/s" : "0 kb/s";
}

double TruncateDecimals(const NumberFormat& nf, int decimals, double value)
{
    if (!std::isfinite(value)) {
        return value;
    }
    decimals = decimals < 0 ? 0 : decimals;
    const std::string text = nf.format(value);
    if (text.find('E') != std::string::npos) {
        // Tiny values: cut by arithmetic; huge ones have no decimals to cut.
        return std::fabs(value) < 1.0 ? truncateArithmetically(decimals, value) : value;
    }
    // The locale's separator, not a literal comma: under "." every figure would keep 15 decimals.
    const std::size_t pos = text.find(nf.decimalSeparator());
    if (pos == std::string::npos) {
        return value;
    }
    const std::size_t keep = decimals == 0 ? pos : pos + nf.decimalSeparator().size() + decimals;
    const std::optional<double> cut = nf.parse(text.substr(0, keep));
    return cut ? (*cut == 0.0 ? 0.0 : *cut) : value;
}

std::string FormatByteSize(const NumberFormat& nf, double amount)
{
    const bool negative = amount < 0;
    const double m = negative ? -amount : amount;
    const std::string sign = negative ? "-" : "";
    auto text = [&](double v, const char* unit) {
        return sign + nf.format(TruncateDecimals(nf, 2, v)) + unit;
    };
    if (m >= 1000000000.0) {
        // Negative amounts use 1024000000 here: documented behaviour the labels rely on.
        return text(negative ? m / 1024000000.0 : m / 1024.0 / 1024.0 / 1024.0, " GB");
    }
    if (m >= 1024000.0) {
        return text(m / 1024.0 / 1024.0, " MB");
    }
    if (m >= 1024.0) {
        return text(m / 1024.0, " KB");
    }
    return text(m, " Bytes");
}

std::string TrafficText(const TickReading& reading, Traffic which, const NumberFormat& nf)
{
    // What a reset and the offline tick show: the design's "0 kb", not a byte-size text.
    const bool total = which == Traffic::TotalDown || which == Traffic::TotalUp || which == Traffic::Total;
    if (total ? reading.totalsCleared : !reading.online) {
        return "0 kb";
    }
    switch (which) {
    case Traffic::TotalDown:
        return FormatByteSize(nf, reading.totalDownBytes);
    case Traffic::TotalUp:
        return FormatByteSize(nf, reading.totalUpBytes);
    case Traffic::Total:
        return FormatByteSize(nf, reading.totalBytes());
    case Traffic::SessionDown:
        return FormatByteSize(nf, reading.sessionDownBytes);
    case Traffic::SessionUp:
        break;
    }
    return FormatByteSize(nf, reading.sessionUpBytes);
}

ReadingTexts TextsOf(const TickReading& reading, const NumberFormat& nf)
{
    ReadingTexts t;
    t.downSpeed = FormatSpeed(nf, reading.downSpeed);
    t.upSpeed = FormatSpeed(nf, reading.upSpeed);
    t.totalDown = TrafficText(reading, Traffic::TotalDown, nf);
    t.totalUp = TrafficText(reading, Traffic::TotalUp, nf);
    t.total = TrafficText(reading, Traffic::Total, nf);
    t.sessionDown = TrafficText(reading, Traffic::SessionDown, nf);
    t.sessionUp = TrafficText(reading, Traffic::SessionUp, nf);
    return t;
}

int CountSeparators(std::string_view text, char separator)
{
    if (text.empty() || (text.size() == 1 && text.front() == separator)) {
        return 0;
    }
    int count = text.front() == separator ? -1 : 0;
    if (text.back() != separator) {
        ++count;
    }
    for (char c : text) {
        if (c == separator) {
            ++count;
        }
    }
    return count;
}

std::string ExtractToken(std::string_view text, int n, char separator)
{
    const int fields = CountSeparators(text, separator);
    if (fields <= 0 || fields < n) {
        return {};
    }
    // Fields are counted from the start of the text, a leading empty field included.
    std::size_t start = 0;
    for (int field = 1; field < n; ++field) {
        const std::size_t next = text.find(separator, start);
        if (next == std::string_view::npos) {
            return {};
        }
        start = next + 1;
    }
    const std::size_t end = text.find(separator, start);
    return std::string(text.substr(start, end == std::string_view::npos ? text.size() - start : end - start));
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace tavlor
