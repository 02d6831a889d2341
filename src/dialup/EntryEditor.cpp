#include "dialup/EntryEditor.h"

namespace tavlor {

namespace {
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

void setEntryEditor(EntryEditor* editor)
{
    registered() = editor;
}

EntryEditor* entryEditor()
{
    return registered();
}

} // namespace tavlor
