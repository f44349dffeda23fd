// The one-page report handed to the customer with the new phone.
#pragma once

#include <QString>

namespace celvio {

struct App;

// The report of an exchange in SWAP mode.
void PrintDirectSwapReport(App& app);

// The report of an exchange after a failed test: tester identity and test results,
// ending "FAILED => SWAP".
void PrintFailedTestSwapReport(App& app);

}  // namespace celvio
