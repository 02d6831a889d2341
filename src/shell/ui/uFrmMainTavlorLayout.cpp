// The layout of frmTavlor, left column. Positions come from layouts with least sizes, so that
// no caption is cut in a larger desktop font; at the design font the window keeps its design
// size (collapsed 450, expanded 830 x 600).
#include "shell/ui/uFrmMainTavlor.h"
#include "text/WidgetNames.h"

#include "shell/ui/LayoutParts.h"
#include "shell/ui/LedLamp.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavlor {

using namespace layout;

namespace {
const QString kWidestDuration = QStringLiteral("99999 Stunden, 59 Minuten, 59 Sekunden.");
const QString kWidestVolume = QStringLiteral("999.999,99 MB");
const QString kWidestSpeed = QStringLiteral("99.999,99 kb/s");
const QString kWidestAddress = QStringLiteral("255.255.255.255");

QGroupBox* buildTimeGroup(QWidget* column)
{
    auto* grid = new QGridLayout;
    QGroupBox* box = group(column, names::gbTime, QStringLiteral("Online Zeit und Traffic"), grid);
    const struct
    {
        const char* name;
        const char* caption;
        const char* text;
        QColor colour;
        const QString& widest;
    } rows[] = {{names::lotAll, "Onlinezeit Gesamt", "-", kBlack, kWidestDuration},
                {names::lOtDay, "Onlinezeit Heute", "-", kBlack, kWidestDuration},
                {names::lOTS, "Aktuelle Onlinesession", "-", kBlack, kWidestDuration},
                {names::lAll, "Gemessenes Datenvolumen", "0 kb", kRed, kWidestVolume}};
    int row = 0;
    for (const auto& r : rows) {
        const QString text = QString::fromUtf8(r.caption);
        grid->addWidget(caption(text), row, 0);
        QWidget* panel = value(r.name, QString::fromUtf8(r.text), r.colour, r.widest);
        valueLabel(panel)->setAccessibleDescription(text);
        grid->addWidget(panel, row++, 1);
    }
    grid->setHorizontalSpacing(8);
    grid->setColumnStretch(1, 1);
    return box;
}

QGroupBox* buildSpeedGroup(QWidget* column)
{
    auto* grid = new QGridLayout;
    QGroupBox* box = group(column, names::gbTraffic, QStringLiteral("Geschwindigkeit"), grid);
    const struct
    {
        const char* name;
        const char* caption;
        const char* text;
        QColor colour;
        bool white;
    } cells[] = {{names::lDownS, "Download", "0 kb/s", kGreen, true},
                 {names::lUpS, "Upload", "0 kb/s", kBlue, true},
                 {names::lSpeed, "Verbindung", "-", kBlack, false}};
    int col = 0;
    for (const auto& c : cells) {
        const QString text = QString::fromUtf8(c.caption);
        grid->addWidget(caption(text), 0, col);
        QWidget* panel = value(c.name, QString::fromUtf8(c.text), c.colour, kWidestSpeed, c.white);
        valueLabel(panel)->setAccessibleDescription(text);
        grid->addWidget(panel, 1, col);
        grid->setColumnStretch(col++, 1);
    }
    grid->setHorizontalSpacing(8);
    return box;
}

QGroupBox* buildDownloadGroup(QWidget* column)
{
    auto* inner = new QVBoxLayout;
    QGroupBox* box = group(column, names::JvGroupBox1, QStringLiteral("Download Traffic "), inner);
    addCaptioned(inner, QStringLiteral("Session"),
                 value(names::lInS, QStringLiteral("0 kb"), kGreen, kWidestVolume));
    addCaptioned(inner, QStringLiteral("Gesamt (seit Last Reset)"),
                 value(names::lIn, QStringLiteral("0 kb"), kGreen, kWidestVolume));
    inner->addSpacing(4);
    QPushButton* graph = button(names::Button1, QStringLiteral("Graph zeigen"));
    setDesignedColour(graph, kDarkRed);
    inner->addWidget(graph);
    inner->addStretch(1);
    return box;
}

QGroupBox* buildUploadGroup(QWidget* column)
{
    auto* inner = new QVBoxLayout;
    QGroupBox* box = group(column, names::JvGroupBox2, QStringLiteral("Upload Traffic "), inner);
    addCaptioned(inner, QStringLiteral("Session"),
                 value(names::lOutS, QStringLiteral("0 kb"), kBlue, kWidestVolume));
    addCaptioned(inner, QStringLiteral("Gesamt  (seit Las Reset)"),
                 value(names::lOut, QStringLiteral("0 kb"), kBlue, kWidestVolume));
    auto* cpu = new QHBoxLayout;
    auto* gauge = new QLabel;
    gauge->setObjectName(QLatin1String(names::iCpu));
    gauge->setFixedSize(32, 32);
    cpu->addWidget(gauge);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(0);
    texts->addWidget(caption(QStringLiteral("CPU Last")));
    auto* load = new QLabel(QStringLiteral("50%"));
    load->setObjectName(QLatin1String(names::lCpu));
    load->setAccessibleDescription(QStringLiteral("CPU Last"));
    texts->addWidget(load);
    cpu->addLayout(texts, 1);
    inner->addLayout(cpu);
    inner->addStretch(1);
    return box;
}

QGroupBox* buildConnectionGroup(QWidget* column)
{
    auto* row = new QHBoxLayout;
    QGroupBox* box = group(column, names::JvGroupBox4, QStringLiteral("Verbindung"), row);
    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    auto* lampRow = new QHBoxLayout;
    auto* led = new LedLamp;
    led->setObjectName(QLatin1String(names::LEd));
    led->setFixedSize(17, 17);
    led->setToolTip(QStringLiteral("Offline"));
    lampRow->addWidget(led);
    lampRow->addWidget(caption(QStringLiteral("Verbunden mit")), 1);
    left->addLayout(lampRow);
    left->addWidget(
        value(names::lcon, QStringLiteral("Offline"), kBlack, QStringLiteral("Internet Gateway")));
    valueLabel(left->itemAt(1)->widget())->setAccessibleDescription(QStringLiteral("Verbunden mit"));
    addCaptioned(left, QStringLiteral("Modem"),
                 value(names::lMit, QLatin1String(names::lMit), kBlack, QStringLiteral("ttyUSB0")));
    row->addLayout(left, 1);
    auto* line = new QFrame;
    line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    row->addWidget(line);
    auto* right = new QGridLayout;
    right->setSpacing(2);
    right->setHorizontalSpacing(6);
    right->addWidget(caption(QStringLiteral("IP-Adressen")), 0, 0, 1, 2);
    const std::pair<const char*, const char*> addresses[] = {{names::lLokal, "Lokal:"},
                                                             {names::lremote, "Extern:"}};
    int r = 1;
    for (const auto& [name, text] : addresses) {
        right->addWidget(caption(QString::fromUtf8(text)), r, 0);
        QWidget* panel = value(name, QStringLiteral("-"), kBlack, kWidestAddress);
        valueLabel(panel)->setAccessibleDescription(QString::fromUtf8(text));
        right->addWidget(panel, r++, 1);
    }
    right->setColumnStretch(1, 1);
    right->setRowStretch(r, 1);
    row->addLayout(right, 1);
    return box;
}

QLayout* buildChoice(QWidget* column)
{
    auto* items = new QVBoxLayout;
    QGroupBox* choice = group(column, names::rGroup, QStringLiteral("Im TrayIcon zeigen"), items);
    auto* buttons = new QButtonGroup(choice);
    buttons->setObjectName(QLatin1String(names::rGroupItems));
    const char* texts[] = {"Onlinezeit Gesamt", "Onlinezeit Heute", "Onlinezeit Aktuelle Session"};
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(QString::fromUtf8(texts[i]));
        item->setObjectName(QStringLiteral("rGroupItem%1").arg(i));
        items->addWidget(item);
        buttons->addButton(item, i);
    }
    buttons->button(0)->setChecked(true);
    auto* stack = new QVBoxLayout;
    stack->addWidget(choice);
    stack->addWidget(checkBox(names::cbLan, QStringLiteral("Online Gateway?"), true));
    stack->addStretch(1);
    return stack;
}

QGroupBox* buildResetGroup(QWidget* column)
{
    auto* inner = new QVBoxLayout;
    QGroupBox* reset = group(column, names::JvGroupBox3, QStringLiteral("Werte auf 0 setzen"), inner);
    auto* last = new QHBoxLayout;
    last->addWidget(caption(QStringLiteral("Last Reset")));
    QWidget* date = value(names::lRd, QStringLiteral("-"), kBlack, QStringLiteral("31.12.2099"), false);
    valueLabel(date)->setAccessibleDescription(QStringLiteral("Last Reset"));
    last->addWidget(date, 1);
    inner->addLayout(last);
    inner->addWidget(button(names::btnReset, QStringLiteral("Alle Werte zurücksetzen")));
    inner->addWidget(button(names::btnWinStart, QStringLiteral("Tavlor mit Windows starten")));
    QPushButton* expert = button(names::btnExpert, QStringLiteral("Experten Einstellungen"));
    expert->setToolTip(QStringLiteral("Falls Tavlor die Traffic Daten nicht richtig anzeigt können hier "
                                      "Einstellungen vorgenommen werden."));
    inner->addWidget(expert);
    inner->addWidget(button(names::btnDetails, QStringLiteral("VerbindungsManager  öffnen>>")));
    auto* contact = new QLabel;
    contact->setObjectName(QLatin1String(names::lContact));
    if (QFontDatabase::hasFamily(QStringLiteral("MS Serif"))) {
        contact->setFont(QFont(QStringLiteral("MS Serif")));
    }
    contact->setCursor(Qt::PointingHandCursor);
    contact->setToolTip(QStringLiteral("E-mail an den Author"));
    setDesignedColour(contact, kBlue);
    inner->addWidget(contact);
    inner->addStretch(1);
    return reset;
}
} // namespace

QWidget* TfrmTavlor::buildLeftColumn(QWidget* client)
{
    auto* column = new QWidget(client);
    column->setObjectName(QLatin1String(names::leftColumn));
    auto* stack = new QVBoxLayout(column);
    stack->setContentsMargins(4, 2, 4, 2);
    stack->setSpacing(2);
    stack->addWidget(buildTimeGroup(column));
    stack->addWidget(buildSpeedGroup(column));
    auto* traffic = new QHBoxLayout;
    traffic->addWidget(buildDownloadGroup(column), 1);
    traffic->addWidget(buildUploadGroup(column), 1);
    stack->addLayout(traffic);
    stack->addWidget(buildConnectionGroup(column));
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(buildChoice(column), 1);
    bottom->addWidget(buildResetGroup(column), 1);
    stack->addLayout(bottom, 1);
    return column;
}

} // namespace tavlor
