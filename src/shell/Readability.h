#pragma once

#include <cstdint>
#include <vector>

namespace tavlor {

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

// Contrast ratio of two colours by their relative luminance (1 to 21).
double ContrastRatio(Rgb a, Rgb b);

// The colour a text is drawn in on the given background: the designed colour when it reads
// there with at least minimumRatio, otherwise the same colour moved towards white or black
// (whichever reaches the ratio) just far enough. A dark theme thereby keeps "dark red" a red.
Rgb ReadableOn(Rgb designed, Rgb background, double minimumRatio = 4.5);

// Screen rectangles in desktop pixels.
struct ScreenRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where a window frame of the given size goes when asked for (x, y): there, as long as the
// start of its title bar lies on one of the screens' usable areas; otherwise moved into the
// nearest of them (a position saved on a screen that is gone, or under a panel). With no
// screens known the position stands.
ScreenRect KeepOnScreen(const ScreenRect& frame, const std::vector<ScreenRect>& usable);

} // namespace tavlor
