#include "platform/linux/nm/NmDialupService.h"

#include "platform/linux/nm/NmErrors.h"
#include "platform/linux/nm/NmProxy.h"

#include <QDebug>
#include <algorithm>
#include <memory>

// The phonebook side: the dial-up profiles, their details and their changes.
namespace tavlor::platform::nm {

namespace {
using Status = DialupResult::Status;
const QString kConnectionIface = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
// NM_SETTINGS_CONNECTION_FLAG_VOLATILE: in-memory dialling copies are no entries.
constexpr uint kVolatileFlag = 0x4;

// One answer per listed profile; the last one to arrive hands the dial-up ones over, in order.
struct ProfileGather
{
    std::vector<DialUpProfile> profiles;
    std::vector<bool> keep;
    int open = 0;
    DialupResult failure;
};
} // namespace

namespace {
// Whether a password the program could not read is there all the same. NetworkManager says
// NoSecrets for a system-owned secret that does not exist (it would have handed it to us), but
// also when the secret lives with an agent (a desktop keyring); refused permission tells nothing.
bool passwordMayBeStored(const DialUpProfile& profile, const QDBusError& error)
{
    if (passwordNeverStored(profile)) {
        return false;
    }
    if (error.name().endsWith(QLatin1String(".NoSecrets"))) {
        return passwordAgentOwned(profile);
    }
    return true;
}
} // namespace

void NmDialupService::loadProfiles(ProfilesDone done)
{
    m_proxy->ListConnections([this, done](const QDBusError& error, PathList paths) {
        if (error.isValid()) {
            done(resultOf(error), {});
            return;
        }
        auto gather = std::make_shared<ProfileGather>();
        gather->profiles.resize(static_cast<std::size_t>(paths.size()));
        gather->keep.assign(gather->profiles.size(), true);
        gather->open = static_cast<int>(paths.size()) * 2;
        if (gather->open == 0) {
            done({}, {});
            return;
        }
        auto answered = [gather, done] {
            if (--gather->open > 0) {
                return;
            }
            std::vector<DialUpProfile> found;
            for (std::size_t i = 0; i < gather->profiles.size(); ++i) {
                if (gather->keep[i] && !gather->profiles[i].kind.isEmpty()) {
                    found.push_back(std::move(gather->profiles[i]));
                }
            }
            done(gather->failure, gather->failure.ok() ? std::move(found) : std::vector<DialUpProfile>{});
        };
        for (int i = 0; i < paths.size(); ++i) {
            const auto at = static_cast<std::size_t>(i);
            const QString path = paths.at(i).path();
            gather->profiles[at].path = path;
            m_proxy->GetSettings(path, [gather, at, answered](const QDBusError& e, NmSettings settings) {
                if (e.isValid() && e.type() != QDBusError::UnknownObject &&
                    e.type() != QDBusError::UnknownMethod) {
                    gather->failure = resultOf(e);
                }
                DialUpProfile& profile = gather->profiles[at];
                profile.kind = dialUpKind(settings);
                profile.dataSetting = dataSettingOf(settings);
                profile.settings = std::move(settings);
                answered();
            });
            m_proxy->GetAll(
                path, kConnectionIface, [gather, at, answered](const QDBusError& e, QVariantMap values) {
                    uint flags = 0;
                    if (!e.isValid() && NmProxy::readUInt(values.value(QStringLiteral("Flags")), flags)) {
                        gather->keep[at] = (flags & kVolatileFlag) == 0;
                    }
                    answered();
                });
        }
    });
}

void NmDialupService::findProfile(const std::string& uuid, ProfileDone done)
{
    // By UUID: NetworkManager lets two profiles share a name (a setup run twice).
    const QString wanted = QString::fromStdString(uuid);
    loadProfiles([wanted, done](const DialupResult& result, std::vector<DialUpProfile> profiles) {
        if (!result.ok()) {
            done(result, {});
            return;
        }
        for (DialUpProfile& profile : profiles) {
            if (!wanted.isEmpty() && profile.uuid() == wanted) {
                done({}, std::move(profile));
                return;
            }
        }
        done(DialupResult::failure(Status::NotFound, "Der Eintrag wurde nicht gefunden."), {});
    });
}

void NmDialupService::listEntries(EntriesDone done)
{
    if (!available()) {
        done(DialupResult::failure(Status::ServiceMissing, kNmMissing), {});
        return;
    }
    loadProfiles([done](const DialupResult& result, std::vector<DialUpProfile> profiles) {
        std::vector<DialupEntry> entries;
        for (const DialUpProfile& profile : profiles) {
            entries.push_back(
                {profile.id().toStdString(), profile.kind.toStdString(), profile.uuid().toStdString()});
        }
        done(result, std::move(entries));
    });
}

void NmDialupService::readEntry(const std::string& id, DetailsDone done)
{
    if (!available()) {
        done(DialupResult::failure(Status::ServiceMissing, kNmMissing), {});
        return;
    }
    findProfile(id, [this, done](const DialupResult& found, DialUpProfile profile) {
        if (!found.ok()) {
            done(found, {});
            return;
        }
        // Secrets are often not ours to read (an unprivileged user, a keyring of the desktop):
        // then the entry keeps its password, we just cannot show it.
        m_proxy->GetSecrets(profile.path, profile.dataSetting,
                            [profile, done](const QDBusError& error, NmSettings secrets) {
                                DialupEntryDetails details = detailsOf(profile);
                                if (error.isValid()) {
                                    qInfo().noquote() << "tavlor: password of" << profile.id()
                                                      << "not readable:" << error.name() << error.message();
                                    details.passwordStored = passwordMayBeStored(profile, error);
                                } else {
                                    QString secret = storedPassword(secrets, profile.dataSetting);
                                    details.passwordReadable = !secret.isEmpty();
                                    details.passwordStored = !secret.isEmpty();
                                    details.password = SecretText(secret.toStdString());
                                    secret.fill(QChar(0));
                                }
                                done({}, std::move(details));
                            });
    });
}

void NmDialupService::createEntry(DialupEntryFields fields, Done done)
{
    if (!usable(done)) {
        return;
    }
    const NmSettings settings = newProfile(fields);
    const std::string name = fields.name;
    if (fields.password) {
        fields.password->wipe();
    }
    const QString wanted = QString::fromStdString(name);
    loadProfiles(
        [this, settings, wanted, done](const DialupResult& found, std::vector<DialUpProfile> profiles) {
            if (!found.ok()) {
                done(found);
            } else if (std::any_of(profiles.begin(), profiles.end(),
                                   [&wanted](const DialUpProfile& p) { return p.id() == wanted; })) {
                done(DialupResult::failure(Status::Refused, "Ein Eintrag mit diesem Namen besteht bereits."));
            } else {
                m_proxy->AddConnection(settings, [done](const QDBusError& error) { done(resultOf(error)); });
            }
        });
}

void NmDialupService::editEntry(const std::string& id, DialupEntryFields fields, Done done)
{
    if (!usable(done)) {
        return;
    }
    auto shared = std::make_shared<DialupEntryFields>(std::move(fields));
    findProfile(id, [this, shared, done](const DialupResult& found, DialUpProfile profile) {
        if (!found.ok()) {
            done(found);
            return;
        }
        applyFields(profile, *shared);
        if (shared->password) {
            shared->password->wipe();
        }
        m_proxy->Update(profile.path, profile.settings,
                        [done](const QDBusError& error) { done(resultOf(error)); });
    });
}

void NmDialupService::renameEntry(const std::string& id, const std::string& to, Done done)
{
    if (!usable(done)) {
        return;
    }
    const QString newName = QString::fromStdString(to);
    const QString uuid = QString::fromStdString(id);
    loadProfiles([this, uuid, newName, done](const DialupResult& result,
                                             std::vector<DialUpProfile> profiles) {
        if (!result.ok()) {
            done(result);
            return;
        }
        const DialUpProfile* source = nullptr;
        for (const DialUpProfile& profile : profiles) {
            if (profile.id() == newName && profile.uuid() != uuid) {
                done(DialupResult::failure(Status::Refused, "Ein Eintrag mit diesem Namen besteht bereits."));
                return;
            }
            source = !uuid.isEmpty() && profile.uuid() == uuid ? &profile : source;
        }
        if (source == nullptr) {
            done(DialupResult::failure(Status::NotFound, "Der Eintrag wurde nicht gefunden."));
            return;
        }
        // Sent without any secret: NetworkManager then keeps the stored password.
        DialUpProfile renamed = *source;
        renamed.settings[QStringLiteral("connection")].insert(QStringLiteral("id"), newName);
        m_proxy->Update(renamed.path, renamed.settings,
                        [done](const QDBusError& error) { done(resultOf(error)); });
    });
}

void NmDialupService::deleteEntry(const std::string& id, Done done)
{
    if (!usable(done)) {
        return;
    }
    findProfile(id, [this, done](const DialupResult& found, DialUpProfile profile) {
        if (!found.ok()) {
            done(found);
            return;
        }
        m_proxy->Delete(profile.path, [done](const QDBusError& error) { done(resultOf(error)); });
    });
}

} // namespace tavlor::platform::nm
