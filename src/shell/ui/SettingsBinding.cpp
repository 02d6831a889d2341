#include "shell/ui/SettingsBinding.h"
#include "text/WidgetNames.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QWidget>

namespace tavlor {

namespace {
void bindFlag(QObject* receiver, QCheckBox* box, bool& flag)
{
    if (box != nullptr) {
        QObject::connect(box, &QCheckBox::toggled, receiver, [&flag](bool on) { flag = on; });
    }
}

void showFlag(QCheckBox* box, bool on)
{
    if (box != nullptr) {
        box->setChecked(on);
    }
}
} // namespace

SettingsBinding::SettingsBinding(QWidget* root, Settings& settings, std::function<void(bool)> gatewayClicked)
    : QObject(root), m_settings(settings)
{
    if (auto* group = root->findChild<QWidget*>(QLatin1String(names::rGroup))) {
        m_trayTime = group->findChild<QButtonGroup*>();
    }
    m_mini = root->findChild<QCheckBox*>(QLatin1String(names::cbMini));
    m_quit = root->findChild<QCheckBox*>(QLatin1String(names::cbBeenden));
    m_lan = root->findChild<QCheckBox*>(QLatin1String(names::cbLan));
    if (m_trayTime != nullptr) {
        connect(m_trayTime, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
            if (checked) {
                m_settings.trayTime = static_cast<TrayTime>(id);
            }
        });
    }
    bindFlag(this, m_mini, m_settings.minimiseOnClose);
    bindFlag(this, m_quit, m_settings.confirmQuit);
    // clicked, not toggled: showing the loaded state must not ask the gateway question.
    if (m_lan != nullptr) {
        connect(m_lan, &QCheckBox::clicked, this, std::move(gatewayClicked));
    }
}

void SettingsBinding::show()
{
    showFlag(m_mini, m_settings.minimiseOnClose);
    showFlag(m_quit, m_settings.confirmQuit);
    showFlag(m_lan, m_settings.onLAN);
    if (m_trayTime == nullptr) {
        return;
    }
    const int item = static_cast<int>(m_settings.trayTime);
    if (QAbstractButton* button = m_trayTime->button(item)) {
        button->setChecked(true);
    } else if (QAbstractButton* checked = m_trayTime->checkedButton()) {
        // No item: an exclusive group would keep one ticked.
        m_trayTime->setExclusive(false);
        checked->setChecked(false);
        m_trayTime->setExclusive(true);
    }
}

} // namespace tavlor
