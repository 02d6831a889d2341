#pragma once

#include "model/TickReading.h"
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
    std::string format(double value) const;                   // FloatToStr
    std::optional<double> parse(std::string_view text) const; // StrToFloat, strict

private:
    std::string m_separator;
};

// Long style: "12 Stunden, 5 Minuten, 7 Sekunden."; short style: "12:5:7".
// letter "a" total, "d" today, "s" session (case-insensitive); anything else gives "0:0:0".
std::string FormatDuration(const UsageState& state, std::string_view letter, bool longStyle);
std::string FormatDuration(const TimeSet& set, bool longStyle);
std::string FormatByteSize(const NumberFormat& nf, double amount);
// "12,5 kb/s" of a speed in bytes per second, cut to two decimals; "0 kb/s" for none.
std::string FormatSpeed(const NumberFormat& nf, double bytesPerSecond);
// The kb/s figure that text shows (12.5), 0 for none.
double SpeedFigure(const NumberFormat& nf, double bytesPerSecond);
double TruncateDecimals(const NumberFormat& nf, int decimals, double value);
// The texts of a reading's traffic labels, as the main window and the tray hint show them.
struct ReadingTexts
{
    std::string downSpeed;
    std::string upSpeed;
    std::string totalDown;
    std::string totalUp;
    std::string total;
    std::string sessionDown; // "0 kb" while offline
    std::string sessionUp;
};
ReadingTexts TextsOf(const TickReading& reading, const NumberFormat& nf);
// One traffic text of a reading, for those who show only some of them.
enum class Traffic
{
    TotalDown,
    TotalUp,
    Total,
    SessionDown,
    SessionUp
};
std::string TrafficText(const TickReading& reading, Traffic which, const NumberFormat& nf);
// The text without blanks and tabs at either end.
std::string_view TrimBlanks(std::string_view text);
int CountSeparators(std::string_view text, char separator);
std::string ExtractToken(std::string_view text, int n, char separator);

} // namespace tavlor
