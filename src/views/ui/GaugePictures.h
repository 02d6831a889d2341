#pragma once

#include <QList>
#include <QPixmap>

namespace tavlor {

// The twelve 32 x 32 bar-meter pictures of the load gauge: index 0 empty, 11 full.
QList<QPixmap> GaugePictures();

} // namespace tavlor
