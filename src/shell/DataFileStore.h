#pragma once

#include "datafile/DataFileLocation.h"
#include "datafile/UsageData.h"
#include "shell/UsageStore.h"

#include <memory>

namespace tavlor {

// The usage store backed by data/data.ini.
class DataFileStore final : public UsageStore
{
public:
    DataFileStore(std::unique_ptr<FileStore> files, const std::string& programFolder,
                  const std::string& userDataFolder, const LocaleFormat& locale, const Clock& clock,
                  DataPlacement placement = DataPlacement::BesideProgramWhenWritable);

    void load(UsageState& state) override;
    void save(const UsageState& state, int windowX, int windowY) override;
    const std::string& path() const { return m_file.path(); }
    // Said once when the file moved to the user's folder (see LocateDataFile).
    const std::string& notice() const { return m_location.notice; }

private:
    std::unique_ptr<FileStore> m_files;
    DataFileLocation m_location;
    UsageDataFile m_file;
};

} // namespace tavlor
