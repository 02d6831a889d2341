#pragma once

#include "dialup/EntryEditor.h"
#include "platform/linux/nm/NmProxy.h"

namespace tavlor::platform::nm {

// A connection profile of one of the dial-up kinds; `dataSetting` is the setting that holds
// number, user name and password ("gsm", "cdma" or "pppoe").
struct DialUpProfile
{
    QDBusObjectPath path;
    NmSettings settings;
    QString kind;
    QString dataSetting;

    QString id() const
    {
        return settings.value(QStringLiteral("connection")).value(QStringLiteral("id")).toString();
    }
};

// "gsm", "cdma", "pppoe" or "bluetooth" (dial-up networking only); empty for other profiles.
QString dialUpKind(const NmSettings& settings);
QString dataSettingOf(const NmSettings& settings);

DialEntryFields fieldsOf(const DialUpProfile& profile);
// A new stored profile (not connected automatically) from the dialog's fields.
NmSettings newProfile(const DialEntryFields& fields);
// Writes the editable fields into an existing profile; the kind stays.
void applyFields(DialUpProfile& profile, const DialEntryFields& fields);
// The values to dial with, written where the profile's kind keeps them.
void applyDialValues(DialUpProfile& profile, const QString& user, const QString& password,
                     const QString& number);
// Secrets answered by GetSecrets, folded into the profile so that Update keeps them.
void mergeSecrets(NmSettings& settings, const NmSettings& secrets);
QString storedPassword(const NmSettings& secrets, const QString& dataSetting);

} // namespace tavlor::platform::nm
