#pragma once

#include <functional>

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

} // namespace tavlor
