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

std::string activationFailure(uint reason)
{
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
