#include "netmeter/ui/ufrmExpert.h"

#include "accounting/UsageState.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace tavlor {

namespace {
QButtonGroup* radioGroup(QWidget* parent, const char* name, const QString& title, const QRect& area,
                         const QString& first, const QString& second)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(area);
    auto* items = new QButtonGroup(box);
    const QString texts[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        auto* item = new QRadioButton(texts[i], box);
        item->setObjectName(QLatin1String(name) + QString::number(i));
        item->setGeometry(10, 18 + i * 20, area.width() - 16, 20);
        items->addButton(item, i);
    }
    return items;
}

void select(QButtonGroup* items, int index)
{
    if (index >= 0) {
        items->button(index)->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last item by itself.
    items->setExclusive(false);
    for (QAbstractButton* item : items->buttons()) {
        item->setChecked(false);
    }
    items->setExclusive(true);
}
} // namespace

TfrmExpert::TfrmExpert(UsageState& state, std::function<QString()> mainCaption, std::function<void()> applied,
                       QWidget* parent)
    : QDialog(parent, Qt::Tool), m_state(state), m_mainCaption(std::move(mainCaption)),
      m_applied(std::move(applied))
{
    setObjectName(QStringLiteral("frmExpert"));
    setModal(true);
    setFixedSize(402, 156);
    buildLayout();
    addCountedLine();
}

int TfrmExpert::itemFor(int method)
{
    if (method > 1) {
        return 1;
    }
    return method < 0 ? -1 : method;
}

void TfrmExpert::buildLayout()
{
    auto* frame = new QGroupBox(QStringLiteral("Volumenwarner"), this);
    frame->setObjectName(QStringLiteral("JvGroupBox6"));
    frame->setGeometry(0, 0, 402, 156);
    auto* line1 = new QLabel(QStringLiteral("Falls Tavlor Ihnen falsche oder keine Werte liefert,"), frame);
    line1->setObjectName(QStringLiteral("Label18"));
    line1->setGeometry(10, 18, 382, 16);
    auto* line2 =
        new QLabel(QStringLiteral("können Sie hier die Methode zur Chipsatzerkennung ändern."), frame);
    line2->setObjectName(QStringLiteral("Label19"));
    line2->setGeometry(10, 34, 382, 16);
    m_down = radioGroup(frame, "rDown", QStringLiteral("Download Adapter"), {10, 54, 186, 64},
                        QStringLiteral("Methode 1 (Default Einstellung)"), QStringLiteral("Methode 2"));
    m_up = radioGroup(frame, "rUp", QStringLiteral("Upload Adapter"), {206, 54, 186, 64},
                      QStringLiteral("Methode 1 "), QStringLiteral("Methode 2 (Default Einstellung)"));
    auto* close = new QPushButton(QStringLiteral("Änderungen Übernehmen und Fenster schliessen"), frame);
    close->setObjectName(QStringLiteral("btnClose"));
    close->setGeometry(10, 124, 382, 26);
    connect(close, &QPushButton::clicked, this, &TfrmExpert::btnCloseClick);
}

void TfrmExpert::addCountedLine()
{
    // One line under the two groups; the button and the window move down to make room.
    constexpr int kLine = 20;
    auto* close = findChild<QPushButton*>(QStringLiteral("btnClose"));
    auto* frame = findChild<QGroupBox*>(QStringLiteral("JvGroupBox6"));
    m_countedLine = new QLabel(close->parentWidget());
    m_countedLine->setObjectName(QStringLiteral("lCounted"));
    m_countedLine->setGeometry(close->x(), close->y(), close->width(), 16);
    close->move(close->x(), close->y() + kLine);
    frame->resize(frame->width(), frame->height() + kLine);
    setFixedSize(width(), height() + kLine);
}

void TfrmExpert::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmExpert::FormShow()
{
    setWindowTitle(m_mainCaption() + QStringLiteral(" - Erkennungsmethode ändern"));
    select(m_down, itemFor(m_state.downloadMethod));
    select(m_up, itemFor(m_state.uploadMethod));
    const QString counted = m_counted ? m_counted() : QString();
    m_countedLine->setText(QStringLiteral("Gezählt wird: ") +
                           (counted.isEmpty() ? QStringLiteral("-") : counted));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TfrmExpert::btnCloseClick()
{
    m_state.downloadMethod = m_down->checkedId();
    m_state.uploadMethod = m_up->checkedId();
    if (m_applied) {
        m_applied();
    }
    accept();
}

} // namespace tavlor
