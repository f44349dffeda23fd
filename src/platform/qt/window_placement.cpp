#include "platform/qt/window_placement.h"

#include <algorithm>

namespace celvio {

QRect PlaceBeside(const QRect& main, const QRect& screen, QSize preferred, QSize minimum)
{
    const int fullHeight = std::max(minimum.height(), std::min(preferred.height(), screen.height()));
    const int top = std::clamp(main.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - fullHeight));
    const int right = screen.right() - main.right();
    if (right >= minimum.width())
        return {main.right() + 1, top, std::min(preferred.width(), right), fullHeight};
    const int left = main.left() - screen.left();
    if (left >= minimum.width()) {
        const int width = std::min(preferred.width(), left);
        return {main.left() - width, top, width, fullHeight};
    }
    const int below = screen.bottom() - main.bottom();
    if (below >= minimum.height()) {
        const int width = std::max(minimum.width(), std::min(preferred.width(), screen.width()));
        const int x = std::clamp(main.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - width));
        return {x, main.bottom() + 1, width, std::min(preferred.height(), below)};
    }
    const int width = std::max(minimum.width(), std::min(preferred.width(), screen.width()));
    return {screen.right() + 1 - width, top, width, fullHeight};
}

WindowPair PlaceSideWindow(const QRect& main, const QRect& screen, QSize preferred, QSize minimum)
{
    QRect side = PlaceBeside(main, screen, preferred, minimum);
    if (!side.intersects(main))
        return {main, side};
    const QRect moved(screen.topLeft(), main.size());
    side = PlaceBeside(moved, screen, preferred, minimum);
    return side.intersects(moved) ? WindowPair{main, PlaceBeside(main, screen, preferred, minimum)}
                                  : WindowPair{moved, side};
}

}  // namespace celvio
