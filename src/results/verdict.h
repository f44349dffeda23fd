// The end of a TEST cycle on the main window: the verdict, the summary of the tests
// and the way into the result pages.
#pragma once

#include "core/codes.h"

namespace celvio {
struct App;
struct CycleRecord;
// The verdict screen: shows the verdict, waits for the operator, writes the result file
// of the record and on request shows the test report screen.
void VerdictScreen(App& app, Verdict verdict, CycleRecord& record);
// The test report screen: the summary lines, and the result pages of the record on
// request.
void TestReportScreen(App& app, const CycleRecord& record);
}  // namespace celvio
