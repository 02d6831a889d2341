#pragma once

#include "datafile/DataFileLocation.h"
#include "model/UsageState.h"
#include "platform/Clock.h"
#include "platform/FileStore.h"
#include "platform/LocaleFormat.h"

#include <stdexcept>
#include <string>

namespace tavlor {

// A value that could not be written; the text is the message the user sees
// ("nach <path> kann nicht geschrieben werden").
class SaveError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Where data/data.ini lives: beside the program when that folder can be written, else in the
// user's data folder (userDataFolder, e.g. ~/.local/share/Tavlor). Returns the file's full path.
std::string ResolveDataFilePath(FileStore& files, const std::string& programFolder,
                                const std::string& userDataFolder,
                                DataPlacement placement = DataPlacement::BesideProgramWhenWritable);

// The usage data file: loading at start-up and saving.
class UsageDataFile
{
public:
    UsageDataFile(std::string path, FileStore& files, const LocaleFormat& locale, const Clock& clock);

    const std::string& path() const { return m_path; }

    // Fills the counters and the settings. Creates the default file on first start.
    void LoadUsageData(UsageState& state);

    // Writes the fourteen keys as one atomic replacement. Does nothing when the file is missing.
    // X and Y are the window's current position.
    // Throws SaveError when the file cannot be written; the old file is then untouched.
    void SaveUsageData(const UsageState& state, int windowX, int windowY);

private:
    std::string m_path;
    FileStore& m_files;
    const LocaleFormat& m_locale;
    const Clock& m_clock;
};

} // namespace tavlor
