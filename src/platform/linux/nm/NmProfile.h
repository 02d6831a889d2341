#pragma once

#include "platform/DialupService.h"
#include "platform/linux/nm/NmProxy.h"

namespace tavlor::platform::nm {

// A connection profile of one of the dial-up kinds; `dataSetting` is the setting that holds
// number, user name and password ("gsm", "cdma" or "pppoe").
struct DialUpProfile
{
    QString path;
    NmSettings settings;
    QString kind;
    QString dataSetting;

    QString id() const
    {
        return settings.value(QStringLiteral("connection")).value(QStringLiteral("id")).toString();
    }
    QString uuid() const
    {
        return settings.value(QStringLiteral("connection")).value(QStringLiteral("uuid")).toString();
    }
};

// "gsm", "cdma", "pppoe" or "bluetooth" (dial-up networking only); empty for other profiles.
QString dialUpKind(const NmSettings& settings);
QString dataSettingOf(const NmSettings& settings);
// NetworkManager keeps no password for the profile (flags "not saved" or "not required").
bool passwordNeverStored(const DialUpProfile& profile);
// The password is kept by a secret agent of the user's session, not by NetworkManager.
bool passwordAgentOwned(const DialUpProfile& profile);

DialupEntryDetails detailsOf(const DialUpProfile& profile);
// A new stored profile (not connected automatically) from the dialog's fields.
NmSettings newProfile(const DialupEntryFields& fields);
// Writes the edited fields into an existing profile; the kind stays. Without a new password
// the profile carries no secret at all, and NetworkManager keeps the one it has.
void applyFields(DialUpProfile& profile, const DialupEntryFields& fields);
// The typed values to dial with, written where the profile's kind keeps them; what was not
// typed stays as stored, an empty password is left out.
void applyDialValues(DialUpProfile& profile, const DialValues& values);
// Whether the typed values differ from the stored ones where the profile keeps them.
bool dialValuesChange(const DialUpProfile& profile, const DialValues& values);
// Puts the stored password (from GetSecrets) into the in-memory copy that is dialled.
void applyStoredPassword(DialUpProfile& profile, const QString& password);
// Takes the password out of the settings once they are sent.
void wipePassword(DialUpProfile& profile);
QString storedPassword(const NmSettings& secrets, const QString& dataSetting);

} // namespace tavlor::platform::nm
