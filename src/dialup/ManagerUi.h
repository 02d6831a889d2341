#pragma once

#include "platform/DialupService.h"

#include <functional>
#include <string>

namespace tavlor {

// What the connection manager needs of its window beyond the view model: the entry list box,
// message boxes, the rename input box, the entry dialog, the hourglass cursor, the wait after a
// hang-up and the window width. The main window implements it; tests use a fake.
class ManagerUi
{
public:
    virtual ~ManagerUi() = default;

    // lstEntries
    virtual void clearEntries() = 0;
    virtual void addEntry(const std::string& name) = 0;
    virtual int entryCount() const = 0;
    virtual int selectedIndex() const = 0;        // -1 when nothing is selected
    virtual void setSelectedIndex(int index) = 0; // does not run lstEntriesClick
    virtual std::string entryText(int index) const = 0;

    // Plain message box, OK button, no icon.
    virtual void showMessage(const std::string& text) = 0;
    // Yes/No question with the warning icon and no caption; true for Yes.
    virtual bool askWarning(const std::string& text) = 0;
    // Modal input box; returns the edited text on OK and `prefilled` on Cancel.
    virtual std::string inputQuery(const std::string& caption, const std::string& prompt,
                                   const std::string& prefilled) = 0;
    // The program's own entry dialog; false when cancelled. OK is taken only when `problem`
    // finds nothing to say about the fields. `passwordStored`: an empty password field keeps it.
    using FieldsProblem = std::function<std::string(const DialupEntryFields&)>;
    virtual bool askEntryFields(DialupEntryFields& fields, bool isNew, bool passwordStored,
                                const FieldsProblem& problem) = 0;

    virtual void setBusyCursor(bool busy) = 0;
    // Blocks for the given time while the window keeps repainting.
    virtual void waitMs(int milliseconds) = 0;
    virtual void setWindowWidth(int width) = 0;
    // The native handle (an HWND on Windows) of the window that owns the system's entry
    // dialogs; null for none.
    virtual void* ownerWindow() { return nullptr; }
};

} // namespace tavlor
