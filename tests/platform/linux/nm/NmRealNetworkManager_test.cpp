#include "platform/linux/nm/NmDialupService.h"
#include "text/WidgetNames.h"

#include "FakeManagerUi.h"
#include "NmTestHelpers.h"
#include "dialup/ConnectionManager.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using Status = DialupResult::Status;
using namespace test;

// Against a real NetworkManager in a network namespace of its own (with-real-nm.sh): what it
// validates and how it keeps secrets is what the stand-in imitates.
class RealNetworkManager : public ::testing::Test
{
protected:
    void SetUp() override
    {
        service = std::make_unique<platform::nm::NmDialupService>(20000);
        ASSERT_TRUE(QTest::qWaitFor([this] { return service->available(); }, 10000));
        for (const DialupEntry& e : listed(*service)) {
            request([&](DialupService::Done done) { service->deleteEntry(e.id, done); });
        }
    }

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
    std::string password(const std::string& name)
    {
        return std::string(details(*service, idOf(*service, name)).password.view());
    }

    std::unique_ptr<platform::nm::NmDialupService> service;
};

TEST_F(RealNetworkManager, CreatesEntriesOfBothKindsWithAndWithoutPassword)
{
    EXPECT_TRUE(create(fields("Mobil ohne", "gsm", "", "", "*99#", "internet")).ok());
    EXPECT_TRUE(create(fields("Mobil mit", "gsm", "web", "geheim", "*99#", "web.vodafone.de")).ok());
    EXPECT_TRUE(create(fields("DSL ohne", "pppoe", "kunde@dsl", "")).ok());
    EXPECT_TRUE(create(fields("DSL mit", "pppoe", "kunde@dsl", "dslgeheim")).ok());
    EXPECT_EQ(names(), (std::vector<std::string>{"Mobil ohne", "Mobil mit", "DSL ohne", "DSL mit"}));
    const DialupEntryDetails mobil = details(*service, idOf(*service, "Mobil mit"));
    EXPECT_EQ(mobil.user, "web");
    EXPECT_EQ(mobil.apn, "web.vodafone.de");
    EXPECT_EQ(std::string(mobil.password.view()), "geheim");
    EXPECT_FALSE(details(*service, idOf(*service, "Mobil ohne")).passwordStored);
    EXPECT_EQ(password("DSL mit"), "dslgeheim");
}

TEST_F(RealNetworkManager, RefusalsCarryNetworkManagersReason)
{
    const DialupResult noUser = create(fields("DSL", "pppoe", "", "pw"));
    EXPECT_EQ(noUser.status, Status::Refused);
    EXPECT_NE(noUser.reason.find("pppoe.username"), std::string::npos) << noUser.reason;
    const DialupResult badApn = create(fields("APN", "gsm", "", "", "*99#", "web vodafone"));
    EXPECT_NE(badApn.reason.find("gsm.apn"), std::string::npos) << badApn.reason;
    ASSERT_TRUE(create(fields("Doppelt", "gsm", "", "")).ok());
    EXPECT_EQ(create(fields("Doppelt", "gsm", "", "")).reason,
              "Ein Eintrag mit diesem Namen besteht bereits.");
    EXPECT_EQ(names(), std::vector<std::string>{"Doppelt"});
}

TEST_F(RealNetworkManager, EditAndRenameKeepTheStoredPasswordAndDeleteRemoves)
{
    ASSERT_TRUE(create(fields("Mobil", "gsm", "ich", "geheim", "*99#")).ok());
    EXPECT_TRUE(request([&](DialupService::Done done) {
                    service->editEntry(idOf(*service, "Mobil"), fields("Mobil", "gsm", "du", "", "*99***1#"),
                                       done);
                }).ok());
    EXPECT_TRUE(request([&](DialupService::Done done) {
                    service->renameEntry(idOf(*service, "Mobil"), "Funk", done);
                }).ok());
    const DialupEntryDetails after = details(*service, idOf(*service, "Funk"));
    EXPECT_EQ(after.user, "du");
    EXPECT_EQ(after.number, "*99***1#");
    EXPECT_EQ(std::string(after.password.view()), "geheim");
    EXPECT_TRUE(
        request([&](DialupService::Done done) { service->deleteEntry(idOf(*service, "Funk"), done); }).ok());
    EXPECT_TRUE(names().empty());
}

TEST_F(RealNetworkManager, ADialThatFailsSaysWhy)
{
    ASSERT_TRUE(create(fields("DSL", "pppoe", "kunde@dsl", "dslgeheim")).ok());
    const DialupResult dialled = request(
        [&](DialupService::Done done) {
            service->dial(idOf(*service, "DSL"), DialValues{"kunde@dsl", "", {}}, done);
        },
        30000);
    EXPECT_FALSE(dialled.ok());
    EXPECT_FALSE(dialled.reason.empty());
    EXPECT_TRUE(service->activeConnections().empty());
}

TEST_F(RealNetworkManager, ARestartOfNetworkManagerIsPickedUp)
{
    ASSERT_TRUE(create(fields("Bleibt", "gsm", "", "")).ok());
    ASSERT_EQ(runHelper("TAVLOR_NM_RESTART_NM"), 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return service->available(); }, 15000));
    EXPECT_EQ(names(), std::vector<std::string>{"Bleibt"});
}

// NetworkManager's own tool makes two profiles of one name, as a setup wizard run twice does.
TEST_F(RealNetworkManager, TwoProfilesOfOneNameAreTwoEntriesAndEachActsOnItself)
{
    for (const char* user : {"erst", "zweit"}) {
        const std::string add = std::string("nmcli connection add type gsm ifname '*' con-name Doppelt "
                                            "gsm.apn internet gsm.number '*99#' gsm.username ") +
                                user + " >/dev/null";
        ASSERT_EQ(std::system(add.c_str()), 0) << add;
    }
    ViewModel view;
    test::FakeManagerUi ui;
    bool gateway = false;
    ConnectionManager manager(*service, view, ui, gateway);
    auto settle = [&] { ASSERT_TRUE(QTest::qWaitFor([&] { return !manager.busy() && !ui.busy; }, 10000)); };
    manager.RefreshEntryList();
    settle();
    ASSERT_EQ(ui.entries, (std::vector<std::string>{"Doppelt", "Doppelt"}));
    EXPECT_EQ(view.text(names::eUser), "erst");
    ui.selected = 1;
    manager.lstEntriesClick();
    settle();
    EXPECT_EQ(view.text(names::eUser), "zweit");

    ui.inputs.push_back("Zweit");
    manager.btnRenameEntryClick();
    settle();
    EXPECT_EQ(ui.entries, (std::vector<std::string>{"Doppelt", "Zweit"}));
    EXPECT_EQ(view.text(names::eUser), "zweit");
    ui.inputs.push_back("Doppelt"); // back to the shared name: refused, nothing else renamed
    manager.btnRenameEntryClick();
    settle();
    EXPECT_EQ(ui.messages.back(), "Fehler beim umbennen.\nEin Eintrag mit diesem Namen besteht bereits.");

    ui.answers.push_back(true);
    manager.btnDeleteEntryClick();
    settle();
    EXPECT_EQ(ui.entries, std::vector<std::string>{"Doppelt"});
    EXPECT_EQ(view.text(names::eUser), "erst");
    EXPECT_EQ(details(*service, idOf(*service, "Doppelt")).user, "erst");
}

} // namespace
} // namespace tavlor
