#include "platform/Platform.h"

#include "platform/win32/WinClock.h"
#include "platform/win32/WinDefaultRouteSource.h"
#include "platform/win32/WinFileStore.h"
#include "platform/win32/WinHostAddressSource.h"
#include "platform/win32/WinInstanceGuard.h"
#include "platform/win32/WinInterfaceRowSource.h"
#include "platform/win32/WinLibraryLoader.h"
#include "platform/win32/WinLocaleFormat.h"
#include "platform/win32/WinMeteredLinkSource.h"
#include "platform/win32/WinShellFolders.h"
#include "platform/win32/WinSystemTimesSource.h"
#include "platform/win32/ras/RasDialupService.h"

namespace tavlor::platform {

const char* systemName()
{
    return "Windows";
}

// A Windows program keeps its data beside itself wherever it may write there.
bool isInstalledProgramFolder(const std::string&)
{
    return false;
}

std::unique_ptr<Clock> makeClock()
{
    return std::make_unique<win32::WinClock>();
}

std::unique_ptr<InterfaceRowSource> makeInterfaceRowSource()
{
    return std::make_unique<win32::WinInterfaceRowSource>();
}

std::unique_ptr<DefaultRouteSource> makeDefaultRouteSource()
{
    return std::make_unique<win32::WinDefaultRouteSource>();
}

std::unique_ptr<HostAddressSource> makeHostAddressSource()
{
    return std::make_unique<win32::WinHostAddressSource>();
}

std::unique_ptr<SystemTimesSource> makeSystemTimesSource()
{
    return std::make_unique<win32::WinSystemTimesSource>();
}

std::unique_ptr<InstanceGuard> makeInstanceGuard()
{
    return std::make_unique<win32::WinInstanceGuard>();
}

std::unique_ptr<ShellFolders> makeShellFolders()
{
    return std::make_unique<win32::WinShellFolders>();
}

std::unique_ptr<FileStore> makeFileStore()
{
    return std::make_unique<win32::WinFileStore>();
}

std::unique_ptr<LocaleFormat> makeLocaleFormat()
{
    return std::make_unique<win32::WinLocaleFormat>();
}

// The real "rasapi32.dll" (and "rnaph.dll") of the system.
std::unique_ptr<DialupService> makeDialupService()
{
    return std::make_unique<RasDialupService>(std::make_unique<win32::WinLibraryLoader>());
}

// The network list's connection costs; a dial-up primary is hung up through a RAS binding of its
// own, independent of the connection manager's.
std::unique_ptr<MeteredLinkSource> makeMeteredLinkSource()
{
    return std::make_unique<win32::WinMeteredLinkSource>(makeDialupService());
}

} // namespace tavlor::platform
