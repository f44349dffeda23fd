// Where a side window (the trace window, the scan results window) goes so that it does
// not cover the main window: beside it on the screen, shrunk to the room there is.
#pragma once

#include <QRect>
#include <QSize>

namespace celvio {

// The frame of a side window next to `main` within `screen` (the available area):
// right of the main window if at least `minimum` fits there, else left of it, else
// below it, else at the screen's right edge (the only case that overlaps). A spot that
// would cover `avoid` (another side window already open) is passed over while another
// has room. The size is `preferred`, shrunk to the room but never below `minimum`.
QRect PlaceBeside(const QRect& main, const QRect& screen, QSize preferred, QSize minimum, const QRect& avoid = QRect());

// Both frames: when there is no room beside the main window where it stands (a
// centred window), the main window moves to the screen's top-left corner first, unless
// another side window (`avoid`) is open beside it already.
struct WindowPair {
    QRect main;
    QRect side;
};
WindowPair PlaceSideWindow(const QRect& main, const QRect& screen, QSize preferred, QSize minimum,
                           const QRect& avoid = QRect());

}  // namespace celvio
