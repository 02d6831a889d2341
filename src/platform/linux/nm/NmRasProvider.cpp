#include "platform/linux/nm/NmRasProvider.h"

#include "dialup/EntryEditor.h"
#include "dialup/RasFields.h"
#include "platform/linux/nm/NmErrors.h"

#include <cstring>

// The phonebook side: entries, the entry dialog, dial parameters and error texts.
namespace tavlor::platform::nm {

namespace {
// NM_SETTINGS_CONNECTION_FLAG_VOLATILE: our own in-memory dialling copies.
constexpr uint kVolatileFlag = 0x4;

// Cut at a character boundary, never inside a UTF-8 sequence.
std::size_t cutLength(const std::string& text, std::size_t limit)
{
    if (text.size() <= limit) {
        return text.size();
    }
    std::size_t n = limit;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) {
        --n;
    }
    return n;
}

bool fits(const DialEntryFields& f)
{
    return f.name.size() <= kRasMaxEntryName && f.user.size() <= kRasMaxUserName &&
           f.password.size() <= kRasMaxPassword && f.number.size() <= kRasMaxPhoneNumber;
}
} // namespace

NmRasProvider::NmRasProvider(NmProxy& proxy, int dialTimeoutMs)
    : m_proxy(proxy), m_dialTimeoutMs(dialTimeoutMs)
{
}

RasDword NmRasProvider::failure()
{
    const QDBusError::ErrorType type = m_proxy.lastError().type();
    if (type == QDBusError::ServiceUnknown || type == QDBusError::NoReply ||
        type == QDBusError::Disconnected || type == QDBusError::NoServer || type == QDBusError::Timeout) {
        return kNmServiceUnavailable;
    }
    m_lastDetail = m_proxy.lastError().message().toStdString();
    return kNmServiceError;
}

bool NmRasProvider::dialUpProfiles(std::vector<DialUpProfile>& out, RasDword& rc)
{
    QList<QDBusObjectPath> paths;
    if (!m_proxy.ListConnections(paths)) {
        rc = failure();
        return false;
    }
    for (const QDBusObjectPath& path : paths) {
        uint flags = 0;
        if (m_proxy.Flags(path, flags) && (flags & kVolatileFlag) != 0) {
            continue;
        }
        DialUpProfile profile{path, {}, {}, {}};
        if (!m_proxy.GetSettings(path, profile.settings)) {
            continue; // removed in the meantime
        }
        profile.kind = dialUpKind(profile.settings);
        if (!profile.kind.isEmpty()) {
            profile.dataSetting = dataSettingOf(profile.settings);
            out.push_back(std::move(profile));
        }
    }
    return true;
}

bool NmRasProvider::findProfile(const std::string& name, DialUpProfile& out, RasDword& rc)
{
    std::vector<DialUpProfile> profiles;
    if (!dialUpProfiles(profiles, rc)) {
        return false;
    }
    for (DialUpProfile& profile : profiles) {
        if (profile.id().toStdString() == name) {
            out = std::move(profile);
            return true;
        }
    }
    rc = kNmEntryNotFound;
    return false;
}

void NmRasProvider::withSecrets(DialUpProfile& profile)
{
    NmSettings secrets;
    // Secrets the caller may not read simply stay out.
    if (m_proxy.GetSecrets(profile.path, profile.dataSetting, secrets)) {
        mergeSecrets(profile.settings, secrets);
    }
}

RasDword NmRasProvider::enumEntries(RASENTRYNAMEA* entries, RasDword* byteCount, RasDword* entryCount)
{
    if (entries == nullptr || byteCount == nullptr || entryCount == nullptr ||
        entries[0].dwSize != sizeof(RASENTRYNAMEA)) {
        return kNmInvalidSize;
    }
    std::vector<DialUpProfile> profiles;
    RasDword rc = 0;
    if (!dialUpProfiles(profiles, rc)) {
        return rc;
    }
    *entryCount = static_cast<RasDword>(profiles.size());
    const std::size_t room = *byteCount / sizeof(RASENTRYNAMEA);
    if (profiles.size() > room) {
        *byteCount = static_cast<RasDword>(profiles.size() * sizeof(RASENTRYNAMEA));
        return kNmBufferTooSmall;
    }
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        entries[i].dwSize = sizeof(RASENTRYNAMEA);
        const std::string name = profiles[i].id().toStdString();
        const std::size_t n = cutLength(name, kRasMaxEntryName);
        std::memcpy(entries[i].szEntryName, name.data(), n);
        entries[i].szEntryName[n] = '\0';
    }
    return 0;
}

RasDword NmRasProvider::createEntry(void* owner)
{
    EntryEditor* editor = entryEditor();
    if (editor == nullptr) {
        return kNmNoEditor;
    }
    DialEntryFields fields;
    if (!editor->edit(owner, fields, true)) {
        return 0;
    }
    if (fields.name.empty()) {
        return kNmInvalidName;
    }
    if (!fits(fields)) {
        return kNmValueTooLong;
    }
    DialUpProfile existing;
    RasDword rc = 0;
    if (findProfile(fields.name, existing, rc)) {
        return kNmAlreadyExists;
    }
    if (rc != kNmEntryNotFound) {
        return rc;
    }
    QDBusObjectPath created;
    return m_proxy.AddConnection(newProfile(fields), created) ? 0 : failure();
}

RasDword NmRasProvider::editEntry(void* owner, const char* entryName)
{
    EntryEditor* editor = entryEditor();
    if (editor == nullptr) {
        return kNmNoEditor;
    }
    DialUpProfile profile;
    RasDword rc = 0;
    if (!findProfile(entryName != nullptr ? entryName : "", profile, rc)) {
        return rc;
    }
    withSecrets(profile);
    DialEntryFields fields = fieldsOf(profile);
    if (!editor->edit(owner, fields, false)) {
        return 0;
    }
    if (!fits(fields)) {
        return kNmValueTooLong;
    }
    applyFields(profile, fields);
    return m_proxy.Update(profile.path, profile.settings) ? 0 : failure();
}

RasDword NmRasProvider::renameEntry(const char* oldName, const char* newName)
{
    const std::string from = oldName != nullptr ? oldName : "";
    const std::string to = newName != nullptr ? newName : "";
    if (to.empty()) {
        return kNmInvalidName;
    }
    if (to.size() > kRasMaxEntryName) {
        return kNmValueTooLong;
    }
    DialUpProfile profile;
    RasDword rc = 0;
    if (!findProfile(from, profile, rc)) {
        return rc;
    }
    if (to == from) {
        return 0;
    }
    DialUpProfile taken;
    if (findProfile(to, taken, rc)) {
        return kNmAlreadyExists;
    }
    withSecrets(profile);
    profile.settings[QStringLiteral("connection")].insert(QStringLiteral("id"), QString::fromStdString(to));
    return m_proxy.Update(profile.path, profile.settings) ? 0 : failure();
}

RasDword NmRasProvider::deleteEntry(const char* entryName)
{
    DialUpProfile profile;
    RasDword rc = 0;
    if (!findProfile(entryName != nullptr ? entryName : "", profile, rc)) {
        return rc;
    }
    return m_proxy.Delete(profile.path) ? 0 : failure();
}

RasDword NmRasProvider::getDialParams(RASDIALPARAMSA* params, RasBool* password)
{
    if (params == nullptr || password == nullptr || params->dwSize != sizeof(RASDIALPARAMSA)) {
        return kNmInvalidSize;
    }
    DialUpProfile profile;
    RasDword rc = 0;
    if (!findProfile(rasfields::text(params->szEntryName), profile, rc)) {
        return rc;
    }
    const DialEntryFields fields = fieldsOf(profile);
    NmSettings secrets;
    std::string secret;
    if (m_proxy.GetSecrets(profile.path, profile.dataSetting, secrets)) {
        secret = storedPassword(secrets, profile.dataSetting).toStdString();
    }
    RASDIALPARAMSA filled = *params;
    const bool ok = rasfields::assign(filled.szUserName, fields.user) &&
                    rasfields::assign(filled.szPhoneNumber, fields.number) &&
                    rasfields::assign(filled.szPassword, secret);
    rasfields::wipe(secret.data(), secret.size());
    if (!ok) {
        rasfields::wipe(&filled, sizeof filled);
        return kNmValueTooLong;
    }
    *password = filled.szPassword[0] != '\0' ? 1 : 0;
    *params = filled;
    rasfields::wipe(&filled, sizeof filled);
    return 0;
}

RasDword NmRasProvider::errorString(unsigned code, char* buffer, RasDword bufferSize)
{
    if (buffer == nullptr || bufferSize == 0) {
        return kNmInvalidSize;
    }
    const std::string text = errorText(code, m_lastDetail);
    const std::size_t n = cutLength(text, bufferSize - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return 0;
}

} // namespace tavlor::platform::nm
