// The click handlers of the main window and its tray icon, and their wiring.
#include "shell/ui/TavlorApp.h"
#include "text/WidgetNames.h"

#include "accounting/ResetGateway.h"
#include "desktop/Donation.h"
#include "desktop/KvUtils.h"
#include "dialup/ConnectionManager.h"
#include "netmeter/ui/ufrmExpert.h"
#include "shell/TrayHint.h"
#include "shell/ui/Dialogs.h"
#include "shell/ui/SettingsBinding.h"
#include "shell/ui/TrayController.h"
#include "views/ui/ufrmMonitor.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QUrl>

namespace tavlor {

namespace {
template <typename Handler>
void onClick(QWidget* window, const char* name, QObject* receiver, Handler handler)
{
    if (auto* button = window->findChild<QAbstractButton*>(QLatin1String(name))) {
        QObject::connect(button, &QAbstractButton::clicked, receiver, handler);
    }
}
} // namespace

void TavlorApp::wireWindow()
{
    QWidget* w = m_window.get();
    onClick(w, names::btnReset, this, [this] { btnResetClick(); });
    onClick(w, names::btnExpert, this, [this] { btnExpertClick(); });
    onClick(w, names::Button1, this, [this] { Button1Click(); });
    onClick(w, names::btnWinStart, this, [this] { btnWinStartClick(); });
    onClick(w, names::btnSpende, this, [this] { btnSpendeClick(); });
    if (auto* contact = w->findChild<QLabel*>(QLatin1String(names::lContact))) {
        contact->installEventFilter(this);
    }
    connect(m_tray, &TrayController::mouseMoved, this, &TavlorApp::TrayIconMouseMove);
    connect(m_tray, &TrayController::doubleClicked, this, &TavlorApp::TrayIconDblClick);
    connect(m_tray, &TrayController::historyRequested, this, &TavlorApp::VerlaufClick);
    connect(m_tray, &TrayController::showRequested, this, &TavlorApp::Beenden1Click);
    connect(m_tray, &TrayController::quitRequested, this, &TavlorApp::Tavlorbeenden1Click);
    // Without a notification area a hidden program would be out of reach, as at a start
    // without one.
    connect(m_tray, &TrayController::hostLost, this, [this] {
        if (!m_window->isVisible() || m_window->isMinimized()) {
            const QPoint frame = m_window->pos();
            m_tray->ShowFromTray();
            m_window->placeFrameAt(frame);
        }
    });
}

void TavlorApp::wireConnectionManager()
{
    QWidget* w = m_window.get();
    ConnectionManager* m = m_manager.get();
    onClick(w, names::btnCreateEntry, this, [this, m] { handle([m] { m->btnCreateEntryClick(); }); });
    onClick(w, names::btnEditEntry, this, [this, m] { handle([m] { m->btnEditEntryClick(); }); });
    onClick(w, names::btnRenameEntry, this, [this, m] { handle([m] { m->btnRenameEntryClick(); }); });
    onClick(w, names::btnDeleteEntry, this, [this, m] { handle([m] { m->btnDeleteEntryClick(); }); });
    onClick(w, names::btnDialEntry, this, [this, m] { handle([m] { m->btnDialEntryClick(); }); });
    onClick(w, names::btnHangup, this, [this, m] { handle([m] { m->btnHangupClick(); }); });
    onClick(w, names::btnDetails, this, [this, m] { handle([m] { m->btnDetailsClick(); }); });
    if (auto* entries = w->findChild<QListWidget*>(QLatin1String(names::lstEntries))) {
        connect(entries, &QListWidget::itemClicked, this,
                [this, m] { handle([m] { m->lstEntriesClick(); }); });
    }
    // Only the user's own typing (textEdited, not setText) makes a value the dial sends.
    const std::pair<const char*, ManagerField> fields[] = {{names::eUser, ManagerField::User},
                                                           {names::ePass, ManagerField::Password},
                                                           {names::eNum, ManagerField::Number}};
    for (const auto& [name, field] : fields) {
        if (auto* edit = w->findChild<QLineEdit*>(QLatin1String(name))) {
            connect(edit, &QLineEdit::textEdited, this,
                    [m, field = field](const QString& text) { m->fieldTyped(field, text.toStdString()); });
        }
    }
}

bool TavlorApp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        watched->objectName() == QLatin1String(names::lContact)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            lContactClick();
        }
    }
    return QObject::eventFilter(watched, event);
}

void TavlorApp::tGraphTimer()
{
    handle([this] {
        const GaugeDisplay gauge = GaugeFor(m_cpu.GetCpuLoad());
        // The same picture again would only repaint the gauge.
        if (gauge.pictureIndex >= 0 && gauge.pictureIndex < m_gauge.size() &&
            gauge.pictureIndex != m_gaugeShown) {
            m_gaugeShown = gauge.pictureIndex;
            if (auto* picture = m_window->findChild<QLabel*>(QLatin1String(names::iCpu))) {
                picture->setPixmap(m_gauge.at(gauge.pictureIndex));
            }
        }
        m_view.setText(names::lCpu, gauge.text);
    });
}

void TavlorApp::btnResetClick()
{
    handle([this] {
        // Whatever the save does, the next online tick must start a new session base.
        struct Rebase
        {
            AccountingTick& tick;
            ~Rebase() { tick.resetSessionBase(); }
        } rebase{*m_tick};
        ResetCounters(m_state, m_view, *m_services.clock, *m_services.locale, [this] { writeUsageData(); });
    });
}

void TavlorApp::cbLanClick(bool ticked)
{
    handle([this, ticked] {
        GatewaySwitchClicked(m_state, ticked, [this](const std::string& question) {
            return AskConfirmation(m_window.get(), QString::fromStdString(question));
        });
        m_settingsShown->show();
    });
}

void TavlorApp::btnExpertClick()
{
    handle([this] { m_expert->exec(); });
}

void TavlorApp::Button1Click()
{
    handle([this] {
        if (AskConfirmation(m_window.get(), QStringLiteral("Die \"Graph-Funktion\" ist noch im Beta Stadium. "
                                                           "Graphen wirklich anzeigen?"))) {
            m_tray->HideToTray();
            monitor().exec();
        }
    });
}

void TavlorApp::btnWinStartClick()
{
    handle([this] {
        const bool written = CreateShellLink(*m_services.shell, "Tavlor", "start", "VemoIco.ico");
        ShowPlainMessage(m_window.get(), QString::fromStdString(AutostartMessage(written)));
    });
}

void TavlorApp::lContactClick()
{
    // The desktop's answer is ignored: without a mail program nothing happens.
    if (m_services.openAddress) {
        m_services.openAddress(kContactAddress);
    } else {
        QDesktopServices::openUrl(QUrl(QString::fromUtf8(kContactAddress)));
    }
}

void TavlorApp::btnSpendeClick()
{
    handle([this] {
        auto* memo = m_window->findChild<QPlainTextEdit*>(QLatin1String(names::Memo1));
        memo->clear();
        for (const std::string& line : DonationLines()) {
            memo->appendPlainText(QString::fromStdString(line));
        }
        // Appending scrolls to the end; the details are read from their first line.
        memo->moveCursor(QTextCursor::Start);
        memo->ensureCursorVisible();
    });
}

void TavlorApp::TrayIconMouseMove()
{
    // Offline the hint is "Offline", whichever tray reports the pointer: an XEmbed tray asks
    // on every hover, a StatusNotifierItem host never does.
    if (!m_tick->reading().online) {
        return;
    }
    handle([this] { ComposeTrayHint(m_tick->reading(), m_state.trayTime, m_numbers, m_view); });
}

void TavlorApp::TrayIconDblClick()
{
    m_tray->ShowFromTray();
    m_window->placeFrameAt(QPoint(m_state.windowLeft, m_state.windowTop));
}

void TavlorApp::Beenden1Click()
{
    // The window keeps its position; a window manager mapping it again may not.
    const QPoint frame = m_window->pos();
    m_tray->ShowFromTray();
    m_window->placeFrameAt(frame);
    m_window->raise();
    m_window->activateWindow();
}

void TavlorApp::Tavlorbeenden1Click()
{
    m_quitRequested = true;
    m_window->close();
}

} // namespace tavlor

namespace tavlor {

void TavlorApp::VerlaufClick()
{
    m_history->showWindow();
}

} // namespace tavlor
