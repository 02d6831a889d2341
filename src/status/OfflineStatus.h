#pragma once

#include "datafile/DataFileLocation.h"
#include "platform/Clock.h"
#include "platform/FileStore.h"
#include "platform/LocaleFormat.h"
#include "status/StatusSnapshot.h"

#include <optional>
#include <string>

namespace tavlor {

// Forwards every reading call and refuses every change: what reports on the counters must
// never move, create or remove a file of theirs.
class ReadOnlyFileStore final : public FileStore
{
public:
    explicit ReadOnlyFileStore(FileStore& inner) : m_inner(inner) {}

    bool fileExists(const std::string& path) override { return m_inner.fileExists(path); }
    Entry entryAt(const std::string& path) override { return m_inner.entryAt(path); }
    std::optional<std::int64_t> modifiedAt(const std::string& path) override
    {
        return m_inner.modifiedAt(path);
    }
    std::optional<CivilDateTime> modifiedLocal(const std::string& path) override
    {
        return m_inner.modifiedLocal(path);
    }
    void removeStaleTemporaries(const std::string&) override {}
    bool directoryExists(const std::string& path) override { return m_inner.directoryExists(path); }
    bool createDirectory(const std::string&) override { return false; }
    bool isDirectoryWritable(const std::string& path) override { return m_inner.isDirectoryWritable(path); }
    std::optional<std::string> readFile(const std::string& path) override { return m_inner.readFile(path); }
    bool writeFile(const std::string&, const std::string&) override { return false; }
    bool replaceFile(const std::string&, const std::string&) override { return false; }

private:
    FileStore& m_inner;
};

// The data file the program would use if it started now, by its own placement rule. Where the
// program would first carry the counters beside it over to the user's folder, the file beside
// it is the one that holds them.
std::string FindDataFile(FileStore& files, const std::string& programFolder,
                         const std::string& userDataFolder, DataPlacement placement);

struct OfflineStatus
{
    std::optional<StatusSnapshot> status;
    std::string error; // what is wrong, naming the file, when status is empty
};

// The figures data.ini and verlauf.csv beside it hold, read the way the program reads them at
// start-up (a new day starts today's time afresh). A missing, unreadable or damaged file is
// an error, never a set of zeros.
OfflineStatus ReadOfflineStatus(FileStore& files, const std::string& dataPath, const LocaleFormat& locale,
                                const Clock& clock);

} // namespace tavlor
