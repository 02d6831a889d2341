#pragma once

#include "model/TickParts.h"
#include "text/KvString.h"

#include <QObject>
#include <memory>
#include <string>

class QWidget;

namespace tavlor {

class Clock;
class DesktopNotifier;
class FileStore;
class LocaleFormat;
class TfrmVerlauf;
class TrayController;
class UsageWatch;

// The history and the Volumenwarner in the program: told every second what the tick counted,
// saved with the data file, shown in the tray and in the window "Verlauf und Volumenwarner",
// and its warnings sent through the desktop's notifications.
class HistoryWiring final : public QObject, public ReadingListener
{
    Q_OBJECT
public:
    struct Places
    {
        FileStore* files = nullptr; // none: the program runs without history
        std::string dataFilePath;
        const Clock& clock;
        const LocaleFormat& locale;
        // The program's settings: the window's cbGetaktet shows and changes countMetered.
        Settings* settings = nullptr;
    };
    HistoryWiring(Places places, const NumberFormat& numbers, TrayController& tray, QWidget* window);
    ~HistoryWiring() override;
    Q_DISABLE_COPY_MOVE(HistoryWiring)

    // Reads the history and tells the user what could not be read.
    void load();
    void readingTaken(const TickReading& reading) override;
    // Before the data file: a crash between the two saves then loses no history.
    void save();
    // The limit lines and warning colour of the tray.
    void showLimitState();
    // "Verlauf und Volumenwarner…" of the tray menu.
    void showWindow();

    TfrmVerlauf* window() const { return m_verlauf; }
    // nullptr until the history has been loaded
    const UsageWatch* watch() const { return m_watch.get(); }
    DesktopNotifier& notifier() const { return *m_notifier; }

private:
    void notify(const std::string& text);

    Places m_places;
    const NumberFormat& m_numbers;
    TrayController& m_tray;
    QWidget* m_window;
    std::unique_ptr<UsageWatch> m_watch;
    TfrmVerlauf* m_verlauf = nullptr;
    DesktopNotifier* m_notifier = nullptr;
    bool m_saveReported = false;
};

} // namespace tavlor
