#pragma once

#include "platform/Clock.h"
#include "platform/DefaultRouteSource.h"
#include "platform/DialupService.h"
#include "platform/FileStore.h"
#include "platform/HostAddressSource.h"
#include "platform/InstanceGuard.h"
#include "platform/InterfaceRowSource.h"
#include "platform/LocaleFormat.h"
#include "platform/MeteredLinkSource.h"
#include "platform/ShellFolders.h"
#include "platform/SystemTimesSource.h"

#include <memory>
#include <string>

// The real implementations of the platform interfaces. CMake builds exactly one
// implementation of each factory (src/platform/linux or src/platform/win32).
namespace tavlor::platform {

// "Linux" or "Windows": the name the program's texts use for the system it runs on.
const char* systemName();

// Whether the program's folder belongs to an installation (or a build tree) rather than to a
// copy of the program the user keeps somewhere as a folder of its own.
bool isInstalledProgramFolder(const std::string& programFolder);

std::unique_ptr<Clock> makeClock();
std::unique_ptr<InterfaceRowSource> makeInterfaceRowSource();
std::unique_ptr<DefaultRouteSource> makeDefaultRouteSource();
std::unique_ptr<HostAddressSource> makeHostAddressSource();
std::unique_ptr<SystemTimesSource> makeSystemTimesSource();
std::unique_ptr<InstanceGuard> makeInstanceGuard();
std::unique_ptr<ShellFolders> makeShellFolders();
std::unique_ptr<FileStore> makeFileStore();
// Needs a running Qt application on Linux (system locale via QLocale).
std::unique_ptr<LocaleFormat> makeLocaleFormat();
// The system's dial-up entries and connections: NetworkManager on Linux (needs a Qt application
// object for D-Bus), the Remote Access Service on Windows.
std::unique_ptr<DialupService> makeDialupService();
// The primary connection and whether it is metered: NetworkManager on Linux (needs a Qt
// application object for D-Bus), the network list's connection cost on Windows.
std::unique_ptr<MeteredLinkSource> makeMeteredLinkSource();

} // namespace tavlor::platform
