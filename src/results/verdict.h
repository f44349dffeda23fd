// The end of a TEST cycle on the main window: the verdict, the summary of the tests
// and the way into the result pages.
#pragma once

#include "core/codes.h"

namespace celvio {
struct App;
// Fills both result pages with titles, row names, limits, buttons and the initial cells.
void SetUpResultPages(App& app);
// The verdict screen: shows the verdict, waits for the operator, writes the result file
// and on request shows the test report screen.
void VerdictScreen(App& app, Verdict verdict);
// The test report screen: the summary lines, and the result pages on request.
void TestReportScreen(App& app);
}  // namespace celvio
