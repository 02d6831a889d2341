#pragma once

#include "platform/DialupLinkSource.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavlor {

// A password on its way between the field and the connection service: one buffer, wiped when
// it goes. Moving hands the buffer over instead of copying it, so no second copy is left behind.
class SecretText
{
public:
    SecretText() = default;
    explicit SecretText(std::string_view text) : m_bytes(text.begin(), text.end()) {}
    ~SecretText() { wipe(); }
    SecretText(SecretText&& other) noexcept : m_bytes(std::move(other.m_bytes)) { other.m_bytes.clear(); }
    SecretText& operator=(SecretText&& other) noexcept
    {
        if (this != &other) {
            wipe();
            m_bytes = std::move(other.m_bytes);
            other.m_bytes.clear();
        }
        return *this;
    }
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;

    std::string_view view() const { return {m_bytes.data(), m_bytes.size()}; }
    bool empty() const { return m_bytes.empty(); }
    void wipe()
    {
        // volatile, so that the stores are not dropped as dead
        volatile char* p = m_bytes.data();
        for (std::size_t i = 0; i < m_bytes.size(); ++i) {
            p[i] = '\0';
        }
        m_bytes.clear();
    }

private:
    std::vector<char> m_bytes;
};

// Kinds of dial-up entries: "gsm" (GSM/UMTS/LTE), "cdma", "pppoe" (DSL), "bluetooth" (dial-up
// networking over a phone); empty where the service does not tell. `id` names the entry to the
// service (NetworkManager's UUID, the phonebook name under RAS): two entries may share a name,
// never an id.
struct DialupEntry
{
    std::string name;
    std::string kind;
    std::string id{};
};

// What an entry stores. The password is there only when it could be read.
struct DialupEntryDetails
{
    std::string kind;
    std::string number;
    std::string apn;
    std::string user;
    bool passwordStored = false;   // the entry keeps a password
    bool passwordReadable = false; // ...and this program was allowed to read it
    SecretText password;
};

// What the entry dialog hands over. Without a password the stored one stays as it is (editing)
// or the entry has none (creating).
struct DialupEntryFields
{
    std::string name;
    std::string kind = "gsm";
    std::string number;
    std::string apn;
    std::string user;
    std::optional<SecretText> password;
};

// What the user typed for the entry since selecting it; the entry is dialled with its stored
// value wherever nothing was typed (nullopt), so that a placeholder is never sent. An empty
// typed password is not sent either.
struct DialValues
{
    std::optional<std::string> user;
    std::optional<std::string> number;
    std::optional<SecretText> password;

    bool typedPassword() const { return password && !password->empty(); }
};

// An active dial-up connection: the entry (its name, and its id as in DialupEntry), the device
// it runs over (e.g. ttyUSB0) and the kernel interface that carries its traffic (e.g. ppp0).
struct ActiveDialup
{
    std::string id{};
    std::string entry;
    std::string device;
    std::string interfaceName;
    std::string entryId{};
};

struct DialupResult
{
    enum class Status
    {
        Ok,
        ServiceMissing, // the connection service is not there
        NotFound,       // no such entry or connection
        Refused,        // the service refused the request
        Failed,         // the request was taken but did not succeed (dial failed, timed out)
    };
    Status status = Status::Ok;
    // The service's own words, for a second line under the program's message.
    std::string reason;

    bool ok() const { return status == Status::Ok; }
    static DialupResult failure(Status status, std::string reason) { return {status, std::move(reason)}; }
};

// The dial-up entries and connections of the system. What the accounting tick reads (available,
// activeConnections) comes from state the service keeps and never waits. Everything the user
// starts is asynchronous: `done` runs later on the calling thread, or at once when the answer is
// already known.
class DialupService : public DialupLinkSource
{
public:
    using Done = std::function<void(const DialupResult&)>;
    using EntriesDone = std::function<void(const DialupResult&, std::vector<DialupEntry>)>;
    using DetailsDone = std::function<void(const DialupResult&, DialupEntryDetails)>;

    virtual bool available() const = 0;
    // In the order the system reports them; the first is the one shown and hung up.
    virtual std::vector<ActiveDialup> activeConnections() const = 0;
    // What the service would say when it is not there.
    virtual std::string missingReason() const = 0;

    std::string activeDialupInterface() const override
    {
        const auto active = activeConnections();
        return active.empty() ? std::string() : active.front().interfaceName;
    }

    // Every entry is named by its id (DialupEntry::id), whatever its name.
    virtual void listEntries(EntriesDone done) = 0;
    virtual void readEntry(const std::string& id, DetailsDone done) = 0;
    virtual void createEntry(DialupEntryFields fields, Done done) = 0;
    virtual void editEntry(const std::string& id, DialupEntryFields fields, Done done) = 0;
    virtual void renameEntry(const std::string& id, const std::string& to, Done done) = 0;
    virtual void deleteEntry(const std::string& id, Done done) = 0;
    virtual void dial(const std::string& id, DialValues values, Done done) = 0;
    virtual void hangUp(const std::string& connectionId, Done done) = 0;

    // Where the system brings its own entry dialogs (Windows), the program opens those instead
    // of its own; `owner` is the main window's native handle (an HWND), null for none.
    virtual bool hasSystemEntryDialogs() const { return false; }
    virtual void createEntryInSystemDialog(void* /*owner*/, Done done)
    {
        done(DialupResult::failure(DialupResult::Status::Refused, {}));
    }
    virtual void editEntryInSystemDialog(void* /*owner*/, const std::string& /*id*/, Done done)
    {
        done(DialupResult::failure(DialupResult::Status::Refused, {}));
    }
};

} // namespace tavlor
