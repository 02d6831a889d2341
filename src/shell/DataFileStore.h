#pragma once

#include "accounting/UsageData.h"
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

    void load(UsageState& state, ViewModel& view) override;
    void save(const UsageState& state, const ViewModel& view, int windowX, int windowY) override;
    const std::string& path() const { return m_file.path(); }

private:
    std::unique_ptr<FileStore> m_files;
    UsageDataFile m_file;
};

} // namespace tavlor
