#include "platform/linux/nm/NmLibraryLoader.h"

#include "FakeManagerUi.h"
#include "dialup/ConnectionManager.h"
#include "dialup/EntryEditor.h"
#include "netmeter/KvonlineProbes.h"
#include "platform/linux/nm/NmProxy.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>

#include <gtest/gtest.h>

#include <memory>

namespace tavlor::platform::nm {
namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");

class ScriptedEditor final : public EntryEditor
{
public:
    bool edit(void*, DialEntryFields& fields, bool isNew) override
    {
        shown = fields;
        shownAsNew = isNew;
        if (!accept) {
            return false;
        }
        change(fields);
        return true;
    }
    std::function<void(DialEntryFields&)> change = [](DialEntryFields&) {};
    bool accept = true;
    DialEntryFields shown;
    bool shownAsNew = false;
};

NmSettings profile(const QString& id, const QString& type, const QString& setting, const QVariantMap& values)
{
    NmSettings s;
    s[QStringLiteral("connection")] = {{QStringLiteral("id"), id}, {QStringLiteral("type"), type}};
    if (!setting.isEmpty()) {
        s[setting] = values;
    }
    return s;
}

class NmStandIn : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDBusMessage reset = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop"),
                                                            QStringLiteral("org.freedesktop.DBus.Mock"),
                                                            QStringLiteral("Reset"));
        ASSERT_EQ(bus.call(reset).type(), QDBusMessage::ReplyMessage) << "no stand-in on the system bus";
        add(profile("Handy", "gsm", "gsm",
                    {{"number", "*99#"}, {"apn", "internet"}, {"username", "ich"}, {"password", "geheim"}}));
        add(profile("Heim-WLAN", "802-11-wireless", "", {}));
        add(profile("DSL", "pppoe", "pppoe", {{"username", "kunde@isp"}}));
        NmSettings dun = profile("BT", "bluetooth", "gsm", {{"number", "*99***1#"}});
        dun[QStringLiteral("bluetooth")] = {{QStringLiteral("type"), QStringLiteral("dun")}};
        add(dun);
        setEntryEditor(&editor);
        manager.initialiseControls();
    }
    void TearDown() override { setEntryEditor(nullptr); }

    void add(const NmSettings& settings)
    {
        QDBusObjectPath path;
        ASSERT_TRUE(proxy.AddConnection(settings, path)) << proxy.lastError().message().toStdString();
    }
    void mock(const QString& method, const QVariantList& args)
    {
        QDBusMessage m = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop"),
                                                        QStringLiteral("org.freedesktop.DBus.Mock"), method);
        m.setArguments(args);
        ASSERT_EQ(bus.call(m).type(), QDBusMessage::ReplyMessage);
    }
    // The stored profile named `id` with its secrets, as NetworkManager holds it.
    NmSettings stored(const QString& id, const QString& secrets)
    {
        QList<QDBusObjectPath> paths;
        proxy.ListConnections(paths);
        for (const auto& path : paths) {
            NmSettings s;
            uint flags = 0;
            proxy.Flags(path, flags);
            if (proxy.GetSettings(path, s) && (flags & 4) == 0 &&
                s.value("connection").value("id").toString() == id) {
                NmSettings secret;
                proxy.GetSecrets(path, secrets, secret);
                s[secrets].insert(secret.value(secrets));
                return s;
            }
        }
        return {};
    }
    int profileCount()
    {
        QList<QDBusObjectPath> paths;
        proxy.ListConnections(paths);
        return static_cast<int>(paths.size());
    }
    void dial(int row, const std::string& user, const std::string& password, const std::string& number)
    {
        ui.selected = row;
        view.setText("eUser", user);
        view.setText("ePass", password);
        view.setText("eNum", number);
        manager.btnDialEntryClick();
    }

    QDBusConnection bus = QDBusConnection::systemBus();
    NmProxy proxy{bus};
    ScriptedEditor editor;
    NmLibraryLoader loader{bus, 5000};
    RasBinding ras{loader};
    ViewModel view;
    test::FakeManagerUi ui;
    ConnectionManager manager{ras, view, ui};
};

TEST_F(NmStandIn, ListsTheDialUpProfilesOnlyInTheServicesOrder)
{
    manager.RefreshEntryList();
    EXPECT_EQ(ui.entries, (std::vector<std::string>{"Handy", "DSL", "BT"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(NmStandIn, CreateWritesAProfileAndEditKeepsTheStoredSecret)
{
    editor.change = [](DialEntryFields& f) { f = {"Neu", "gsm", "+49 171 0", "web", "nutzer", "pw 1"}; };
    manager.btnCreateEntryClick();
    EXPECT_TRUE(editor.shownAsNew);
    EXPECT_EQ(ui.entries.back(), "Neu");
    NmSettings created = stored("Neu", "gsm");
    EXPECT_EQ(created["gsm"]["number"].toString(), "+49 171 0");
    EXPECT_EQ(created["gsm"]["apn"].toString(), "web");
    EXPECT_EQ(created["gsm"]["password"].toString(), "pw 1");
    EXPECT_FALSE(created["connection"]["autoconnect"].toBool());

    manager.btnCreateEntryClick(); // the same name again
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Fehler beim Anlegen."});

    ui.selected = 0;
    editor.change = [](DialEntryFields& f) { f.number = "*99#1"; };
    manager.btnEditEntryClick();
    EXPECT_EQ(editor.shown.password, "geheim");
    EXPECT_EQ(editor.shown.apn, "internet");
    NmSettings edited = stored("Handy", "gsm");
    EXPECT_EQ(edited["gsm"]["number"].toString(), "*99#1");
    EXPECT_EQ(edited["gsm"]["password"].toString(), "geheim");
    EXPECT_EQ(edited["gsm"]["username"].toString(), "ich");
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(NmStandIn, RenameRefusesEmptyAndTakenNamesAndKeepsTheSecret)
{
    manager.RefreshEntryList();
    ui.inputs = {"Mobil"};
    manager.btnRenameEntryClick();
    EXPECT_EQ(ui.entries.front(), "Mobil");
    EXPECT_EQ(stored("Mobil", "gsm")["gsm"]["password"].toString(), "geheim");

    ui.selected = 0;
    ui.inputs = {"DSL"};
    manager.btnRenameEntryClick();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Fehler beim umbennen."});

    auto rename = reinterpret_cast<RasRenameEntryFn>(ras.GetRasProc("RasRenameEntry"));
    EXPECT_NE(rename(nullptr, "Mobil", ""), 0u);
    EXPECT_EQ(rename(nullptr, "Mobil", "Mobil"), 0u);
    EXPECT_NE(rename(nullptr, "Gibt es nicht", "X"), 0u);
}

template <typename T> T fromBus(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        return qdbus_cast<T>(value.value<QDBusArgument>());
    }
    return value.value<T>();
}

TEST_F(NmStandIn, RenameSendsStructuredSettingsBackUnchanged)
{
    qDBusRegisterMetaType<QList<QVariantMap>>();
    NmSettings withAddresses = profile("Fest", "gsm", "gsm", {{"number", "*99#"}});
    const QList<QVariantMap> addressData{{{"address", "10.0.0.2"}, {"prefix", QVariant::fromValue(24u)}}};
    withAddresses[QStringLiteral("ipv4")] = {
        {QStringLiteral("method"), QStringLiteral("manual")},
        {QStringLiteral("dns"), QVariant::fromValue(QList<uint>{0x08080808u})},
        {QStringLiteral("address-data"), QVariant::fromValue(addressData)}};
    add(withAddresses);
    auto rename = reinterpret_cast<RasRenameEntryFn>(ras.GetRasProc("RasRenameEntry"));
    ASSERT_EQ(rename(nullptr, "Fest", "Fest 2"), 0u);

    const QVariantMap ipv4 = stored("Fest 2", "gsm").value("ipv4");
    EXPECT_EQ(ipv4.value("method").toString(), "manual");
    EXPECT_EQ(fromBus<QList<uint>>(ipv4.value("dns")), QList<uint>{0x08080808u});
    const auto addresses = fromBus<QList<QVariantMap>>(ipv4.value("address-data"));
    ASSERT_EQ(addresses.size(), 1);
    EXPECT_EQ(addresses.front().value("address").toString(), "10.0.0.2");
    EXPECT_EQ(addresses.front().value("prefix").toUInt(), 24u);
}

TEST_F(NmStandIn, DeleteRemovesTheProfileOnlyAfterYes)
{
    manager.RefreshEntryList();
    ui.selected = 1;
    manager.btnDeleteEntryClick();
    EXPECT_EQ(ui.questions.back(), "DSL wirklich löschen?");
    EXPECT_EQ(profileCount(), 4);
    ui.answers = {true};
    manager.btnDeleteEntryClick();
    EXPECT_EQ(ui.entries, (std::vector<std::string>{"Handy", "BT"}));
    EXPECT_EQ(profileCount(), 3);
}

TEST_F(NmStandIn, DialParamsBringThePasswordOnlyWhenOneIsStored)
{
    manager.RefreshEntryList();
    manager.lstEntriesClick();
    EXPECT_EQ(view.text("eUser"), "ich");
    EXPECT_EQ(view.text("eNum"), "*99#");
    EXPECT_EQ(view.text("ePass"), "geheim");

    ui.selected = 1;
    manager.lstEntriesClick();
    EXPECT_EQ(view.text("eUser"), "kunde@isp");
    EXPECT_EQ(view.text("eNum"), "");
    EXPECT_EQ(view.text("ePass"), "geheim"); // nothing stored for DSL: the field keeps its text

    ui.selected = 2;
    manager.lstEntriesClick();
    EXPECT_EQ(view.text("eNum"), "*99***1#");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(NmStandIn, DialUsesTheFieldsWithoutTouchingTheProfileAndHangUpEndsIt)
{
    manager.RefreshEntryList();
    EXPECT_FALSE(IsOnline(false, loader));
    dial(0, "anderer", "neu", "0171 *99#");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(view.text("lcon"), "Handy");
    EXPECT_EQ(view.text("lMit"), "ttyUSB0");
    EXPECT_TRUE(view.enabled("btnHangup"));
    EXPECT_TRUE(IsOnline(false, loader));

    // The stored entry is as it was; the dialled values went to an in-memory copy not listed.
    NmSettings entry = stored("Handy", "gsm");
    EXPECT_EQ(entry["gsm"]["number"].toString(), "*99#");
    EXPECT_EQ(entry["gsm"]["password"].toString(), "geheim");
    QList<QDBusObjectPath> active;
    ASSERT_TRUE(proxy.ActiveConnections(active));
    ASSERT_EQ(active.size(), 1);
    QVariantMap properties;
    proxy.ActiveConnectionProperties(active.front(), properties);
    NmSettings dialled;
    proxy.GetSettings(properties.value("Connection").value<QDBusObjectPath>(), dialled);
    EXPECT_EQ(dialled["gsm"]["number"].toString(), "0171 *99#");
    EXPECT_EQ(dialled["gsm"]["username"].toString(), "anderer");
    manager.RefreshEntryList();
    EXPECT_EQ(ui.entries.size(), 3u);

    manager.btnHangupClick();
    EXPECT_EQ(ui.waits, std::vector<int>{1000});
    EXPECT_EQ(view.text("lcon"), "Offline");
    EXPECT_EQ(view.text("lMit"), "-");
    EXPECT_FALSE(IsOnline(false, loader));
    EXPECT_EQ(profileCount(), 4);
}

TEST_F(NmStandIn, FailedDialIsReportedAndLeavesNothingBehind)
{
    manager.RefreshEntryList();
    mock("SetNextActivation", {QStringLiteral("failed"), QVariant::fromValue(10u)});
    dial(0, "ich", "falsch", "*99#");
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Verbindung konnte nicht hergestellt werden"});
    EXPECT_EQ(view.text("lcon"), "Offline");
    EXPECT_FALSE(ui.busy);
    EXPECT_EQ(RasConnectionCount(loader), 0);
    EXPECT_EQ(profileCount(), 4);

    mock("SetNextActivation", {QStringLiteral("failed"), QVariant::fromValue(10u)});
    RASDIALPARAMSA params{};
    params.dwSize = sizeof params;
    std::snprintf(params.szEntryName, sizeof params.szEntryName, "Handy");
    RasHandle handle = 0;
    const RasDword rc = ras.RasDialA(&params, &handle);
    EXPECT_NE(handle, 0u);
    char text[101] = {};
    ras.RasGetErrorStringA(rc, text, 100);
    EXPECT_STREQ(text, "Benutzername oder Passwort wurden nicht angenommen.");
}

TEST_F(NmStandIn, TwoActiveConnectionsShowTheFirstAndCountBoth)
{
    mock("AddModemDevice", {QStringLiteral("modem1"), QStringLiteral("ttyACM0")});
    manager.RefreshEntryList();
    dial(2, "", "", "*99***1#");
    dial(0, "ich", "geheim", "*99#");
    EXPECT_EQ(RasConnectionCount(loader), 2);
    view.setText("lcon", "Offline");
    manager.RefreshConnectionStatus();
    EXPECT_EQ(view.text("lcon"), "BT");
    EXPECT_EQ(view.text("lMit"), "ttyUSB0");

    manager.btnHangupClick();
    EXPECT_EQ(view.text("lcon"), "Handy");
    EXPECT_EQ(view.text("lMit"), "ttyACM0");
    EXPECT_TRUE(IsOnline(false, loader));
    manager.btnHangupClick();
    EXPECT_FALSE(IsOnline(false, loader));
}

TEST_F(NmStandIn, DeletingAConnectedEntryLeavesTheConnectionToItsHangUp)
{
    manager.RefreshEntryList();
    dial(1, "kunde@isp", "x", "");
    EXPECT_EQ(view.text("lcon"), "DSL");
    ui.selected = 1;
    ui.answers = {true};
    manager.btnDeleteEntryClick();
    EXPECT_EQ(ui.entries, (std::vector<std::string>{"Handy", "BT"}));
    EXPECT_EQ(RasConnectionCount(loader), 1);

    manager.btnHangupClick();
    EXPECT_EQ(RasConnectionCount(loader), 0);
    EXPECT_EQ(profileCount(), 3); // the dialling copy went with the connection
}

TEST(NmAbsent, TheLibraryDoesNotOpenAndTheManagerReportsFailures)
{
    QDBusConnection nowhere = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                            QStringLiteral("nowhere"));
    NmLibraryLoader loader(nowhere);
    EXPECT_EQ(loader.load("rasapi32.dll"), nullptr);
    EXPECT_FALSE(IsOnline(false, loader));
    RasBinding ras(loader);
    ViewModel view;
    test::FakeManagerUi ui;
    ConnectionManager manager(ras, view, ui);
    manager.initialiseControls();
    manager.btnDetailsClick();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"RasEnumEntries failed."});
    manager.btnHangupClick();
    EXPECT_EQ(ui.messages.back(), "RasHangUp failed.");
    ui.entries = {"Handy"};
    ui.selected = 0;
    ui.inputs = {"Neu"};
    try {
        manager.btnRenameEntryClick();
        FAIL() << "no error";
    } catch (const ERasError& e) {
        EXPECT_STREQ(e.what(), "Error opening rasapi.dll");
    }
}

} // namespace
} // namespace tavlor::platform::nm
