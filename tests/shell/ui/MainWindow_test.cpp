#include "ShellRig.h"
#include "shell/ui/LedLamp.h"
#include "shell/ui/TrayController.h"
#include "shell/ui/uFrmMainTavlor.h"
#include "text/WidgetNames.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;

namespace {
const QColor kGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kDarkRed(128, 0, 0);
const QColor kBlack(0, 0, 0);

// Counts the paint events of every widget it watches.
class PaintCounter final : public QObject
{
public:
    explicit PaintCounter(QWidget* root)
    {
        root->installEventFilter(this);
        for (QWidget* child : root->findChildren<QWidget*>()) {
            child->installEventFilter(this);
        }
    }
    QStringList painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted << watched->objectName();
        }
        return QObject::eventFilter(watched, event);
    }
};

QStringList captionsIn(QWidget* group)
{
    QStringList texts;
    for (QLabel* label : group->findChildren<QLabel*>()) {
        if (label->objectName().isEmpty()) {
            texts << label->text();
        }
    }
    return texts;
}
} // namespace

class MainWindowTest final : public QObject
{
    Q_OBJECT
private slots:
    // The design's sizes are those of its 8-point font; other fonts: Appearance_test.
    void initTestCase()
    {
        QFont font = QApplication::font();
        font.setPointSize(8);
        QApplication::setFont(font);
    }
    void valuesCarryNameTextColourAndGroup_data();
    void valuesCarryNameTextColourAndGroup();
    void buttonsAndChecksCarryCaptionAndState();
    void groupsKeepTheirCaptionsTrailingBlanksIncluded();
    void radioGroupAndStatusBar();
    void editFieldsKeepNumberTextAndLimits();
    void programSetsWidthCaptionAndSystemName();
    void detailsButtonSwitchesBetween450And830();
    void tickPaintsLampStatusBarAndGauge();
    void rightColumnIsOutOfSightWhileCollapsed();
    void aSecondThatChangesNothingPaintsNothing();
};

void MainWindowTest::valuesCarryNameTextColourAndGroup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("white");
    auto row = [](const char* n, const char* t, QColor c, const char* g, const char* cap, bool white = true) {
        QTest::newRow(n) << QString::fromUtf8(n) << QString::fromUtf8(t) << c << QString::fromUtf8(g)
                         << QString::fromUtf8(cap) << white;
    };
    row(names::lotAll, "-", kBlack, names::gbTime, "Onlinezeit Gesamt");
    row(names::lOtDay, "-", kBlack, names::gbTime, "Onlinezeit Heute");
    row(names::lOTS, "-", kBlack, names::gbTime, "Aktuelle Onlinesession");
    row(names::lAll, "0 kb", kRed, names::gbTime, "Gemessenes Datenvolumen");
    row(names::lDownS, "0 kb/s", kGreen, names::gbTraffic, "Download");
    row(names::lUpS, "0 kb/s", kBlue, names::gbTraffic, "Upload");
    row(names::lSpeed, "-", kBlack, names::gbTraffic, "Verbindung", false);
    row(names::lInS, "0 kb", kGreen, names::JvGroupBox1, "Session");
    row(names::lIn, "0 kb", kGreen, names::JvGroupBox1, "Gesamt (seit Last Reset)");
    row(names::lOutS, "0 kb", kBlue, names::JvGroupBox2, "Session");
    row(names::lOut, "0 kb", kBlue, names::JvGroupBox2, "Gesamt  (seit Las Reset)");
    row(names::lcon, "Offline", kBlack, names::JvGroupBox4, "Verbunden mit");
    row(names::lMit, names::lMit, kBlack, names::JvGroupBox4, "Modem");
    row(names::lLokal, "-", kBlack, names::JvGroupBox4, "Lokal:");
    row(names::lremote, "-", kBlack, names::JvGroupBox4, "Extern:");
    row(names::lRd, "-", kBlack, names::JvGroupBox3, "Last Reset", false);
}

void MainWindowTest::valuesCarryNameTextColourAndGroup()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    QFETCH(QString, group);
    QFETCH(QString, caption);
    QFETCH(bool, white);
    TfrmTavlor window;
    auto* value = window.findChild<QLabel*>(name);
    QVERIFY2(value != nullptr, qPrintable(name));
    QCOMPARE(value->text(), text);
    QCOMPARE(value->palette().color(QPalette::WindowText), colour);
    auto* panel = qobject_cast<QFrame*>(value->parentWidget());
    QVERIFY(panel != nullptr);
    QCOMPARE(panel->frameShadow(), QFrame::Sunken);
    QCOMPARE(panel->autoFillBackground() && panel->palette().color(QPalette::Window) == Qt::white, white);
    auto* box = window.findChild<QGroupBox*>(group);
    QVERIFY(box != nullptr && box->isAncestorOf(value));
    QVERIFY2(captionsIn(box).contains(caption), qPrintable(captionsIn(box).join('|')));
}

void MainWindowTest::buttonsAndChecksCarryCaptionAndState()
{
    TfrmTavlor window;
    const struct
    {
        const char* name;
        const char* caption;
        bool enabled;
    } buttons[] = {{names::Button1, "Graph zeigen", true},
                   {names::btnReset, "Alle Werte zurücksetzen", true},
                   {names::btnExpert, "Experten Einstellungen", true},
                   {names::btnDetails, "VerbindungsManager  öffnen>>", true},
                   {names::btnCreateEntry, "Eintrag Anlegen", true},
                   {names::btnEditEntry, "Eintrag ändern", false},
                   {names::btnRenameEntry, "Eintrag umbennen", true},
                   {names::btnDeleteEntry, "Eintrag löschen", true},
                   {names::btnDialEntry, "Eintrag anwählen", false},
                   {names::btnHangup, "Verbindung trennen.", true},
                   {names::btnSpende, "Spenden Informationen anzeigen", true},
                   {names::cbLan, "Online Gateway?", true},
                   {names::cbBeenden, "Sicherheitsabfrage vor Beenden", true},
                   {names::cbMini, "Minimieren statt schliessen", true}};
    for (const auto& b : buttons) {
        auto* button = window.findChild<QAbstractButton*>(QLatin1String(b.name));
        QVERIFY2(button != nullptr, b.name);
        QCOMPARE(button->text(), QString::fromUtf8(b.caption));
        QCOMPARE(button->isEnabled(), b.enabled);
    }
    QCOMPARE(window.findChild<QCheckBox*>(names::cbLan)->isChecked(), true);
    QCOMPARE(window.findChild<QCheckBox*>(names::cbBeenden)->isChecked(), false);
    QCOMPARE(window.findChild<QCheckBox*>(names::cbMini)->isChecked(), false);
    QCOMPARE(window.findChild<QPushButton*>(names::Button1)->palette().color(QPalette::ButtonText), kDarkRed);
    QCOMPARE(window.findChild<QPushButton*>(names::btnExpert)->toolTip(),
             QStringLiteral("Falls Tavlor die Traffic Daten nicht richtig anzeigt können hier Einstellungen "
                            "vorgenommen werden."));
    auto* contact = window.findChild<QLabel*>(names::lContact);
    QCOMPARE(contact->toolTip(), QStringLiteral("E-mail an den Author"));
    QCOMPARE(contact->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(contact->palette().color(QPalette::WindowText), kBlue);
    auto* memo = window.findChild<QPlainTextEdit*>(names::Memo1);
    QCOMPARE(memo->palette().color(QPalette::Text), kDarkRed);
    QCOMPARE(window.findChild<QLabel*>(names::lCpu)->text(), QStringLiteral("50%"));
    QCOMPARE(window.findChild<QLabel*>(names::iCpu)->size(), QSize(32, 32));
    auto* led = window.findChild<LedLamp*>(names::LEd);
    QCOMPARE(led->size(), QSize(17, 17));
    QCOMPARE(led->color(), kRed);
    QCOMPARE(led->toolTip(), QStringLiteral("Offline"));
}

void MainWindowTest::groupsKeepTheirCaptionsTrailingBlanksIncluded()
{
    TfrmTavlor window;
    const std::pair<const char*, const char*> groups[] = {{names::gbTime, "Online Zeit und Traffic"},
                                                          {names::gbTraffic, "Geschwindigkeit"},
                                                          {names::JvGroupBox1, "Download Traffic "},
                                                          {names::JvGroupBox2, "Upload Traffic "},
                                                          {names::JvGroupBox4, "Verbindung"},
                                                          {names::rGroup, "Im TrayIcon zeigen"},
                                                          {names::JvGroupBox3, "Werte auf 0 setzen"},
                                                          {names::JvGroupBox5, "Verbindungsmanager"},
                                                          {names::JvGroupBox6, "Beenden"},
                                                          {names::JvGroupBox7, "Spenden"}};
    for (const auto& [name, title] : groups) {
        auto* box = window.findChild<QGroupBox*>(QLatin1String(name));
        QVERIFY2(box != nullptr, name);
        QCOMPARE(box->title(), QString::fromUtf8(title));
    }
    QCOMPARE(window.windowTitle(), QStringLiteral("Tavlor v2.9"));
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(window.findChild<QGroupBox*>(names::JvGroupBox4)->findChildren<QLabel*>().size() >= 6);
    QVERIFY(captionsIn(window.findChild<QGroupBox*>(names::JvGroupBox4)).contains("IP-Adressen"));
    QVERIFY(captionsIn(window.findChild<QGroupBox*>(names::JvGroupBox2)).contains("CPU Last"));
}

void MainWindowTest::radioGroupAndStatusBar()
{
    TfrmTavlor window;
    auto* group = window.findChild<QGroupBox*>(names::rGroup);
    const QStringList expected{"Onlinezeit Gesamt", "Onlinezeit Heute", "Onlinezeit Aktuelle Session"};
    QStringList items;
    for (QRadioButton* item : group->findChildren<QRadioButton*>()) {
        items << item->text();
    }
    QCOMPARE(items, expected);
    QVERIFY(group->findChildren<QRadioButton*>().first()->isChecked());
    auto* bar = window.findChild<QStatusBar*>(names::sBar);
    QVERIFY(bar != nullptr);
    // 325 pixels of the design, or what a long uptime needs in the desktop's font.
    QVERIFY(window.statusPanel(0)->width() >= 325);
    QVERIFY(window.statusPanel(0)->width() >=
            window.statusPanel(0)->fontMetrics().horizontalAdvance(
                QStringLiteral("Linux Uptime: 99 Wochen, 6 Tage, 23 h, 59 min, 59 sek.")));
    QCOMPARE(window.statusPanel(1)->width(), 50);
    QVERIFY(window.statusPanel(1)->text().isEmpty());
}

void MainWindowTest::editFieldsKeepNumberTextAndLimits()
{
    TfrmTavlor window;
    auto* user = window.findChild<QLineEdit*>(names::eUser);
    auto* pass = window.findChild<QLineEdit*>(names::ePass);
    auto* number = window.findChild<QLineEdit*>(names::eNum);
    QCOMPARE(user->text(), QLatin1String(names::eUser));
    QCOMPARE(pass->text(), QLatin1String(names::ePass));
    QCOMPARE(pass->echoMode(), QLineEdit::Password);
    // A star for every character, whatever mask the desktop's style would draw.
    pass->setText(QStringLiteral("g3h\u00e9im"));
    QCOMPARE(pass->displayText(), QStringLiteral("******"));
    pass->setText(QLatin1String(names::ePass));
    QCOMPARE(number->text(), QStringLiteral("0"));
    QVERIFY(number->alignment() & Qt::AlignRight);
    number->setText(QStringLiteral("+49 0171 *99#"));
    QCOMPARE(number->text(), QStringLiteral("+49 0171 *99#"));
    // Over-long input must reach the manager whole so that it can refuse it with a message.
    const QString longName(300, QLatin1Char('u'));
    user->setText(longName);
    QCOMPARE(user->text(), longName);
    QVERIFY(window.findChild<QListWidget*>(names::lstEntries) != nullptr);
}

void MainWindowTest::programSetsWidthCaptionAndSystemName()
{
    ShellRig rig;
    QCOMPARE(rig.window().width(), 450);
    QCOMPARE(rig.find<QPushButton>(names::btnWinStart)->text(), QStringLiteral("Tavlor mit Linux starten"));
    QVERIFY(!rig.find<QLabel>(names::lContact)->text().isEmpty());
    const QString notice = rig.find<QPlainTextEdit>(names::Memo1)->toPlainText();
    QCOMPARE(notice.count('\n'), 8); // nine lines
    QVERIFY(notice.contains("Tavlor"));
    QCOMPARE(rig.app->tray().icon()->toolTip(), QStringLiteral("Tavlor"));
    QVERIFY(!rig.app->tray().icon()->icon().isNull());
    QCOMPARE(rig.app->tray().quitItem()->text(), QStringLiteral("Tavlor beenden"));
    QCOMPARE(rig.app->tray().showItem()->text(), QStringLiteral("Tavlor zeigen"));
    QCOMPARE(rig.app->tray().popup()->actions().size(), 3);
    QCOMPARE(rig.app->tray().popup()->actions().first(), rig.app->tray().historyItem());
    QCOMPARE(rig.app->tray().historyItem()->text(), QStringLiteral("Verlauf und Volumenwarner\u2026"));
}

void MainWindowTest::detailsButtonSwitchesBetween450And830()
{
    ShellRig rig;
    rig.dialup->entries = {{"Arbeit", "anna", "*99#", "", true}};
    rig.app->start();
    auto* details = rig.find<QPushButton>(names::btnDetails);
    details->click();
    QCOMPARE(rig.window().width(), 830);
    QCOMPARE(details->text(), QStringLiteral("<< VerbindungsManager schliessen"));
    QCOMPARE(rig.find<QListWidget>(names::lstEntries)->count(), 1);
    // Only what the user types is dialled, the rest as stored.
    auto* user = rig.find<QLineEdit>(names::eUser);
    QCOMPARE(user->text(), QStringLiteral("anna"));
    user->selectAll();
    QTest::keyClicks(user, QStringLiteral("bert"));
    rig.app->tCheckTimer(); // offline: dialling is possible
    rig.find<QPushButton>(names::btnDialEntry)->click();
    QCOMPARE(rig.dialup->dials.size(), std::size_t(1));
    QCOMPARE(rig.dialup->dials.back().user, std::string("bert"));
    QCOMPARE(rig.dialup->dials.back().sent, std::string("user"));
    details->click();
    QCOMPARE(rig.window().width(), 450);
    QCOMPARE(details->text(), QStringLiteral("VerbindungsManager  öffnen>>"));
}

void MainWindowTest::tickPaintsLampStatusBarAndGauge()
{
    ShellRig rig;
    auto* led = rig.find<LedLamp>(names::LEd);
    rig.app->tCheckTimer();
    QCOMPARE(led->color(), kRed);
    QCOMPARE(led->toolTip(), QStringLiteral("Offline"));
    QCOMPARE(rig.window().statusPanel(0)->text(),
             QStringLiteral("Linux Uptime: 0 Wochen, 1 Tage, 1 h, 1 min, 1 sek."));
    QVERIFY(rig.window().statusPanel(1)->text().isEmpty());
    QCOMPARE(rig.find<QLabel>(names::lOTS)->text(), QStringLiteral("-"));
    QCOMPARE(rig.find<QLabel>(names::lLokal)->text(), QStringLiteral("192.168.1.20"));
    QCOMPARE(rig.find<QPushButton>(names::btnDialEntry)->isEnabled(), true);
    QCOMPARE(rig.find<QPushButton>(names::btnHangup)->isEnabled(), false);

    rig.goOnline();
    rig.clock->advanceMs(1000);
    rig.app->tCheckTimer();
    QCOMPARE(led->color(), QColor(0, 255, 0));
    QCOMPARE(led->toolTip(), QStringLiteral("Online"));
    QCOMPARE(rig.find<QLabel>(names::lcon)->text(), QStringLiteral("Mobil"));
    QCOMPARE(rig.find<QLabel>(names::lMit)->text(), QStringLiteral("Modem 1"));
    QCOMPARE(rig.find<QPushButton>(names::btnDialEntry)->isEnabled(), false);
    QVERIFY(rig.find<QLineEdit>(names::eUser)->isReadOnly());

    // The gauge's first measurement reads 0 %: picture 0 and the measured figure itself.
    rig.app->tGraphTimer();
    QCOMPARE(rig.find<QLabel>(names::lCpu)->text(), QStringLiteral("0%"));
    QVERIFY(!rig.find<QLabel>(names::iCpu)->pixmap().isNull());
}

void MainWindowTest::rightColumnIsOutOfSightWhileCollapsed()
{
    ShellRig rig;
    rig.app->start();
    QWidget* client = rig.window().centralWidget();
    for (const char* name : {names::cbMini, names::cbBeenden, names::lstEntries, names::Memo1}) {
        QWidget* widget = rig.window().findChild<QWidget*>(QLatin1String(name));
        QVERIFY(widget->mapTo(client, QPoint(0, 0)).x() >= 450);
    }
    for (const char* name : {names::lAll, names::lremote, names::btnDetails, names::lSpeed}) {
        QWidget* widget = rig.window().findChild<QWidget*>(QLatin1String(name));
        const QRect area(widget->mapTo(client, QPoint(0, 0)), widget->size());
        QVERIFY2(area.right() < 450 && area.bottom() < client->height(), name);
    }
    QCOMPARE(client->findChildren<QScrollBar*>(QString(), Qt::FindDirectChildrenOnly).size(), 0);

    // A tiling window manager or a compositor chooses the size: collapsed stays collapsed at
    // any width, expanded shows the right column, and collapsing hides it again.
    QWidget* right = rig.window().findChild<QWidget*>(QLatin1String(names::rightColumn));
    auto* details = rig.find<QPushButton>(names::btnDetails);
    for (const int width : {1280, 831, 452}) {
        rig.window().resize(width, 800);
        QCoreApplication::processEvents();
        QVERIFY2(!right->isVisible(), qPrintable(QStringLiteral("collapsed at %1").arg(width)));
    }
    details->click();
    QCOMPARE(details->text(), QStringLiteral("<< VerbindungsManager schliessen"));
    rig.window().resize(1280, 800);
    QCoreApplication::processEvents();
    QVERIFY(right->isVisible());
    details->click();
    rig.window().resize(1280, 800);
    QCoreApplication::processEvents();
    QCOMPARE(details->text(), QStringLiteral("VerbindungsManager  \u00f6ffnen>>"));
    QVERIFY(!right->isVisible());
}

// The same figures again must not rewrite a label, the gauge picture or the lamp: a resident
// program that repaints every second costs CPU for nothing.
void MainWindowTest::aSecondThatChangesNothingPaintsNothing()
{
    ShellRig rig;
    QVERIFY(rig.shownFromTray());
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window()));
    const auto second = [&rig] {
        rig.app->tCheckTimer();
        rig.app->tGraphTimer();
        QCoreApplication::processEvents();
    };
    second();
    second();
    PaintCounter counter(&rig.window());
    second();
    QVERIFY2(counter.painted.isEmpty(), qPrintable(counter.painted.join(", ")));

    // Whereas a changed figure repaints its label.
    rig.goOnline();
    second();
    QVERIFY(counter.painted.contains(QLatin1String(names::lcon)));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
