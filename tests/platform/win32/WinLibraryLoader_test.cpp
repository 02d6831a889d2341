#include "platform/win32/WinLibraryLoader.h"

#include "netmeter/KvonlineProbes.h"
#include "platform/win32/ras/RasDialupService.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace tavlor::win32 {
namespace {

TEST(WinLibraryLoader, FindsTheSystemsOwnFunctionsAndNothingElse)
{
    WinLibraryLoader loader;
    LibraryLoader::Handle library = loader.load("rasapi32.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(
        reinterpret_cast<void*>(loader.lookup(library, "RasEnumConnectionsA")),
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("rasapi32.dll"), "RasEnumConnectionsA")));
    EXPECT_EQ(loader.lookup(library, "RasEnumConnections"), nullptr) << "only the A and W forms exist";
    EXPECT_EQ(loader.lookup(nullptr, "RasEnumConnectionsA"), nullptr);
    loader.release(library);
    loader.release(nullptr);

    EXPECT_EQ(loader.load("no-such-library-tavlor.dll"), nullptr);
}

// Wine's rasapi32 is a stub: it loads, knows no phonebook entries and no connections.
TEST(WinLibraryLoader, TheRasBindingTalksToTheSystemLibraryWithoutCrashing)
{
    WinLibraryLoader loader;
    RasBinding ras(loader);
    ASSERT_TRUE(ras.loaded());

    std::vector<RASCONNA> connections(4);
    connections[0].dwSize = sizeof(RASCONNA);
    RasDword bytes = sizeof(RASCONNA) * 4;
    RasDword count = 99;
    EXPECT_EQ(ras.RasEnumConnectionsA(connections.data(), &bytes, &count), kRasSuccess);
    EXPECT_EQ(count, 0u);

    std::vector<RASENTRYNAMEA> entries(100);
    entries[0].dwSize = sizeof(RASENTRYNAMEA);
    bytes = sizeof(RASENTRYNAMEA) * 100;
    count = 99;
    EXPECT_EQ(ras.RasEnumEntriesA(entries.data(), &bytes, &count), kRasSuccess);
    EXPECT_EQ(count, 0u);

    EXPECT_NE(ras.GetRasProc("RasRenameEntry"), nullptr);
    EXPECT_NE(ras.GetRasProc("RasDeleteEntry"), nullptr);
    EXPECT_THROW(ras.GetRasProc("RasNoSuchThing"), ERasError);
}

TEST(WinLibraryLoader, TheOnlineProbeFindsNoDialUpConnection)
{
    WinLibraryLoader loader;
    RasDialupService dialup(loader);
    EXPECT_TRUE(dialup.available());
    EXPECT_EQ(RasConnectionCount(dialup), 0);
    EXPECT_EQ(DetectConnection(dialup), 0);
    EXPECT_FALSE(IsOnline(false, dialup));
    EXPECT_TRUE(IsOnline(true, dialup));
}

} // namespace
} // namespace tavlor::win32
