// What a user with another theme, font or language sees: every text readable, no caption cut
// or touching its neighbour, screen-reader names, a sensible tab order and Qt's own texts in
// the user's language. Run at scale factors 1, 1.5 and 2 (CTest sets QT_SCALE_FACTOR).
#include "ShellRig.h"
#include "dialup/ui/EntryDialog.h"
#include "netmeter/ui/ufrmExpert.h"
#include "shell/Readability.h"
#include "shell/ui/QtTranslations.h"
#include "shell/ui/uFrmMainTavlor.h"
#include "text/WidgetNames.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;

namespace {
Rgb rgb(const QColor& c)
{
    return c.rgb() & 0xFFFFFF;
}

QPalette paletteOf(const QString& kind)
{
    QPalette p = QStyleFactory::create(QStringLiteral("Fusion"))->standardPalette();
    auto set = [&p](QPalette::ColorRole role, QColor c) { p.setColor(role, c); };
    if (kind == QLatin1String("dark")) {
        set(QPalette::Window, QColor(0x35, 0x35, 0x35));
        set(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
        set(QPalette::Base, QColor(0x2A, 0x2A, 0x2A));
        set(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
        set(QPalette::Button, QColor(0x45, 0x45, 0x45));
        set(QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
    } else if (kind == QLatin1String("high contrast")) {
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
            set(role, Qt::black);
        }
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            set(role, Qt::yellow);
        }
    }
    return p;
}

// The colour a widget's text is drawn in and the colour below it.
std::pair<QColor, QColor> textAndGround(const QWidget* w)
{
    if (qobject_cast<const QAbstractButton*>(w) != nullptr &&
        qobject_cast<const QPushButton*>(w) != nullptr) {
        return {w->palette().color(QPalette::ButtonText), w->palette().color(QPalette::Button)};
    }
    if (qobject_cast<const QPlainTextEdit*>(w) != nullptr || qobject_cast<const QLineEdit*>(w) != nullptr ||
        qobject_cast<const QListWidget*>(w) != nullptr) {
        return {w->palette().color(QPalette::Text), w->palette().color(QPalette::Base)};
    }
    const QWidget* ground = w;
    while (ground->parentWidget() != nullptr && !ground->autoFillBackground()) {
        ground = ground->parentWidget();
    }
    return {w->palette().color(QPalette::WindowText), ground->palette().color(QPalette::Window)};
}

QString textOf(const QWidget* w)
{
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        return label->text();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return button->text();
    }
    if (auto* box = qobject_cast<const QGroupBox*>(w)) {
        return box->title();
    }
    return {};
}

QList<QWidget*> shownWithText(QWidget* root)
{
    QList<QWidget*> found;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->isVisibleTo(root) && !textOf(w).trimmed().isEmpty()) {
            found << w;
        }
    }
    return found;
}

// A caption is cut when its box is narrower or lower than the text needs, and touches when
// it overlaps a sibling or sticks out of the group it belongs to.
void checkNothingCut(QWidget* root)
{
    const QList<QWidget*> widgets = shownWithText(root);
    for (QWidget* w : widgets) {
        const QString name = w->objectName().isEmpty() ? textOf(w) : w->objectName();
        if (!w->property("tavlorWidest").isValid()) {
            const QSize need = w->minimumSizeHint();
            QVERIFY2(w->width() >= need.width() && w->height() >= need.height(),
                     qPrintable(QStringLiteral("%1: %2x%3 < %4x%5")
                                    .arg(name)
                                    .arg(w->width())
                                    .arg(w->height())
                                    .arg(need.width())
                                    .arg(need.height())));
        }
        const QWidget* box = w->parentWidget();
        QVERIFY2(box->rect().contains(w->geometry()), qPrintable(name + QStringLiteral(" sticks out")));
        for (QWidget* other : widgets) {
            if (other != w && other->parentWidget() == box) {
                QVERIFY2(!w->geometry().intersects(other->geometry()),
                         qPrintable(name + QStringLiteral(" touches ") + textOf(other)));
            }
        }
    }
    // Captions and value panels are siblings inside the groups.
    for (QFrame* panel : root->findChildren<QFrame*>(QRegularExpression(QStringLiteral("Panel$")))) {
        for (QLabel* caption :
             panel->parentWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
            QVERIFY2(!caption->geometry().intersects(panel->geometry()),
                     qPrintable(caption->text() + QStringLiteral(" touches ") + panel->objectName()));
        }
    }
}

void settle(QWidget* w)
{
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QTest::qWait(50);
}
} // namespace

class AppearanceTest final : public QObject
{
    Q_OBJECT
private slots:
    void init() { QApplication::setFont(m_font); }
    void initTestCase()
    {
        QApplication::setStyle(QStringLiteral("Fusion"));
        m_font = QApplication::font();
    }
    void textsReadInEveryPalette_data();
    void textsReadInEveryPalette();
    void nothingIsCutAtAnyFontSize_data();
    void nothingIsCutAtAnyFontSize();
    void designFontKeepsTheDesignWidths();
    void inputsAndListsCarryTheirCaptionsAsNames();
    void tabOrderRunsTopToBottom();
    void qtTextsFollowTheLanguage();

private:
    QFont m_font;
};

void AppearanceTest::textsReadInEveryPalette_data()
{
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"light", "dark", "high contrast"}) {
        QTest::newRow(kind) << QString::fromUtf8(kind);
    }
}

void AppearanceTest::textsReadInEveryPalette()
{
    QFETCH(QString, kind);
    QApplication::setPalette(paletteOf(kind));
    ShellRig rig;
    rig.app->start();
    rig.window().setDesignWidth(TfrmTavlor::kExpandedWidth);
    settle(&rig.window());
    rig.find<QLabel>(names::lContact)->setText(QStringLiteral("kontakt"));
    for (QWidget* w : shownWithText(&rig.window())) {
        if (!w->isEnabled()) {
            continue; // an unavailable control is drawn faint on purpose
        }
        const auto [text, ground] = textAndGround(w);
        const QString what = w->objectName() + QLatin1Char(' ') + textOf(w);
        if (ground == Qt::white && w->property("tavlorDesignedColour").isValid()) {
            // The design's own pairs stay as designed (red on white is 4.0:1 by design).
            QCOMPARE(text, w->property("tavlorDesignedColour").value<QColor>());
            continue;
        }
        QVERIFY2(ContrastRatio(rgb(text), rgb(ground)) >= 4.5,
                 qPrintable(QStringLiteral("%1: %2 on %3").arg(what, text.name(), ground.name())));
    }
    auto* memo = rig.find<QPlainTextEdit>(names::Memo1);
    const auto [text, ground] = textAndGround(memo);
    QVERIFY(ContrastRatio(rgb(text), rgb(ground)) >= 4.5);
    QCOMPARE(ground, QApplication::palette().color(QPalette::Button));
    if (kind == QLatin1String("light")) {
        QCOMPARE(text, QColor(128, 0, 0)); // designed colours where they read
        QCOMPARE(rig.find<QPushButton>(names::Button1)->palette().color(QPalette::ButtonText),
                 QColor(128, 0, 0));
    }
    QApplication::setPalette(paletteOf(QStringLiteral("light")));
}

void AppearanceTest::nothingIsCutAtAnyFontSize_data()
{
    QTest::addColumn<int>("points");
    for (int points : {8, 9, 10, 11}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 pt").arg(points))) << points;
    }
}

void AppearanceTest::nothingIsCutAtAnyFontSize()
{
    QFETCH(int, points);
    QFont font = m_font;
    font.setPointSize(points);
    QApplication::setFont(font);
    ShellRig rig;
    rig.app->start();
    settle(&rig.window());
    // Collapsed: nothing of the right column shows.
    QWidget* right = rig.window().findChild<QWidget*>(QLatin1String(names::rightColumn));
    QVERIFY(!right->isVisible() || right->x() >= rig.window().centralWidget()->width());
    checkNothingCut(rig.window().findChild<QWidget*>(QLatin1String(names::leftColumn)));
    QCOMPARE(rig.window().width(), rig.window().collapsedWidth());

    rig.find<QPushButton>(names::btnDetails)->click();
    QTest::qWait(50); // the longer caption reaches the column's layout in a few event rounds
    QCOMPARE(rig.window().width(), rig.window().expandedWidth());
    QVERIFY(right->isVisible());
    checkNothingCut(&rig.window());
    QVERIFY(rig.window().statusPanel(0)->width() >= 325);

    UsageState state;
    TfrmExpert expert(state, [] { return QStringLiteral("Tavlor v2.9"); }, {});
    settle(&expert);
    checkNothingCut(&expert);
    QVERIFY(expert.width() >= 402 && expert.height() >= 156);
}

void AppearanceTest::designFontKeepsTheDesignWidths()
{
    QFont font = m_font;
    font.setPointSize(8);
    QApplication::setFont(font);
    TfrmTavlor window;
    QCOMPARE(window.collapsedWidth(), TfrmTavlor::kCollapsedWidth);
    QCOMPARE(window.expandedWidth(), TfrmTavlor::kExpandedWidth);
    // The connection manager asks by the design widths, whatever the font.
    window.setDesignWidth(830);
    QCOMPARE(window.width(), 830);
    window.setDesignWidth(450);
    QCOMPARE(window.width(), 450);
}

void AppearanceTest::inputsAndListsCarryTheirCaptionsAsNames()
{
    TfrmTavlor window;
    const std::pair<const char*, const char*> named[] = {{names::eUser, "Username"},
                                                         {names::ePass, "Passwort"},
                                                         {names::eNum, "Nummer"},
                                                         {names::lstEntries, "Verbindungsmanager"},
                                                         {names::cbLan, "Online Gateway?"},
                                                         {names::cbMini, "Minimieren statt schliessen"},
                                                         {names::btnDetails, "VerbindungsManager  öffnen>>"},
                                                         {names::rGroupItem2, "Onlinezeit Aktuelle Session"}};
    for (const auto& [name, caption] : named) {
        QWidget* w = window.findChild<QWidget*>(QLatin1String(name));
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        QVERIFY2(a != nullptr, name);
        QCOMPARE(a->text(QAccessible::Name), QString::fromUtf8(caption));
    }
    // Every input of the dialogs has a name of its own.
    UsageState state;
    TfrmExpert expert(state, [] { return QString(); }, {});
    EntryDialog entry(DialupEntryFields{}, true, false, {});
    for (QWidget* dialog : {static_cast<QWidget*>(&expert), static_cast<QWidget*>(&entry)}) {
        QStringList names;
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            if (w->focusPolicy() & Qt::TabFocus) {
                const QString n = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
                QVERIFY2(!n.isEmpty(), qPrintable(w->objectName()));
                names << n;
            }
        }
        QVERIFY(names.size() >= 5);
    }
}

void AppearanceTest::tabOrderRunsTopToBottom()
{
    ShellRig rig;
    rig.app->start();
    rig.window().setDesignWidth(TfrmTavlor::kExpandedWidth);
    settle(&rig.window());
    QStringList order;
    QWidget* w = rig.find<QPushButton>(names::Button1);
    for (int i = 0; i < 500 && !order.contains(w->objectName()); ++i) {
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !w->objectName().isEmpty()) {
            order << w->objectName();
        }
        w = w->nextInFocusChain();
    }
    const QStringList expected{
        names::Button1,        names::rGroupItem0,    names::cbLan,          names::btnReset,
        names::btnWinStart,    names::btnExpert,      names::btnDetails,     names::lstEntries,
        names::btnCreateEntry, names::btnRenameEntry, names::btnDeleteEntry, names::eUser,
        names::ePass,          names::eNum,           names::btnHangup,      names::cbBeenden,
        names::cbMini,         names::Memo1,          names::btnSpende};
    for (const QString& name : expected) {
        QVERIFY2(order.contains(name), qPrintable(name + QStringLiteral(" not in ") + order.join(' ')));
    }
    QStringList seen;
    for (const QString& name : order) {
        if (expected.contains(name)) {
            seen << name;
        }
    }
    QCOMPARE(seen, expected);
}

void AppearanceTest::qtTextsFollowTheLanguage()
{
    const QLocale german(QLocale::German, QLocale::Germany);
    QVERIFY(InstallQtTranslations(*QCoreApplication::instance(), german));
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text().remove('&'), QStringLiteral("Abbrechen"));
    QCOMPARE(QCoreApplication::translate("QLineEdit", "Select All"), QStringLiteral("Alles auswählen"));
    QVERIFY(
        !InstallQtTranslations(*QCoreApplication::instance(), QLocale(QLocale::Zulu, QLocale::SouthAfrica)));
}

QTEST_MAIN(AppearanceTest)
#include "Appearance_test.moc"
