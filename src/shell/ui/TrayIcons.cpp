#include "shell/ui/TrayIcons.h"

#include <QPainter>
#include <QPixmap>

namespace tavlor {

QIcon WarnLevelIcon(const QIcon& normal, int level)
{
    if (level <= 0) {
        return normal;
    }
    QIcon marked;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap = normal.pixmap(size, size);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal mark = size * 0.5;
        painter.setPen(QPen(Qt::white, qMax<qreal>(1.0, size / 16.0)));
        painter.setBrush(level == 1 ? QColor(255, 150, 0) : QColor(220, 0, 0));
        painter.drawEllipse(QRectF(size - mark - 0.5, size - mark - 0.5, mark, mark));
        painter.end();
        marked.addPixmap(pixmap);
    }
    return marked;
}

} // namespace tavlor
