#include "shell/ui/uFrmMainTavlor.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

namespace tavlor {

TfrmTavlor::TfrmTavlor(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmTavlor"));
    setWindowTitle(QStringLiteral("Tavlor v2.9"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    buildLayout();
    resize(kCollapsedWidth, kDesignHeight);
}

TfrmTavlor::~TfrmTavlor() = default;

QLabel* TfrmTavlor::statusPanel(int index) const
{
    return (index == 0 || index == 1) ? m_panels[index] : nullptr;
}

void TfrmTavlor::closeEvent(QCloseEvent* event)
{
    if (m_events == nullptr) {
        event->accept();
        return;
    }
    if (m_events->FormCloseQuery() && m_events->FormClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TfrmTavlor::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized()) {
        return;
    }
    // Hiding from inside the state change confuses some window managers; do it right after.
    QTimer::singleShot(0, this, [this] {
        if (m_events != nullptr && isMinimized()) {
            m_events->FormMinimised();
        }
    });
}

bool TfrmTavlor::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate && !m_activatedOnce) {
        m_activatedOnce = true;
        QTimer::singleShot(0, this, [this] {
            if (m_events != nullptr) {
                m_events->FormActivate();
            }
        });
    }
    return handled;
}

} // namespace tavlor
