// The trace window beside the main window: on the screens a shop has, neither hides
// the other, and the trace window stays on the screen.
#include "platform/qt/window_placement.h"

#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

TEST(WindowPlacement, SideWindowNeverCoversTheMainWindow)
{
    const QSize preferred(620, 800), minimum(360, 240);
    const struct {
        const char* what;
        QRect screen;
        QRect main;
        bool overlapAllowed;  // no room anywhere
    } cases[] = {
        {"1280x800, main at 0,0 (no window manager)", {0, 0, 1280, 800}, {0, 0, 900, 520}, false},
        {"1280x800 with a task bar, main centred", {0, 0, 1280, 760}, {190, 120, 900, 520}, false},
        {"main at the right edge", {0, 0, 1280, 800}, {380, 0, 900, 520}, false},
        {"1920x1080", {0, 0, 1920, 1080}, {0, 0, 900, 520}, false},
        {"second screen to the right", {1280, 0, 1280, 800}, {1280, 0, 900, 520}, false},
        {"1024x768: only below", {0, 0, 1024, 768}, {0, 0, 900, 520}, false},
        {"main maximised", {0, 0, 1280, 800}, {0, 0, 1280, 800}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const WindowPair placed = PlaceSideWindow(c.main, c.screen, preferred, minimum);
        const QRect& side = placed.side;
        EXPECT_EQ(placed.main.size(), c.main.size());
        EXPECT_GE(side.width(), minimum.width());
        EXPECT_GE(side.height(), std::min(minimum.height(), c.screen.height()));
        EXPECT_TRUE(c.screen.contains(side)) << side.x() << ',' << side.y() << ' ' << side.width() << 'x'
                                             << side.height();
        EXPECT_TRUE(c.screen.contains(placed.main));
        if (!c.overlapAllowed) {
            EXPECT_FALSE(side.intersects(placed.main));
        }
    }
    // On the shop's 1280x800 screen the trace window takes the room right of the main
    // window, at its top.
    EXPECT_EQ(PlaceBeside({0, 0, 900, 520}, {0, 0, 1280, 800}, preferred, minimum), QRect(900, 0, 380, 800));
    // A centred main window moves to the corner to make room; one that leaves room stays.
    EXPECT_EQ(PlaceSideWindow({190, 120, 900, 520}, {0, 0, 1280, 760}, preferred, minimum).main,
              QRect(0, 0, 900, 520));
    EXPECT_EQ(PlaceSideWindow({0, 40, 900, 520}, {0, 0, 1280, 800}, preferred, minimum).main, QRect(0, 40, 900, 520));
}

}  // namespace
}  // namespace celvio::testing
