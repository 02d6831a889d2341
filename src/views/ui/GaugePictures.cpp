#include "views/ui/GaugePictures.h"

#include <QPainter>

namespace tavlor {

namespace {
constexpr int kSize = 32;
constexpr int kPictures = 12;
constexpr int kBars = kPictures - 1; // picture i lights i bars

// Green at the bottom, through yellow, to red at the top.
QColor BarColor(int bar)
{
    const int hue = 120 - bar * 120 / (kBars - 1);
    return QColor::fromHsv(hue, 230, 230);
}

QPixmap Picture(int lit)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    // Eleven bars of two pixels with one-pixel gaps fill the 32 pixels exactly.
    for (int bar = 0; bar < kBars; ++bar) {
        const int top = kSize - 2 - bar * 3;
        painter.fillRect(6, top, 20, 2, bar < lit ? BarColor(bar) : QColor(72, 72, 72));
    }
    return pixmap;
}
} // namespace

QList<QPixmap> GaugePictures()
{
    QList<QPixmap> pictures;
    for (int lit = 0; lit < kPictures; ++lit) {
        pictures.append(Picture(lit));
    }
    return pictures;
}

} // namespace tavlor
