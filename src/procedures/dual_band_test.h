// The transmitter measurement on the second band of a dual-band phone.
#pragma once

#include "procedures/transmitter_core.h"

#include <QString>

namespace celvio {

struct App;

// As TransmitterTest, on the second band's channels: the readings of the second band.
TransmitterReadings DualBandTransmitterTest(App& app, const QString& band, int powerSlot, bool measureModulation,
                                            bool checkTemplate);

}  // namespace celvio
