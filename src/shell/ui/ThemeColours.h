#pragma once

class QWidget;

namespace tavlor {

// Gives every widget below root that carries a designed text colour the colour it reads in on
// its background: the designed colour itself on the white value panels (the design's own
// background), and on backgrounds that follow the desktop's palette (the window's grey, the
// button face) that colour made light or dark enough for a contrast of 4.5:1.
void ApplyReadableColours(QWidget* root);

} // namespace tavlor
