#include "ShellRig.h"
#include "shell/ui/LedLamp.h"
#include "shell/ui/TrayController.h"
#include "shell/ui/uFrmMainTavlor.h"

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
    row("lotAll", "-", kBlack, "gbTime", "Onlinezeit Gesamt");
    row("lOtDay", "-", kBlack, "gbTime", "Onlinezeit Heute");
    row("lOTS", "-", kBlack, "gbTime", "Aktuelle Onlinesession");
    row("lAll", "0 kb", kRed, "gbTime", "Gemessenes Datenvolumen");
    row("lDownS", "0 kb/s", kGreen, "gbTraffic", "Download");
    row("lUpS", "0 kb/s", kBlue, "gbTraffic", "Upload");
    row("lSpeed", "-", kBlack, "gbTraffic", "Verbindung", false);
    row("lInS", "0 kb", kGreen, "JvGroupBox1", "Session");
    row("lIn", "0 kb", kGreen, "JvGroupBox1", "Gesamt (seit Last Reset)");
    row("lOutS", "0 kb", kBlue, "JvGroupBox2", "Session");
    row("lOut", "0 kb", kBlue, "JvGroupBox2", "Gesamt  (seit Las Reset)");
    row("lcon", "Offline", kBlack, "JvGroupBox4", "Verbunden mit");
    row("lMit", "lMit", kBlack, "JvGroupBox4", "Modem");
    row("lLokal", "-", kBlack, "JvGroupBox4", "Lokal:");
    row("lremote", "-", kBlack, "JvGroupBox4", "Extern:");
    row("lRd", "-", kBlack, "JvGroupBox3", "Last Reset", false);
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
    } buttons[] = {{"Button1", "Graph zeigen", true},
                   {"btnReset", "Alle Werte zurücksetzen", true},
                   {"btnExpert", "Experten Einstellungen", true},
                   {"btnDetails", "VerbindungsManager  öffnen>>", true},
                   {"btnCreateEntry", "Eintrag Anlegen", true},
                   {"btnEditEntry", "Eintrag ändern", false},
                   {"btnRenameEntry", "Eintrag umbennen", true},
                   {"btnDeleteEntry", "Eintrag löschen", true},
                   {"btnDialEntry", "Eintrag anwählen", false},
                   {"btnHangup", "Verbindung trennen.", true},
                   {"btnSpende", "Spenden Informationen anzeigen", true},
                   {"cbLan", "Online Gateway?", true},
                   {"cbBeenden", "Sicherheitsabfrage vor Beenden", true},
                   {"cbMini", "Minimieren statt schliessen", true}};
    for (const auto& b : buttons) {
        auto* button = window.findChild<QAbstractButton*>(QLatin1String(b.name));
        QVERIFY2(button != nullptr, b.name);
        QCOMPARE(button->text(), QString::fromUtf8(b.caption));
        QCOMPARE(button->isEnabled(), b.enabled);
    }
    QCOMPARE(window.findChild<QCheckBox*>("cbLan")->isChecked(), true);
    QCOMPARE(window.findChild<QCheckBox*>("cbBeenden")->isChecked(), false);
    QCOMPARE(window.findChild<QCheckBox*>("cbMini")->isChecked(), false);
    QCOMPARE(window.findChild<QPushButton*>("Button1")->palette().color(QPalette::ButtonText), kDarkRed);
    QCOMPARE(window.findChild<QPushButton*>("btnExpert")->toolTip(),
             QStringLiteral("Falls Tavlor die Traffic Daten nicht richtig anzeigt können hier Einstellungen "
                            "vorgenommen werden."));
    auto* contact = window.findChild<QLabel*>("lContact");
    QCOMPARE(contact->toolTip(), QStringLiteral("E-mail an den Author"));
    QCOMPARE(contact->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(contact->palette().color(QPalette::WindowText), kBlue);
    auto* memo = window.findChild<QPlainTextEdit*>("Memo1");
    QCOMPARE(memo->palette().color(QPalette::Text), kDarkRed);
    QCOMPARE(window.findChild<QLabel*>("lCpu")->text(), QStringLiteral("50%"));
    QCOMPARE(window.findChild<QLabel*>("iCpu")->size(), QSize(32, 32));
    auto* led = window.findChild<LedLamp*>("LEd");
    QCOMPARE(led->size(), QSize(17, 17));
    QCOMPARE(led->color(), kRed);
    QCOMPARE(led->toolTip(), QStringLiteral("Offline"));
}

void MainWindowTest::groupsKeepTheirCaptionsTrailingBlanksIncluded()
{
    TfrmTavlor window;
    const std::pair<const char*, const char*> groups[] = {{"gbTime", "Online Zeit und Traffic"},
                                                          {"gbTraffic", "Geschwindigkeit"},
                                                          {"JvGroupBox1", "Download Traffic "},
                                                          {"JvGroupBox2", "Upload Traffic "},
                                                          {"JvGroupBox4", "Verbindung"},
                                                          {"rGroup", "Im TrayIcon zeigen"},
                                                          {"JvGroupBox3", "Werte auf 0 setzen"},
                                                          {"JvGroupBox5", "Verbindungsmanager"},
                                                          {"JvGroupBox6", "Beenden"},
                                                          {"JvGroupBox7", "Spenden"}};
    for (const auto& [name, title] : groups) {
        auto* box = window.findChild<QGroupBox*>(QLatin1String(name));
        QVERIFY2(box != nullptr, name);
        QCOMPARE(box->title(), QString::fromUtf8(title));
    }
    QCOMPARE(window.windowTitle(), QStringLiteral("Tavlor v2.9"));
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(window.findChild<QGroupBox*>("JvGroupBox4")->findChildren<QLabel*>().size() >= 6);
    QVERIFY(captionsIn(window.findChild<QGroupBox*>("JvGroupBox4")).contains("IP-Adressen"));
    QVERIFY(captionsIn(window.findChild<QGroupBox*>("JvGroupBox2")).contains("CPU Last"));
}

void MainWindowTest::radioGroupAndStatusBar()
{
    TfrmTavlor window;
    auto* group = window.findChild<QGroupBox*>("rGroup");
    const QStringList expected{"Onlinezeit Gesamt", "Onlinezeit Heute", "Onlinezeit Aktuelle Session"};
    QStringList items;
    for (QRadioButton* item : group->findChildren<QRadioButton*>()) {
        items << item->text();
    }
    QCOMPARE(items, expected);
    QVERIFY(group->findChildren<QRadioButton*>().first()->isChecked());
    auto* bar = window.findChild<QStatusBar*>("sBar");
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
    auto* user = window.findChild<QLineEdit*>("eUser");
    auto* pass = window.findChild<QLineEdit*>("ePass");
    auto* number = window.findChild<QLineEdit*>("eNum");
    QCOMPARE(user->text(), QStringLiteral("eUser"));
    QCOMPARE(pass->text(), QStringLiteral("ePass"));
    QCOMPARE(pass->echoMode(), QLineEdit::Password);
    // A star for every character, whatever mask the desktop's style would draw.
    pass->setText(QStringLiteral("g3h\u00e9im"));
    QCOMPARE(pass->displayText(), QStringLiteral("******"));
    pass->setText(QStringLiteral("ePass"));
    QCOMPARE(number->text(), QStringLiteral("0"));
    QVERIFY(number->alignment() & Qt::AlignRight);
    number->setText(QStringLiteral("+49 0171 *99#"));
    QCOMPARE(number->text(), QStringLiteral("+49 0171 *99#"));
    // Over-long input must reach the manager whole so that it can refuse it with a message.
    const QString longName(300, QLatin1Char('u'));
    user->setText(longName);
    QCOMPARE(user->text(), longName);
    QVERIFY(window.findChild<QListWidget*>("lstEntries") != nullptr);
}

void MainWindowTest::programSetsWidthCaptionAndSystemName()
{
    ShellRig rig;
    QCOMPARE(rig.window().width(), 450);
    QCOMPARE(rig.find<QPushButton>("btnWinStart")->text(), QStringLiteral("Tavlor mit Linux starten"));
    QVERIFY(!rig.find<QLabel>("lContact")->text().isEmpty());
    const QString notice = rig.find<QPlainTextEdit>("Memo1")->toPlainText();
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
    auto* details = rig.find<QPushButton>("btnDetails");
    details->click();
    QCOMPARE(rig.window().width(), 830);
    QCOMPARE(details->text(), QStringLiteral("<< VerbindungsManager schliessen"));
    QCOMPARE(rig.find<QListWidget>("lstEntries")->count(), 1);
    // Only what the user types is dialled, the rest as stored.
    auto* user = rig.find<QLineEdit>("eUser");
    QCOMPARE(user->text(), QStringLiteral("anna"));
    user->selectAll();
    QTest::keyClicks(user, QStringLiteral("bert"));
    rig.app->tCheckTimer(); // offline: dialling is possible
    rig.find<QPushButton>("btnDialEntry")->click();
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
    auto* led = rig.find<LedLamp>("LEd");
    rig.app->tCheckTimer();
    QCOMPARE(led->color(), kRed);
    QCOMPARE(led->toolTip(), QStringLiteral("Offline"));
    QCOMPARE(rig.window().statusPanel(0)->text(),
             QStringLiteral("Linux Uptime: 0 Wochen, 1 Tage, 1 h, 1 min, 1 sek."));
    QVERIFY(rig.window().statusPanel(1)->text().isEmpty());
    QCOMPARE(rig.find<QLabel>("lOTS")->text(), QStringLiteral("-"));
    QCOMPARE(rig.find<QLabel>("lLokal")->text(), QStringLiteral("192.168.1.20"));
    QCOMPARE(rig.find<QPushButton>("btnDialEntry")->isEnabled(), true);
    QCOMPARE(rig.find<QPushButton>("btnHangup")->isEnabled(), false);

    rig.goOnline();
    rig.clock->advanceMs(1000);
    rig.app->tCheckTimer();
    QCOMPARE(led->color(), QColor(0, 255, 0));
    QCOMPARE(led->toolTip(), QStringLiteral("Online"));
    QCOMPARE(rig.find<QLabel>("lcon")->text(), QStringLiteral("Mobil"));
    QCOMPARE(rig.find<QLabel>("lMit")->text(), QStringLiteral("Modem 1"));
    QCOMPARE(rig.find<QPushButton>("btnDialEntry")->isEnabled(), false);
    QVERIFY(rig.find<QLineEdit>("eUser")->isReadOnly());

    // The gauge's first measurement reads 0 %: picture 0 and the measured figure itself.
    rig.app->tGraphTimer();
    QCOMPARE(rig.find<QLabel>("lCpu")->text(), QStringLiteral("0%"));
    QVERIFY(!rig.find<QLabel>("iCpu")->pixmap().isNull());
}

void MainWindowTest::rightColumnIsOutOfSightWhileCollapsed()
{
    ShellRig rig;
    rig.app->start();
    QWidget* client = rig.window().centralWidget();
    for (const char* name : {"cbMini", "cbBeenden", "lstEntries", "Memo1"}) {
        QWidget* widget = rig.window().findChild<QWidget*>(QLatin1String(name));
        QVERIFY(widget->mapTo(client, QPoint(0, 0)).x() >= 450);
    }
    for (const char* name : {"lAll", "lremote", "btnDetails", "lSpeed"}) {
        QWidget* widget = rig.window().findChild<QWidget*>(QLatin1String(name));
        const QRect area(widget->mapTo(client, QPoint(0, 0)), widget->size());
        QVERIFY2(area.right() < 450 && area.bottom() < client->height(), name);
    }
    QCOMPARE(client->findChildren<QScrollBar*>(QString(), Qt::FindDirectChildrenOnly).size(), 0);

    // A tiling window manager or a compositor chooses the size: collapsed stays collapsed at
    // any width, expanded shows the right column, and collapsing hides it again.
    QWidget* right = rig.window().findChild<QWidget*>(QStringLiteral("rightColumn"));
    auto* details = rig.find<QPushButton>("btnDetails");
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
    QVERIFY(counter.painted.contains(QStringLiteral("lcon")));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
