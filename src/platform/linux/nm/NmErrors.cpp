#include "platform/linux/nm/NmErrors.h"

namespace tavlor::platform::nm {

DialupResult resultOf(const QDBusError& error)
{
    using Status = DialupResult::Status;
    if (!error.isValid()) {
        return {};
    }
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::Disconnected:
    case QDBusError::NoServer:
        return DialupResult::failure(Status::ServiceMissing, kNmMissing);
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return DialupResult::failure(Status::Failed, "NetworkManager antwortet nicht.");
    case QDBusError::UnknownObject:
        return DialupResult::failure(Status::NotFound, "Der Eintrag wurde nicht gefunden.");
    default:
        break;
    }
    const std::string message = error.message().toStdString();
    return DialupResult::failure(Status::Refused, message.empty() ? error.name().toStdString() : message);
}

namespace {
// NMDeviceStateReason values that say more than the active connection's reason: a modem asks for
// its SIM PIN through a secret request, so NetworkManager ends the connection with "no secrets".
std::string deviceFailure(uint deviceReason)
{
    switch (deviceReason) {
    case 46: // GSM_SIM_PIN_REQUIRED
        return "Die SIM-Karte braucht ihre PIN.";
    case 34: // GSM_PIN_CHECK_FAILED
    case 59: // SIM_PIN_INCORRECT
        return "Die PIN der SIM-Karte wurde nicht angenommen.";
    case 47: // GSM_SIM_PUK_REQUIRED
        return "Die SIM-Karte ist gesperrt und braucht ihre PUK.";
    case 45: // GSM_SIM_NOT_INSERTED
        return "Im Modem steckt keine SIM-Karte.";
    default:
        return {};
    }
}
} // namespace

std::string activationFailure(uint reason, uint deviceReason)
{
    if (std::string said = deviceFailure(deviceReason); !said.empty()) {
        return said;
    }
    switch (reason) {
    case 9: // no secrets
        return "Es fehlt ein Passwort.";
    case 10: // login failed
        return "Benutzername oder Passwort wurden nicht angenommen.";
    case 6: // connect timeout
    case 7: // service start timeout
        return "Zeitüberschreitung beim Verbindungsaufbau.";
    case 3:  // device disconnected
    case 13: // device realize failed
    case 14: // device removed
        return "Das Gerät (Modem) hat die Verbindung getrennt oder ist nicht bereit.";
    case 2: // user disconnected
        return "Die Verbindung wurde getrennt.";
    default:
        return "NetworkManager hat den Verbindungsaufbau abgebrochen (Grund " + std::to_string(reason) + ").";
    }
}

} // namespace tavlor::platform::nm
