#pragma once

#include "model/Settings.h"

#include <QObject>
#include <functional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QWidget;

namespace tavlor {

// The main window's setting controls bound to the one Settings: rGroup (the tray's time),
// cbMini, cbBeenden and cbLan. What the user changes goes straight into the settings; show()
// puts the settings into the controls. The view model holds none of them.
class SettingsBinding final : public QObject
{
    Q_OBJECT
public:
    // gatewayClicked runs when the user clicks cbLan, with the box's new state; the box shows
    // onLAN again at the next show().
    SettingsBinding(QWidget* root, Settings& settings, std::function<void(bool)> gatewayClicked);
    Q_DISABLE_COPY_MOVE(SettingsBinding)

    void show();

private:
    Settings& m_settings;
    QButtonGroup* m_trayTime = nullptr;
    QCheckBox* m_mini = nullptr;
    QCheckBox* m_quit = nullptr;
    QCheckBox* m_lan = nullptr;
};

} // namespace tavlor
