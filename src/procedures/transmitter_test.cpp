// The transmitter test of the first band.
#include "procedures/transmitter_core.h"
#include "procedures/transmitter_test.h"

namespace celvio {

TransmitterReadings TransmitterTest(App& app, const QString& band, int powerSlot, bool measureModulation, bool checkTemplate)
{
    return MeasureTransmitter(app, band, powerSlot, measureModulation, checkTemplate, TxVariant::FirstBand);
}

}  // namespace celvio
