#include "dialup/ConnectionManager.h"

#include "FakeManagerUi.h"
#include "FakeRasLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavlor {
namespace {

using test::FakeRas;

class ConnectionManagerTest : public ::testing::Test
{
protected:
    ConnectionManagerTest()
    {
        fake.entries = {{"T-Online", "anonymer", "0191011", "geheim", true},
                        {"Arbeit", "mueller", "+49 (0)30 1234-5", "", false},
                        {"Handy", "", "*99#", "", false}};
        manager.initialiseControls();
    }

    int callCount(const std::string& name) const
    {
        return static_cast<int>(std::count(fake.calls.begin(), fake.calls.end(), name));
    }
    std::string reportedError(void (ConnectionManager::*handler)())
    {
        try {
            (manager.*handler)();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "(no error)";
    }

    FakeRas fake;
    test::FakeRasLoader loader{fake};
    RasBinding ras{loader};
    ViewModel view;
    test::FakeManagerUi ui;
    ConnectionManager manager{ras, view, ui};
};

TEST_F(ConnectionManagerTest, RefreshListsEntriesInOrderAndSelectsTheFirstWithoutReadingIt)
{
    manager.RefreshEntryList();
    EXPECT_EQ(ui.entries, (std::vector<std::string>{"T-Online", "Arbeit", "Handy"}));
    EXPECT_EQ(ui.selected, 0);
    EXPECT_TRUE(view.enabled("btnEditEntry"));
    EXPECT_EQ(view.text("eUser"), "eUser");
    EXPECT_EQ(callCount("RasGetEntryDialParamsA"), 0);
}

TEST_F(ConnectionManagerTest, FailedOrOverfullEnumerationLeavesAnEmptyListAndSaysSo)
{
    manager.RefreshEntryList();
    fake.results["RasEnumEntriesA"] = 610;
    manager.RefreshEntryList();
    EXPECT_TRUE(ui.entries.empty());
    EXPECT_FALSE(view.enabled("btnEditEntry"));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"RasEnumEntries failed."});

    fake.results.clear();
    fake.entries.resize(101, FakeRas::Entry{"x", "", "", "", false});
    manager.RefreshEntryList();
    EXPECT_TRUE(ui.entries.empty());
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages.back(), "RasEnumEntries failed.");

    fake.entries.resize(100, FakeRas::Entry{"x", "", "", "", false});
    manager.RefreshEntryList();
    EXPECT_EQ(ui.entries.size(), 100u);
}

TEST_F(ConnectionManagerTest, EmptyPhonebookShowsNothingAndClickingItChangesNothing)
{
    fake.entries.clear();
    manager.RefreshEntryList();
    manager.lstEntriesClick();
    EXPECT_EQ(ui.selected, -1);
    EXPECT_FALSE(view.enabled("btnEditEntry"));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(view.text("eUser"), "eUser");
}

TEST_F(ConnectionManagerTest, DialParamsFillTheFieldsAndThePasswordOnlyWhenStored)
{
    manager.RefreshEntryList();
    manager.lstEntriesClick();
    EXPECT_EQ(view.text("eUser"), "anonymer");
    EXPECT_EQ(view.text("eNum"), "0191011");
    EXPECT_EQ(view.text("ePass"), "geheim");

    ui.selected = 1;
    manager.lstEntriesClick();
    EXPECT_EQ(view.text("eUser"), "mueller");
    EXPECT_EQ(view.text("eNum"), "+49 (0)30 1234-5"); // kept exactly, not made a number
    EXPECT_EQ(view.text("ePass"), "geheim");          // no stored password: previous text stays

    const RASDIALPARAMSA& params = manager.dialParams();
    EXPECT_TRUE(std::all_of(std::begin(params.szPassword), std::end(params.szPassword),
                            [](char c) { return c == '\0'; }));
}

TEST_F(ConnectionManagerTest, DialParamsFailureShowsTheErrorTextAndKeepsTheFields)
{
    manager.RefreshEntryList();
    fake.results["RasGetEntryDialParamsA"] = 623;
    manager.lstEntriesClick();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"RasGetEntryDialParams failed: Fehlertext 623"});
    EXPECT_EQ(view.text("eUser"), "eUser");
}

TEST_F(ConnectionManagerTest, CreateAndEditReportFailuresAndOnlyCreateReloads)
{
    fake.results["RasCreatePhonebookEntryA"] = 1;
    manager.btnCreateEntryClick();
    EXPECT_EQ(ui.messages.back(), "Fehler beim Anlegen.");
    EXPECT_EQ(callCount("RasEnumEntriesA"), 0);

    fake.results.clear();
    manager.btnCreateEntryClick();
    EXPECT_EQ(ui.entries.size(), 3u);

    ui.selected = 2;
    manager.btnEditEntryClick();
    EXPECT_EQ(callCount("RasEditPhonebookEntryA Handy"), 1);
    EXPECT_EQ(callCount("RasEnumEntriesA"), 1);
    fake.results["RasEditPhonebookEntryA"] = 2;
    manager.btnEditEntryClick();
    EXPECT_EQ(ui.messages.back(), "RasEditPhonebookEntry failed.");
}

TEST_F(ConnectionManagerTest, RenamePassesTheInputOnAndCancelRequestsTheSameName)
{
    manager.RefreshEntryList();
    ui.selected = 1;
    ui.inputs = {"Büro"};
    manager.btnRenameEntryClick();
    EXPECT_EQ(ui.inputPrompts.back(), "Eintrag ändern|Neuer Name:|Arbeit");
    EXPECT_EQ(fake.renamed.back(), std::make_pair(std::string("Arbeit"), std::string("Büro")));
    EXPECT_EQ(ui.selected, 0); // refreshed

    manager.btnRenameEntryClick(); // Cancel
    EXPECT_EQ(fake.renamed.back(), std::make_pair(std::string("T-Online"), std::string("T-Online")));

    fake.results["RasRenameEntry"] = 183;
    manager.btnRenameEntryClick();
    EXPECT_EQ(ui.messages.back(), "Fehler beim umbennen.");

    ui.inputs = {""};
    manager.btnRenameEntryClick();
    EXPECT_EQ(fake.renamed.size(), 3u);
}

TEST_F(ConnectionManagerTest, OverlongNewNameIsRefusedInsteadOfCut)
{
    manager.RefreshEntryList();
    ui.inputs = {std::string(257, 'n')};
    manager.btnRenameEntryClick();
    EXPECT_TRUE(fake.renamed.empty());
    EXPECT_EQ(ui.messages.back(), "Der Name ist zu lang (höchstens 256 Zeichen).");

    ui.inputs = {std::string(256, 'n')};
    manager.btnRenameEntryClick();
    ASSERT_EQ(fake.renamed.size(), 1u);
    EXPECT_EQ(fake.renamed.back().second.size(), 256u);
}

TEST_F(ConnectionManagerTest, DeleteAsksFirstAndOnlyYesDeletes)
{
    manager.RefreshEntryList();
    ui.selected = 2;
    manager.btnDeleteEntryClick();
    EXPECT_EQ(ui.questions.back(), "Handy wirklich löschen?");
    EXPECT_TRUE(fake.deleted.empty());

    ui.answers = {true};
    manager.btnDeleteEntryClick();
    EXPECT_EQ(fake.deleted, std::vector<std::string>{"Handy"});
    EXPECT_EQ(ui.selected, 0);

    ui.answers = {true};
    fake.results["RasDeleteEntry"] = 623;
    manager.btnDeleteEntryClick();
    EXPECT_EQ(ui.messages.back(), "Fehler beim Löschen.");
}

TEST_F(ConnectionManagerTest, NoSelectionRaisesTheListIndexErrorBeforeAnyDialogOrCall)
{
    const std::string indexError = "Der Index der Liste überschreitet das Maximum (-1)";
    EXPECT_EQ(reportedError(&ConnectionManager::btnRenameEntryClick), indexError);
    EXPECT_EQ(reportedError(&ConnectionManager::btnDeleteEntryClick), indexError);
    EXPECT_EQ(reportedError(&ConnectionManager::btnDialEntryClick), indexError);
    EXPECT_TRUE(ui.inputPrompts.empty());
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_FALSE(ui.busy);
    EXPECT_EQ(ui.busyChanges, 2);
}

TEST_F(ConnectionManagerTest, RenameWithoutAnyLibraryRaisesTheBindingMessage)
{
    manager.RefreshEntryList();
    fake.missing = {"RasRenameEntryA"};
    EXPECT_EQ(reportedError(&ConnectionManager::btnRenameEntryClick), "Error opening rnaph.dll");
    EXPECT_TRUE(fake.renamed.empty());
}

TEST_F(ConnectionManagerTest, DialUsesTheFieldsExactlyAndShowsTheConnection)
{
    manager.RefreshEntryList();
    ui.selected = 2;
    view.setText("eUser", "ich");
    view.setText("ePass", "pa ss");
    view.setText("eNum", "+49 0171 *99#");
    manager.btnDialEntryClick();

    EXPECT_STREQ(fake.dialled.szEntryName, "Handy");
    EXPECT_STREQ(fake.dialled.szUserName, "ich");
    EXPECT_STREQ(fake.dialled.szPassword, "pa ss");
    EXPECT_STREQ(fake.dialled.szPhoneNumber, "+49 0171 *99#");
    EXPECT_EQ(fake.dialled.dwSize, 1052u);
    EXPECT_EQ(fake.entries[2].number, "*99#"); // the stored entry is not touched
    EXPECT_EQ(view.text("lcon"), "Handy");
    EXPECT_EQ(view.text("lMit"), "modem0");
    EXPECT_TRUE(view.enabled("btnHangup"));
    EXPECT_EQ(manager.currentConnection(), 77u);
    EXPECT_EQ(manager.dialParams().szPassword[0], '\0');
    EXPECT_FALSE(ui.busy);
}

TEST_F(ConnectionManagerTest, FailedDialHangsUpTheHalfMadeConnection)
{
    manager.RefreshEntryList();
    fake.results["RasDialA"] = 678;
    fake.halfMadeHandle = 31;
    fake.results["RasHangUpA"] = 6; // ignored
    manager.btnDialEntryClick();
    EXPECT_EQ(fake.hungUp, std::vector<RasHandle>{31});
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Verbindung konnte nicht hergestellt werden"});
    EXPECT_EQ(view.text("lcon"), "Offline");
    EXPECT_FALSE(ui.busy);

    fake.halfMadeHandle = 0;
    manager.btnDialEntryClick();
    EXPECT_EQ(fake.hungUp.size(), 1u);
}

TEST_F(ConnectionManagerTest, OverlongFieldsAreRefusedBeforeDialling)
{
    manager.RefreshEntryList();
    view.setText("eUser", std::string(257, 'u'));
    manager.btnDialEntryClick();
    EXPECT_EQ(ui.messages.back(), "Der Benutzername ist zu lang (höchstens 256 Zeichen).");
    view.setText("eUser", std::string(256, 'u'));
    view.setText("ePass", std::string(257, 'p'));
    manager.btnDialEntryClick();
    EXPECT_EQ(ui.messages.back(), "Das Passwort ist zu lang (höchstens 256 Zeichen).");
    view.setText("ePass", "");
    view.setText("eNum", std::string(129, '1'));
    manager.btnDialEntryClick();
    EXPECT_EQ(ui.messages.back(), "Die Nummer ist zu lang (höchstens 128 Zeichen).");
    EXPECT_EQ(callCount("RasDialA"), 0);
    EXPECT_EQ(manager.dialParams().szPassword[0], '\0');

    view.setText("eNum", std::string(128, '1'));
    manager.btnDialEntryClick();
    EXPECT_EQ(std::string(fake.dialled.szPhoneNumber).size(), 128u);
    EXPECT_EQ(std::string(fake.dialled.szUserName).size(), 256u);
}

TEST_F(ConnectionManagerTest, StatusShowsTheFirstOfTwoConnectionsAndHangUpWaitsThenRefreshes)
{
    fake.connections = {{5, "Arbeit", "ttyUSB0"}, {6, "Handy", "ttyACM0"}};
    manager.RefreshConnectionStatus();
    EXPECT_EQ(view.text("lcon"), "Arbeit");
    EXPECT_EQ(view.text("lMit"), "ttyUSB0");

    manager.btnHangupClick();
    EXPECT_EQ(fake.hungUp, std::vector<RasHandle>{5});
    EXPECT_EQ(ui.waits, std::vector<int>{1000});
    EXPECT_EQ(view.text("lcon"), "Handy");

    manager.btnHangupClick();
    EXPECT_EQ(view.text("lcon"), "Offline");
    EXPECT_EQ(view.text("lMit"), "-");
    EXPECT_FALSE(view.enabled("btnHangup"));
    EXPECT_EQ(manager.currentConnection(), 0u);
}

TEST_F(ConnectionManagerTest, FailedHangUpSaysSoWithoutWaitingAndKeepsTheStatus)
{
    fake.connections = {{5, "Arbeit", "ttyUSB0"}};
    manager.RefreshConnectionStatus();
    fake.results["RasHangUpA"] = 6;
    manager.btnHangupClick();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"RasHangUp failed."});
    EXPECT_TRUE(ui.waits.empty());
    EXPECT_EQ(view.text("lcon"), "Arbeit");
}

TEST_F(ConnectionManagerTest, GatewayModeLeavesTheStatusAloneAndFailedEnumerationMeansOffline)
{
    fake.connections = {{5, "Arbeit", "ttyUSB0"}};
    view.setChecked("cbLan", true);
    view.setText("lcon", "Internet Gateway");
    manager.RefreshConnectionStatus();
    EXPECT_EQ(view.text("lcon"), "Internet Gateway");
    EXPECT_EQ(callCount("RasEnumConnectionsA"), 0);

    view.setChecked("cbLan", false);
    manager.RefreshConnectionStatus();
    fake.results["RasEnumConnectionsA"] = 600;
    manager.RefreshConnectionStatus();
    EXPECT_EQ(view.text("lcon"), "Offline");
    EXPECT_EQ(manager.currentConnection(), 0u);
}

TEST_F(ConnectionManagerTest, OpeningSelectsTheConnectedEntryWhileTheFieldsShowTheFirst)
{
    fake.connections = {{5, "Handy", "ttyUSB0"}};
    manager.RefreshConnectionStatus();
    manager.btnDetailsClick();
    EXPECT_EQ(ui.selected, 2);
    EXPECT_EQ(view.text("eUser"), "anonymer");
    EXPECT_EQ(view.text("btnDetails"), "<< VerbindungsManager schliessen");
    EXPECT_EQ(ui.width, 830);

    const auto callsBefore = fake.calls.size();
    manager.btnDetailsClick();
    EXPECT_EQ(view.text("btnDetails"), "VerbindungsManager  öffnen>>");
    EXPECT_EQ(ui.width, 450);
    EXPECT_EQ(fake.calls.size(), callsBefore);
    EXPECT_EQ(ui.selected, 2);

    fake.connections = {{5, "handy", "ttyUSB0"}}; // case matters
    manager.RefreshConnectionStatus();
    manager.btnDetailsClick();
    EXPECT_EQ(ui.selected, 0);
}

} // namespace
} // namespace tavlor
