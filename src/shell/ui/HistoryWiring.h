#pragma once

#include "history/LimitCut.h"
#include "model/TickParts.h"
#include "platform/DialupService.h"
#include "text/KvString.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

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
        // Takes a counted connection down without touching its profile; empty: nothing can be
        // cut. Its answer may come at once or later on the window thread.
        std::function<void(const CountedConnection&, DialupService::Done)> cut = {};
    };
    HistoryWiring(Places places, const NumberFormat& numbers, TrayController& tray, QWidget* window);
    ~HistoryWiring() override;
    Q_DISABLE_COPY_MOVE(HistoryWiring)

    // Reads the history and tells the user what could not be read.
    void load();
    void readingTaken(const TickReading& reading) override;
    // A connection was cut at the limit: the program saves after the second.
    bool takeSaveWanted() { return std::exchange(m_saveWanted, false); }
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
    void cutAtLimit(const TickReading& reading);
    void cutAnswered(const CountedConnection& cut, const std::string& name, const DialupResult& result);
    void told(const CountedConnection& cut, const std::string& name, LimitCut::Outcome outcome,
              const std::string& reason);

    Places m_places;
    const NumberFormat& m_numbers;
    TrayController& m_tray;
    QWidget* m_window;
    std::unique_ptr<UsageWatch> m_watch;
    TfrmVerlauf* m_verlauf = nullptr;
    DesktopNotifier* m_notifier = nullptr;
    bool m_saveReported = false;
    bool m_saveWanted = false;
    LimitCut m_limitCut;
    CountedConnection m_counted; // the connection of the latest second
    CountedConnection m_cutTold;
    struct FailedCut
    {
        CountedConnection cut;
        std::string name;
        std::string reason;
    };
    std::optional<FailedCut> m_failedCut; // until the next second shows whether it is gone
};

} // namespace tavlor
