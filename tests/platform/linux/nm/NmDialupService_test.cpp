#include "platform/linux/nm/NmDialupService.h"
#include "text/WidgetNames.h"

#include "FakeManagerUi.h"
#include "NmTestHelpers.h"
#include "dialup/ConnectionManager.h"
#include "platform/linux/nm/NmErrors.h"

#include <QDBusArgument>
#include <QDBusMetaType>
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
            request([&](DialupService::Done done) { service->deleteEntry(e.id, done); });
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
    const DialupEntryDetails mobil = details(*service, idOf(*service, "Mobil"));
    EXPECT_EQ(mobil.number, "*99#");
    EXPECT_EQ(mobil.apn, "internet");
    EXPECT_FALSE(mobil.passwordStored);
}

TEST_F(NmStandInTest, EditAndRenameKeepAPasswordTheProgramCouldNotRead)
{
    ASSERT_TRUE(create(fields("Mobil", "gsm", "ich", "geheim", "*99#")).ok());
    EXPECT_EQ(std::string(details(*service, idOf(*service, "Mobil")).password.view()), "geheim");
    mockCall(QStringLiteral("SetSecretsReadable"), {false});
    const DialupEntryDetails hidden = details(*service, idOf(*service, "Mobil"));
    EXPECT_TRUE(hidden.passwordStored);
    EXPECT_FALSE(hidden.passwordReadable);
    EXPECT_TRUE(request([&](DialupService::Done done) {
                    service->editEntry(idOf(*service, "Mobil"), fields("Mobil", "gsm", "du", "", "*99***1#"),
                                       done);
                }).ok());
    EXPECT_TRUE(request([&](DialupService::Done done) {
                    service->renameEntry(idOf(*service, "Mobil"), "Funk", done);
                }).ok());
    mockCall(QStringLiteral("SetSecretsReadable"), {true});
    const DialupEntryDetails after = details(*service, idOf(*service, "Funk"));
    EXPECT_EQ(after.user, "du");
    EXPECT_EQ(after.number, "*99***1#");
    EXPECT_EQ(std::string(after.password.view()), "geheim");
    EXPECT_TRUE(
        request([&](DialupService::Done done) { service->deleteEntry(idOf(*service, "Funk"), done); }).ok());
    EXPECT_TRUE(names().empty());
}

TEST_F(NmStandInTest, EntryNamesStayWholeWhateverTheirLength)
{
    const std::string longName = std::string(300, 'x') + "\nzweite Zeile";
    ASSERT_TRUE(create(fields(longName, "gsm", "", "")).ok());
    EXPECT_EQ(names(), std::vector<std::string>{longName});
    EXPECT_TRUE(request([&](DialupService::Done done) {
                    service->deleteEntry(idOf(*service, longName), done);
                }).ok());
}

TEST_F(NmStandInTest, ADialComesUpIsKeptFromSignalsAndHangsUp)
{
    ASSERT_TRUE(create(fields("Mobil", "gsm", "ich", "geheim", "*99#")).ok());
    DialValues changed{"du", "*99#", SecretText("anders")};
    ASSERT_TRUE(request([&](DialupService::Done done) {
                    service->dial(idOf(*service, "Mobil"), std::move(changed), done);
                }).ok());
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
    EXPECT_EQ(details(*service, idOf(*service, "Mobil")).user, "ich");
    EXPECT_TRUE(request([&](DialupService::Done done) { service->hangUp(up.id, done); }).ok());
    EXPECT_TRUE(QTest::qWaitFor([this] { return service->activeConnections().empty(); }, 3000));

    mockCall(QStringLiteral("SetNextActivation"), {QStringLiteral("failed"), 10u});
    const DialupResult refused = request([&](DialupService::Done done) {
        service->dial(idOf(*service, "Mobil"), DialValues{"ich", "*99#", {}}, done);
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

// The connection manager over the stand-in, as an ordinary user sees NetworkManager: with
// secrets unreadable unless a test says otherwise.
class ManagerOverStandIn : public NmStandInTest
{
protected:
    void SetUp() override
    {
        NmStandInTest::SetUp();
        manager = std::make_unique<ConnectionManager>(*service, view, ui, gateway);
        manager->initialiseControls();
    }
    void TearDown() override
    {
        hangUpAll(); // an in-memory copy is no entry: SetUp's clean-up would leave it up
        manager.reset();
        NmStandInTest::TearDown();
    }
    void settle()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !manager->busy() && !ui.busy; }, 8000));
    }
    void open()
    {
        manager->RefreshConnectionStatus();
        manager->btnDetailsClick();
        settle();
    }
    void dial()
    {
        manager->btnDialEntryClick();
        settle();
    }
    void hangUpAll()
    {
        for (const ActiveDialup& a : service->activeConnections()) {
            request([&](DialupService::Done done) { service->hangUp(a.id, done); });
        }
        ASSERT_TRUE(QTest::qWaitFor([this] { return service->activeConnections().empty(); }, 3000));
        manager->RefreshConnectionStatus();
    }
    // How the stand-in was last asked to activate: method, uuid, username, number, password.
    QMap<QString, QString> last()
    {
        const QDBusMessage reply = mockCall(QStringLiteral("LastActivation"));
        return qdbus_cast<QMap<QString, QString>>(reply.arguments().value(0));
    }
    std::string lastMessage() const { return ui.messages.empty() ? std::string() : ui.messages.back(); }

    ViewModel view;
    test::FakeManagerUi ui;
    bool gateway = false;
    std::unique_ptr<ConnectionManager> manager;
};

TEST_F(ManagerOverStandIn, ACaptionIsNeverDialledTheStoredProfileBringsItsOwnSecret)
{
    ASSERT_TRUE(create(fields("Mobil", "gsm", "ich", "geheim", "*99#")).ok());
    mockCall(QStringLiteral("SetSecretsReadable"), {false});
    open();
    EXPECT_EQ(view.text(names::ePass), names::ePass); // unreadable: the caption stays, masked
    EXPECT_EQ(view.text(names::eUser), "ich");
    dial();
    EXPECT_EQ(lastMessage(), "");
    const auto sent = last();
    EXPECT_EQ(sent.value("method"), "ActivateConnection");
    EXPECT_EQ(sent.value("uuid").toStdString(), idOf(*service, "Mobil"));
    EXPECT_EQ(sent.value("password"), "geheim");
    EXPECT_EQ(view.text(names::lcon), "Mobil");
}

TEST_F(ManagerOverStandIn, AfterOpenRenameAndDeleteTheFieldsAndTheDialAreTheSelectedEntrys)
{
    ASSERT_TRUE(create(fields("A", "gsm", "a", "pa", "*99#")).ok());
    ASSERT_TRUE(create(fields("B", "gsm", "b", "pb", "*98#")).ok());
    const std::string a = idOf(*service, "A");
    const std::string b = idOf(*service, "B");
    mockCall(QStringLiteral("SetSecretsReadable"), {false});
    ASSERT_TRUE(request([&](DialupService::Done done) { service->dial(b, DialValues{}, done); }).ok());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !service->activeConnections().empty(); }, 3000));
    open(); // while B is up
    EXPECT_EQ(ui.selected, 1);
    EXPECT_EQ(view.text(names::eUser), "b");
    EXPECT_EQ(view.text(names::eNum), "*98#");
    hangUpAll();
    dial();
    EXPECT_EQ(last().value("uuid").toStdString(), b);
    EXPECT_EQ(last().value("method"), "ActivateConnection");
    hangUpAll();

    ui.inputs.push_back("C");
    manager->btnRenameEntryClick();
    settle();
    EXPECT_EQ(ui.entries, (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(ui.selected, 1);
    EXPECT_EQ(view.text(names::eUser), "b");
    dial();
    EXPECT_EQ(last().value("uuid").toStdString(), b);
    EXPECT_EQ(last().value("username"), "b");
    EXPECT_EQ(last().value("number"), "*98#");
    hangUpAll();

    ui.answers.push_back(true);
    manager->btnDeleteEntryClick();
    settle();
    EXPECT_EQ(ui.entries, std::vector<std::string>{"A"});
    EXPECT_EQ(view.text(names::eUser), "a");
    EXPECT_EQ(view.text(names::eNum), "*99#");
    dial();
    EXPECT_EQ(last().value("uuid").toStdString(), a);
    EXPECT_EQ(last().value("method"), "ActivateConnection");
    EXPECT_EQ(lastMessage(), "");
}

TEST_F(ManagerOverStandIn, AChangedUserNameOrNumberDialsWithTheStoredPasswordOrSaysItMustBeTyped)
{
    ASSERT_TRUE(create(fields("Mobil", "gsm", "ich", "geheim", "*99#")).ok());
    const std::string id = idOf(*service, "Mobil");
    open();
    manager->fieldTyped(ManagerField::User, "du");
    dial();
    EXPECT_EQ(lastMessage(), "");
    QMap<QString, QString> sent = last();
    EXPECT_EQ(sent.value("method"), "AddAndActivateConnection2");
    EXPECT_NE(sent.value("uuid").toStdString(), id); // an in-memory copy
    EXPECT_EQ(sent.value("username"), "du");
    EXPECT_EQ(sent.value("password"), "geheim");
    ASSERT_TRUE(QTest::qWaitFor([this] { return !service->activeConnections().empty(); }, 3000));
    EXPECT_EQ(service->activeConnections().at(0).entryId, id); // the copy stands for its entry
    hangUpAll();

    mockCall(QStringLiteral("SetSecretsReadable"), {false});
    manager->lstEntriesClick(); // selected afresh: nothing typed
    settle();
    manager->fieldTyped(ManagerField::Number, "*98#");
    dial();
    EXPECT_EQ(lastMessage(), std::string("Verbindung konnte nicht hergestellt werden\n") +
                                 platform::nm::kStoredPasswordUnusable);
    EXPECT_EQ(last().value("username"), "du"); // nothing was sent
    manager->fieldTyped(ManagerField::Password, "neu");
    dial();
    EXPECT_EQ(lastMessage(), std::string("Verbindung konnte nicht hergestellt werden\n") +
                                 platform::nm::kStoredPasswordUnusable); // only the one before
    EXPECT_EQ(ui.messages.size(), 1u);
    sent = last();
    EXPECT_EQ(sent.value("number"), "*98#");
    EXPECT_EQ(sent.value("password"), "neu");
    EXPECT_EQ(sent.value("username"), "ich");
    EXPECT_TRUE(QTest::qWaitFor([this] { return !service->activeConnections().empty(); }, 3000));
    // The stored profile kept its values.
    mockCall(QStringLiteral("SetSecretsReadable"), {true});
    const DialupEntryDetails stored = details(*service, id);
    EXPECT_EQ(stored.number, "*99#");
    EXPECT_EQ(std::string(stored.password.view()), "geheim");
}

TEST_F(ManagerOverStandIn, AFailedDialSaysWhatHappenedUnderThePartsMessage)
{
    ASSERT_TRUE(create(fields("Mobil", "gsm", "ich", "geheim", "*99#")).ok());
    open();
    struct Case
    {
        uint reason, device;
        std::string said;
    } cases[] = {
        {9, 46, "Die SIM-Karte braucht ihre PIN."},
        {9, 0, "Es fehlt ein Passwort."},
        {10, 0, "Benutzername oder Passwort wurden nicht angenommen."},
        {3, 47, "Die SIM-Karte ist gesperrt und braucht ihre PUK."},
    };
    for (const Case& c : cases) {
        mockCall(QStringLiteral("SetNextActivation"), {QStringLiteral("failed"), c.reason});
        mockCall(QStringLiteral("SetNextDeviceFailure"), {c.device});
        dial();
        EXPECT_EQ(lastMessage(), "Verbindung konnte nicht hergestellt werden\n" + c.said) << c.reason;
    }
}

// A Bluetooth PAN link is no dial-up entry and no dial-up connection; DUN over Bluetooth is both.
TEST_F(NmStandInTest, BluetoothPanIsNeitherListedNorCountedDialUpNetworkingIsBoth)
{
    mockCall(QStringLiteral("AddModemDevice"), {QStringLiteral("modem1"), QStringLiteral("ttyUSB1")});
    auto settings = [](const char* name, const char* type, bool gsm) {
        platform::nm::NmSettings s;
        s[QStringLiteral("connection")] = QVariantMap{{QStringLiteral("id"), QString::fromLatin1(name)},
                                                      {QStringLiteral("type"), QStringLiteral("bluetooth")}};
        s[QStringLiteral("bluetooth")] = QVariantMap{{QStringLiteral("type"), QString::fromLatin1(type)}};
        if (gsm) {
            s[QStringLiteral("gsm")] = QVariantMap{{QStringLiteral("number"), QStringLiteral("*99#")}};
        }
        return s;
    };
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SystemBus, QStringLiteral("tvl-pan"));
    const QString nm = QStringLiteral("org.freedesktop.NetworkManager");
    QDBusMessage add = QDBusMessage::createMethodCall(
        nm, QStringLiteral("/org/freedesktop/NetworkManager/Settings"),
        QStringLiteral("org.freedesktop.NetworkManager.Settings"), QStringLiteral("AddConnection"));
    for (const auto& [name, type] : {std::pair{"Handy-PAN", "panu"}, std::pair{"Handy-DUN", "dun"}}) {
        add.setArguments({QVariant::fromValue(settings(name, type, std::string(type) == "dun"))});
        ASSERT_EQ(bus.call(add).type(), QDBusMessage::ReplyMessage);
    }
    EXPECT_EQ(names(), std::vector<std::string>{"Handy-DUN"});
    QDBusMessage list = QDBusMessage::createMethodCall(
        nm, QStringLiteral("/org/freedesktop/NetworkManager/Settings"),
        QStringLiteral("org.freedesktop.NetworkManager.Settings"), QStringLiteral("ListConnections"));
    const auto paths = qdbus_cast<QList<QDBusObjectPath>>(bus.call(list).arguments().value(0));
    ASSERT_EQ(paths.size(), 2);
    QDBusMessage activate = QDBusMessage::createMethodCall(
        nm, QStringLiteral("/org/freedesktop/NetworkManager"), nm, QStringLiteral("ActivateConnection"));
    activate.setArguments({QVariant::fromValue(paths.at(0)),
                           QVariant::fromValue(QDBusObjectPath(QStringLiteral("/"))),
                           QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")))});
    ASSERT_EQ(bus.call(activate).type(), QDBusMessage::ReplyMessage);
    QDBusConnection::disconnectFromBus(QStringLiteral("tvl-pan"));
    ASSERT_TRUE(request([&](DialupService::Done done) {
                    service->dial(idOf(*service, "Handy-DUN"), DialValues{}, done);
                }).ok());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !service->activeConnections().empty(); }, 3000));
    QTest::qWait(300); // both are up; the PAN link, activated first, has long been read
    const std::vector<ActiveDialup> up = service->activeConnections();
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].entry, "Handy-DUN");
    EXPECT_EQ(up[0].entryId, idOf(*service, "Handy-DUN"));
}

} // namespace
} // namespace tavlor
