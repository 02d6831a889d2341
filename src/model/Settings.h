#pragma once

#include <cstdint>
#include <string>

namespace tavlor {

// Which online time the tray hint shows (the data file's TYP, the item of rGroup).
enum class TrayTime : std::int32_t
{
    None = -1, // an edited file may say so; the hint then keeps what it had
    Total = 0,
    Today = 1,
    Session = 2
};

// The user's choices and what the data file keeps beside the counters. Held once, in
// UsageState; the file is read into it and written from it, the window's controls show it and
// their clicks change it. Nothing takes a setting back from a control or the view model.
struct Settings
{
    TrayTime trayTime = TrayTime::Total;
    bool minimiseOnClose = false; // MINI, "Minimieren statt schliessen"
    bool confirmQuit = false;     // BEENDEN, "Sicherheitsabfrage vor Beenden"
    bool onLAN = false;           // gateway mode
    // [Zaehlen] Getaktet: also online while the system's primary connection is metered, counting
    // that connection's link.
    bool countMetered = false;
    // Row offsets from the first adapter row; never below 0 (the row before it is loopback).
    std::int32_t downloadMethod = 0;
    std::int32_t uploadMethod = 1;
    // Where the window stood when the file was written; the tray's double-click puts it back.
    std::int32_t windowLeft = 0;
    std::int32_t windowTop = 0;
    // The reset date exactly as the file holds it and lRd shows it: a text, never read as a date.
    std::string lastResetDate;

    friend bool operator==(const Settings&, const Settings&) = default;
};

inline constexpr std::int32_t kDefaultDownloadMethod = 0;
inline constexpr std::int32_t kDefaultUploadMethod = 1;

} // namespace tavlor
