#pragma once

#include "platform/DialupService.h"

#include <QDBusError>

namespace tavlor::platform::nm {

inline constexpr const char* kNmMissing = "NetworkManager ist nicht erreichbar.";

// A failed call in the program's terms, with NetworkManager's own words as the reason.
DialupResult resultOf(const QDBusError& error);
// Why an activation ended (NMActiveConnectionStateReason), in German; a device reason
// (NMDeviceStateReason) that tells more, such as a SIM card asking for its PIN, comes first.
std::string activationFailure(uint reason, uint deviceReason = 0);
// A dial with a changed user name or number whose stored password cannot be read.
inline constexpr const char* kStoredPasswordUnusable = "Das gespeicherte Passwort kann mit geänderten Werten "
                                                       "nicht verwendet werden; bitte das Passwort eingeben.";

} // namespace tavlor::platform::nm
