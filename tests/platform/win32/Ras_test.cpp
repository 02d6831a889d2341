#include "platform/win32/ras/Ras.h"

#include "FakeRasLibrary.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using test::FakeRas;
using test::FakeRasLoader;

std::string rasErrorOf(RasBinding& ras, const std::string& name)
{
    try {
        ras.GetRasProc(name);
    } catch (const ERasError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(GetRasProc, NamesTheLibraryOrFunctionThatIsMissing)
{
    FakeRas fake;
    FakeRasLoader loader(fake);
    RasBinding ras(loader);

    fake.rasLoadable = false;
    RasBinding unloadable(loader);
    EXPECT_EQ(rasErrorOf(unloadable, "RasRenameEntry"), "Error opening rasapi.dll");

    fake.rasLoadable = true;
    fake.missing = {"RasRenameEntryA"};
    EXPECT_EQ(rasErrorOf(ras, "RasRenameEntry"), "Error opening rnaph.dll");

    fake.rnaphLoadable = true;
    EXPECT_EQ(rasErrorOf(ras, "RasRenameEntry"), "Function RasRenameEntry not found!");
}

TEST(GetRasProc, FallsBackToTheBareNameInRnaphAndKeepsThatLibrary)
{
    FakeRas fake;
    fake.missing = {"RasRenameEntryA", "RasDeleteEntryA"};
    fake.rnaphLoadable = true;
    fake.rnaphFunctions = {"RasRenameEntry"};
    FakeRasLoader loader(fake);
    RasBinding ras(loader);
    const int loadsAtStart = fake.loads;

    auto rename = reinterpret_cast<RasRenameEntryFn>(ras.GetRasProc("RasRenameEntry"));
    ASSERT_NE(rename, nullptr);
    rename(nullptr, "a", "b");
    EXPECT_EQ(fake.renamed.back(), std::make_pair(std::string("a"), std::string("b")));

    // Remembered as rnaph: the bare name is looked up there without loading anything again.
    EXPECT_NE(ras.GetRasProc("RasRenameEntry"), nullptr);
    EXPECT_EQ(rasErrorOf(ras, "RasDeleteEntry"), "Function RasDeleteEntry not found!");
    EXPECT_EQ(fake.loads - loadsAtStart, 2); // rasapi32 tried once, then rnaph
}

TEST(GetRasProc, RemembersRasapiAndReleasesEverythingAtTheEnd)
{
    FakeRas fake;
    FakeRasLoader loader(fake);
    {
        RasBinding ras(loader);
        EXPECT_NE(ras.GetRasProc("RasDeleteEntry"), nullptr);
        fake.missing = {"RasRenameEntryA"};
        EXPECT_EQ(rasErrorOf(ras, "RasRenameEntry"), "Function RasRenameEntry not found!");
        EXPECT_FALSE(fake.rnaphLoadable);
    }
    EXPECT_EQ(fake.loads, fake.releases);
}

TEST(RasBinding, UnloadableLibraryGivesAnErrorCodeAndIsRetriedOnTheNextCall)
{
    FakeRas fake;
    fake.rasLoadable = false;
    FakeRasLoader loader(fake);
    RasBinding ras(loader);

    RasHandle handle = 0;
    RASDIALPARAMSA params{};
    params.dwSize = sizeof params;
    EXPECT_EQ(ras.RasDialA(&params, &handle), kRasServiceUnavailable);
    EXPECT_EQ(ras.RasHangUpA(5), kRasServiceUnavailable);
    char text[101] = {};
    EXPECT_EQ(ras.RasGetErrorStringA(kRasServiceUnavailable, text, 100), 0u);
    EXPECT_STREQ(text, "Der Verbindungsdienst ist nicht erreichbar.");
    EXPECT_TRUE(fake.calls.empty());

    fake.rasLoadable = true;
    fake.connections = {{9, "Arbeit", "modem0"}};
    EXPECT_EQ(ras.RasHangUpA(9), 0u);
    EXPECT_TRUE(fake.connections.empty());
}

TEST(RasBinding, FunctionMissingFromTheLibraryRaisesInsteadOfCallingNull)
{
    FakeRas fake;
    fake.missing = {"RasDialA", "RasEnumEntriesA"};
    FakeRasLoader loader(fake);
    RasBinding ras(loader);

    RASDIALPARAMSA params{};
    RasHandle handle = 0;
    try {
        ras.RasDialA(&params, &handle);
        FAIL() << "no error";
    } catch (const ERasError& e) {
        EXPECT_STREQ(e.what(), "Function RasDialA not found!");
    }
    RASENTRYNAMEA entries[1] = {};
    RasDword bytes = sizeof entries;
    RasDword count = 0;
    EXPECT_THROW(ras.RasEnumEntriesA(entries, &bytes, &count), ERasError);
    EXPECT_TRUE(fake.calls.empty());
}

} // namespace
} // namespace tavlor
