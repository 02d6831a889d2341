#include "shell/ui/ViewApplier.h"
#include "text/WidgetNames.h"

#include "shell/ui/LedLamp.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace tavlor {

namespace {
QColor fromRgb(std::uint32_t rgb)
{
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QButtonGroup* radioItems(QWidget* group)
{
    return group == nullptr ? nullptr : group->findChild<QButtonGroup*>();
}

// Inputs the core reads back: the connection manager's fields. The setting controls write into
// the settings themselves (SettingsBinding).
const char* const kEditFields[] = {names::eUser, names::ePass, names::eNum};
} // namespace

ViewApplier::ViewApplier(QWidget* root, ViewModel& view, QLabel* statusPanel,
                         std::function<void(const std::string&)> trayHint)
    : QObject(root), m_root(root), m_view(view), m_statusPanel(statusPanel), m_trayHint(std::move(trayHint))
{
    bindInput();
}

QWidget* ViewApplier::find(const std::string& name)
{
    const QString key = QString::fromStdString(name);
    auto it = m_cache.constFind(key);
    if (it != m_cache.constEnd()) {
        return it.value();
    }
    QWidget* widget = m_root->findChild<QWidget*>(key);
    m_cache.insert(key, widget);
    return widget;
}

void ViewApplier::seedFromWidgets()
{
    for (QWidget* widget : m_root->findChildren<QWidget*>()) {
        const std::string name = widget->objectName().toStdString();
        if (name.empty() || name.rfind("qt_", 0) == 0) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            m_view.setText(name, label->text().toStdString());
        } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            m_view.setText(name, field->text().toStdString());
            m_view.setReadOnly(name, field->isReadOnly());
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            m_view.setText(name, button->text().toStdString());
        }
        m_view.setEnabled(name, widget->isEnabled());
        if (!widget->toolTip().isEmpty()) {
            m_view.setHint(name, widget->toolTip().toStdString());
        }
    }
    m_view.takeChanges();
}

void ViewApplier::apply()
{
    for (const auto& [key, value] : m_view.takeChanges()) {
        applyOne(key, value);
    }
}

void ViewApplier::applyOne(const ViewModel::Key& key, const ViewModel::Value& value)
{
    const auto& [name, prop] = key;
    if (name == kTrayIcon) {
        if (prop == ViewModel::Prop::Hint && m_trayHint) {
            m_trayHint(std::get<std::string>(value));
        }
        return;
    }
    if (name == names::sBar && prop == ViewModel::Prop::Text) {
        m_statusPanel->setText(QString::fromStdString(std::get<std::string>(value)));
        return;
    }
    QWidget* widget = find(name);
    if (widget == nullptr) {
        return;
    }
    switch (prop) {
    case ViewModel::Prop::Text:
        applyText(widget, QString::fromStdString(std::get<std::string>(value)));
        break;
    case ViewModel::Prop::Hint:
        widget->setToolTip(QString::fromStdString(std::get<std::string>(value)));
        break;
    case ViewModel::Prop::Enabled:
        widget->setEnabled(std::get<bool>(value));
        break;
    case ViewModel::Prop::ReadOnly:
        if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            field->setReadOnly(std::get<bool>(value));
        }
        break;
    case ViewModel::Prop::Checked:
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setChecked(std::get<bool>(value));
        }
        break;
    case ViewModel::Prop::ItemIndex:
        applyItemIndex(widget, std::get<int>(value));
        break;
    case ViewModel::Prop::Color:
        if (auto* lamp = qobject_cast<LedLamp*>(widget)) {
            lamp->setColor(fromRgb(std::get<std::uint32_t>(value)));
        }
        break;
    }
}

void ViewApplier::applyText(QWidget* widget, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text() != text) {
            label->setText(text);
        }
    } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
        // Same text again must not move the cursor of a field the user is typing in.
        if (field->text() != text) {
            field->setText(text);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        box->setTitle(text);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
        memo->setPlainText(text);
    }
}

void ViewApplier::applyItemIndex(QWidget* group, int index)
{
    QButtonGroup* items = radioItems(group);
    if (items == nullptr) {
        return;
    }
    const int count = static_cast<int>(items->buttons().size());
    // As the radio group takes a loaded value: above the last item selects the last one.
    index = std::min(index, count - 1);
    if (index >= 0) {
        items->button(index)->setChecked(true);
        return;
    }
    if (QAbstractButton* checked = items->checkedButton()) {
        items->setExclusive(false);
        checked->setChecked(false);
        items->setExclusive(true);
    }
}

void ViewApplier::bindInput()
{
    for (const char* name : kEditFields) {
        if (auto* field = m_root->findChild<QLineEdit*>(QLatin1String(name))) {
            connect(field, &QLineEdit::textEdited, this,
                    [this, name](const QString& text) { m_view.setText(name, text.toStdString()); });
        }
    }
}

} // namespace tavlor
