#include "platform/win32/ras/RasDialupService.h"

#include "FakeRasLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavlor {
namespace {

using test::FakeRas;
using test::FakeRasLoader;

// RAS answers before the call returns: every request's result is there at once.
DialupResult answerOf(const std::function<void(DialupService::Done)>& start)
{
    DialupResult result = DialupResult::failure(DialupResult::Status::Failed, "(no answer)");
    start([&result](const DialupResult& r) { result = r; });
    return result;
}

TEST(RasDialupService, EntriesDetailsAndTheHundredRecordLimit)
{
    FakeRas fake;
    fake.entries = {{"T-Online", "anonymer", "0191011", "geheim", true},
                    {"Arbeit", "mueller", "+49 30", "", false}};
    FakeRasLoader loader(fake);
    RasDialupService service(loader);
    std::vector<DialupEntry> listed;
    service.listEntries(
        [&listed](const DialupResult&, std::vector<DialupEntry> e) { listed = std::move(e); });
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1].name, "Arbeit");
    DialupEntryDetails details;
    service.readEntry("T-Online",
                      [&details](const DialupResult&, DialupEntryDetails d) { details = std::move(d); });
    EXPECT_EQ(details.user, "anonymer");
    EXPECT_TRUE(details.passwordReadable);
    EXPECT_EQ(std::string(details.password.view()), "geheim");

    fake.entries.resize(101, FakeRas::Entry{"x", "", "", "", false});
    DialupResult overfull;
    service.listEntries([&overfull](const DialupResult& r, std::vector<DialupEntry>) { overfull = r; });
    EXPECT_FALSE(overfull.ok());
}

TEST(RasDialupService, ADialFillsTheRecordWipesItAndHangsUpAHalfMadeConnection)
{
    FakeRas fake;
    fake.entries = {{"T-Online", "anonymer", "0191011", "geheim", true}};
    FakeRasLoader loader(fake);
    RasDialupService service(loader);
    EXPECT_TRUE(answerOf([&](auto done) {
                    service.dial("T-Online", DialValues{"ich", "0191", SecretText("pw")}, done);
                }).ok());
    EXPECT_EQ(rasfields::text(fake.dialled.szUserName), "ich");
    EXPECT_EQ(service.activeConnections().size(), 1u);

    fake.results["RasDialA"] = 678;
    fake.halfMadeHandle = 9;
    EXPECT_FALSE(answerOf([&](auto done) { service.dial("T-Online", DialValues{}, done); }).ok());
    EXPECT_EQ(fake.hungUp.back(), 9u);
    const DialupResult tooLong = answerOf([&](auto done) {
        service.dial("T-Online", DialValues{std::string(257, 'u'), "", {}}, done);
    });
    EXPECT_EQ(tooLong.reason, "Der Benutzername ist zu lang (höchstens 256 Zeichen).");
}

TEST(RasDialupService, AMissingEnumerationFunctionRaisesThePartsMessage)
{
    FakeRas fake;
    fake.missing = {"RasEnumConnectionsA"};
    FakeRasLoader loader(fake);
    RasDialupService service(loader);
    try {
        service.activeConnections();
        FAIL() << "no error";
    } catch (const ERasError& e) {
        EXPECT_STREQ(e.what(), "RasEnumConnectionsA not found in rasapi32.dll");
    }
}

// Wine's ANSI code page here is Windows-1252: "ü" is the one byte FC, "ß" DF, "ä" E4, "ö" F6.
TEST(RasDialupService, EveryTextCrossesTheAnsiFunctionsInTheAnsiCodePage)
{
    FakeRas fake;
    fake.entries = {{"B\xFCro", "J\xFCrgen", "0191",
                     "Gr\xFC\xDF"
                     "e",
                     true}};
    fake.connections = {{5, "B\xFCro", "Modem \xE4"}};
    FakeRasLoader loader(fake);
    RasDialupService service(loader);
    std::vector<DialupEntry> listed;
    service.listEntries(
        [&listed](const DialupResult&, std::vector<DialupEntry> e) { listed = std::move(e); });
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, "Büro");
    EXPECT_EQ(listed[0].id, "Büro");
    const ActiveDialup up = service.activeConnections().at(0);
    EXPECT_EQ(up.entry, "Büro");
    EXPECT_EQ(up.device, "Modem ä");
    DialupEntryDetails details;
    service.readEntry("Büro",
                      [&details](const DialupResult&, DialupEntryDetails d) { details = std::move(d); });
    EXPECT_EQ(details.user, "Jürgen");
    EXPECT_EQ(std::string(details.password.view()), "Grüße");

    // Typed values in the code page; what was not typed (the number) as stored.
    ASSERT_TRUE(answerOf([&](auto done) {
                    service.dial("Büro", DialValues{"Jörg", std::nullopt, SecretText("Grüße")}, done);
                }).ok());
    EXPECT_EQ(rasfields::text(fake.dialled.szEntryName), "B\xFCro");
    EXPECT_EQ(rasfields::text(fake.dialled.szUserName), "J\xF6rg");
    EXPECT_EQ(rasfields::text(fake.dialled.szPassword), "Gr\xFC\xDF"
                                                        "e");
    EXPECT_EQ(rasfields::text(fake.dialled.szPhoneNumber), "0191");
    // Nothing typed: the stored password goes, never an empty one.
    ASSERT_TRUE(answerOf([&](auto done) { service.dial("Büro", DialValues{}, done); }).ok());
    EXPECT_EQ(rasfields::text(fake.dialled.szPassword), "Gr\xFC\xDF"
                                                        "e");
    EXPECT_EQ(rasfields::text(fake.dialled.szUserName), "J\xFC"
                                                        "rgen");

    EXPECT_TRUE(answerOf([&](auto done) { service.renameEntry("Büro", "Zuhäuse", done); }).ok());
    EXPECT_EQ(fake.renamed.back(), (std::pair<std::string, std::string>{"B\xFCro", "Zuh\xE4use"}));
    EXPECT_TRUE(answerOf([&](auto done) { service.deleteEntry("Büro", done); }).ok());
    EXPECT_EQ(fake.deleted.back(), "B\xFCro");
    service.editEntryInSystemDialog(nullptr, "Büro", [](const DialupResult&) {});
    EXPECT_EQ(fake.calls.back(), "RasEditPhonebookEntryA B\xFCro");

    fake.results["RasDialA"] = 691;
    fake.errorText = "Zugriff verweigert: Benutzername/Kennwort ung\xFCltig";
    EXPECT_EQ(answerOf([&](auto done) { service.dial("Büro", DialValues{}, done); }).reason,
              "Zugriff verweigert: Benutzername/Kennwort ungültig");

    // What the code page cannot hold is refused before any call, never sent as '?'.
    const std::size_t calls = fake.calls.size();
    const DialupResult cyrillic = answerOf([&](auto done) {
        service.dial("Büro", DialValues{"Иван", "0191", SecretText("pw")}, done);
    });
    EXPECT_EQ(cyrillic.reason,
              "Der Benutzername enthält Zeichen, die die Codepage von Windows (ANSI) nicht darstellen kann.");
    EXPECT_EQ(answerOf([&](auto done) { service.renameEntry("Büro", "Zuhause 🏠", done); }).reason,
              "Der Name enthält Zeichen, die die Codepage von Windows (ANSI) nicht darstellen kann.");
    EXPECT_EQ(fake.calls.size(), calls);
}

TEST(RasDialupService, TheSystemDialogsAreOwnedByAWindowHandleOrByNone)
{
    FakeRas fake;
    FakeRasLoader loader(fake);
    RasDialupService service(loader);
    // A message-only window: a real HWND also where no display is there (Wine in the tests).
    HWND window = CreateWindowExA(0, "STATIC", "Tavlor", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    int notAWindow = 0; // such as a widget object's address
    service.createEntryInSystemDialog(window, [](const DialupResult&) {});
    service.editEntryInSystemDialog(&notAWindow, "x", [](const DialupResult&) {});
    service.createEntryInSystemDialog(nullptr, [](const DialupResult&) {});
    EXPECT_EQ(fake.owners, (std::vector<void*>{window, nullptr, nullptr}));
    DestroyWindow(window);
}

} // namespace
} // namespace tavlor
