#include "netmeter/ui/ufrmExpert.h"
#include "text/WidgetNames.h"

#include "model/UsageState.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tavlor;

namespace {
struct Dialog
{
    UsageState state;
    int applied = 0;
    TfrmExpert expert{state, [] { return QStringLiteral("Tavlor v2.9"); }, [this] { ++applied; }};

    QRadioButton* item(const char* name) { return expert.findChild<QRadioButton*>(QLatin1String(name)); }
    // Shown as exec() would show it, without blocking the test.
    void show()
    {
        expert.show();
        QCoreApplication::processEvents();
    }
};
} // namespace

class ExpertTest final : public QObject
{
    Q_OBJECT
private slots:
    void layoutAndCaptions();
    void defaultsSelectTheDefaultItems();
    void btnCloseStoresTheSelection();
    void closeBoxChangesNothing();
    void valuesOutsideTheItemsAreClamped();
    void theCountedLinkIsNamedUnderTheGroups();
};

void ExpertTest::theCountedLinkIsNamedUnderTheGroups()
{
    Dialog d;
    QString counted;
    d.expert.setCountedLink([&counted] { return counted; });
    d.show();
    auto* line = d.expert.findChild<QLabel*>(names::lCounted);
    QVERIFY(line != nullptr);
    QCOMPARE(line->text(), QStringLiteral("Gezählt wird: -"));
    QVERIFY(line->geometry().top() >= d.expert.findChild<QGroupBox*>(names::rDown)->geometry().bottom());
    QVERIFY(line->geometry().bottom() < d.expert.findChild<QPushButton*>(names::btnClose)->geometry().top());
    d.expert.hide();
    counted = QStringLiteral("wlan0");
    d.show();
    QCOMPARE(line->text(), QStringLiteral("Gezählt wird: wlan0"));
}

void ExpertTest::layoutAndCaptions()
{
    Dialog d;
    d.show();
    QCOMPARE(d.expert.windowTitle(), QStringLiteral("Tavlor v2.9 - Erkennungsmethode ändern"));
    // The design's client area with the counted-link line is the least; the desktop's font may need more.
    QVERIFY(d.expert.width() >= 402 && d.expert.height() >= 176);
    QVERIFY(d.expert.windowFlags().testFlag(Qt::Tool));
    QCOMPARE(d.expert.findChild<QGroupBox*>(names::JvGroupBox6)->title(), QStringLiteral("Volumenwarner"));
    QCOMPARE(d.expert.findChild<QGroupBox*>(names::rDown)->title(), QStringLiteral("Download Adapter"));
    QCOMPARE(d.expert.findChild<QGroupBox*>(names::rUp)->title(), QStringLiteral("Upload Adapter"));
    QCOMPARE(d.expert.findChild<QLabel*>(names::Label18)->text(),
             QStringLiteral("Falls Tavlor Ihnen falsche oder keine Werte liefert,"));
    QCOMPARE(d.expert.findChild<QLabel*>(names::Label19)->text(),
             QStringLiteral("können Sie hier die Methode zur Chipsatzerkennung ändern."));
    QCOMPARE(d.item("rDown0")->text(), QStringLiteral("Methode 1 (Default Einstellung)"));
    QCOMPARE(d.item("rDown1")->text(), QStringLiteral("Methode 2"));
    QCOMPARE(d.item("rUp0")->text(), QStringLiteral("Methode 1 "));
    QCOMPARE(d.item("rUp1")->text(), QStringLiteral("Methode 2 (Default Einstellung)"));
    QCOMPARE(d.expert.findChild<QPushButton*>(names::btnClose)->text(),
             QStringLiteral("Änderungen Übernehmen und Fenster schliessen"));
}

void ExpertTest::defaultsSelectTheDefaultItems()
{
    Dialog d;
    d.show();
    QVERIFY(d.item("rDown0")->isChecked());
    QVERIFY(d.item("rUp1")->isChecked());
}

void ExpertTest::btnCloseStoresTheSelection()
{
    Dialog d;
    d.show();
    d.item("rDown1")->click();
    d.item("rUp0")->click();
    d.expert.findChild<QPushButton*>(names::btnClose)->click();
    QCOMPARE(d.state.downloadMethod, 1);
    QCOMPARE(d.state.uploadMethod, 0);
    QCOMPARE(d.applied, 1);
    QVERIFY(!d.expert.isVisible());
}

void ExpertTest::closeBoxChangesNothing()
{
    Dialog d;
    d.show();
    d.item("rDown1")->click();
    d.item("rUp0")->click();
    d.expert.close();
    QCOMPARE(d.state.downloadMethod, 0);
    QCOMPARE(d.state.uploadMethod, 1);
    QCOMPARE(d.applied, 0);
    // The next showing selects the stored items again.
    d.show();
    QVERIFY(d.item("rDown0")->isChecked());
    QVERIFY(d.item("rUp1")->isChecked());
}

void ExpertTest::valuesOutsideTheItemsAreClamped()
{
    Dialog d;
    d.state.downloadMethod = 5;
    d.state.uploadMethod = -3;
    d.show();
    QVERIFY(d.item("rDown1")->isChecked());
    QVERIFY(!d.item("rUp0")->isChecked());
    QVERIFY(!d.item("rUp1")->isChecked());
    d.expert.findChild<QPushButton*>(names::btnClose)->click();
    QCOMPARE(d.state.downloadMethod, 1);
    // A group without a selection keeps the method it had: its item index -1 would count the
    // row before the first adapter.
    QCOMPARE(d.state.uploadMethod, -3);
    // A selection made earlier does not survive into a showing with no item to select.
    d.state.downloadMethod = -1;
    d.show();
    QVERIFY(!d.item("rDown0")->isChecked());
    QVERIFY(!d.item("rDown1")->isChecked());
}

QTEST_MAIN(ExpertTest)
#include "ufrmExpert_test.moc"
