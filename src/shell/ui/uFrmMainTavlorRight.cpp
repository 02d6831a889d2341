// The layout of frmTavlor, right column and status bar, and the two columns side by side.
#include "shell/ui/uFrmMainTavlor.h"
#include "text/WidgetNames.h"

#include "shell/ui/LayoutParts.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <functional>

namespace tavlor {

using namespace layout;

namespace {
const QString kWidestUptime = QStringLiteral("Linux Uptime: 99 Wochen, 6 Tage, 23 h, 59 min, 59 sek.");

// The client area: no layout manager of its own, so that a narrow window cuts the right
// column off instead of squeezing it, and no scroll bars. The right column shows only while
// the window is expanded, whatever width a tiling window manager or a compositor gives the
// window; hidden, it is out of the tab order too.
class ColumnsClient final : public QWidget
{
public:
    ColumnsClient(QWidget* parent) : QWidget(parent) { setObjectName(QLatin1String(names::client)); }
    QWidget* left = nullptr;
    QWidget* right = nullptr;
    std::function<void()> refit;
    bool expanded = false;

    int leftWidth() const
    {
        return std::max(TfrmTavlor::kCollapsedWidth - 4, left->minimumSizeHint().width());
    }
    int rightStart() const { return leftWidth() + 4; }
    int rightWidth() const
    {
        return std::max(TfrmTavlor::kExpandedWidth - TfrmTavlor::kCollapsedWidth,
                        right->minimumSizeHint().width());
    }
    QSize leastSize() const
    {
        const int height = std::max(left->minimumSizeHint().height(), right->minimumSizeHint().height());
        return {rightStart(), height};
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        place();
    }
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::LayoutRequest) {
            // A caption changed its length (the details button, the contact): the window
            // takes the width its state needs in the new sizes.
            const QSize least = leastSize();
            setMinimumSize(least);
            place();
            if (least != m_least && refit) {
                m_least = least;
                refit();
            }
        }
        return QWidget::event(event);
    }

public:
    void place()
    {
        left->setGeometry(0, 0, leftWidth(), height());
        right->setGeometry(rightStart(), 0, std::max(rightWidth(), width() - rightStart()), height());
        right->setVisible(expanded && width() > rightStart());
    }

private:
    QSize m_least;
};
} // namespace

void TfrmTavlor::buildLayout()
{
    QFont font = QApplication::font();
    if (QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))) {
        font.setFamily(QStringLiteral("MS Sans Serif"));
    }
    // The design's 8 points are the least; a larger desktop font is a user's choice to honour.
    if (font.pointSizeF() > 0 && font.pointSizeF() < 8) {
        font.setPointSize(8);
    }
    setFont(font);
    auto* client = new ColumnsClient(this);
    client->left = buildLeftColumn(client);
    client->right = buildRightColumn(client);
    client->refit = [this] { setDesignWidth(m_expanded ? kExpandedWidth : kCollapsedWidth); };
    setTabChain();
    m_client = client;
    setCentralWidget(client);
    buildStatusBar();
    fitToFont();
}

QWidget* TfrmTavlor::buildRightColumn(QWidget* client)
{
    auto* column = new QWidget(client);
    column->setObjectName(QLatin1String(names::rightColumn));
    auto* stack = new QVBoxLayout(column);
    stack->setContentsMargins(4, 2, 4, 2);
    stack->setSpacing(2);

    auto* grid = new QGridLayout;
    stack->addWidget(group(column, names::JvGroupBox5, QStringLiteral("Verbindungsmanager"), grid));
    auto* entries = new QListWidget;
    entries->setObjectName(QLatin1String(names::lstEntries));
    entries->setAccessibleName(QStringLiteral("Verbindungsmanager"));
    grid->addWidget(entries, 0, 0, 10, 1);
    grid->addWidget(button(names::btnCreateEntry, QStringLiteral("Eintrag Anlegen")), 0, 1);
    auto* editEntry = button(names::btnEditEntry, QStringLiteral("Eintrag ändern"));
    editEntry->setEnabled(false);
    grid->addWidget(editEntry, 1, 1);
    grid->addWidget(button(names::btnRenameEntry, QStringLiteral("Eintrag umbennen")), 2, 1);
    grid->addWidget(button(names::btnDeleteEntry, QStringLiteral("Eintrag löschen")), 3, 1);
    QLabel* user = caption(QStringLiteral("Username"));
    grid->addWidget(user, 4, 1);
    grid->addWidget(edit(names::eUser, QLatin1String(names::eUser), user), 5, 1);
    QLabel* pass = caption(QStringLiteral("Passwort"));
    grid->addWidget(pass, 6, 1);
    grid->addWidget(edit(names::ePass, QLatin1String(names::ePass), pass), 7, 1);
    auto* ePass = column->findChild<QLineEdit*>(QLatin1String(names::ePass));
    ePass->setEchoMode(QLineEdit::Password);
    // The styles' own mask is a dot; the window shows a star for every character.
    ePass->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    QLabel* number = caption(QStringLiteral("Nummer"));
    grid->addWidget(number, 8, 1);
    // The number is text: leading zeros, "+", blanks and "*99#" must survive.
    QLineEdit* eNum = edit(names::eNum, QStringLiteral("0"), number);
    eNum->setAlignment(Qt::AlignRight);
    grid->addWidget(eNum, 9, 1);
    auto* dial = button(names::btnDialEntry, QStringLiteral("Eintrag anwählen"));
    dial->setEnabled(false);
    grid->addWidget(dial, 10, 0);
    grid->addWidget(button(names::btnHangup, QStringLiteral("Verbindung trennen.")), 10, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(8);

    auto* checks = new QVBoxLayout;
    stack->addWidget(group(column, names::JvGroupBox6, QStringLiteral("Beenden"), checks));
    checks->addWidget(checkBox(names::cbBeenden, QStringLiteral("Sicherheitsabfrage vor Beenden"), false));
    checks->addWidget(checkBox(names::cbMini, QStringLiteral("Minimieren statt schliessen"), false));

    auto* donation = new QVBoxLayout;
    stack->addWidget(group(column, names::JvGroupBox7, QStringLiteral("Spenden"), donation), 1);
    auto* memo = new QPlainTextEdit;
    memo->setObjectName(QLatin1String(names::Memo1));
    memo->setReadOnly(true);
    memo->setAccessibleName(QStringLiteral("Spenden"));
    setDesignedColour(memo, kDarkRed);
    donation->addWidget(memo, 1);
    QPushButton* spende = button(names::btnSpende, QStringLiteral("Spenden Informationen anzeigen"));
    spende->setObjectName(QLatin1String(names::btnSpende));
    donation->addWidget(spende);
    return column;
}

// Top to bottom, left column before right; the radio items are one stop (arrows move within).
void TfrmTavlor::setTabChain()
{
    const char* const order[] = {
        names::Button1,        names::rGroupItem0,    names::rGroupItem1,    names::rGroupItem2,
        names::cbLan,          names::btnReset,       names::btnWinStart,    names::btnExpert,
        names::btnDetails,     names::lstEntries,     names::btnCreateEntry, names::btnEditEntry,
        names::btnRenameEntry, names::btnDeleteEntry, names::eUser,          names::ePass,
        names::eNum,           names::btnDialEntry,   names::btnHangup,      names::cbBeenden,
        names::cbMini,         names::Memo1,          names::btnSpende};
    QWidget* previous = nullptr;
    for (const char* name : order) {
        QWidget* next = findChild<QWidget*>(QLatin1String(name));
        if (previous != nullptr && next != nullptr) {
            setTabOrder(previous, next);
        }
        previous = next != nullptr ? next : previous;
    }
}

void TfrmTavlor::buildStatusBar()
{
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QLatin1String(names::sBar));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("sBarPanel%1").arg(i));
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addWidget(m_panels[i]);
    }
    setStatusBar(bar);
}

// Least sizes that depend on the font: the values' widest texts, the uptime panel, the
// donation button's larger font, and the two window widths.
void TfrmTavlor::fitToFont()
{
    if (m_client == nullptr) {
        return; // the font is set before the controls exist
    }
    for (QLabel* label : findChildren<QLabel*>()) {
        const QString widest = label->property("tavlorWidest").toString();
        if (!widest.isEmpty()) {
            label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest));
        }
    }
    // The details button changes its caption; it is as wide as the longer one from the start.
    if (auto* details = findChild<QPushButton*>(QLatin1String(names::btnDetails))) {
        const QFontMetrics metrics = details->fontMetrics();
        const int longer =
            std::max(metrics.horizontalAdvance(QStringLiteral("VerbindungsManager  öffnen>>")),
                     metrics.horizontalAdvance(QStringLiteral("<< VerbindungsManager schliessen")));
        details->setMinimumWidth(longer + 2 + details->sizeHint().width() -
                                 metrics.horizontalAdvance(details->text()));
    }
    if (auto* spende = findChild<QPushButton*>(QLatin1String(names::btnSpende))) {
        QFont large = font();
        large.setPixelSize(std::max(13, QFontInfo(font()).pixelSize()));
        spende->setFont(large);
    }
    auto* client = static_cast<ColumnsClient*>(m_client);
    client->setMinimumSize(client->leastSize());
    client->place();
    // The status bar must not widen the collapsed window, or the right column would show.
    const int uptime = m_panels[0]->fontMetrics().horizontalAdvance(kWidestUptime) + 8;
    const int room = collapsedWidth() - 50 - 24;
    m_panels[0]->setFixedWidth(std::max(325, std::min(uptime, room)));
    m_panels[1]->setFixedWidth(50);
    for (QLabel* panel : m_panels) {
        panel->setMinimumHeight(panel->minimumSizeHint().height());
    }
}

int TfrmTavlor::collapsedWidth() const
{
    return static_cast<ColumnsClient*>(m_client)->rightStart();
}

int TfrmTavlor::expandedWidth() const
{
    const auto* client = static_cast<ColumnsClient*>(m_client);
    return client->rightStart() + client->rightWidth();
}

void TfrmTavlor::setClientExpanded(bool expanded)
{
    auto* client = static_cast<ColumnsClient*>(m_client);
    client->expanded = expanded;
    client->place();
}

} // namespace tavlor
