#pragma once

#include "platform/Clock.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavlor::win32 {

// Windows short-date patterns ("dd.MM.yyyy", "M/d/yyyy", "yyyy-MM-dd", quoted literals), used
// to write dates with a four-digit year and to read them back strictly. Pure text work.

// The pattern with every year field widened to "yyyy".
std::wstring WithFourDigitYear(std::wstring_view pattern);
// The date the text spells in the pattern; nullopt when it does not follow the pattern exactly
// or names no real calendar date from 1601 on (earlier ones could not be written back). Day and
// month take one or two digits, the year one to four (up to two digits mean 20yy). Patterns with
// month or weekday names are not read.
std::optional<CivilDateTime> ParseWithPattern(std::wstring_view pattern, std::wstring_view text);

} // namespace tavlor::win32
