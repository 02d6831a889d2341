#pragma once

#include "platform/DialupService.h"

#include <QDBusError>

namespace tavlor::platform::nm {

inline constexpr const char* kNmMissing = "NetworkManager ist nicht erreichbar.";

// A failed call in the program's terms, with NetworkManager's own words as the reason.
DialupResult resultOf(const QDBusError& error);
// Why an activation ended (NMActiveConnectionStateReason), in German.
std::string activationFailure(uint reason);

} // namespace tavlor::platform::nm
