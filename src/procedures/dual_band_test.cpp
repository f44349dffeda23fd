// The transmitter test of the second band of a dual-band phone: the first band's test
// with the second band's display text, channel command, power levels (MSPOWLEV4..6),
// frequency limit and result page.
#include "procedures/dual_band_test.h"
#include "procedures/transmitter_core.h"

namespace celvio {

TransmitterReadings DualBandTransmitterTest(App& app, const QString& band, int powerSlot, bool measureModulation,
                             bool checkTemplate)
{
    return MeasureTransmitter(app, band, powerSlot, measureModulation, checkTemplate, TxVariant::SecondBand);
}

}  // namespace celvio
