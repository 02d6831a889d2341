#pragma once

#include "history/History.h"
#include "platform/Clock.h"
#include "platform/FileStore.h"

#include <string>

namespace tavlor {

// data/verlauf.csv beside data.ini: loaded once, saved with the data file's saves, always as
// one atomic replacement.
class HistoryFile
{
public:
    HistoryFile(std::string path, FileStore& files, const Clock& clock);

    struct LoadReport
    {
        std::size_t damagedRows = 0;
        std::string asidePath;   // where the file as it was has been copied, when rows were damaged
        bool unreadable = false; // the file exists but cannot be read; it is never overwritten
    };

    // Damaged rows are not lost: the file as it stood is copied aside before the good rows
    // are written back, so the report names them once and the next start is clean.
    LoadReport load();
    // False when the file could not be written (or must not be, see unreadable).
    bool save();

    void count(const CivilDateTime& moment, const Usage& usage);
    const UsageHistory& history() const { return m_history; }
    const std::string& path() const { return m_path; }

private:
    std::string asidePathFor(const CivilDateTime& now) const;

    std::string m_path;
    FileStore& m_files;
    const Clock& m_clock;
    UsageHistory m_history;
    bool m_writable = true;
};

// data/verlauf.csv for data/data.ini.
std::string HistoryPathBeside(const std::string& dataFilePath);

} // namespace tavlor
