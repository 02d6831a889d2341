#include "desktop/Donation.h"

namespace tavlor {

// The project's own placeholders; no real person's or bank's data belongs here.
const char* const kContactAddress = "mailto:kontakt@tavlor.invalid";
const char* const kContactCaption = "© Tavlor-Team";
const char* const kContactHint = "E-mail an den Author";

namespace {
constexpr const char* kRecipient = "Tavlor-Projekt (Beispiel)";
constexpr const char* kBankCode = "00000000";
constexpr const char* kAccountNumber = "0000000000";
constexpr const char* kIban = "DE00 0000 0000 0000 0000 00";
constexpr const char* kBic = "XXXXDEXXXXX";
} // namespace

std::vector<std::string> FreewareNotice()
{
    return {
        "Tavlor ist Freeware und wird es auch bleiben.",
        "Inzwischen ist Tavlor so beliebt, dass es jeden",
        "Monat mehrere tausend Mal heruntergeladen wird",
        "und das gemietete Transfervolumen regelmäßig übersteigt.",
        "",
        "Wenn Ihnen Tavlor gefällt und Sie ein wenig Geld",
        "übrig haben, freuen wir uns über eine kleine Spende.",
        "Spenden sind völlig freiwillig und sichern die",
        "Weiterentwicklung von Tavlor.",
    };
}

std::vector<std::string> DonationLines()
{
    return {
        "Ihre Spende überweisen Sie bitte auf folgendes Konto:",
        std::string("Empfänger:   ") + kRecipient,
        std::string("Bankleitzahl:") + kBankCode,
        std::string("Kontonummer: ") + kAccountNumber,
        "Verwendungszweck: Tavlor Spende",
        "",
        "Für Überweisungen aus dem Europäischen Ausland:",
        std::string("IBAN: ") + kIban,
        std::string("BIC: ") + kBic,
        "",
        "Vielen Dank für Ihre freundliche Spende.",
    };
}

} // namespace tavlor
