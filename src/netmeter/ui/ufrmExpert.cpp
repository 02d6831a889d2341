#include "netmeter/ui/ufrmExpert.h"
#include "text/WidgetNames.h"

#include "model/Settings.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tavlor {

namespace {
QButtonGroup* radioGroup(QWidget* parent, const char* name, const QString& title, const QString& first,
                         const QString& second)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    auto* column = new QVBoxLayout(box);
    auto* items = new QButtonGroup(box);
    const QString texts[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        auto* item = new QRadioButton(texts[i], box);
        item->setObjectName(QLatin1String(name) + QString::number(i));
        column->addWidget(item);
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

TfrmExpert::TfrmExpert(Settings& settings, std::function<QString()> mainCaption,
                       std::function<void()> applied, QWidget* parent)
    : QDialog(parent, Qt::Tool), m_settings(settings), m_mainCaption(std::move(mainCaption)),
      m_applied(std::move(applied))
{
    setObjectName(QLatin1String(names::frmExpert));
    setModal(true);
    buildLayout();
    addCountedLine();
    // The design's client area (with the counted-link line) is the least; a larger desktop font
    // makes the dialog larger instead of cutting its captions.
    layout()->setSizeConstraint(QLayout::SetMinimumSize);
    resize(minimumSizeHint().expandedTo(QSize(402, 176)));
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
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QGroupBox(QStringLiteral("Volumenwarner"), this);
    frame->setObjectName(QLatin1String(names::JvGroupBox6));
    outer->addWidget(frame);
    auto* column = new QVBoxLayout(frame);
    auto* line1 = new QLabel(QStringLiteral("Falls Tavlor Ihnen falsche oder keine Werte liefert,"), frame);
    line1->setObjectName(QLatin1String(names::Label18));
    column->addWidget(line1);
    auto* line2 =
        new QLabel(QStringLiteral("können Sie hier die Methode zur Chipsatzerkennung ändern."), frame);
    line2->setObjectName(QLatin1String(names::Label19));
    column->addWidget(line2);
    auto* groups = new QHBoxLayout;
    m_down = radioGroup(frame, names::rDown, QStringLiteral("Download Adapter"),
                        QStringLiteral("Methode 1 (Default Einstellung)"), QStringLiteral("Methode 2"));
    m_up = radioGroup(frame, names::rUp, QStringLiteral("Upload Adapter"), QStringLiteral("Methode 1 "),
                      QStringLiteral("Methode 2 (Default Einstellung)"));
    groups->addWidget(static_cast<QWidget*>(m_down->parent()), 1);
    groups->addWidget(static_cast<QWidget*>(m_up->parent()), 1);
    column->addLayout(groups);
    column->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("Änderungen Übernehmen und Fenster schliessen"), frame);
    close->setObjectName(QLatin1String(names::btnClose));
    column->addWidget(close);
    connect(close, &QPushButton::clicked, this, &TfrmExpert::btnCloseClick);
}

void TfrmExpert::addCountedLine()
{
    // One line under the two groups, above the button.
    auto* close = findChild<QPushButton*>(QLatin1String(names::btnClose));
    auto* column = qobject_cast<QVBoxLayout*>(close->parentWidget()->layout());
    m_countedLine = new QLabel(close->parentWidget());
    m_countedLine->setObjectName(QLatin1String(names::lCounted));
    column->insertWidget(column->indexOf(close) - 1, m_countedLine);
}

void TfrmExpert::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmExpert::FormShow()
{
    setWindowTitle(m_mainCaption() + QStringLiteral(" - Erkennungsmethode ändern"));
    select(m_down, itemFor(m_settings.downloadMethod));
    select(m_up, itemFor(m_settings.uploadMethod));
    const QString counted = m_counted ? m_counted() : QString();
    m_countedLine->setText(QStringLiteral("Gezählt wird: ") +
                           (counted.isEmpty() ? QStringLiteral("-") : counted));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TfrmExpert::btnCloseClick()
{
    // An item index of -1 would count the row before the first adapter.
    if (m_down->checkedId() >= 0) {
        m_settings.downloadMethod = m_down->checkedId();
    }
    if (m_up->checkedId() >= 0) {
        m_settings.uploadMethod = m_up->checkedId();
    }
    if (m_applied) {
        m_applied();
    }
    accept();
}

} // namespace tavlor
