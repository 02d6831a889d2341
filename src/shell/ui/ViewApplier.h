#pragma once

#include "text/ViewModel.h"
#include "text/WidgetNames.h"

#include <QHash>
#include <QObject>
#include <functional>

class QWidget;
class QLabel;

namespace tavlor {

// Carries the view model to the widgets (found by objectName below `root`) and user input back.
// Special targets: names::sBar Text goes to the given status panel, names::TrayIcon Hint to `trayHint`,
// names::LEd Color to the lamp, an ItemIndex to a group's radio items.
class ViewApplier final : public QObject
{
    Q_OBJECT
public:
    ViewApplier(QWidget* root, ViewModel& view, QLabel* statusPanel,
                std::function<void(const std::string&)> trayHint);
    Q_DISABLE_COPY_MOVE(ViewApplier)

    // Takes the widgets' design-time state into the view model (texts, enabled states, check
    // boxes, the radio group), so the core starts from what the window shows.
    void seedFromWidgets();
    // Writes every change since the last call to the widgets.
    void apply();

private:
    void applyOne(const ViewModel::Key& key, const ViewModel::Value& value);
    void applyText(QWidget* widget, const QString& text);
    void applyItemIndex(QWidget* group, int index);
    void bindInput();
    QWidget* find(const std::string& name);

    QWidget* m_root;
    ViewModel& m_view;
    QLabel* m_statusPanel;
    std::function<void(const std::string&)> m_trayHint;
    QHash<QString, QWidget*> m_cache;
};

} // namespace tavlor
