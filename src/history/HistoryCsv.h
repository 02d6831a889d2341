#pragma once

#include "history/History.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavlor {

// data/verlauf.csv: UTF-8 with a byte-order mark, ";"-separated, ISO dates, whole bytes, so that
// a German spreadsheet opens it as it is. Days without use have no row.
inline constexpr const char* kHistoryHeader = "Datum;Onlinezeit (s);Download (Bytes);Upload (Bytes)";

std::string FormatHistoryCsv(const UsageHistory& history);

struct HistoryParse
{
    UsageHistory history;
    // Lines that are not rows (bad dates or numbers, a day that came before): kept verbatim.
    std::vector<std::string> damaged;
};

// Tolerant of what a hand edit or a spreadsheet leaves behind: with or without the mark and
// the header, CR LF or LF, blanks around fields, dates as 2026-12-08 or 08.12.2026, empty lines.
HistoryParse ParseHistoryCsv(std::string_view bytes);

// One row of the file's form; also used for the export of shown tables.
std::string HistoryCsvRow(const CalendarDay& day, const Usage& usage);
std::string IsoDate(const CalendarDay& day);

} // namespace tavlor
