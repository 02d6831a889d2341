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

} // namespace
} // namespace tavlor
