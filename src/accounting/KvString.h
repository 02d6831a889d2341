#pragma once

#include "platform/LocaleFormat.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavlor {

struct UsageState;

// Number texts follow one locale-dependent rule set: the shortest general form with up to
// 15 significant digits, the locale's decimal separator, no thousands separators.
class NumberFormat
{
public:
    explicit NumberFormat(std::string decimalSeparator = ",");
    static NumberFormat fromLocale(const LocaleFormat& locale);

    const std::string& decimalSeparator() const { return m_separator; }
    std::string format(double value) const;             // FloatToStr
    std::optional<double> parse(std::string_view text) const; // StrToFloat, strict

private:
    std::string m_separator;
};

// Long style: "12 Stunden, 5 Minuten, 7 Sekunden."; short style: "12:5:7".
// letter "a" total, "d" today, "s" session (case-insensitive); anything else gives "0:0:0".
std::string FormatDuration(const UsageState& state, std::string_view letter, bool longStyle);
std::string FormatByteSize(const NumberFormat& nf, double amount);
double TruncateDecimals(const NumberFormat& nf, int decimals, double value);
// The text without blanks and tabs at either end.
std::string_view TrimBlanks(std::string_view text);
int CountSeparators(std::string_view text, char separator);
std::string ExtractToken(std::string_view text, int n, char separator);

} // namespace tavlor
