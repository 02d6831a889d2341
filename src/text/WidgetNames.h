#pragma once

// Every widget's object name, spelled once. The core keys the view model by these names, the
// windows give them to their widgets, the tests find the widgets by them; a misspelt constant
// does not compile where a misspelt string would silently find nothing.
namespace tavlor::names {

inline constexpr char Beenden1[] = "Beenden1";
inline constexpr char Button1[] = "Button1";
inline constexpr char JvGroupBox1[] = "JvGroupBox1";
inline constexpr char JvGroupBox2[] = "JvGroupBox2";
inline constexpr char JvGroupBox3[] = "JvGroupBox3";
inline constexpr char JvGroupBox4[] = "JvGroupBox4";
inline constexpr char JvGroupBox5[] = "JvGroupBox5";
inline constexpr char JvGroupBox6[] = "JvGroupBox6";
inline constexpr char JvGroupBox7[] = "JvGroupBox7";
inline constexpr char LEd[] = "LEd";
inline constexpr char Label18[] = "Label18";
inline constexpr char Label19[] = "Label19";
inline constexpr char Memo1[] = "Memo1";
inline constexpr char TrayIcon[] = "TrayIcon";
inline constexpr char btnClose[] = "btnClose";
inline constexpr char btnCreateEntry[] = "btnCreateEntry";
inline constexpr char btnDeleteEntry[] = "btnDeleteEntry";
inline constexpr char btnDetails[] = "btnDetails";
inline constexpr char btnDialEntry[] = "btnDialEntry";
inline constexpr char btnEditEntry[] = "btnEditEntry";
inline constexpr char btnExpert[] = "btnExpert";
inline constexpr char btnExport[] = "btnExport";
inline constexpr char btnHangup[] = "btnHangup";
inline constexpr char btnRenameEntry[] = "btnRenameEntry";
inline constexpr char btnReset[] = "btnReset";
inline constexpr char btnSchliessen[] = "btnSchliessen";
inline constexpr char btnSpende[] = "btnSpende";
inline constexpr char btnUebernehmen[] = "btnUebernehmen";
inline constexpr char btnWinStart[] = "btnWinStart";
inline constexpr char cbBeenden[] = "cbBeenden";
inline constexpr char cbEinheit[] = "cbEinheit";
inline constexpr char cbEntryKind[] = "cbEntryKind";
inline constexpr char cbGetaktet[] = "cbGetaktet";
inline constexpr char cbLan[] = "cbLan";
inline constexpr char cbMini[] = "cbMini";
inline constexpr char cbNurDownload[] = "cbNurDownload";
inline constexpr char chart[] = "chart";
inline constexpr char client[] = "client";
inline constexpr char eEntryApn[] = "eEntryApn";
inline constexpr char eEntryName[] = "eEntryName";
inline constexpr char eEntryNumber[] = "eEntryNumber";
inline constexpr char eEntryPass[] = "eEntryPass";
inline constexpr char eEntryUser[] = "eEntryUser";
inline constexpr char eNum[] = "eNum";
inline constexpr char ePass[] = "ePass";
inline constexpr char eUser[] = "eUser";
inline constexpr char frmExpert[] = "frmExpert";
inline constexpr char frmMonitor[] = "frmMonitor";
inline constexpr char frmTavlor[] = "frmTavlor";
inline constexpr char frmVerlauf[] = "frmVerlauf";
inline constexpr char gbTime[] = "gbTime";
inline constexpr char gbTraffic[] = "gbTraffic";
inline constexpr char iCpu[] = "iCpu";
inline constexpr char lAll[] = "lAll";
inline constexpr char lContact[] = "lContact";
inline constexpr char lCounted[] = "lCounted";
inline constexpr char lCpu[] = "lCpu";
inline constexpr char lDownS[] = "lDownS";
inline constexpr char lIn[] = "lIn";
inline constexpr char lInS[] = "lInS";
inline constexpr char lLokal[] = "lLokal";
inline constexpr char lMit[] = "lMit";
inline constexpr char lOTS[] = "lOTS";
inline constexpr char lOtDay[] = "lOtDay";
inline constexpr char lOut[] = "lOut";
inline constexpr char lOutS[] = "lOutS";
inline constexpr char lRd[] = "lRd";
inline constexpr char lSpeed[] = "lSpeed";
inline constexpr char lStatus[] = "lStatus";
inline constexpr char lUpS[] = "lUpS";
inline constexpr char lcon[] = "lcon";
inline constexpr char leftColumn[] = "leftColumn";
inline constexpr char lotAll[] = "lotAll";
inline constexpr char lremote[] = "lremote";
inline constexpr char lstEntries[] = "lstEntries";
inline constexpr char popup[] = "popup";
inline constexpr char rDown[] = "rDown";
inline constexpr char rGroup[] = "rGroup";
inline constexpr char rGroupItem0[] = "rGroupItem0";
inline constexpr char rGroupItem1[] = "rGroupItem1";
inline constexpr char rGroupItem2[] = "rGroupItem2";
inline constexpr char rGroupItems[] = "rGroupItems";
inline constexpr char rUp[] = "rUp";
inline constexpr char rightColumn[] = "rightColumn";
inline constexpr char sBar[] = "sBar";
inline constexpr char tBandbreite[] = "tBandbreite";
inline constexpr char tCheck[] = "tCheck";
inline constexpr char tGraph[] = "tGraph";

} // namespace tavlor::names
