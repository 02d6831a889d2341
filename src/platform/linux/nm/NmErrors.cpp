#include "platform/linux/nm/NmErrors.h"

namespace tavlor::platform::nm {

std::string errorText(RasDword code, const std::string& detail)
{
    switch (code) {
    case 0:
        return "Kein Fehler.";
    case kNmInvalidHandle:
        return "Diese Verbindung besteht nicht.";
    case kNmInvalidName:
        return "Der Name ist leer.";
    case kNmAlreadyExists:
        return "Ein Eintrag mit diesem Namen besteht bereits.";
    case kNmBufferTooSmall:
        return "Es gibt mehr Einträge, als die Liste aufnehmen kann.";
    case kNmNoDevice:
        return "Kein passendes Gerät (Modem) gefunden.";
    case kNmEntryNotFound:
        return "Der Eintrag wurde nicht gefunden.";
    case kNmInvalidSize:
        return "Falsche Strukturgröße.";
    case kNmDeviceError:
        return "Das Gerät hat einen Fehler gemeldet.";
    case kNmAuthenticationFailed:
        return "Benutzername oder Passwort wurden nicht angenommen.";
    case kNmServiceUnavailable:
        return "NetworkManager ist nicht erreichbar.";
    case kNmTimeout:
        return "Zeitüberschreitung beim Verbindungsaufbau.";
    case kNmValueTooLong:
        return "Ein Wert des Eintrags ist zu lang.";
    case kNmNoEditor:
        return "Kein Eingabedialog verfügbar.";
    case kNmServiceError:
        return detail.empty() ? std::string("NetworkManager meldet einen Fehler.")
                              : "NetworkManager: " + detail;
    default:
        return "Unbekannter Fehler " + std::to_string(code) + ".";
    }
}

} // namespace tavlor::platform::nm
