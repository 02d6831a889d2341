#pragma once

#include "accounting/AccountingTick.h"
#include "model/UsageState.h"
#include "shell/FailureReports.h"
#include "shell/ui/AppServices.h"
#include "shell/ui/HistoryWiring.h"
#include "shell/ui/uFrmMainTavlor.h"
#include "text/KvString.h"
#include "text/ViewModel.h"
#include "views/CpuGauge.h"

#include <QList>
#include <QObject>
#include <QPixmap>
#include <memory>

class QTimer;
class QSocketNotifier;

namespace tavlor {

class ConnectionManager;
class InterfaceSampler;
class QtManagerUi;
class TfrmExpert;
class TfrmMonitor;
class TfrmVerlauf;
class DesktopNotifier;
class TrayController;
class ViewApplier;
class StatusService;
struct StatusSnapshot;
class SettingsBinding;

// The program: owns the platform, the usage state and view model, the accounting tick with the
// parts it asks, the connection manager, the history and the three windows, and wires their
// events to the handlers. Every
// handler runs inside the general error report and ends by showing the view model's changes.
class TavlorApp final : public QObject, public FormEvents
{
    Q_OBJECT
public:
    explicit TavlorApp(AppServices services);
    ~TavlorApp() override;
    Q_DISABLE_COPY_MOVE(TavlorApp)

    // Shows the main window centred; its first activation sends the program to the tray.
    void start();
    // The system ends the program: save once, no question, no hiding, leave the event loop.
    void sessionEnd();
    // A session manager's checkpoint: save, and go on counting.
    void checkpoint();

    TfrmTavlor& window() const { return *m_window; }
    TrayController& tray() const { return *m_tray; }
    TfrmExpert& expert() const { return *m_expert; }
    TfrmMonitor& monitor();
    UsageState& state() { return m_state; }
    // The interface the active dial-up connection runs over, for choosing the counted link.
    DialupLinkSource& dialupLinks() { return *m_services.dialup; }
    ViewModel& view() { return m_view; }

    // The periodic save: a failure is reported outside the tick, and counting goes on.
    void SaveUsageData();
    AccountingTick& tick() const { return *m_tick; }

    // FormEvents
    bool FormCloseQuery() override;
    bool FormClose() override;
    void FormActivate() override;
    void FormMinimised() override;

    // Event handlers of the main window and its tray icon.
    void tCheckTimer();
    void tGraphTimer();
    void btnResetClick();
    void cbLanClick(bool ticked);
    void btnExpertClick();
    void Button1Click();
    void btnWinStartClick();
    void lContactClick();
    void btnSpendeClick();
    void TrayIconMouseMove();
    void TrayIconDblClick();
    void Beenden1Click();
    void Tavlorbeenden1Click();
    // "Verlauf und Volumenwarner…" of the tray menu.
    void VerlaufClick();
    TfrmVerlauf* verlauf() const { return m_history->window(); }
    DesktopNotifier& notifier() const { return m_history->notifier(); }
    // The figures of this second for scripts and panels (tavlor-status, the session bus);
    // called once per tick.
    void publish(const StatusSnapshot& status);
    StatusService* statusService() const { return m_statusService; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void createTimers();
    void wireWindow();
    void wireConnectionManager();
    void watchSessionEnd();
    // Runs a handler inside the general error report, then shows the view model's changes.
    bool handle(const std::function<void()>& handler);
    void exitProgram(int code);
    // Saves, or throws SaveError for the caller to report.
    void writeUsageData();
    void reportFailure(FailureReports::Cause cause, const std::string& text);
    void showFailures();
    void startStatusService();
    StatusSnapshot statusSnapshot();

    AppServices m_services;
    NumberFormat m_numbers;
    UsageState m_state;
    ViewModel m_view;
    std::unique_ptr<InterfaceSampler> m_sampler;
    std::unique_ptr<AccountingTick> m_tick;
    CpuLoadMeter m_cpu;
    QList<QPixmap> m_gauge;
    qsizetype m_gaugeShown = -1; // index of the gauge picture on screen
    std::unique_ptr<TfrmTavlor> m_window;
    TrayController* m_tray = nullptr;
    ViewApplier* m_applier = nullptr;
    SettingsBinding* m_settingsShown = nullptr;
    std::unique_ptr<QtManagerUi> m_managerUi;
    std::unique_ptr<ConnectionManager> m_manager;
    TfrmExpert* m_expert = nullptr;
    TfrmMonitor* m_monitor = nullptr;
    HistoryWiring* m_history = nullptr;
    std::unique_ptr<OnlineProbe> m_onlineProbe;
    std::unique_ptr<AddressDisplay> m_addressLabels;
    std::unique_ptr<ConnectionDisplay> m_connectionDisplay;
    std::unique_ptr<UptimeDisplay> m_uptimeLabel;
    QTimer* m_tCheck = nullptr;
    QTimer* m_tGraph = nullptr;
    QSocketNotifier* m_sessionEndNotifier = nullptr;
    bool m_quitRequested = false;
    bool m_ending = false;
    FailureReports m_failures;
    StatusService* m_statusService = nullptr;
    bool m_failureShown = false; // a failure's box is open, or about to open
};

} // namespace tavlor
