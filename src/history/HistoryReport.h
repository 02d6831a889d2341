#pragma once

#include "history/History.h"
#include "history/VolumeWarner.h"
#include "platform/LocaleFormat.h"
#include "text/KvString.h"

#include <string>
#include <utility>
#include <vector>

namespace tavlor {

// The texts of the window "Verlauf und Volumenwarner", built here so that the window only
// shows them. Amounts are in the provider's decimal units (1 MB = 1,000,000 bytes).

struct ReportTable
{
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows; // texts as shown
    std::vector<std::string> csvRows;           // the same rows for the export (whole bytes, ISO dates)
};

// "812,4 MB" below 1000 MB, else "3,21 GB".
std::string DecimalAmount(const NumberFormat& numbers, std::uint64_t bytes);
// "5:07:09" (hours unlimited).
std::string OnlineTimeText(std::uint64_t seconds);

ReportTable DaysTable(const UsageHistory& history, const CalendarDay& today, int count,
                      const NumberFormat& numbers, const LocaleFormat& locale);
ReportTable MonthsTable(const UsageHistory& history, const CalendarDay& today, int count,
                        const NumberFormat& numbers);
// Caption and value lines of the current billing period: used, left, days left, projection.
std::vector<std::pair<std::string, std::string>>
PeriodSummary(const VolumeWarner& warner, const UsageHistory& history, const CalendarDay& today,
              const NumberFormat& numbers, const LocaleFormat& locale);
// The export file's bytes: UTF-8 mark, the header, the rows.
std::string ExportCsv(const ReportTable& table);

} // namespace tavlor
