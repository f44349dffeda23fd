// The calls of a cycle: the call that the customer dials on the phone (keypad test) and
// the call from the network to the phone.
#pragma once

#include "core/codes.h"
#include "record/cycle_record.h"

#include <QList>
#include <QString>

namespace celvio {

struct App;

// The call from the phone and the dialled digits: the keypad test of a TEST cycle, the
// swap's call (Swap) or the scan's call (any other mode). Verdict Aborted when the call
// does not come, Failed for wrong digits. Returns the readings of the call and of the
// digits (only the call when it did not come); the swap's call and a stop return none.
QList<MeasuredReading> KeypadCallTest(App& app, CycleMode purpose);

// The call to the phone, answered by the customer. Verdict Aborted when not answered.
// Returns its reading (none after a stop).
QList<MeasuredReading> BaseCallTest(App& app);

}  // namespace celvio
