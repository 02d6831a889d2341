#pragma once

#include <functional>
#include <string>

namespace tavlor {

enum class CloseVerdict
{
    HideToTray,
    Close,
    StayOpen
};

// FormCloseQuery's decision for a close request. MINI (cbMini) hides instead of closing unless
// the tray menu asked to quit; BEENDEN (cbBeenden) asks first through confirmQuit ("Ja" = true).
// quitRequested is cleared whatever the outcome.
CloseVerdict DecideClose(bool& quitRequested, bool mini, bool beenden,
                         const std::function<bool()>& confirmQuit);

// The question after a failed save on the way out: what the save said, what ending now loses,
// and whether to end all the same. Without it a write-protected file would keep the program
// running for ever.
std::string UnsavedCloseQuestion(const std::string& saveError);

} // namespace tavlor
