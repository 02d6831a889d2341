#include "shell/ui/TavlorApp.h"
#include "text/WidgetNames.h"

#include "accounting/UsageShown.h"
#include "desktop/Donation.h"
#include "dialup/ConnectionManager.h"
#include "dialup/ui/QtManagerUi.h"
#include "history/UsageWatch.h"
#include "netmeter/Kvonline.h"
#include "netmeter/KvonlineProbes.h"
#include "netmeter/ui/ufrmExpert.h"
#include "platform/SessionEnd.h"
#include "shell/CloseRules.h"
#include "shell/TrayHint.h"
#include "shell/ui/Dialogs.h"
#include "shell/ui/SettingsBinding.h"
#include "shell/ui/TrayController.h"
#include "shell/ui/ViewApplier.h"
#include "status/StatusFeed.h"
#include "views/Uptime.h"
#include "views/ui/GaugePictures.h"
#include "views/ui/ufrmMonitor.h"

#include <QApplication>
#include <QCoreApplication>
#include <QListWidget>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <iostream>

static void initShellResources()
{
    Q_INIT_RESOURCE(shell);
}

namespace tavlor {

namespace {
// The connection manager shows the connection the tick asks for.
class ManagerConnectionDisplay final : public ConnectionDisplay
{
public:
    explicit ManagerConnectionDisplay(ConnectionManager& manager) : m_manager(manager) {}
    void RefreshConnectionStatus() override { m_manager.RefreshConnectionStatus(); }

private:
    ConnectionManager& m_manager;
};
} // namespace

TavlorApp::TavlorApp(AppServices services)
    : m_services(std::move(services)), m_numbers(NumberFormat::fromLocale(*m_services.locale)),
      m_cpu(*m_services.times)
{
    initShellResources();
    m_sampler = std::make_unique<InterfaceSampler>(*m_services.rows, m_numbers, m_services.routes.get(),
                                                   m_services.dialup.get());
    m_gauge = GaugePictures();

    // Start-up order: the main window with its tray icon and running timers, its creation
    // handler, then the adapter dialog, hidden; the monitor follows at its first showing.
    m_window = std::make_unique<TfrmTavlor>();
    const QIcon icon(QStringLiteral(":/tavlor/VemoIco.png"));
    m_window->setWindowIcon(icon);
    m_tray = new TrayController(m_window.get(), icon, m_services.trayAvailable, this);
    m_applier = new ViewApplier(m_window.get(), m_view, m_window->statusPanel(0),
                                [this](const std::string& hint) { m_tray->setHint(hint); });
    m_settingsShown =
        new SettingsBinding(m_window.get(), m_state, [this](bool ticked) { cbLanClick(ticked); });
    m_tray->setHint("Tavlor");
    createTimers();
    m_managerUi = std::make_unique<QtManagerUi>(
        m_window->findChild<QListWidget*>(QLatin1String(names::lstEntries)), m_window.get());
    m_manager = std::make_unique<ConnectionManager>(*m_services.dialup, m_view, *m_managerUi, m_state.onLAN);
    m_history = new HistoryWiring(
        {m_services.files.get(), m_services.dataFilePath, *m_services.clock, *m_services.locale, &m_state},
        m_numbers, *m_tray, m_window.get());
    m_onlineProbe = std::make_unique<DialupOnlineProbe>(*m_services.dialup, m_services.metered.get());
    m_addressLabels = std::make_unique<AddressLabels>(m_view, *m_services.hosts);
    m_connectionDisplay = std::make_unique<ManagerConnectionDisplay>(*m_manager);
    m_uptimeLabel = std::make_unique<UptimeLabel>(m_view, *m_services.times, m_services.systemName);
    m_tick = std::make_unique<AccountingTick>(
        m_state, m_view, *m_sampler, *m_services.clock, m_numbers,
        TickParts{*m_onlineProbe, *m_addressLabels, *m_connectionDisplay, *m_uptimeLabel, m_history});
    FormCreate();
    m_history->load();
    m_expert = new TfrmExpert(
        m_state, [this] { return m_window->windowTitle(); }, [this] { m_tick->methodsChanged(); },
        m_window.get());
    m_expert->setCountedLink([this] { return QString::fromStdString(m_tick->countedLinkText()); });
    wireWindow();
    wireConnectionManager();
    watchSessionEnd();
    startStatusService();
    m_window->setFormEvents(this);
}

TavlorApp::~TavlorApp()
{
    m_tCheck->stop();
    m_tGraph->stop();
    m_window->setFormEvents(nullptr);
    // The icon leaves the notification area before its window goes.
    delete m_tray;
    m_tray = nullptr;
}

void TavlorApp::createTimers()
{
    m_tCheck = new QTimer(this);
    m_tCheck->setObjectName(QLatin1String(names::tCheck));
    m_tCheck->setInterval(1000);
    connect(m_tCheck, &QTimer::timeout, this, &TavlorApp::tCheckTimer);
    m_tGraph = new QTimer(this);
    m_tGraph->setObjectName(QLatin1String(names::tGraph));
    m_tGraph->setInterval(1000);
    connect(m_tGraph, &QTimer::timeout, this, &TavlorApp::tGraphTimer);
    m_tCheck->start();
    m_tGraph->start();
}

void TavlorApp::FormCreate()
{
    m_applier->seedFromWidgets();
    m_manager->initialiseControls();
    m_quitRequested = false;
    m_state.downloadMethod = kDefaultDownloadMethod;
    m_state.uploadMethod = kDefaultUploadMethod;
    m_window->setDesignWidth(TfrmTavlor::kCollapsedWidth);
    m_view.setText(names::btnWinStart, "Tavlor mit " + m_services.systemName + " starten");
    m_view.setText(names::lContact, kContactCaption);
    m_view.setHint(names::lContact, kContactHint);
    std::string notice;
    for (const std::string& line : FreewareNotice()) {
        notice += (notice.empty() ? "" : "\n") + line;
    }
    m_view.setText(names::Memo1, notice);
    handle([this] { m_services.store->load(m_state); });
    ShowLoadedUsage(m_state, *m_services.locale, m_view);
    m_settingsShown->show();
    m_applier->apply();
    if (!m_services.dataFileNotice.empty()) {
        reportFailure(FailureReports::Cause::DataFilePlace, m_services.dataFileNotice);
    }
}

void TavlorApp::start()
{
    // The first showing stands centred on the desktop; (windowLeft, windowTop) is for the
    // double-click on the tray icon.
    if (QScreen* screen = m_window->screen()) {
        const QPoint centre = screen->availableGeometry().center() - m_window->rect().center();
        m_window->show();
        m_window->placeFrameAt(centre);
        return;
    }
    m_window->show();
}

TfrmMonitor& TavlorApp::monitor()
{
    // Built at its first showing: the chart library costs memory the resident program
    // should not carry while nobody looks at the graph. Built once, it keeps its series.
    if (m_monitor == nullptr) {
        m_monitor = new TfrmMonitor([this] { return m_tick->reading(); }, m_numbers, *m_services.locale,
                                    *m_services.clock, m_window.get());
    }
    return *m_monitor;
}

bool TavlorApp::handle(const std::function<void()>& handler)
{
    const bool ok = RunReported(m_window.get(), handler);
    m_applier->apply();
    return ok;
}

void TavlorApp::exitProgram(int code)
{
    if (m_services.exitProgram) {
        m_services.exitProgram(code);
    } else {
        QCoreApplication::exit(code);
    }
}

// --- accounting tick and its hooks ---

void TavlorApp::tCheckTimer()
{
    // A box opened inside this slot would hold the timer until somebody closes it, and in the
    // tray nobody may be there: failures are shown from a slot of their own.
    try {
        if (m_tick->takeSaveDue()) {
            SaveUsageData();
        }
        m_tick->tCheckTimer();
        m_tray->checkHost();
        // A StatusNotifierItem host never reports the pointer over the icon, so the hint is
        // kept current here; offline the tick itself has set "Offline".
        const TickReading reading = m_tick->reading();
        if (reading.online) {
            ComposeTrayHint(reading, m_state.trayTime, m_numbers, m_view);
        }
        m_history->showLimitState();
        publish(statusSnapshot());
        m_failures.resolved(FailureReports::Cause::Tick);
    } catch (const std::exception& error) {
        reportFailure(FailureReports::Cause::Tick, error.what());
    }
    m_applier->apply();
}

void TavlorApp::reportFailure(FailureReports::Cause cause, const std::string& text)
{
    m_failures.report(cause, text);
    if (m_failures.empty() || m_failureShown) {
        return;
    }
    m_failureShown = true;
    QTimer::singleShot(0, this, &TavlorApp::showFailures);
}

void TavlorApp::showFailures()
{
    while (!m_ending) {
        const std::optional<std::string> text = m_failures.next();
        if (!text) {
            break;
        }
        std::cerr << "tavlor: " << *text << std::endl;
        ShowErrorReport(m_window.get(), QString::fromStdString(*text));
    }
    m_failureShown = false;
}

void TavlorApp::SaveUsageData()
{
    try {
        writeUsageData();
    } catch (const std::exception& error) {
        reportFailure(FailureReports::Cause::Save, error.what());
    }
}

void TavlorApp::writeUsageData()
{
    // Where the window system keeps window positions to itself (Wayland), the position loaded
    // at start-up stays in the file instead of a meaningless 0,0.
    const QPoint position =
        m_window->positionKnown() ? m_window->pos() : QPoint(m_state.windowLeft, m_state.windowTop);
    // The today counters are saved under their own day, also after midnight while offline.
    m_tick->rollDay();
    m_history->save(); // first: a crash between the two saves then loses no history
    m_services.store->save(m_state, position.x(), position.y());
    m_failures.resolved(FailureReports::Cause::Save);
}

// --- closing and session end ---

bool TavlorApp::FormCloseQuery()
{
    if (m_ending) {
        return true;
    }
    CloseVerdict verdict = CloseVerdict::StayOpen;
    handle([this, &verdict] {
        verdict = DecideClose(m_quitRequested, m_state.minimiseOnClose, m_state.confirmQuit, [this] {
            return AskConfirmation(m_window.get(), QStringLiteral("Tavlor wirklich beenden?"));
        });
    });
    if (verdict == CloseVerdict::HideToTray) {
        // Without a notification area the window minimises normally instead of vanishing.
        if (m_tray->available()) {
            m_tray->HideToTray();
        } else {
            m_window->showMinimized();
        }
    }
    return verdict == CloseVerdict::Close;
}

bool TavlorApp::FormClose()
{
    if (m_ending) {
        return true;
    }
    std::string failure;
    try {
        writeUsageData();
    } catch (const std::exception& error) {
        failure = error.what();
    }
    if (!failure.empty()) {
        // "Nein" keeps the program counting; "Ja" ends it knowing what is lost.
        bool endAnyway = false;
        handle([this, &failure, &endAnyway] {
            endAnyway =
                AskConfirmation(m_window.get(), QString::fromStdString(UnsavedCloseQuestion(failure)));
        });
        if (!endAnyway) {
            return false;
        }
    }
    m_ending = true;
    m_tCheck->stop();
    m_tGraph->stop();
    exitProgram(0);
    return true;
}

void TavlorApp::sessionEnd()
{
    if (m_ending) {
        return;
    }
    m_ending = true;
    m_tCheck->stop();
    m_tGraph->stop();
    int code = 0;
    try {
        writeUsageData();
    } catch (const std::exception& error) {
        // No message box: the session is going away and nobody would answer it.
        std::cerr << "tavlor: " << error.what() << '\n';
        code = 1;
    }
    exitProgram(code);
}

namespace {
// The session manager's "die": a quit event sent to the application object itself.
class SessionQuitFilter final : public QObject
{
public:
    SessionQuitFilter(QObject* application, std::function<void()> onQuit, QObject* parent)
        : QObject(parent), m_application(application), m_onQuit(std::move(onQuit))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_application && event->type() == QEvent::Quit) {
            m_onQuit();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QObject* m_application;
    std::function<void()> m_onQuit;
};
} // namespace

void TavlorApp::checkpoint()
{
    if (m_ending) {
        return;
    }
    SaveUsageData();
}

void TavlorApp::watchSessionEnd()
{
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // A session manager asks to commit at a checkpoint ("save session" while the session
        // goes on) just as at a logout: save and keep counting. Only its "die" that follows a
        // logout, which Qt delivers as a quit event to the application, ends the program.
        connect(gui, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { checkpoint(); });
        gui->installEventFilter(new SessionQuitFilter(
            gui, [this] { sessionEnd(); }, this));
    }
    const int fd = platform::watchSessionEndSignals();
    if (fd < 0) {
        return;
    }
    m_sessionEndNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_sessionEndNotifier, &QSocketNotifier::activated, this, [this, fd] {
        platform::drainSessionEndSignals(fd);
        sessionEnd();
    });
}

void TavlorApp::FormActivate()
{
    m_tray->HideToTray();
}

void TavlorApp::FormMinimised()
{
    m_tray->HideToTray();
}

} // namespace tavlor
