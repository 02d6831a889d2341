// The layout of frmTavlor: fixed pixel positions as in the original design, so that the
// collapsed width (450) cuts off exactly the right column.
#include "shell/ui/uFrmMainTavlor.h"

#include "shell/ui/LedLamp.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

namespace tavlor {

namespace {
const QColor kGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kDarkRed(128, 0, 0);
const QColor kBlack(0, 0, 0);

QFont fontOrDesktop(const QString& family, int points)
{
    QFont font = QFontDatabase::hasFamily(family) ? QFont(family) : QFont();
    font.setPointSize(points);
    return font;
}

void setTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QGroupBox* group(QWidget* parent, const char* name, const QString& title, const QRect& area)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(area);
    return box;
}

QLabel* caption(QWidget* parent, const QString& text, int x, int y, int width = 140)
{
    auto* label = new QLabel(text, parent);
    label->setFont(fontOrDesktop(QStringLiteral("Arial"), 8));
    label->setGeometry(x, y, width, 16);
    return label;
}

// A value: a sunken panel (white, or the window's grey) holding the named label.
QLabel* value(QWidget* parent, const char* name, const QString& text, const QRect& area, const QColor& color,
              bool white = true)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name) + QLatin1String("Panel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(area);
    if (white) {
        panel->setAutoFillBackground(true);
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, Qt::white);
        panel->setPalette(palette);
    }
    auto* label = new QLabel(text, panel);
    label->setObjectName(QLatin1String(name));
    label->setFont(fontOrDesktop(QStringLiteral("Arial"), 8));
    label->setGeometry(4, 1, area.width() - 8, area.height() - 2);
    setTextColor(label, color);
    return label;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QRect& area)
{
    auto* push = new QPushButton(text, parent);
    push->setObjectName(QLatin1String(name));
    push->setGeometry(area);
    return push;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text, const QRect& area, bool ticked)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(area);
    box->setChecked(ticked);
    return box;
}

// No maxLength: a silent cut of pasted text would dial a wrong number or user; the connection
// manager refuses over-long values with a message instead.
QLineEdit* edit(QWidget* parent, const char* name, const QString& text, const QRect& area)
{
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(area);
    return field;
}

void buildTimeGroup(QWidget* client)
{
    QGroupBox* box = group(client, "gbTime", QStringLiteral("Online Zeit und Traffic"), {4, 2, 438, 108});
    struct Row
    {
        const char* name;
        const char* caption;
        const char* text;
        QColor color;
    };
    const Row rows[] = {{"lotAll", "Onlinezeit Gesamt", "-", kBlack},
                        {"lOtDay", "Onlinezeit Heute", "-", kBlack},
                        {"lOTS", "Aktuelle Onlinesession", "-", kBlack},
                        {"lAll", "Gemessenes Datenvolumen", "0 kb", kRed}};
    int y = 16;
    for (const Row& row : rows) {
        caption(box, QString::fromUtf8(row.caption), 10, y + 2, 154);
        value(box, row.name, QString::fromUtf8(row.text), {166, y, 264, 20}, row.color);
        y += 22;
    }
}

void buildSpeedGroup(QWidget* client)
{
    QGroupBox* box = group(client, "gbTraffic", QStringLiteral("Geschwindigkeit"), {4, 112, 438, 60});
    caption(box, QStringLiteral("Download"), 10, 14);
    value(box, "lDownS", QStringLiteral("0 kb/s"), {10, 30, 134, 20}, kGreen);
    caption(box, QStringLiteral("Upload"), 152, 14);
    value(box, "lUpS", QStringLiteral("0 kb/s"), {152, 30, 134, 20}, kBlue);
    caption(box, QStringLiteral("Verbindung"), 294, 14);
    value(box, "lSpeed", QStringLiteral("-"), {294, 30, 134, 20}, kBlack, false);
}

void buildTrafficGroups(QWidget* client)
{
    QGroupBox* down = group(client, "JvGroupBox1", QStringLiteral("Download Traffic "), {4, 174, 216, 128});
    caption(down, QStringLiteral("Session"), 10, 14);
    value(down, "lInS", QStringLiteral("0 kb"), {10, 30, 196, 20}, kGreen);
    caption(down, QStringLiteral("Gesamt (seit Last Reset)"), 10, 52, 196);
    value(down, "lIn", QStringLiteral("0 kb"), {10, 68, 196, 20}, kGreen);
    QPushButton* graph = button(down, "Button1", QStringLiteral("Graph zeigen"), {10, 96, 196, 24});
    setTextColor(graph, kDarkRed);

    QGroupBox* up = group(client, "JvGroupBox2", QStringLiteral("Upload Traffic "), {226, 174, 216, 128});
    caption(up, QStringLiteral("Session"), 10, 14);
    value(up, "lOutS", QStringLiteral("0 kb"), {10, 30, 196, 20}, kBlue);
    caption(up, QStringLiteral("Gesamt  (seit Las Reset)"), 10, 52, 196);
    value(up, "lOut", QStringLiteral("0 kb"), {10, 68, 196, 20}, kBlue);
    auto* gauge = new QLabel(up);
    gauge->setObjectName(QStringLiteral("iCpu"));
    gauge->setGeometry(10, 90, 32, 32);
    caption(up, QStringLiteral("CPU Last"), 50, 92, 80);
    auto* load = new QLabel(QStringLiteral("50%"), up);
    load->setObjectName(QStringLiteral("lCpu"));
    load->setGeometry(50, 106, 80, 16);
}

void buildConnectionGroup(QWidget* client)
{
    QGroupBox* box = group(client, "JvGroupBox4", QStringLiteral("Verbindung"), {4, 304, 438, 98});
    auto* led = new LedLamp(box);
    led->setObjectName(QStringLiteral("LEd"));
    led->move(10, 16);
    led->setToolTip(QStringLiteral("Offline"));
    caption(box, QStringLiteral("Verbunden mit"), 32, 17, 170);
    value(box, "lcon", QStringLiteral("Offline"), {10, 34, 204, 20}, kBlack);
    caption(box, QStringLiteral("Modem"), 10, 56);
    value(box, "lMit", QStringLiteral("lMit"), {10, 72, 204, 20}, kBlack);
    auto* line = new QFrame(box);
    line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    line->setGeometry(222, 16, 4, 76);
    caption(box, QStringLiteral("IP-Adressen"), 234, 17);
    caption(box, QStringLiteral("Lokal:"), 234, 38, 40);
    value(box, "lLokal", QStringLiteral("-"), {276, 36, 152, 20}, kBlack);
    caption(box, QStringLiteral("Extern:"), 234, 64, 40);
    value(box, "lremote", QStringLiteral("-"), {276, 62, 152, 20}, kBlack);
}

void buildChoiceAndReset(QWidget* client)
{
    QGroupBox* choice = group(client, "rGroup", QStringLiteral("Im TrayIcon zeigen"), {4, 404, 210, 82});
    auto* items = new QButtonGroup(choice);
    items->setObjectName(QStringLiteral("rGroupItems"));
    const char* texts[] = {"Onlinezeit Gesamt", "Onlinezeit Heute", "Onlinezeit Aktuelle Session"};
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(QString::fromUtf8(texts[i]), choice);
        item->setObjectName(QStringLiteral("rGroupItem%1").arg(i));
        item->setGeometry(10, 18 + i * 20, 190, 20);
        items->addButton(item, i);
    }
    items->button(0)->setChecked(true);
    checkBox(client, "cbLan", QStringLiteral("Online Gateway?"), {12, 490, 200, 22}, true);

    QGroupBox* reset =
        group(client, "JvGroupBox3", QStringLiteral("Werte auf 0 setzen"), {220, 404, 222, 162});
    caption(reset, QStringLiteral("Last Reset"), 10, 18, 66);
    value(reset, "lRd", QStringLiteral("-"), {78, 16, 134, 20}, kBlack, false);
    button(reset, "btnReset", QStringLiteral("Alle Werte zurücksetzen"), {10, 40, 202, 22});
    button(reset, "btnWinStart", QStringLiteral("Tavlor mit Windows starten"), {10, 64, 202, 22});
    QPushButton* expert =
        button(reset, "btnExpert", QStringLiteral("Experten Einstellungen"), {10, 88, 202, 22});
    expert->setToolTip(QStringLiteral("Falls Tavlor die Traffic Daten nicht richtig anzeigt können hier "
                                      "Einstellungen vorgenommen werden."));
    button(reset, "btnDetails", QStringLiteral("VerbindungsManager  öffnen>>"), {10, 112, 202, 22});
    auto* contact = new QLabel(reset);
    contact->setObjectName(QStringLiteral("lContact"));
    contact->setFont(fontOrDesktop(QStringLiteral("MS Serif"), 7));
    contact->setGeometry(10, 140, 202, 16);
    contact->setCursor(Qt::PointingHandCursor);
    contact->setToolTip(QStringLiteral("E-mail an den Author"));
    setTextColor(contact, kBlue);
}
} // namespace

void TfrmTavlor::buildLayout()
{
    setFont(fontOrDesktop(QStringLiteral("MS Sans Serif"), 8));
    // No layout manager: the client keeps its design size and the window simply cuts it off,
    // so there are never scroll bars and the collapsed width hides the right column.
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setMinimumSize(0, 0);
    setCentralWidget(client);
    buildLeftColumn(client);
    buildRightColumn(client);
    buildStatusBar();
}

void TfrmTavlor::buildLeftColumn(QWidget* client)
{
    buildTimeGroup(client);
    buildSpeedGroup(client);
    buildTrafficGroups(client);
    buildConnectionGroup(client);
    buildChoiceAndReset(client);
}

void TfrmTavlor::buildRightColumn(QWidget* client)
{
    QGroupBox* manager =
        group(client, "JvGroupBox5", QStringLiteral("Verbindungsmanager"), {447, 2, 380, 280});
    auto* entries = new QListWidget(manager);
    entries->setObjectName(QStringLiteral("lstEntries"));
    entries->setGeometry(10, 18, 170, 216);
    button(manager, "btnCreateEntry", QStringLiteral("Eintrag Anlegen"), {190, 18, 180, 22});
    button(manager, "btnEditEntry", QStringLiteral("Eintrag ändern"), {190, 42, 180, 22})->setEnabled(false);
    button(manager, "btnRenameEntry", QStringLiteral("Eintrag umbennen"), {190, 66, 180, 22});
    button(manager, "btnDeleteEntry", QStringLiteral("Eintrag löschen"), {190, 90, 180, 22});
    caption(manager, QStringLiteral("Username"), 190, 118);
    edit(manager, "eUser", QStringLiteral("eUser"), {190, 134, 180, 20});
    caption(manager, QStringLiteral("Passwort"), 190, 156);
    edit(manager, "ePass", QStringLiteral("ePass"), {190, 172, 180, 20})
        ->setEchoMode(QLineEdit::Password);
    caption(manager, QStringLiteral("Nummer"), 190, 194);
    // The number is text: leading zeros, "+", blanks and "*99#" must survive.
    edit(manager, "eNum", QStringLiteral("0"), {190, 210, 180, 20})->setAlignment(Qt::AlignRight);
    button(manager, "btnDialEntry", QStringLiteral("Eintrag anwählen"), {10, 244, 175, 26})
        ->setEnabled(false);
    button(manager, "btnHangup", QStringLiteral("Verbindung trennen."), {195, 244, 175, 26});

    QGroupBox* ending = group(client, "JvGroupBox6", QStringLiteral("Beenden"), {447, 286, 380, 66});
    checkBox(ending, "cbBeenden", QStringLiteral("Sicherheitsabfrage vor Beenden"), {10, 18, 360, 20}, false);
    checkBox(ending, "cbMini", QStringLiteral("Minimieren statt schliessen"), {10, 40, 360, 20}, false);

    QGroupBox* donate = group(client, "JvGroupBox7", QStringLiteral("Spenden"), {447, 356, 380, 210});
    auto* memo = new QPlainTextEdit(donate);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setGeometry(10, 18, 360, 150);
    memo->setReadOnly(true);
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    palette.setColor(QPalette::Text, kDarkRed);
    memo->setPalette(palette);
    QPushButton* spende =
        button(donate, "btnSpende", QStringLiteral("Spenden Informationen anzeigen"), {10, 174, 360, 28});
    QFont large = spende->font();
    large.setPixelSize(13);
    spende->setFont(large);
}

void TfrmTavlor::buildStatusBar()
{
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("sBar"));
    bar->setSizeGripEnabled(false);
    const int widths[2] = {325, 50};
    for (int i = 0; i < 2; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("sBarPanel%1").arg(i));
        m_panels[i]->setFixedWidth(widths[i]);
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addWidget(m_panels[i]);
    }
    setStatusBar(bar);
}

} // namespace tavlor
