// Placing the phone and waiting for it to register with the tester's network, and
// the two-button questions of the main window.
#pragma once

#include "core/codes.h"

namespace celvio {

struct App;

// Asks for the phone to be placed and switched on and waits for its location update, in
// the words of the mode: a TEST cycle, the swap's new phone (Swap) or a scan (any other
// mode). Verdict Aborted when it does not register.
void NetworkSearch(App& app, CycleMode mode);

// The two-button question n (0..4) of the main window; 0 for Yes (retry), -1 for No,
// or for questions 1 and 2 the answer 1 or 2.
int AskQuestion(App& app, int n);

}  // namespace celvio
