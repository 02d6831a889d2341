#include "dialup/ConnectionManager.h"
#include "text/WidgetNames.h"

#include "FakeDialupService.h"
#include "FakeManagerUi.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavlor {
namespace {

using Status = DialupResult::Status;
using test::FakeDialupService;

class ConnectionManagerTest : public ::testing::Test
{
protected:
    ConnectionManagerTest()
    {
        fake.entries = {{"Alpha", "anonymer", "0191011", "geheim", true, {}},
                        {"Beta", "mueller", "+49 (0)30 1234-5", "verborgen", false, {}},
                        {"Handy", "", "*99#", "", true, {}}};
        manager.initialiseControls();
    }

    int requests(const std::string& prefix) const
    {
        return static_cast<int>(std::count_if(fake.requests.begin(), fake.requests.end(),
                                              [&](const std::string& r) { return r.rfind(prefix, 0) == 0; }));
    }
    void select(int index)
    {
        ui.selected = index;
        manager.lstEntriesClick();
    }

    FakeDialupService fake;
    ViewModel view;
    test::FakeManagerUi ui;
    bool gateway = false;
    ConnectionManager manager{fake, view, ui, gateway};
};

TEST_F(ConnectionManagerTest, RefreshListsEntriesInOrderSelectsTheFirstAndTheFieldsShowIt)
{
    manager.RefreshEntryList();
    EXPECT_EQ(ui.entries, (std::vector<std::string>{"Alpha", "Beta", "Handy"}));
    EXPECT_EQ(ui.selected, 0);
    EXPECT_TRUE(view.enabled(names::btnEditEntry));
    EXPECT_EQ(view.text(names::eUser), "anonymer");
    EXPECT_EQ(fake.requests.back(), "read id:Alpha");
}

TEST_F(ConnectionManagerTest, RefusalsShowTheProgramsMessageThenTheServicesReason)
{
    const DialupResult refused =
        DialupResult::failure(Status::Refused, "gsm.apn: 'a b' contains invalid char(s)");
    struct Case
    {
        const char* request;
        std::function<void()> act;
        std::string message;
    } cases[] = {
        {"list", [this] { manager.RefreshEntryList(); }, "RasEnumEntries failed."},
        {"rename",
         [this] {
             ui.inputs.push_back("Neu");
             manager.btnRenameEntryClick();
         },
         "Fehler beim umbennen."},
        {"delete",
         [this] {
             ui.answers.push_back(true);
             manager.btnDeleteEntryClick();
         },
         "Fehler beim Löschen."},
        {"dial", [this] { manager.btnDialEntryClick(); }, "Verbindung konnte nicht hergestellt werden"},
        {"create",
         [this] {
             ui.entryAnswers.push_back([](DialupEntryFields& f) { f.name = "Neu"; });
             manager.btnCreateEntryClick();
         },
         "Fehler beim Anlegen."},
        {"edit",
         [this] {
             ui.entryAnswers.push_back([](DialupEntryFields&) {});
             manager.btnEditEntryClick();
         },
         "RasEditPhonebookEntry failed."},
    };
    for (const Case& c : cases) {
        manager.RefreshEntryList();
        ui.messages.clear();
        fake.results[c.request] = refused;
        c.act();
        fake.results.clear();
        EXPECT_EQ(ui.messages, std::vector<std::string>{c.message + "\n" + refused.reason}) << c.request;
        EXPECT_FALSE(manager.busy()) << c.request;
    }
}

TEST_F(ConnectionManagerTest, AReadablePasswordIsShownAnUnreadableOneNeverLeavesAnotherEntrysInTheField)
{
    manager.RefreshEntryList();
    select(0);
    EXPECT_EQ(view.text(names::eUser), "anonymer");
    EXPECT_EQ(view.text(names::ePass), "geheim");
    select(1);
    EXPECT_EQ(view.text(names::eUser), "mueller");
    EXPECT_EQ(view.text(names::eNum), "+49 (0)30 1234-5"); // kept exactly, not made a number
    EXPECT_EQ(view.text(names::ePass), "");
    manager.btnDialEntryClick();
    ASSERT_EQ(fake.dials.size(), 1u);
    EXPECT_EQ(fake.dials[0].entry, "id:Beta");
    EXPECT_EQ(fake.dials[0].sent, ""); // Beta's own stored password, nothing of Alpha's
    EXPECT_EQ(fake.dials[0].password, "verborgen");
}

TEST_F(ConnectionManagerTest, WhileAnswersAreOnTheirWayOnlyTheLastClickedEntryIsShown)
{
    manager.RefreshEntryList();
    select(0);
    fake.deferred = true;
    select(1);                              // Beta's answer comes late...
    EXPECT_EQ(view.text(names::ePass), ""); // ...but Alpha's password is gone at once
    select(2);
    fake.answerAll();
    EXPECT_EQ(view.text(names::eNum), "*99#");
    EXPECT_EQ(view.text(names::eUser), "");
    EXPECT_FALSE(ui.busy);
}

TEST_F(ConnectionManagerTest, ADesignTimeCaptionIsNeverDialledOnlyWhatTheUserTyped)
{
    fake.entries[0].readable = false; // no password can be read: ePass keeps its caption
    manager.RefreshEntryList();
    select(1);
    EXPECT_EQ(view.text(names::ePass), names::ePass); // shown, masked, but no value
    manager.btnDialEntryClick();
    EXPECT_EQ(fake.dials.at(0).sent, "");
    EXPECT_EQ(fake.dials.at(0).password, "verborgen");
    EXPECT_EQ(fake.dials.at(0).user, "mueller");
    manager.fieldTyped(ManagerField::Password, "neu");
    manager.fieldTyped(ManagerField::Number, "");
    manager.btnDialEntryClick();
    EXPECT_EQ(fake.dials.at(1).sent, "number,password");
    EXPECT_EQ(fake.dials.at(1).password, "neu");
    EXPECT_EQ(fake.dials.at(1).number, ""); // typed empty is sent empty
    select(0);
    manager.btnDialEntryClick();
    EXPECT_EQ(fake.dials.at(2).entry, "id:Alpha");
    EXPECT_EQ(fake.dials.at(2).sent, ""); // Beta's typed values stay with Beta
}

TEST_F(ConnectionManagerTest, AfterAnEditTheFieldsShowWhatIsStoredAndADialUsesIt)
{
    manager.RefreshEntryList();
    select(0);
    ui.entryAnswers.push_back([](DialupEntryFields& f) {
        f.user = "neu";
        f.number = "*99***1#";
    });
    manager.btnEditEntryClick();
    EXPECT_EQ(ui.entryDialogs, std::vector<std::string>{"edit Alpha password kept"});
    EXPECT_EQ(fake.edits, std::vector<std::string>{"id:Alpha|neu|*99***1#|(kept)"});
    EXPECT_EQ(view.text(names::eUser), "neu");
    EXPECT_EQ(view.text(names::eNum), "*99***1#");
    manager.btnDialEntryClick();
    EXPECT_EQ(fake.dials.at(0).user, "neu");
    EXPECT_EQ(fake.dials.at(0).number, "*99***1#");
    EXPECT_EQ(fake.dials.at(0).password, "geheim");
}

TEST_F(ConnectionManagerTest, TheEntryDialogRefusesWhatTheServiceWouldRefuseBeforeSending)
{
    struct Case
    {
        std::string name, kind, apn, user, number, said;
    } cases[] = {
        {"", "gsm", "", "", "", "Bitte einen Namen eingeben."},
        {"Beta", "gsm", "", "", "", "Ein Eintrag mit diesem Namen besteht bereits."},
        {"Neu", "gsm", "web vodafone", "", "",
         "Der APN darf nur Buchstaben, Ziffern, Punkt, Bindestrich und Unterstrich enthalten."},
        {"Neu", "gsm", std::string(65, 'a'), "", "", "Der APN ist zu lang (höchstens 64 Zeichen)."},
        {"Neu", "pppoe", "", "", "", "Ein DSL-Eintrag braucht einen Benutzernamen."},
        {"Neu", "cdma", "", "", "", "Ein CDMA-Eintrag braucht eine Nummer."},
        {std::string(300, 'n') + "\nzwei", "gsm", "internet.t-d1.de", "", "", ""},
    };
    manager.RefreshEntryList();
    for (const Case& c : cases) {
        ui.entryAnswers.push_back([&c](DialupEntryFields& f) {
            f.name = c.name;
            f.kind = c.kind;
            f.apn = c.apn;
            f.user = c.user;
            f.number = c.number;
        });
        manager.btnCreateEntryClick();
        EXPECT_EQ(ui.fieldProblems.back(), c.said) << c.name;
    }
    // Only the last one was sent, its long name whole; the list shows its line break as a blank.
    EXPECT_EQ(requests("create"), 1);
    EXPECT_EQ(fake.entries.back().name.size(), 305u);
    EXPECT_EQ(ui.entries.back(), std::string(300, 'n') + " zwei");
    ui.selected = 3;
    ui.answers.push_back(true);
    manager.btnDeleteEntryClick();
    EXPECT_EQ(requests("delete new:" + std::string(300, 'n') + "\nzwei"), 1);
    EXPECT_EQ(fake.entries.size(), 3u);
}

TEST_F(ConnectionManagerTest, CreatingWithoutTheServiceSaysSoBeforeAnyDialog)
{
    fake.running = false;
    manager.btnCreateEntryClick();
    EXPECT_TRUE(ui.entryDialogs.empty());
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Fehler beim Anlegen.\nDienst fehlt."});
}

TEST_F(ConnectionManagerTest, RenameAndDeleteFollowTheirDialogs)
{
    manager.RefreshEntryList();
    manager.btnRenameEntryClick(); // Cancel: the same name is requested
    EXPECT_EQ(ui.inputPrompts, std::vector<std::string>{"Eintrag ändern|Neuer Name:|Alpha"});
    EXPECT_EQ(requests("rename id:Alpha>Alpha"), 1);
    ui.inputs.push_back("");
    manager.btnRenameEntryClick();
    EXPECT_EQ(requests("rename"), 1);

    manager.btnDeleteEntryClick(); // No
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Alpha wirklich löschen?"});
    EXPECT_EQ(requests("delete"), 0);
}

TEST_F(ConnectionManagerTest, NoSelectionRaisesTheListIndexErrorBeforeAnyDialogOrRequest)
{
    for (auto handler : {&ConnectionManager::btnRenameEntryClick, &ConnectionManager::btnDeleteEntryClick,
                         &ConnectionManager::btnEditEntryClick, &ConnectionManager::btnDialEntryClick}) {
        try {
            (manager.*handler)();
            ADD_FAILURE() << "no error";
        } catch (const EListIndexError& e) {
            EXPECT_STREQ(e.what(), "Der Index der Liste überschreitet das Maximum (-1)");
        }
    }
    EXPECT_TRUE(fake.requests.empty());
    EXPECT_TRUE(ui.inputPrompts.empty());
    EXPECT_FALSE(ui.busy);
}

TEST_F(ConnectionManagerTest, AServiceThatRaisesLeavesNoHourglassAndAListThatRaisesIsDropped)
{
    manager.RefreshEntryList();
    fake.throwOn = "rename";
    ui.inputs.push_back("Neu");
    EXPECT_THROW(manager.btnRenameEntryClick(), std::runtime_error);
    EXPECT_FALSE(ui.busy);
    fake.throwOn = "list";
    manager.btnDetailsClick();
    EXPECT_FALSE(ui.busy);
    EXPECT_TRUE(ui.messages.empty());
    fake.throwOn.clear();
    manager.RefreshEntryList();
    EXPECT_EQ(ui.entries.size(), 3u);
}

TEST_F(ConnectionManagerTest, TheHourglassShowsUntilTheAnswerAndClicksMeanwhileAreIgnored)
{
    manager.RefreshEntryList();
    fake.deferred = true;
    manager.btnDialEntryClick();
    EXPECT_TRUE(ui.busy);
    manager.btnDialEntryClick();
    EXPECT_EQ(fake.dials.size(), 1u);
    fake.answerAll();
    EXPECT_FALSE(ui.busy);
    EXPECT_EQ(view.text(names::lcon), "Alpha");
    EXPECT_EQ(view.text(names::lMit), "ttyUSB0");
    EXPECT_TRUE(view.enabled(names::btnHangup));
}

TEST_F(ConnectionManagerTest, StatusShowsTheFirstConnectionOrTheGatewayFollowingTheFlag)
{
    fake.active = {{"/a/1", "Mobil\nFunk", "ttyUSB0", "ppp0", {}}, {"/a/2", "Zweit", "ttyUSB1", "ppp1", {}}};
    manager.RefreshConnectionStatus();
    EXPECT_EQ(view.text(names::lcon), "Mobil Funk");
    EXPECT_EQ(manager.currentConnection(), "/a/1");
    gateway = true;
    manager.RefreshConnectionStatus();
    EXPECT_EQ(view.text(names::lcon), "Internet Gateway");
    gateway = false;
    manager.RefreshConnectionStatus();
    EXPECT_EQ(view.text(names::lcon), "Mobil Funk");
    fake.active.clear();
    manager.RefreshConnectionStatus();
    EXPECT_EQ(view.text(names::lcon), "Offline");
    EXPECT_EQ(view.text(names::lMit), "-");
    EXPECT_FALSE(view.enabled(names::btnHangup));
}

TEST_F(ConnectionManagerTest, GatewayModeShowsADashForTheDeviceNeverTheFieldsCaption)
{
    // Gateway mode from the start: the design-time caption must give way at the first tick.
    manager.initialiseControls();
    EXPECT_EQ(view.text(names::lMit), names::lMit);
    gateway = true;
    fake.active = {{"/a/1", "Alpha", "ttyUSB0", "ppp0"}};
    manager.RefreshConnectionStatus();
    EXPECT_EQ(view.text(names::lcon), "Internet Gateway");
    EXPECT_EQ(view.text(names::lMit), "-");
    // A connection known before the switch keeps its device while the gateway is on.
    gateway = false;
    manager.RefreshConnectionStatus();
    gateway = true;
    manager.RefreshConnectionStatus();
    EXPECT_EQ(view.text(names::lMit), "ttyUSB0");
}

TEST_F(ConnectionManagerTest, HangUpWaitsThenRefreshesAndAFailureKeepsTheStatus)
{
    fake.active = {{"/a/1", "Alpha", "ttyUSB0", "ppp0", {}}};
    manager.RefreshConnectionStatus();
    fake.results["hangup"] = DialupResult::failure(Status::NotFound, "Diese Verbindung besteht nicht.");
    manager.btnHangupClick();
    EXPECT_EQ(ui.messages.back(), "RasHangUp failed.\nDiese Verbindung besteht nicht.");
    EXPECT_TRUE(ui.waits.empty());
    EXPECT_EQ(view.text(names::lcon), "Alpha");
    fake.results.clear();
    manager.btnHangupClick();
    EXPECT_EQ(fake.requests.back(), "hangup /a/1");
    EXPECT_EQ(ui.waits, std::vector<int>{1000});
    EXPECT_EQ(view.text(names::lcon), "Offline");
}

TEST_F(ConnectionManagerTest, OpeningSelectsTheConnectedEntryAndShowsItClosingTouchesNothing)
{
    fake.active = {{"/a/1", "Handy", "ttyUSB0", "ppp0", {}}}; // a service that tells no entry id
    manager.RefreshConnectionStatus();
    manager.btnDetailsClick();
    EXPECT_TRUE(manager.managerOpen());
    EXPECT_EQ(view.text(names::btnDetails), kDetailsOpen);
    EXPECT_EQ(ui.width, kWidthOpen);
    EXPECT_EQ(ui.selected, 2);
    EXPECT_EQ(view.text(names::eNum), "*99#");
    EXPECT_EQ(view.text(names::eUser), "");
    const auto reads = fake.requests.size();
    manager.btnDetailsClick();
    EXPECT_FALSE(manager.managerOpen());
    EXPECT_EQ(view.text(names::btnDetails), kDetailsClosed);
    EXPECT_EQ(ui.width, kWidthClosed);
    EXPECT_EQ(ui.selected, 2);
    EXPECT_EQ(fake.requests.size(), reads);
}

// Two entries of one name, then every way the list changes under a selection: the fields show
// the selected entry, and a dial dials it with its own values and what was typed for it.
TEST_F(ConnectionManagerTest, AfterEveryListChangeTheFieldsAndTheDialBelongToTheSelectedEntry)
{
    fake.entries = {{"Funk", "erst", "*99#", "eins", true, "u-1"},
                    {"Funk", "zweit", "*98#", "zwei", false, "u-2"},
                    {"Dsl", "kunde", "", "drei", true, "u-3"}};
    struct Case
    {
        const char* what;
        std::function<void()> change;
        int selected;
        std::string user, number, dialled;
    } cases[] = {
        {"open while connected to the second Funk",
         [this] {
             fake.active = {{"/a/9", "Funk", "ttyUSB0", "ppp0", "u-2"}};
             manager.RefreshConnectionStatus();
             manager.btnDetailsClick();
         },
         1, "zweit", "*98#", "u-2"},
        {"create keeps the selection",
         [this] {
             select(2);
             ui.entryAnswers.push_back([](DialupEntryFields& f) { f.name = "Neu"; });
             manager.btnCreateEntryClick();
         },
         2, "kunde", "", "u-3"},
        {"rename of the selected one",
         [this] {
             select(1);
             ui.inputs.push_back("Zweitfunk");
             manager.btnRenameEntryClick();
         },
         1, "zweit", "*98#", "u-2"},
        {"delete of the selected one selects the first",
         [this] {
             select(2);
             ui.answers.push_back(true);
             manager.btnDeleteEntryClick();
         },
         0, "erst", "*99#", "u-1"},
    };
    for (const Case& c : cases) {
        manager.btnDetailsClick(); // closed again before the next case, or opened for it
        if (manager.managerOpen()) {
            manager.btnDetailsClick();
        }
        fake.active.clear();
        manager.RefreshConnectionStatus();
        manager.RefreshEntryList();
        select(0);
        manager.fieldTyped(ManagerField::User, "getippt-fuer-erst");
        c.change();
        EXPECT_EQ(ui.selected, c.selected) << c.what;
        EXPECT_EQ(view.text(names::eUser), c.user) << c.what;
        EXPECT_EQ(view.text(names::eNum), c.number) << c.what;
        fake.active.clear();
        manager.btnDialEntryClick();
        EXPECT_EQ(fake.dials.back().entry, c.dialled) << c.what;
        EXPECT_EQ(fake.dials.back().sent, "") << c.what;
    }
    // A rename keeps what the user typed for that same entry.
    select(0);
    manager.fieldTyped(ManagerField::Number, "*97#");
    ui.inputs.push_back("Erstfunk");
    manager.btnRenameEntryClick();
    EXPECT_EQ(view.text(names::eNum), "*97#");
    manager.btnDialEntryClick();
    EXPECT_EQ(fake.dials.back().entry, "u-1");
    EXPECT_EQ(fake.dials.back().sent, "number");
    EXPECT_EQ(fake.dials.back().number, "*97#");
}

} // namespace
} // namespace tavlor
