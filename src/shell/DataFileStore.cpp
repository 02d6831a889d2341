#include "shell/DataFileStore.h"

namespace tavlor {

DataFileStore::DataFileStore(std::unique_ptr<FileStore> files, const std::string& programFolder,
                             const std::string& userDataFolder, const LocaleFormat& locale,
                             const Clock& clock, DataPlacement placement)
    : m_files(std::move(files)),
      m_location(LocateDataFile(*m_files, programFolder, userDataFolder, placement)),
      m_file(m_location.path, *m_files, locale, clock)
{
}

void DataFileStore::load(UsageState& state)
{
    m_file.LoadUsageData(state);
}

void DataFileStore::save(const UsageState& state, int windowX, int windowY)
{
    m_file.SaveUsageData(state, windowX, windowY);
}

} // namespace tavlor
