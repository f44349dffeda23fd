#include "shell/qt/window_placement.h"

#include <algorithm>
#include <vector>

namespace celvio {

namespace {

// The spots beside `main` that have room for `minimum`, in the order they are
// preferred: right of it, left of it, below it.
std::vector<QRect> SpotsBeside(const QRect& main, const QRect& screen, QSize preferred, QSize minimum)
{
    std::vector<QRect> spots;
    const int fullHeight = std::max(minimum.height(), std::min(preferred.height(), screen.height()));
    const int top = std::clamp(main.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - fullHeight));
    const int right = screen.right() - main.right();
    if (right >= minimum.width())
        spots.emplace_back(main.right() + 1, top, std::min(preferred.width(), right), fullHeight);
    const int left = main.left() - screen.left();
    if (left >= minimum.width()) {
        const int width = std::min(preferred.width(), left);
        spots.emplace_back(main.left() - width, top, width, fullHeight);
    }
    const int below = screen.bottom() - main.bottom();
    if (below >= minimum.height()) {
        const int width = std::max(minimum.width(), std::min(preferred.width(), screen.width()));
        const int x = std::clamp(main.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - width));
        spots.emplace_back(x, main.bottom() + 1, width, std::min(preferred.height(), below));
    }
    return spots;
}

}  // namespace

QRect PlaceBeside(const QRect& main, const QRect& screen, QSize preferred, QSize minimum, const QRect& avoid)
{
    const std::vector<QRect> spots = SpotsBeside(main, screen, preferred, minimum);
    for (const QRect& spot : spots)
        if (!spot.intersects(avoid))
            return spot;
    if (!spots.empty())
        return spots.front();
    const int fullHeight = std::max(minimum.height(), std::min(preferred.height(), screen.height()));
    const int top = std::clamp(main.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - fullHeight));
    const int width = std::max(minimum.width(), std::min(preferred.width(), screen.width()));
    return {screen.right() + 1 - width, top, width, fullHeight};
}

WindowPair PlaceSideWindow(const QRect& main, const QRect& screen, QSize preferred, QSize minimum, const QRect& avoid)
{
    QRect side = PlaceBeside(main, screen, preferred, minimum, avoid);
    if (!side.intersects(main) && !side.intersects(avoid))
        return {main, side};
    // A window that must stay where it is (`avoid`) keeps the main window in place too.
    if (!avoid.isEmpty())
        return {main, side};
    const QRect moved(screen.topLeft(), main.size());
    side = PlaceBeside(moved, screen, preferred, minimum);
    return side.intersects(moved) ? WindowPair{main, PlaceBeside(main, screen, preferred, minimum)}
                                  : WindowPair{moved, side};
}

}  // namespace celvio
