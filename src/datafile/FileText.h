#pragma once

#include "platform/Clock.h"
#include "platform/LocaleFormat.h"
#include "text/KvString.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavlor {

// Values of the data file that every locale can write and read back. The file holds Windows-1252
// text; a locale whose digits, marks or separators that code page cannot hold (Arabic, Persian,
// Bulgarian, Bengali, ...) would leave "?" in place of a date or a decimal separator.

// Whether a UTF-8 text survives the file: every character in Windows-1252, digits only Latin.
bool FitsDataFile(std::string_view utf8);

// The locale's short date where it fits the file, else dd.MM.yyyy.
std::string FileDateText(const LocaleFormat& locale, const CivilDateTime& date);
// The locale's date and time where they fit the file, else dd.MM.yyyy hh:mm:ss.
std::string FileDateTimeText(const LocaleFormat& locale, const CivilDateTime& moment);
// Numbers in the locale's form where its decimal separator fits the file, else with a comma.
NumberFormat FileNumberFormat(const LocaleFormat& locale);

// A date as people and locales write it: the locale's own short and long forms, the same with
// one- or two-digit day and month and a two- or four-digit year (in any script's digits),
// dd.MM.yyyy and ISO yyyy-MM-dd. nullopt when none of them reads a real calendar date.
//
// With `writtenOn`, the date the text was last written (a file's modification date), a text
// is read in its own form rather than the locale's: where its fields could be day/month or
// month/day (12/9/2026 from an English session, 09/12/2026 from a British one) and both make
// a date, the one on `writtenOn` wins, else the latest one not after it. A text that names one
// date only, by a year first, a field above 12 or equal fields, is read as that date.
std::optional<CivilDateTime> ParseFileDate(std::string_view text, const LocaleFormat& locale,
                                           const std::optional<CivilDateTime>& writtenOn = std::nullopt);

} // namespace tavlor
