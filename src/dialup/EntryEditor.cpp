#include "dialup/EntryEditor.h"

#include "dialup/Ras.h"

namespace tavlor {

namespace {
// The mobile network's own limit for an access point name.
constexpr int kMaxApn = 64;

EntryEditor*& registered()
{
    static EntryEditor* editor = nullptr;
    return editor;
}
} // namespace

bool kindHasNumber(const std::string& kind)
{
    return kind != "pppoe";
}

bool kindHasApn(const std::string& kind)
{
    return kind == "gsm" || kind == "bluetooth";
}

std::string tooLongText(const std::string& what, int limit)
{
    return what + " ist zu lang (höchstens " + std::to_string(limit) + " Zeichen).";
}

std::string entryFieldsProblem(const DialEntryFields& fields)
{
    if (fields.name.empty()) {
        return "Bitte einen Namen eingeben.";
    }
    const struct
    {
        const std::string& text;
        const char* what;
        int limit;
    } checks[] = {{fields.name, "Der Name", kRasMaxEntryName},
                  {fields.number, "Die Nummer", kRasMaxPhoneNumber},
                  {fields.apn, "Der APN", kMaxApn},
                  {fields.user, "Der Benutzername", kRasMaxUserName},
                  {fields.password, "Das Passwort", kRasMaxPassword}};
    for (const auto& check : checks) {
        if (check.text.size() > static_cast<std::size_t>(check.limit)) {
            return tooLongText(check.what, check.limit);
        }
    }
    return {};
}

void setEntryEditor(EntryEditor* editor)
{
    registered() = editor;
}

EntryEditor* entryEditor()
{
    return registered();
}

} // namespace tavlor
