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

std::string UnsavedCloseQuestion(const std::string& saveError)
{
    return "Die Daten konnten nicht gespeichert werden: " + saveError +
           ".\nDie seit dem letzten Speichern gezählte Onlinezeit und das seitdem gemessene "
           "Datenvolumen gehen beim Beenden verloren.\nTrotzdem beenden?";
}

} // namespace tavlor
