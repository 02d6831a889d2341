#include "shell/Readability.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tavlor {

namespace {
double channel(Rgb rgb, int shift)
{
    const double c = static_cast<double>((rgb >> shift) & 0xFF) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(Rgb rgb)
{
    return 0.2126 * channel(rgb, 16) + 0.7152 * channel(rgb, 8) + 0.0722 * channel(rgb, 0);
}

Rgb mix(Rgb from, Rgb to, double share)
{
    Rgb result = 0;
    for (int shift : {16, 8, 0}) {
        const double a = static_cast<double>((from >> shift) & 0xFF);
        const double b = static_cast<double>((to >> shift) & 0xFF);
        result |= static_cast<Rgb>(std::lround(a + (b - a) * share)) << shift;
    }
    return result;
}

// The least share of `towards` that makes the colour read on the background, or none.
bool nearestReadable(Rgb designed, Rgb towards, Rgb background, double ratio, Rgb& found)
{
    if (ContrastRatio(towards, background) < ratio) {
        return false;
    }
    double low = 0.0;
    double high = 1.0;
    for (int step = 0; step < 16; ++step) {
        const double middle = (low + high) / 2;
        (ContrastRatio(mix(designed, towards, middle), background) >= ratio ? high : low) = middle;
    }
    found = mix(designed, towards, high);
    return true;
}

int distance(int position, int size, int start, int length)
{
    const int end = start + length - size;
    return position < start ? start - position : (position > end ? position - end : 0);
}
} // namespace

double ContrastRatio(Rgb a, Rgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ReadableOn(Rgb designed, Rgb background, double minimumRatio)
{
    if (ContrastRatio(designed, background) >= minimumRatio) {
        return designed;
    }
    Rgb lighter = 0;
    Rgb darker = 0;
    const bool canLighten = nearestReadable(designed, 0xFFFFFF, background, minimumRatio, lighter);
    const bool canDarken = nearestReadable(designed, 0x000000, background, minimumRatio, darker);
    if (canLighten && canDarken) {
        return luminance(background) < 0.18 ? lighter : darker;
    }
    if (canLighten || canDarken) {
        return canLighten ? lighter : darker;
    }
    // No colour reaches the ratio on a mid grey: the stronger of black and white.
    return ContrastRatio(0xFFFFFF, background) > ContrastRatio(0, background) ? 0xFFFFFF : 0;
}

ScreenRect KeepOnScreen(const ScreenRect& frame, const std::vector<ScreenRect>& usable)
{
    // Reachable means: the start of the title bar lies on a screen, whatever else hangs over.
    const ScreenRect grip{frame.x, frame.y, std::min(frame.width, 120), 20};
    for (const ScreenRect& screen : usable) {
        if (distance(grip.x, grip.width, screen.x, screen.width) == 0 &&
            distance(grip.y, grip.height, screen.y, screen.height) == 0) {
            return frame;
        }
    }
    const ScreenRect* nearest = nullptr;
    long best = std::numeric_limits<long>::max();
    for (const ScreenRect& screen : usable) {
        const long dx = distance(frame.x, frame.width, screen.x, screen.width);
        const long dy = distance(frame.y, frame.height, screen.y, screen.height);
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = &screen;
        }
    }
    if (nearest == nullptr || best == 0) {
        return frame;
    }
    ScreenRect placed = frame;
    // A frame larger than the screen keeps its title bar and left edge reachable.
    placed.x = std::max(nearest->x, std::min(frame.x, nearest->x + nearest->width - frame.width));
    placed.y = std::max(nearest->y, std::min(frame.y, nearest->y + nearest->height - frame.height));
    return placed;
}

} // namespace tavlor
