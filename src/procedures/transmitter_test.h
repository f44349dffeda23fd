// The transmitter measurement on the first band.
#pragma once

#include "procedures/transmitter_core.h"

#include <QString>

namespace celvio {

struct App;

// Measures power slot `powerSlot` on the traffic channel of TxStep (with
// measureModulation also phase, frequency and burst length; with checkTemplate the
// power-time template): the readings of the first band.
TransmitterReadings TransmitterTest(App& app, const QString& band, int powerSlot, bool measureModulation,
                                    bool checkTemplate);

}  // namespace celvio
