#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavlor {

class LocaleFormat;

// The read rules of the data file's values, apart from the file itself.

// A whole number as the data file's reader takes it: optional sign and decimal digits within
// 32 bits, or, for texts longer than two characters, "0x"/"0X" and up to eight hex digits
// (two's complement, so 0xFFFFFFFF is -1). nullopt for anything else.
std::optional<std::int32_t> ParseFileInteger(std::string_view text);

// A byte total written under any locale: the locale's own decimal separator first, then
// "," or "." (a file written under a German locale loads under an English one and back).
// Finite values only.
std::optional<double> ParseFileNumber(std::string_view text, const LocaleFormat& locale);

struct HoursMinutesSeconds
{
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    std::int32_t seconds = 0;
};

// "12:5:7": the first three ":"-separated fields, each a decimal integer (blanks around a
// field allowed; a field beyond 32 bits reads as the largest value). A missing or unreadable
// field reads as 0 and the others keep their value: "120:30" is 120 hours and 30 minutes.
HoursMinutesSeconds ReadDurationFields(std::string_view text);

} // namespace tavlor
