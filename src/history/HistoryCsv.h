#pragma once

#include "history/History.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlor {

// data/verlauf.csv: UTF-8 with a byte-order mark, ";"-separated, ISO dates, whole bytes, so that
// a German spreadsheet opens it as it is. One row per day and connection; days without use have
// no row. Rows of older files have no connection column and are written back as they were read.
inline constexpr const char* kHistoryHeader =
    "Datum;Onlinezeit (s);Download (Bytes);Upload (Bytes);Verbindung";

std::string FormatHistoryCsv(const UsageHistory& history);

struct HistoryParse
{
    UsageHistory history;
    // Lines that are not rows (bad dates or numbers, a damaged connection name, a day and
    // connection that came before): kept verbatim.
    std::vector<std::string> damaged;
};

// Tolerant of what a hand edit or a spreadsheet leaves behind: with or without the mark and
// the header, CR LF or LF, blanks around fields, dates as 2026-12-08 or 08.12.2026, empty lines.
HistoryParse ParseHistoryCsv(std::string_view bytes);

// One row of the file's form; also used for the export of shown tables. A connection name with
// ";" or a quote is quoted the spreadsheet way; "" gives the old four-column row.
std::string HistoryCsvRow(const CalendarDay& day, const Usage& usage, const std::string& connection = {});
// A connection name as a row may hold it: valid UTF-8 without control characters, trimmed;
// nullopt when nothing of it is left.
std::optional<std::string> CleanConnectionName(std::string_view name);
std::string IsoDate(const CalendarDay& day);

} // namespace tavlor
