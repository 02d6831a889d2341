#pragma once

#include "platform/DialupService.h"

#include <string>
#include <vector>

namespace tavlor {

// Kinds the entry dialog offers: the number applies to all but "pppoe", the APN to "gsm" and
// "bluetooth" entries.
bool kindHasNumber(const std::string& kind);
bool kindHasApn(const std::string& kind);

// Why the connection service would refuse these fields, checked before anything is sent: an
// empty or taken name, characters a mobile network does not allow in an APN, a DSL entry
// without user name, a CDMA entry without number. Empty when the fields can go.
// `takenNames` are the other entries' names.
std::string entryFieldsProblem(const DialupEntryFields& fields, const std::vector<std::string>& takenNames);

// An entry name as a one-line field shows it: line breaks become blanks.
std::string displayName(const std::string& name);

} // namespace tavlor
