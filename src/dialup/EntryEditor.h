#pragma once

#include <string>

namespace tavlor {

// The fields of a dial-up entry as the entry dialog shows them. `kind` is "gsm", "cdma",
// "pppoe" or "bluetooth"; the number applies to all but "pppoe", the APN to "gsm" and
// "bluetooth" entries.
struct DialEntryFields
{
    std::string name;
    std::string kind = "gsm";
    std::string number;
    std::string apn;
    std::string user;
    std::string password;
};

bool kindHasNumber(const std::string& kind);
bool kindHasApn(const std::string& kind);

// "Der Benutzername ist zu lang (höchstens 256 Zeichen)." for what = "Der Benutzername".
std::string tooLongText(const std::string& what, int limit);
// Why the fields cannot be stored (empty name, a text wider than its record field), or "".
std::string entryFieldsProblem(const DialEntryFields& fields);

// Asks the user for an entry's fields; false when cancelled. `owner` is the window handed to
// the RAS functions. A dial-up provider that edits entries itself (instead of a dialog of the
// system) calls the editor that the user interface registered.
class EntryEditor
{
public:
    virtual ~EntryEditor() = default;
    virtual bool edit(void* owner, DialEntryFields& fields, bool isNew) = 0;
};

// Process-wide: the user interface registers one editor and removes it before it goes away.
void setEntryEditor(EntryEditor* editor);
EntryEditor* entryEditor();

} // namespace tavlor
