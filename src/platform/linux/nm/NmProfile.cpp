#include "platform/linux/nm/NmProfile.h"

#include <QUuid>

namespace tavlor::platform::nm {

namespace {
const QString kConnection = QStringLiteral("connection");
const QString kPassword = QStringLiteral("password");

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

void setPassword(QVariantMap& setting, const QString& password)
{
    setting.insert(kPassword, password);
    // 0: NetworkManager keeps the secret itself, so that dialling needs no agent.
    setting.insert(QStringLiteral("password-flags"), QVariant::fromValue(0u));
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

DialEntryFields fieldsOf(const DialUpProfile& profile)
{
    DialEntryFields fields;
    fields.name = profile.id().toStdString();
    fields.kind = profile.kind.toStdString();
    fields.number = value(profile.settings, profile.dataSetting, QStringLiteral("number"));
    fields.apn = value(profile.settings, profile.dataSetting, QStringLiteral("apn"));
    fields.user = value(profile.settings, profile.dataSetting, QStringLiteral("username"));
    fields.password = value(profile.settings, profile.dataSetting, kPassword);
    return fields;
}

NmSettings newProfile(const DialEntryFields& fields)
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

void applyFields(DialUpProfile& profile, const DialEntryFields& fields)
{
    QVariantMap& data = profile.settings[profile.dataSetting];
    const std::string kind = profile.kind.toStdString();
    if (kindHasNumber(kind)) {
        setOrDrop(data, QStringLiteral("number"), str(fields.number));
    }
    if (kindHasApn(kind)) {
        setOrDrop(data, QStringLiteral("apn"), str(fields.apn));
    }
    setOrDrop(data, QStringLiteral("username"), str(fields.user));
    setPassword(data, str(fields.password));
}

void applyDialValues(DialUpProfile& profile, const QString& user, const QString& password,
                     const QString& number)
{
    QVariantMap& data = profile.settings[profile.dataSetting];
    if (kindHasNumber(profile.kind.toStdString())) {
        setOrDrop(data, QStringLiteral("number"), number);
    }
    setOrDrop(data, QStringLiteral("username"), user);
    setPassword(data, password);
}

void mergeSecrets(NmSettings& settings, const NmSettings& secrets)
{
    for (auto setting = secrets.cbegin(); setting != secrets.cend(); ++setting) {
        for (auto key = setting.value().cbegin(); key != setting.value().cend(); ++key) {
            settings[setting.key()].insert(key.key(), key.value());
        }
    }
}

QString storedPassword(const NmSettings& secrets, const QString& dataSetting)
{
    return secrets.value(dataSetting).value(kPassword).toString();
}

} // namespace tavlor::platform::nm
