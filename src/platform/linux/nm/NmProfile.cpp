#include "platform/linux/nm/NmProfile.h"

#include <QUuid>

namespace tavlor::platform::nm {

namespace {
const QString kConnection = QStringLiteral("connection");
const QString kPassword = QStringLiteral("password");
const QString kPasswordFlags = QStringLiteral("password-flags");
// NM_SETTING_SECRET_FLAG_NOT_SAVED | NM_SETTING_SECRET_FLAG_NOT_REQUIRED
constexpr uint kNotKept = 0x2 | 0x4;

QString str(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string value(const NmSettings& settings, const QString& setting, const QString& key)
{
    return settings.value(setting).value(key).toString().toStdString();
}

void setOrDrop(QVariantMap& setting, const QString& key, const QString& text)
{
    if (text.isEmpty()) {
        setting.remove(key);
    } else {
        setting.insert(key, text);
    }
}

// NetworkManager refuses an empty password ("property is empty"): none is sent then.
void setPassword(QVariantMap& setting, std::string_view password)
{
    setting.remove(kPassword);
    if (!password.empty()) {
        setting.insert(kPassword, QString::fromUtf8(password.data(), static_cast<int>(password.size())));
        // 0: NetworkManager keeps the secret itself, so that dialling needs no agent.
        setting.insert(kPasswordFlags, QVariant::fromValue(0u));
    }
}

bool hasNumber(const QString& kind)
{
    return kind != QLatin1String("pppoe");
}

bool hasApn(const QString& kind)
{
    return kind == QLatin1String("gsm") || kind == QLatin1String("bluetooth");
}
} // namespace

QString dialUpKind(const NmSettings& settings)
{
    const QString type = settings.value(kConnection).value(QStringLiteral("type")).toString();
    if (type == QLatin1String("gsm") || type == QLatin1String("cdma") || type == QLatin1String("pppoe")) {
        return type;
    }
    if (type == QLatin1String("bluetooth") &&
        settings.value(QStringLiteral("bluetooth")).value(QStringLiteral("type")).toString() ==
            QLatin1String("dun")) {
        return type;
    }
    return {};
}

QString dataSettingOf(const NmSettings& settings)
{
    const QString kind = dialUpKind(settings);
    if (kind == QLatin1String("bluetooth")) {
        return settings.contains(QStringLiteral("cdma")) ? QStringLiteral("cdma") : QStringLiteral("gsm");
    }
    return kind;
}

bool passwordNeverStored(const DialUpProfile& profile)
{
    const uint flags = profile.settings.value(profile.dataSetting).value(kPasswordFlags).toUInt();
    return (flags & kNotKept) != 0;
}

bool passwordAgentOwned(const DialUpProfile& profile)
{
    const uint flags = profile.settings.value(profile.dataSetting).value(kPasswordFlags).toUInt();
    return (flags & 0x1) != 0; // NM_SETTING_SECRET_FLAG_AGENT_OWNED
}

DialupEntryDetails detailsOf(const DialUpProfile& profile)
{
    DialupEntryDetails details;
    details.kind = profile.kind.toStdString();
    details.number = value(profile.settings, profile.dataSetting, QStringLiteral("number"));
    details.apn = value(profile.settings, profile.dataSetting, QStringLiteral("apn"));
    details.user = value(profile.settings, profile.dataSetting, QStringLiteral("username"));
    return details;
}

NmSettings newProfile(const DialupEntryFields& fields)
{
    NmSettings settings;
    const QString kind = str(fields.kind);
    settings[kConnection] =
        QVariantMap{{QStringLiteral("id"), str(fields.name)},
                    {QStringLiteral("uuid"), QUuid::createUuid().toString(QUuid::WithoutBraces)},
                    {QStringLiteral("type"), kind},
                    {QStringLiteral("autoconnect"), false}};
    if (kind == QLatin1String("pppoe")) {
        // Any wired link may carry it.
        settings[QStringLiteral("802-3-ethernet")] = QVariantMap{};
    }
    settings[QStringLiteral("ppp")] = QVariantMap{};
    settings[QStringLiteral("ipv4")] = QVariantMap{{QStringLiteral("method"), QStringLiteral("auto")}};
    DialUpProfile profile{{}, settings, kind, kind};
    applyFields(profile, fields);
    return profile.settings;
}

void applyFields(DialUpProfile& profile, const DialupEntryFields& fields)
{
    QVariantMap& data = profile.settings[profile.dataSetting];
    if (hasNumber(profile.kind)) {
        setOrDrop(data, QStringLiteral("number"), str(fields.number));
    }
    if (hasApn(profile.kind)) {
        setOrDrop(data, QStringLiteral("apn"), str(fields.apn));
    }
    setOrDrop(data, QStringLiteral("username"), str(fields.user));
    setPassword(data, fields.password ? fields.password->view() : std::string_view());
}

void applyDialValues(DialUpProfile& profile, const DialValues& values)
{
    QVariantMap& data = profile.settings[profile.dataSetting];
    if (hasNumber(profile.kind) && values.number) {
        setOrDrop(data, QStringLiteral("number"), str(*values.number));
    }
    if (values.user) {
        setOrDrop(data, QStringLiteral("username"), str(*values.user));
    }
    if (values.typedPassword()) {
        setPassword(data, values.password->view());
    }
}

bool dialValuesChange(const DialUpProfile& profile, const DialValues& values)
{
    const DialupEntryDetails stored = detailsOf(profile);
    const bool number = hasNumber(profile.kind) && values.number && *values.number != stored.number;
    const bool user = values.user && *values.user != stored.user;
    return number || user;
}

void applyStoredPassword(DialUpProfile& profile, const QString& password)
{
    QVariantMap& data = profile.settings[profile.dataSetting];
    data.insert(kPassword, password);
    data.insert(kPasswordFlags, QVariant::fromValue(0u));
}

void wipePassword(DialUpProfile& profile)
{
    profile.settings[profile.dataSetting].remove(kPassword);
}

QString storedPassword(const NmSettings& secrets, const QString& dataSetting)
{
    return secrets.value(dataSetting).value(kPassword).toString();
}

} // namespace tavlor::platform::nm
