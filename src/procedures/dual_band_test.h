// The transmitter measurement on the second band of a dual-band phone.
#pragma once

#include <QString>

namespace celvio {

struct App;

// As TransmitterTest, on the second band's channels, into the second result page.
void DualBandTransmitterTest(App& app, const QString& band, int powerSlot, bool measureModulation, bool checkTemplate);

}  // namespace celvio
