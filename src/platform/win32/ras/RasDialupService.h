#pragma once

#include "platform/DialupService.h"
#include "platform/win32/ras/Ras.h"

#include <memory>

namespace tavlor {

// The dial-up service over the Remote Access Service: the default phonebook, the system's entry
// dialogs, RasDialA. RAS answers at once (a dial blocks until it is up or has failed), so every
// `done` runs before the call returns. The RAS records live here and nowhere else; their texts
// are in the ANSI code page and converted to and from the program's UTF-8 at every call, and an
// entry's id is its phonebook name.
class RasDialupService final : public DialupService
{
public:
    explicit RasDialupService(std::unique_ptr<LibraryLoader> loader);
    // For tests: a loader that outlives the service.
    explicit RasDialupService(LibraryLoader& loader);

    bool available() const override;
    // Throws ERasError when the library lacks RasEnumConnectionsA.
    std::vector<ActiveDialup> activeConnections() const override;
    std::string missingReason() const override;

    void listEntries(EntriesDone done) override;
    void readEntry(const std::string& id, DetailsDone done) override;
    void createEntry(DialupEntryFields fields, Done done) override;
    void editEntry(const std::string& id, DialupEntryFields fields, Done done) override;
    void renameEntry(const std::string& id, const std::string& to, Done done) override;
    void deleteEntry(const std::string& id, Done done) override;
    void dial(const std::string& id, DialValues values, Done done) override;
    void hangUp(const std::string& connectionId, Done done) override;

    bool hasSystemEntryDialogs() const override { return true; }
    void createEntryInSystemDialog(void* owner, Done done) override;
    void editEntryInSystemDialog(void* owner, const std::string& id, Done done) override;

    RasBinding& binding() { return *m_ras; }

private:
    DialupResult failed(RasDword code);
    bool fill(RASDIALPARAMSA& params, const std::string& entry, const DialValues& values,
              std::string& refusal);

    std::unique_ptr<LibraryLoader> m_ownLoader;
    std::unique_ptr<RasBinding> m_ras;
};

} // namespace tavlor
