#pragma once

#include "platform/DialupLinkSource.h"
#include "platform/Platform.h"
#include "shell/UsageStore.h"

#include <functional>
#include <memory>
#include <string>

namespace tavlor {

// Everything the program talks to outside itself. main() fills it with the real platform;
// tests fill it with fakes.
struct AppServices
{
    std::unique_ptr<Clock> clock;
    std::unique_ptr<LocaleFormat> locale;
    std::unique_ptr<InterfaceRowSource> rows;
    std::unique_ptr<DefaultRouteSource> routes;
    std::unique_ptr<HostAddressSource> hosts;
    std::unique_ptr<SystemTimesSource> times;
    std::unique_ptr<ShellFolders> shell;
    // Also names the interface of the active dial-up connection, which the counters follow.
    std::unique_ptr<DialupService> dialup;
    // The primary connection and whether it is metered; null = no such source (never metered).
    std::unique_ptr<MeteredLinkSource> metered;
    std::unique_ptr<UsageStore> store; // built last: it may use clock and locale
    // The history and the Volumenwarner's section live beside the data file; without files
    // the program runs without them.
    std::unique_ptr<FileStore> files;
    std::string dataFilePath;
    std::string systemName = "Linux";
    // Where the data file went, when the user should be told (shown once after start-up).
    std::string dataFileNotice;
    // Whether the desktop has a notification area; empty = ask Qt.
    std::function<bool()> trayAvailable;
    // Ends the event loop with the exit code; empty = QCoreApplication::exit.
    std::function<void(int)> exitProgram;
    // Hands an address to the desktop (mail program, browser); empty = QDesktopServices.
    std::function<void(const std::string&)> openAddress;
};

// The real platform of the machine the program runs on.
AppServices makeRealServices();

} // namespace tavlor
