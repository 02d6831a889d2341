#include "history/UsageWatch.h"

#include "datafile/ProfileFile.h"
#include "text/DayCount.h"

#include <cmath>

namespace tavlor {

namespace {
std::uint64_t wholeBytes(double delta)
{
    // The totals never shrink within a tick; a negative or broken delta counts nothing.
    return delta > 0 && std::isfinite(delta) ? static_cast<std::uint64_t>(std::llround(delta)) : 0;
}
} // namespace

UsageWatch::UsageWatch(std::string dataFilePath, FileStore& files, const Clock& clock,
                       const LocaleFormat& locale)
    : m_dataPath(std::move(dataFilePath)), m_files(files), m_clock(clock), m_locale(locale),
      m_history(HistoryPathBeside(m_dataPath), files, clock)
{
}

HistoryFile::LoadReport UsageWatch::load()
{
    WarnerSettings settings;
    WarnerRecord record;
    if (const std::optional<std::string> bytes = m_files.readFile(m_dataPath)) {
        ReadWarner(ProfileFile(*bytes), settings, record);
    }
    m_warner.configure(settings, record);
    return m_history.load();
}

CalendarDay UsageWatch::today() const
{
    return CalendarDay::of(m_clock.nowLocal());
}

std::vector<WarnerEvent> UsageWatch::trafficCounted(double downBytes, double upBytes, int onlineSeconds)
{
    return countOn(m_clock.nowLocal(), Usage{static_cast<std::uint64_t>(std::max(onlineSeconds, 0)),
                                             wholeBytes(downBytes), wholeBytes(upBytes)});
}

std::vector<WarnerEvent> UsageWatch::counted(const TickReading& reading)
{
    if (!reading.online) {
        return {};
    }
    return countOn(FromDayCount(reading.dayStamp),
                   Usage{static_cast<std::uint64_t>(std::max(reading.onlineSeconds, 0)),
                         wholeBytes(reading.downBytes), wholeBytes(reading.upBytes)});
}

std::vector<WarnerEvent> UsageWatch::countOn(const CivilDateTime& now, const Usage& usage)
{
    m_history.count(now, usage);
    const WarnerRecord before = m_warner.record();
    std::vector<WarnerEvent> events = m_warner.check(m_history.history(), CalendarDay::of(now));
    if (m_warner.record() != before) {
        m_recordDirty = true;
        // Written at once: a warning given must not come again after a crash.
        if (!events.empty()) {
            m_recordDirty = !writeSection();
        }
    }
    return events;
}

bool UsageWatch::save()
{
    const bool historySaved = m_history.save();
    if (m_recordDirty) {
        m_recordDirty = !writeSection();
    }
    return historySaved;
}

bool UsageWatch::applySettings(const WarnerSettings& settings)
{
    m_warner.applySettings(settings, m_history.history(), today());
    m_recordDirty = !writeSection();
    return !m_recordDirty;
}

bool UsageWatch::writeSection()
{
    // Like the data file's own save: a deleted data.ini is not recreated here.
    std::optional<std::string> bytes = m_files.readFile(m_dataPath);
    if (!bytes) {
        return false;
    }
    ProfileFile file(std::move(*bytes));
    WriteWarner(file, m_warner.settings(), m_warner.record());
    return m_files.replaceFile(m_dataPath, file.bytes());
}

WarnLevel UsageWatch::level() const
{
    return m_warner.level(m_history.history(), today());
}

std::vector<std::string> UsageWatch::limitLines(const NumberFormat& numbers) const
{
    std::vector<std::string> lines;
    for (const LimitUse& use : m_warner.uses(m_history.history(), today())) {
        lines.push_back(LimitLine(numbers, use));
    }
    return lines;
}

std::string UsageWatch::warningText(const NumberFormat& numbers, const WarnerEvent& event) const
{
    const CalendarDay last = m_warner.period(today()).last;
    return WarningText(numbers, event,
                       m_locale.formatShortDate({last.year, last.month, last.day, 0, 0, 0, 0}));
}

} // namespace tavlor
