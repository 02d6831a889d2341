#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QSystemTrayIcon>
#include <functional>
#include <string>

class QAction;
class QMenu;
class QWidget;

namespace tavlor {

// The notification-area icon with its menu and hint, and the two ways into and out of it.
//
// What a desktop reports differs: an XEmbed tray (xcb) sends a tooltip request when the pointer
// rests on the icon, which is our "mouse moved" moment, and a double-click arrives as Trigger
// followed by DoubleClick. A StatusNotifierItem host (D-Bus) reports neither pointer movement
// nor double-clicks, only single activations; there a single activation counts as the double-click.
class TrayController final : public QObject
{
    Q_OBJECT
public:
    // trayAvailable: whether the desktop has a notification area (asked every time it matters).
    TrayController(QWidget* window, const QIcon& icon, std::function<bool()> trayAvailable,
                   QObject* parent = nullptr);
    ~TrayController() override;
    Q_DISABLE_COPY_MOVE(TrayController)

    // Minimises the program and takes its taskbar entry away. Without a notification area it
    // does nothing: a hidden window could not be brought back.
    void HideToTray();
    // Gives the window back its taskbar entry, restored and visible.
    void ShowFromTray();
    // Between HideToTray and the window's next showing, however it is shown.
    bool inTray() const { return m_inTray; }

    bool available() const;
    // Asks whether the notification area is still there (once a second from the tick); when
    // it has gone, hostLost() follows once, so that a hidden program can show itself.
    void checkHost();
    void setHint(const std::string& hint);
    QString hint() const { return m_hint; }
    // The Volumenwarner's lines below the hint (one per limit set; none without a limit).
    void setLimitLines(const QStringList& lines);
    // 0 normal, 1 a warning threshold reached, 2 over the limit.
    void setWarnLevel(int level);
    int warnLevel() const { return m_warnLevel; }
    // The text handed to the notification area (cut, before the first "|").
    QString toolTip() const;

    QSystemTrayIcon* icon() const { return m_icon; }
    QMenu* popup() const { return m_popup; }
    QAction* historyItem() const { return m_historyItem; }
    QAction* showItem() const { return m_showItem; }
    QAction* quitItem() const { return m_quitItem; }

signals:
    void mouseMoved();       // TrayIconMouseMove
    void doubleClicked();    // TrayIconDblClick
    void historyRequested(); // "Verlauf und Volumenwarner…"
    void showRequested();    // Beenden1Click ("Tavlor zeigen")
    void quitRequested();    // Tavlorbeenden1Click ("Tavlor beenden")
    void hostLost();         // the notification area went away
    void hiddenInTray();     // HideToTray has hidden the window
    void leavingTray();      // the hidden window is being shown, before it is painted

private slots:
    void onStatusNotifierHostRegistered();
    void onStatusNotifierHostUnregistered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    bool deliversDoubleClicks() const;
    bool hostPresent() const;
    void watchStatusNotifierHost();
    void askHostRegistered();

    QWidget* m_window;
    std::function<bool()> m_trayAvailable;
    QSystemTrayIcon* m_icon;
    QMenu* m_popup;
    QAction* m_historyItem;
    QAction* m_showItem;
    QAction* m_quitItem;
    QString m_hint;
    QStringList m_limitLines;
    QIcon m_normalIcon;
    int m_warnLevel = 0;
    bool m_injected = false;
    bool m_statusNotifierMode = false;
    bool m_statusNotifierHost = false;
    bool m_hostSeen = false;
    bool m_inTray = false;
};

} // namespace tavlor
