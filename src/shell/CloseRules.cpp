#include "shell/CloseRules.h"

namespace tavlor {

CloseVerdict DecideClose(bool& quitRequested, bool mini, bool beenden,
                         const std::function<bool()>& confirmQuit)
{
    const bool quitting = quitRequested;
    // Cleared before asking: a "Nein" must not leave a stale quit request for the next close.
    quitRequested = false;
    if (!quitting && mini) {
        return CloseVerdict::HideToTray;
    }
    if (beenden && !confirmQuit()) {
        return CloseVerdict::StayOpen;
    }
    return CloseVerdict::Close;
}

} // namespace tavlor
