#include "shell/ui/LayoutParts.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tavlor::layout {

QGroupBox* group(QWidget* parent, const char* name, const QString& title, QLayout* inner)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    inner->setContentsMargins(8, 2, 8, 4);
    inner->setSpacing(2);
    box->setLayout(inner);
    return box;
}

QLabel* caption(const QString& text)
{
    return new QLabel(text);
}

QWidget* value(const char* name, const QString& text, const QColor& colour, const QString& widest, bool white)
{
    auto* panel = new QFrame;
    panel->setObjectName(QLatin1String(name) + QLatin1String("Panel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    if (white) {
        panel->setAutoFillBackground(true);
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, Qt::white);
        panel->setPalette(palette);
    }
    auto* label = new QLabel(text, panel);
    label->setObjectName(QLatin1String(name));
    label->setProperty("tavlorWidest", widest);
    // The least width comes from the widest expected text, not from the text shown now.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest));
    setDesignedColour(label, colour);
    auto* inner = new QHBoxLayout(panel);
    inner->setContentsMargins(4, 2, 4, 2);
    inner->addWidget(label);
    return panel;
}

QLabel* valueLabel(QWidget* panel)
{
    return panel->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
}

QPushButton* button(const char* name, const QString& text)
{
    auto* push = new QPushButton(text);
    push->setObjectName(QLatin1String(name));
    return push;
}

QCheckBox* checkBox(const char* name, const QString& text, bool ticked)
{
    auto* box = new QCheckBox(text);
    box->setObjectName(QLatin1String(name));
    box->setChecked(ticked);
    return box;
}

// No maxLength: a silent cut of pasted text would dial a wrong number or user; the connection
// manager refuses over-long values with a message instead.
QLineEdit* edit(const char* name, const QString& text, QLabel* caption)
{
    auto* field = new QLineEdit(text);
    field->setObjectName(QLatin1String(name));
    // Without a name of its own a screen reader announces the group box's title instead.
    field->setAccessibleName(caption->text());
    caption->setBuddy(field);
    return field;
}

void setDesignedColour(QWidget* widget, const QColor& colour)
{
    widget->setProperty(kDesignedColour, colour);
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        palette.setColor(role, colour);
    }
    widget->setPalette(palette);
}

void addCaptioned(QBoxLayout* layout, const QString& text, QWidget* panel)
{
    layout->addWidget(caption(text));
    layout->addWidget(panel);
    valueLabel(panel)->setAccessibleDescription(text);
}

} // namespace tavlor::layout
