#include "shell/ui/AppServices.h"

#include "shell/DataFileStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace tavlor {

AppServices makeRealServices()
{
    AppServices services;
    services.clock = platform::makeClock();
    services.locale = platform::makeLocaleFormat();
    services.rows = platform::makeInterfaceRowSource();
    services.routes = platform::makeDefaultRouteSource();
    services.hosts = platform::makeHostAddressSource();
    services.times = platform::makeSystemTimesSource();
    services.shell = platform::makeShellFolders();
    services.dialup = platform::makeDialupService();
    services.metered = platform::makeMeteredLinkSource();
    services.systemName = platform::systemName();

    const std::string programFolder =
        QDir(QCoreApplication::applicationDirPath()).absolutePath().toStdString() + "/";
    // GenericDataLocation honours XDG_DATA_HOME and falls back to ~/.local/share.
    const std::string userDataFolder =
        (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Tavlor"))
            .toStdString();
    const DataPlacement placement = platform::isInstalledProgramFolder(programFolder)
                                        ? DataPlacement::UserFolder
                                        : DataPlacement::BesideProgramWhenWritable;
    auto store = std::make_unique<DataFileStore>(platform::makeFileStore(), programFolder, userDataFolder,
                                                 *services.locale, *services.clock, placement);
    services.dataFilePath = store->path();
    services.dataFileNotice = store->notice();
    services.files = platform::makeFileStore();
    services.store = std::move(store);
    return services;
}

} // namespace tavlor
