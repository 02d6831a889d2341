#pragma once

#include "history/HistoryFile.h"
#include "history/VolumeWarner.h"
#include "model/TickReading.h"
#include "platform/LocaleFormat.h"

#include <string>
#include <vector>

namespace tavlor {

// The history and the Volumenwarner together, as the program drives them: fed by every counted
// tick, saved with the data file, configured from data.ini's [Volumenwarner] section.
class UsageWatch
{
public:
    UsageWatch(std::string dataFilePath, FileStore& files, const Clock& clock, const LocaleFormat& locale);

    // Reads the history and the section; a data.ini without the section means "no limit".
    HistoryFile::LoadReport load();

    // The tick's hook: what the totals grew by in one tick, and its online seconds. Returns
    // the warnings due now (already recorded as given, and written to data.ini).
    std::vector<WarnerEvent> trafficCounted(double downBytes, double upBytes, int onlineSeconds);
    // The same for the tick's reading of an online second, counted under the day of its today
    // counters: the history's day and the today counters never disagree, also when the clock
    // was set back across midnight. An offline second counts nothing.
    std::vector<WarnerEvent> counted(const TickReading& reading);

    // With every save of the data file: the history, and the warning record if it changed
    // since it was last written. False when something could not be written.
    bool save();

    // Stores new settings in data.ini. False when data.ini could not be written.
    bool applySettings(const WarnerSettings& settings);

    const UsageHistory& history() const { return m_history.history(); }
    const VolumeWarner& warner() const { return m_warner; }
    const std::string& historyPath() const { return m_history.path(); }
    CalendarDay today() const;
    WarnLevel level() const;
    // The tray tooltip's extra lines, one per limit set.
    std::vector<std::string> limitLines(const NumberFormat& numbers) const;
    std::string warningText(const NumberFormat& numbers, const WarnerEvent& event) const;

private:
    bool writeSection();
    std::vector<WarnerEvent> countOn(const CivilDateTime& day, const Usage& usage);

    std::string m_dataPath;
    FileStore& m_files;
    const Clock& m_clock;
    const LocaleFormat& m_locale;
    HistoryFile m_history;
    VolumeWarner m_warner;
    bool m_recordDirty = false;
};

} // namespace tavlor
