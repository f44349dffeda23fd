// The tester's identity check at start-up, its full and light resets between cycles,
// and its shutdown at the end of the program.
#pragma once
#include "core/station.h"
namespace celvio {
struct App;
// Asks the tester for its identity; ends the program for a model outside the family.
void IdentifyTester(App& app, Flag showPicture);
// "*RST" with flow control off, 3 s wait.
void ResetTester(App& app);
// Returns the tester to local operation, or resets it when it may be busy.
void ReleaseTester(App& app, int unused);
// Resets the tester, closes the port and ends the program.
[[noreturn]] void CloseTester(App& app);
}  // namespace celvio
