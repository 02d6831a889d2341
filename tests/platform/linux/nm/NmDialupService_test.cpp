#include "platform/linux/nm/NmDialupService.h"

#include "NmTestHelpers.h"

#include <QElapsedTimer>
#include <fstream>
#include <gtest/gtest.h>

namespace tavlor {
namespace {

using Status = DialupResult::Status;
using namespace test;

long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
    }
    return -1;
}

// Against the stand-in on a private bus; every test starts without entries.
class NmStandInTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        service = std::make_unique<platform::nm::NmDialupService>(3000);
        ASSERT_TRUE(QTest::qWaitFor([this] { return service->available(); }, 5000));
        mockCall(QStringLiteral("SetSecretsReadable"), {true});
        for (const DialupEntry& e : listed(*service)) {
            request([&](DialupService::Done done) { service->deleteEntry(e.name, done); });
        }
    }
    void TearDown() override { service.reset(); }

    DialupResult create(DialupEntryFields f)
    {
        return request([&](DialupService::Done done) { service->createEntry(std::move(f), done); });
    }
    std::vector<std::string> names()
    {
        std::vector<std::string> out;
        for (const DialupEntry& e : listed(*service)) {
            out.push_back(e.name);
        }
        return out;
    }

    std::unique_ptr<platform::nm::NmDialupService> service;
};

TEST_F(NmStandInTest, RefusalsNameNetworkManagersReasonAndAnEmptyPasswordIsNeverSent)
{
    EXPECT_TRUE(create(fields("Mobil", "gsm", "", "", "*99#", "internet")).ok());
    EXPECT_TRUE(create(fields("DSL", "pppoe", "kunde", "")).ok());
    const DialupResult noUser = create(fields("DSL2", "pppoe", "", "pw"));
    EXPECT_EQ(noUser.status, Status::Refused);
    EXPECT_EQ(noUser.reason, "pppoe.username: property is missing");
    const DialupResult twice = create(fields("Mobil", "gsm", "", ""));
    EXPECT_EQ(twice.reason, "Ein Eintrag mit diesem Namen besteht bereits.");
    EXPECT_EQ(names(), (std::vector<std::string>{"Mobil", "DSL"}));
    const DialupEntryDetails mobil = details(*service, "Mobil");
    EXPECT_EQ(mobil.number, "*99#");
    EXPECT_EQ(mobil.apn, "internet");
    EXPECT_FALSE(mobil.passwordStored);
}

TEST_F(NmStandInTest, EditAndRenameKeepAPasswordTheProgramCouldNotRead)
{
    ASSERT_TRUE(create(fields("Mobil", "gsm", "ich", "geheim", "*99#")).ok());
    EXPECT_EQ(std::string(details(*service, "Mobil").password.view()), "geheim");
    mockCall(QStringLiteral("SetSecretsReadable"), {false});
    const DialupEntryDetails hidden = details(*service, "Mobil");
    EXPECT_TRUE(hidden.passwordStored);
    EXPECT_FALSE(hidden.passwordReadable);
    EXPECT_TRUE(request([&](DialupService::Done done) {
                    service->editEntry("Mobil", fields("Mobil", "gsm", "du", "", "*99***1#"), done);
                }).ok());
    EXPECT_TRUE(request([&](DialupService::Done done) { service->renameEntry("Mobil", "Funk", done); }).ok());
    mockCall(QStringLiteral("SetSecretsReadable"), {true});
    const DialupEntryDetails after = details(*service, "Funk");
    EXPECT_EQ(after.user, "du");
    EXPECT_EQ(after.number, "*99***1#");
    EXPECT_EQ(std::string(after.password.view()), "geheim");
    EXPECT_TRUE(request([&](DialupService::Done done) { service->deleteEntry("Funk", done); }).ok());
    EXPECT_TRUE(names().empty());
}

TEST_F(NmStandInTest, EntryNamesStayWholeWhateverTheirLength)
{
    const std::string longName = std::string(300, 'x') + "\nzweite Zeile";
    ASSERT_TRUE(create(fields(longName, "gsm", "", "")).ok());
    EXPECT_EQ(names(), std::vector<std::string>{longName});
    EXPECT_TRUE(request([&](DialupService::Done done) { service->deleteEntry(longName, done); }).ok());
}

TEST_F(NmStandInTest, ADialComesUpIsKeptFromSignalsAndHangsUp)
{
    ASSERT_TRUE(create(fields("Mobil", "gsm", "ich", "geheim", "*99#")).ok());
    DialValues changed{"du", "*99#", SecretText("anders")};
    ASSERT_TRUE(
        request([&](DialupService::Done done) { service->dial("Mobil", std::move(changed), done); }).ok());
    ASSERT_TRUE(QTest::qWaitFor(
        [this] {
            auto a = service->activeConnections();
            return !a.empty() && a[0].interfaceName == "ppp0";
        },
        3000));
    const ActiveDialup up = service->activeConnections().at(0);
    EXPECT_EQ(up.entry, "Mobil");
    EXPECT_EQ(up.device, "ttyUSB0");
    EXPECT_EQ(service->activeDialupInterface(), "ppp0");
    // The dialled copy is no entry, and the stored one kept its values.
    EXPECT_EQ(names(), std::vector<std::string>{"Mobil"});
    EXPECT_EQ(details(*service, "Mobil").user, "ich");
    EXPECT_TRUE(request([&](DialupService::Done done) { service->hangUp(up.id, done); }).ok());
    EXPECT_TRUE(QTest::qWaitFor([this] { return service->activeConnections().empty(); }, 3000));

    mockCall(QStringLiteral("SetNextActivation"), {QStringLiteral("failed"), 10u});
    const DialupResult refused = request([&](DialupService::Done done) {
        service->dial("Mobil", DialValues{"ich", "*99#", {}}, done);
    });
    EXPECT_EQ(refused.status, Status::Failed);
    EXPECT_EQ(refused.reason, "Benutzername oder Passwort wurden nicht angenommen.");
}

TEST_F(NmStandInTest, AStalledNetworkManagerBlocksNoCall)
{
    ASSERT_TRUE(create(fields("Mobil", "gsm", "", "")).ok());
    mockCall(QStringLiteral("Stall"), {2.0});
    QElapsedTimer clock;
    clock.start();
    Answer<std::vector<DialupEntry>> answer;
    service->listEntries([&answer](const DialupResult& r, std::vector<DialupEntry> e) {
        answer.value = std::move(e);
        answer.result = r;
    });
    for (int i = 0; i < 100; ++i) {
        service->activeConnections();
    }
    EXPECT_LT(clock.elapsed(), 100);
    ASSERT_TRUE(answer.wait(8000));
    EXPECT_GE(clock.elapsed(), 1500);
    EXPECT_EQ(answer.value.size(), 1u);
}

TEST_F(NmStandInTest, WronglyTypedRepliesAreFailedCallsAndMemoryStaysBounded)
{
    const long before = residentKb();
    mockCall(QStringLiteral("BreakTypes"));
    const DialupResult broken = [&] {
        Answer<int> answer;
        service->listEntries(
            [&answer](const DialupResult& r, std::vector<DialupEntry>) { answer.result = r; });
        answer.wait();
        return answer.result.value_or(DialupResult::failure(Status::Failed, "(none)"));
    }();
    EXPECT_FALSE(broken.ok());
    EXPECT_EQ(broken.reason, "NetworkManager hat unerwartet geantwortet (ListConnections).");
    QTest::qWait(300);
    EXPECT_TRUE(service->activeConnections().empty());
    EXPECT_LT(residentKb() - before, 20 * 1024);
    service.reset();
    ASSERT_EQ(runHelper("TAVLOR_NM_RESTART_NM"), 0); // a sound stand-in for the next test
}

TEST_F(NmStandInTest, NetworkManagerAndTheWholeBusComingBackArePickedUp)
{
    ASSERT_TRUE(create(fields("Mobil", "gsm", "", "")).ok());
    ASSERT_EQ(runHelper("TAVLOR_NM_RESTART_NM"), 0);
    // The stand-in forgets its profiles; what matters is that we talk to the new one.
    ASSERT_TRUE(QTest::qWaitFor([this] { return service->available() && names().empty(); }, 5000));

    ASSERT_EQ(runHelper("TAVLOR_NM_RESTART_BUS"), 0);
    // Like the tick: looking at the state once a second notices the lost bus.
    ASSERT_TRUE(QTest::qWaitFor([this] { return service->available(); }, 10000));
    EXPECT_TRUE(create(fields("Wieder", "gsm", "", "")).ok());
    EXPECT_EQ(names(), std::vector<std::string>{"Wieder"});
}

} // namespace
} // namespace tavlor
