#include "shell/ui/uFrmMainTavlor.h"
#include "text/WidgetNames.h"

#include "shell/Readability.h"
#include "shell/ui/ThemeColours.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace tavlor {

namespace {
constexpr int kFrameCheckMs = 50;
constexpr int kFrameChecks = 40;

ScreenRect toRect(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}
} // namespace

TfrmTavlor::TfrmTavlor(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QLatin1String(names::frmTavlor));
    setWindowTitle(QStringLiteral("Tavlor v2.9"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    buildLayout();
    ApplyReadableColours(this);
    resize(collapsedWidth(), std::max(kDesignHeight, minimumSizeHint().height()));
    m_frameTimer = new QTimer(this);
    m_frameTimer->setInterval(kFrameCheckMs);
    connect(m_frameTimer, &QTimer::timeout, this, &TfrmTavlor::correctFramePosition);
}

TfrmTavlor::~TfrmTavlor() = default;

QLabel* TfrmTavlor::statusPanel(int index) const
{
    return (index == 0 || index == 1) ? m_panels[index] : nullptr;
}

void TfrmTavlor::setDesignWidth(int width)
{
    m_expanded = width > kCollapsedWidth;
    setClientExpanded(m_expanded);
    const int wanted = m_expanded ? expandedWidth() : collapsedWidth();
    if (this->width() != wanted) {
        resize(wanted, height());
    }
}

void TfrmTavlor::placeFrameAt(const QPoint& topLeft)
{
    std::vector<ScreenRect> usable;
    for (const QScreen* screen : QGuiApplication::screens()) {
        usable.push_back(toRect(screen->availableGeometry()));
    }
    const QRect frame = frameGeometry();
    const ScreenRect placed = KeepOnScreen({topLeft.x(), topLeft.y(), frame.width(), frame.height()}, usable);
    m_frameTarget = QPoint(placed.x, placed.y);
    move(m_frameTarget);
    if (!positionKnown()) {
        return; // the compositor places the window; nothing to check
    }
    m_frameChecks = kFrameChecks;
    m_frameTimer->start();
}

bool TfrmTavlor::positionKnown()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void TfrmTavlor::correctFramePosition()
{
    // Done when the frame stands where asked, or the user has had it long enough.
    if (--m_frameChecks <= 0 || !isVisible()) {
        m_frameTimer->stop();
        return;
    }
    if (frameGeometry().topLeft() != m_frameTarget) {
        move(m_frameTarget);
    } else if (geometry().topLeft() != frameGeometry().topLeft() || m_frameChecks < kFrameChecks - 10) {
        // The frame is known and in place (or there is no frame to wait for).
        m_frameTimer->stop();
    }
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
    if (event->type() == QEvent::FontChange) {
        fitToFont();
    }
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        ApplyReadableColours(this);
    }
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
    if (event->type() == QEvent::ApplicationPaletteChange) {
        ApplyReadableColours(this);
    }
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
