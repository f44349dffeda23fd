// The calls of a cycle: the call that the customer dials on the phone (keypad test) and
// the call from the network to the phone.
#pragma once

#include "core/codes.h"

#include <QString>

namespace celvio {

struct App;

// The call from the phone and the dialled digits: the keypad test of a TEST cycle, the
// swap's call (Swap; no cells then, the swap reads the Verdict) or the scan's call (any
// other mode). Verdict Aborted when the call does not come, Failed for wrong digits.
void KeypadCallTest(App& app, CycleMode purpose);

// The call to the phone, answered by the customer. Verdict Aborted when not answered.
void BaseCallTest(App& app);

}  // namespace celvio
