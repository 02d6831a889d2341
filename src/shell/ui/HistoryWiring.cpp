#include "shell/ui/HistoryWiring.h"

#include "history/UsageWatch.h"
#include "history/ui/ufrmVerlauf.h"
#include "shell/ui/DesktopNotifier.h"
#include "shell/ui/TrayController.h"
#include "text/WidgetNames.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QSystemTrayIcon>
#include <iostream>

namespace tavlor {

namespace {
const QString kNotificationTitle = QStringLiteral("Tavlor: Volumenwarner");
}

HistoryWiring::HistoryWiring(Places places, const NumberFormat& numbers, TrayController& tray,
                             QWidget* window)
    : QObject(window), m_places(std::move(places)), m_numbers(numbers), m_tray(tray), m_window(window)
{
    m_notifier = new DesktopNotifier(
        [this](const QString& title, const QString& text) {
            if (m_tray.available()) {
                m_tray.icon()->showMessage(title, text, QSystemTrayIcon::Warning);
            } else {
                std::cerr << "tavlor: " << text.toStdString() << '\n';
            }
        },
        this);
}

HistoryWiring::~HistoryWiring() = default;

void HistoryWiring::load()
{
    if (m_places.files == nullptr) {
        return;
    }
    m_watch =
        std::make_unique<UsageWatch>(m_places.dataFilePath, *m_places.files, m_places.clock, m_places.locale);
    const HistoryFile::LoadReport report = m_watch->load();
    if (report.unreadable) {
        notify("Der Verlauf " + m_watch->historyPath() +
               " kann nicht gelesen werden. Er bleibt unver\xC3\xA4ndert und wird bis zum n\xC3\xA4"
               "chsten "
               "Start nicht fortgeschrieben; die Z\xC3\xA4hler laufen weiter.");
    } else if (report.damagedRows > 0 && report.asidePath.empty()) {
        notify("Im Verlauf " + m_watch->historyPath() + " sind " + std::to_string(report.damagedRows) +
               " besch\xC3\xA4"
               "digte Zeilen, und er kann nicht beiseitegelegt werden. Er bleibt unver\xC3\xA4ndert "
               "und wird bis zum n\xC3\xA4"
               "chsten Start nicht fortgeschrieben.");
    } else if (report.damagedRows > 0) {
        notify("Im Verlauf waren " + std::to_string(report.damagedRows) +
               " besch\xC3\xA4"
               "digte Zeilen. Die Datei wurde unver\xC3\xA4ndert nach " +
               report.asidePath +
               " gelegt; die \xC3\xBC"
               "brigen Tage z\xC3\xA4hlen weiter.");
    }
    showLimitState();
}

void HistoryWiring::readingTaken(const TickReading& reading)
{
    if (!m_watch) {
        return;
    }
    for (const WarnerEvent& event : m_watch->counted(reading)) {
        notify(m_watch->warningText(m_numbers, event));
    }
    cutAtLimit(reading);
}

void HistoryWiring::cutAtLimit(const TickReading& reading)
{
    m_counted = reading.online ? reading.connection : CountedConnection{};
    if (m_failedCut) {
        // Judged a second later: a connection that vanished while it was being cut is cut.
        const FailedCut failed = std::move(*m_failedCut);
        m_failedCut.reset();
        told(failed.cut, failed.name, m_limitCut.answered(failed.cut, false, m_counted), failed.reason);
    }
    // The period's sum is asked only where a cut could follow: most users never switch it on.
    const bool cutOff = m_watch->warner().settings().cutOff;
    const bool limitReached = cutOff && reading.online && m_watch->limitReached();
    const LimitSecond second{reading.online, reading.connection, limitReached, cutOff, m_watch->released()};
    const std::optional<CountedConnection> cut = m_limitCut.decide(second);
    if (!cut) {
        return;
    }
    // What was counted up to the cut is on disk before the connection goes.
    m_saveWanted = true;
    const std::string name = LimitCutName(*cut, reading.downLink.name);
    if (!m_places.cut) {
        cutAnswered(*cut, name, DialupResult::failure(DialupResult::Status::ServiceMissing, {}));
        return;
    }
    QPointer<HistoryWiring> alive(this);
    m_places.cut(*cut, [alive, cut = *cut, name](const DialupResult& result) {
        if (alive) {
            alive->cutAnswered(cut, name, result);
        }
    });
}

void HistoryWiring::cutAnswered(const CountedConnection& cut, const std::string& name,
                                const DialupResult& result)
{
    if (!result.ok()) {
        m_failedCut = FailedCut{cut, name, result.reason};
        return;
    }
    told(cut, name, m_limitCut.answered(cut, true, m_counted), {});
}

void HistoryWiring::told(const CountedConnection& cut, const std::string& name, LimitCut::Outcome outcome,
                         const std::string& reason)
{
    switch (outcome) {
    case LimitCut::Outcome::Cut:
    case LimitCut::Outcome::Vanished:
        // Told once for each time it came up, also when it is cut again.
        if (m_cutTold != cut) {
            m_cutTold = cut;
            notify(LimitCutText(name));
        }
        break;
    case LimitCut::Outcome::Failed:
        if (m_limitCut.firstFailure()) {
            notify("Limit erreicht: Verbindung \xE2\x80\x9E" + name +
                   "\xE2\x80\x9C kann nicht getrennt werden" + (reason.empty() ? "" : ": " + reason) +
                   ". Tavlor versucht es weiter.");
        }
        break;
    }
}

void HistoryWiring::save()
{
    if (!m_watch) {
        return;
    }
    // Reported once, not at every periodic save: the counters in data.ini are not at stake.
    const bool saved = m_watch->save();
    if (!saved && !m_saveReported) {
        notify("Nach " + m_watch->historyPath() + " kann nicht geschrieben werden.");
    }
    m_saveReported = !saved;
}

void HistoryWiring::showLimitState()
{
    if (!m_watch) {
        return;
    }
    QStringList lines;
    for (const std::string& line : m_watch->limitLines(m_numbers)) {
        lines << QString::fromStdString(line);
    }
    m_tray.setLimitLines(lines);
    m_tray.setWarnLevel(static_cast<int>(m_watch->level()));
}

void HistoryWiring::notify(const std::string& text)
{
    m_notifier->notify(kNotificationTitle, QString::fromStdString(text));
}

void HistoryWiring::showWindow()
{
    if (!m_watch) {
        return;
    }
    // Built at the first showing, like the monitor: the chart is not carried while unused.
    if (m_verlauf == nullptr) {
        m_verlauf = new TfrmVerlauf(
            *m_watch, m_numbers, m_places.locale,
            [this](const QString& suggested) {
                return QFileDialog::getSaveFileName(m_verlauf, QStringLiteral("Tabelle exportieren"),
                                                    QDir::home().filePath(suggested),
                                                    QStringLiteral("CSV-Dateien (*.csv)"));
            },
            [this] { showLimitState(); }, m_window);
        m_verlauf->setWindowFlag(Qt::Window);
        if (auto* box = m_verlauf->findChild<QCheckBox*>(QLatin1String(names::cbGetaktet));
            box != nullptr && m_places.settings != nullptr) {
            connect(box, &QCheckBox::clicked, this,
                    [this](bool on) { m_places.settings->countMetered = on; });
        }
    }
    if (auto* box = m_verlauf->findChild<QCheckBox*>(QLatin1String(names::cbGetaktet))) {
        box->setEnabled(m_places.settings != nullptr);
        box->setChecked(m_places.settings != nullptr && m_places.settings->countMetered);
    }
    m_verlauf->show();
    m_verlauf->raise();
    m_verlauf->activateWindow();
}

} // namespace tavlor
