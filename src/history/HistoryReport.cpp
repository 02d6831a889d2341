#include "history/HistoryReport.h"

#include "history/BillingPeriod.h"
#include "history/HistoryCsv.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavlor {

namespace {
const char* const kMonthNames[] = {"Januar", "Februar", "M\xC3\xA4rz", "April",   "Mai",      "Juni",
                                   "Juli",   "August",  "September",   "Oktober", "November", "Dezember"};

std::string dateText(const LocaleFormat& locale, const CalendarDay& day)
{
    return locale.formatShortDate({day.year, day.month, day.day, 0, 0, 0, 0});
}

std::vector<std::string> usageCells(const NumberFormat& numbers, const Usage& u)
{
    return {OnlineTimeText(u.onlineSeconds), DecimalAmount(numbers, u.downBytes),
            DecimalAmount(numbers, u.upBytes), DecimalAmount(numbers, u.downBytes + u.upBytes)};
}

std::string csvUsage(const Usage& u)
{
    return std::to_string(u.onlineSeconds) + ';' + std::to_string(u.downBytes) + ';' +
           std::to_string(u.upBytes) + ';' + std::to_string(u.downBytes + u.upBytes) + '\n';
}

std::string limitValue(const NumberFormat& numbers, const LimitUse& use, double amount)
{
    return LimitNumber(numbers, use, amount) + " " + LimitUnit(use);
}

void addLimitLines(std::vector<std::pair<std::string, std::string>>& lines, const NumberFormat& numbers,
                   const LimitUse& use, const BillingPeriod& period, const CalendarDay& today)
{
    const bool volume = use.kind == WarnerEvent::Kind::Volume;
    const double left = std::max(0.0, use.limit - use.used);
    lines.emplace_back(volume ? "Volumen verbraucht" : "Onlinezeit verbraucht", LimitShare(numbers, use));
    lines.emplace_back(volume ? "Volumen \xC3\xBC"
                                "brig"
                              : "Onlinezeit \xC3\xBC"
                                "brig",
                       limitValue(numbers, use, left));
    lines.emplace_back(volume ? "Volumen hochgerechnet" : "Onlinezeit hochgerechnet",
                       limitValue(numbers, use, ProjectToPeriodEnd(use.used, period, today)));
}
} // namespace

std::string DecimalAmount(const NumberFormat& numbers, std::uint64_t bytes)
{
    const double mb = static_cast<double>(bytes) / 1e6;
    if (mb < 1000) {
        return numbers.format(std::round(mb * 10) / 10) + " MB";
    }
    return numbers.format(std::round(mb / 10) / 100) + " GB";
}

std::string OnlineTimeText(std::uint64_t seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%llu:%02u:%02u", static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
    return text;
}

ReportTable DaysTable(const UsageHistory& history, const CalendarDay& today, int count,
                      const NumberFormat& numbers, const LocaleFormat& locale)
{
    ReportTable table{{"Datum", "Onlinezeit", "Download", "Upload", "Gesamt"}, {}, {}};
    for (const DayUsage& d : history.lastDays(today, count)) {
        std::vector<std::string> row{dateText(locale, d.day)};
        for (std::string& cell : usageCells(numbers, d.usage)) {
            row.push_back(std::move(cell));
        }
        table.rows.push_back(std::move(row));
        table.csvRows.push_back(IsoDate(d.day) + ';' + csvUsage(d.usage));
    }
    return table;
}

ReportTable MonthsTable(const UsageHistory& history, const CalendarDay& today, int count,
                        const NumberFormat& numbers)
{
    ReportTable table{{"Monat", "Onlinezeit", "Download", "Upload", "Gesamt"}, {}, {}};
    for (const MonthUsage& m : history.lastMonths(today, count)) {
        std::vector<std::string> row{std::string(kMonthNames[m.month - 1]) + " " + std::to_string(m.year)};
        for (std::string& cell : usageCells(numbers, m.usage)) {
            row.push_back(std::move(cell));
        }
        table.rows.push_back(std::move(row));
        char month[16];
        std::snprintf(month, sizeof month, "%04d-%02d", m.year, m.month);
        table.csvRows.push_back(month + (';' + csvUsage(m.usage)));
    }
    return table;
}

std::vector<std::pair<std::string, std::string>>
PeriodSummary(const VolumeWarner& warner, const UsageHistory& history, const CalendarDay& today,
              const NumberFormat& numbers, const LocaleFormat& locale)
{
    const BillingPeriod period = warner.period(today);
    const Usage used = history.between(period.first, period.last);
    std::vector<std::pair<std::string, std::string>> lines;
    lines.emplace_back("Abrechnungszeitraum",
                       dateText(locale, period.first) + " bis " + dateText(locale, period.last));
    lines.emplace_back("Download", DecimalAmount(numbers, used.downBytes));
    lines.emplace_back("Upload", DecimalAmount(numbers, used.upBytes));
    lines.emplace_back("Onlinezeit", OnlineTimeText(used.onlineSeconds));
    lines.emplace_back("Verbleibende Tage", std::to_string(period.daysLeft(today)));
    const std::vector<LimitUse> uses = warner.uses(history, today);
    for (const LimitUse& use : uses) {
        addLimitLines(lines, numbers, use, period, today);
    }
    if (uses.empty()) {
        const double projected =
            ProjectToPeriodEnd(static_cast<double>(used.downBytes + used.upBytes), period, today);
        lines.emplace_back("Volumen hochgerechnet",
                           DecimalAmount(numbers, static_cast<std::uint64_t>(projected)));
        lines.emplace_back("Volumenwarner", "kein Limit gesetzt");
    }
    return lines;
}

std::string ExportCsv(const ReportTable& table)
{
    std::string text = "\xEF\xBB\xBF";
    const char* const csvHeader[] = {"", "Onlinezeit (s)", "Download (Bytes)", "Upload (Bytes)",
                                     "Gesamt (Bytes)"};
    for (std::size_t i = 0; i < table.header.size(); ++i) {
        text += (i == 0 ? table.header[0] : std::string(";") + csvHeader[i]);
    }
    text += '\n';
    for (const std::string& row : table.csvRows) {
        text += row;
    }
    return text;
}

} // namespace tavlor
