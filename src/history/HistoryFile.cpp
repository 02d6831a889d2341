#include "history/HistoryFile.h"

#include "history/HistoryCsv.h"

#include <cstdio>

namespace tavlor {

std::string HistoryPathBeside(const std::string& dataFilePath)
{
    const std::size_t slash = dataFilePath.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string() : dataFilePath.substr(0, slash + 1);
    return folder + "verlauf.csv";
}

HistoryFile::HistoryFile(std::string path, FileStore& files, const Clock& clock)
    : m_path(std::move(path)), m_files(files), m_clock(clock)
{
}

std::string HistoryFile::asidePathFor(const CivilDateTime& now) const
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "-beiseite-%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    const std::string stem = m_path.size() > 4 ? m_path.substr(0, m_path.size() - 4) : m_path;
    std::string candidate = stem + stamp + ".csv";
    for (int n = 2; m_files.fileExists(candidate); ++n) {
        candidate = stem + stamp + "-" + std::to_string(n) + ".csv";
    }
    return candidate;
}

HistoryFile::LoadReport HistoryFile::load()
{
    LoadReport report;
    // Saves killed in earlier runs each left a temporary of their own beside the history.
    m_files.removeStaleTemporaries(m_path);
    if (!m_files.fileExists(m_path)) {
        return report;
    }
    const std::optional<std::string> bytes = m_files.readFile(m_path);
    if (!bytes) {
        m_writable = false;
        report.unreadable = true;
        return report;
    }
    HistoryParse parsed = ParseHistoryCsv(*bytes);
    for (const auto& [day, usage] : parsed.history.days()) {
        m_history.add(day, usage);
    }
    report.damagedRows = parsed.damaged.size();
    if (report.damagedRows > 0) {
        report.asidePath = asidePathFor(m_clock.nowLocal());
        // Without a copy aside the next save would drop the damaged rows: keep the file then.
        if (!m_files.writeFile(report.asidePath, *bytes)) {
            report.asidePath.clear();
            m_writable = false;
        }
    }
    return report;
}

bool HistoryFile::save()
{
    return m_writable && m_files.replaceFile(m_path, FormatHistoryCsv(m_history));
}

void HistoryFile::count(const CivilDateTime& moment, const Usage& usage)
{
    m_history.add(CalendarDay::of(moment), usage);
}

} // namespace tavlor
