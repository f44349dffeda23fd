// The trace window and the scan results window beside the main window: on the screens
// a shop has, none hides another, and every window stays on the screen.
#include "shell/qt/scan_window.h"
#include "shell/qt/window_placement.h"
#include "support/station_fixture.h"

#include <QGuiApplication>
#include <QScreen>
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

// The scan results window on the shop's 1280x800 screen: beside the main window, whose
// status line and closing text stay in sight, and below it when the trace window holds
// the room on the right.
TEST(WindowPlacement, ScanWindowBesideTheMainWindowAndClearOfTheTraceWindow)
{
    const QSize preferred(480, 360), minimum(360, 240);
    const QRect screen(0, 0, 1280, 800), main(0, 0, 900, 520);
    EXPECT_EQ(PlaceSideWindow(main, screen, preferred, minimum).side, QRect(900, 0, 380, 360));
    const QRect trace = PlaceSideWindow(main, screen, QSize(620, 800), QSize(360, 240)).side;
    const WindowPair both = PlaceSideWindow(main, screen, preferred, minimum, trace);
    EXPECT_EQ(both.main, main);
    EXPECT_EQ(both.side, QRect(0, 520, 480, 280));
    // A centred main window with the trace window beside it stays where it is.
    const QRect centred(190, 120, 900, 520);
    EXPECT_EQ(PlaceSideWindow(centred, screen, preferred, minimum, QRect(1090, 0, 190, 800)).main, centred);
}

class ScanWindowTest : public StationFixture {};

// The real window, opened by its model as a scan ends: it no longer opens at 10,10
// over the main window.
TEST_F(ScanWindowTest, OpensBesideTheMainWindowNotOverIt)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    if (screen.width() < 800 || screen.height() < 600)
        GTEST_SKIP() << "the screen is smaller than 800x600";
    QWidget main, trace;
    main.setGeometry(screen.left(), screen.top(), 400, 300);
    main.show();
    app.ScanFrm.Left = app.ScanFrm.Top = 10;
    app.ScanFrm.List1 = QStringList{QStringLiteral("Channel  3  blocked")};

    for (const bool traceOpen : {false, true}) {
        SCOPED_TRACE(traceOpen ? "trace window open on the right" : "no trace window");
        // Over the room right of the main window, but not over the room below it.
        trace.move(screen.left() + 490, screen.top());
        trace.resize(screen.width() - 500, screen.height() - 10);
        trace.setVisible(traceOpen);
        ScanWindowView scan(app);
        scan.SetAnchor(&main, &trace);
        app.ScanFrm.Visible = true;
        scan.Sync();
        ASSERT_TRUE(scan.isVisible());
        const QRect frame = scan.frameGeometry();
        EXPECT_FALSE(frame.intersects(main.frameGeometry()))
            << frame.x() << ',' << frame.y() << ' ' << frame.width() << 'x' << frame.height();
        EXPECT_TRUE(screen.contains(frame))
            << frame.x() << ',' << frame.y() << ' ' << frame.width() << 'x' << frame.height();
        if (traceOpen) {
            EXPECT_FALSE(frame.intersects(trace.frameGeometry()));
        }
        app.ScanFrm.Visible = false;
        scan.Sync();
        EXPECT_FALSE(scan.isVisible());
    }
}

}  // namespace
}  // namespace celvio::testing
