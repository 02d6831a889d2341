#pragma once

#include "status/StatusSnapshot.h"

#include <QString>
#include <QVariantMap>

namespace tavlor {

// Where the running program publishes its snapshot on the session bus: its application id.
inline const QString kStatusBusName = QStringLiteral("invalid.tavlor.Tavlor");
inline const QString kStatusObjectPath = QStringLiteral("/invalid/tavlor/Tavlor");
inline constexpr const char* kStatusInterface = "invalid.tavlor.Tavlor.Status";

// The snapshot as the interface's properties. D-Bus has no null: a limit of 0 means none, and
// Percent is -1 without a limit. The property names are the adaptor's Q_PROPERTY names.
QVariantMap StatusProperties(const StatusSnapshot& status);
// The other way, for tavlor-status; running is true (an answer came from the program). A
// property missing or of the wrong type reads as false, 0 or "".
StatusSnapshot StatusFromProperties(const QVariantMap& properties);

} // namespace tavlor
