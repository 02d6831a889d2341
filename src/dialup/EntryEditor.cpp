#include "dialup/EntryEditor.h"

#include <algorithm>

namespace tavlor {

namespace {
// The mobile network's own limit for an access point name.
constexpr std::size_t kMaxApn = 64;

bool apnCharacter(char c)
{
    const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    return letterOrDigit || c == '.' || c == '-' || c == '_';
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

std::string entryFieldsProblem(const DialupEntryFields& fields, const std::vector<std::string>& takenNames)
{
    if (fields.name.empty()) {
        return "Bitte einen Namen eingeben.";
    }
    if (std::find(takenNames.begin(), takenNames.end(), fields.name) != takenNames.end()) {
        return "Ein Eintrag mit diesem Namen besteht bereits.";
    }
    if (kindHasApn(fields.kind)) {
        if (fields.apn.size() > kMaxApn) {
            return "Der APN ist zu lang (höchstens 64 Zeichen).";
        }
        if (!std::all_of(fields.apn.begin(), fields.apn.end(), apnCharacter)) {
            return "Der APN darf nur Buchstaben, Ziffern, Punkt, Bindestrich und Unterstrich enthalten.";
        }
    }
    if (fields.kind == "pppoe" && fields.user.empty()) {
        return "Ein DSL-Eintrag braucht einen Benutzernamen.";
    }
    if (fields.kind == "cdma" && fields.number.empty()) {
        return "Ein CDMA-Eintrag braucht eine Nummer.";
    }
    return {};
}

std::string displayName(const std::string& name)
{
    std::string shown = name;
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return shown;
}

} // namespace tavlor
