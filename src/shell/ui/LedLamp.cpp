#include "shell/ui/LedLamp.h"

#include <QPainter>
#include <QRadialGradient>

namespace tavlor {

LedLamp::LedLamp(QWidget* parent) : QWidget(parent)
{
    setFixedSize(17, 17);
    setAttribute(Qt::WA_TranslucentBackground);
}

void LedLamp::setColor(const QColor& color)
{
    if (color == m_color) {
        return;
    }
    m_color = color;
    update();
}

void LedLamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF lamp = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    QRadialGradient glow(lamp.center() - QPointF(2.5, 2.5), lamp.width() * 0.7);
    glow.setColorAt(0.0, m_color.lighter(170));
    glow.setColorAt(1.0, m_color.darker(115));
    painter.setPen(QPen(m_color.darker(220), 1.0));
    painter.setBrush(glow);
    painter.drawEllipse(lamp);
}

} // namespace tavlor
