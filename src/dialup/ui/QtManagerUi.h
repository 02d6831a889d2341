#pragma once

#include "dialup/ManagerUi.h"
#include "dialup/ui/EntryDialog.h"

class QListWidget;
class QWidget;

namespace tavlor {

// The connection manager's window side over the entry list box and the main window: message
// boxes parented to the window, the hourglass for the whole application, a wait that keeps
// repainting, the program's own entry dialog.
class QtManagerUi final : public ManagerUi
{
public:
    QtManagerUi(QListWidget* entries, QWidget* window);
    ~QtManagerUi() override;
    QtManagerUi(const QtManagerUi&) = delete;
    QtManagerUi& operator=(const QtManagerUi&) = delete;

    void clearEntries() override;
    void addEntry(const std::string& name) override;
    int entryCount() const override;
    int selectedIndex() const override;
    void setSelectedIndex(int index) override;
    std::string entryText(int index) const override;

    void showMessage(const std::string& text) override;
    bool askWarning(const std::string& text) override;
    std::string inputQuery(const std::string& caption, const std::string& prompt,
                           const std::string& prefilled) override;
    bool askEntryFields(DialupEntryFields& fields, bool isNew, bool passwordStored,
                        const FieldsProblem& problem) override;

    void setBusyCursor(bool busy) override;
    void waitMs(int milliseconds) override;
    void setWindowWidth(int width) override;
    void* ownerWindow() override;

private:
    QListWidget* m_entries;
    QWidget* m_window;
    int m_busyDepth = 0;
};

} // namespace tavlor
