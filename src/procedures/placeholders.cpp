// Placeholder: the band configuration, network search, measurements and call tests
// are not built yet. These stand-ins do nothing so that Main can run a cycle.
#include "core/app.h"
#include "procedures/band_config.h"
#include "procedures/calls.h"
#include "procedures/measurements.h"
#include "procedures/network.h"

namespace celvio {

void ConfigureBand(App&) {}
void SetGeneratorLevel(App&) {}
void AdjustRxLevel(App&) {}
void ConfigureSecondBand(App&) {}
void NetworkSearch(App&, int) {}
int AskQuestion(App&, int n) { return n == 1 || n == 2 ? 1 : -1; }
void IdentifyPhone(App&) {}
void ReleaseBaseStation(App&) {}
void TransmitterTest(App&, const QString&, int, bool, bool) {}
void DualBandTransmitterTest(App&, const QString&, int, bool, bool) {}
void ReceiverTest(App&) {}
void ReceiverTestSecondBand(App&, const QString&) {}
void KeypadCallTest(App&, int) {}
void BaseCallTest(App&) {}
void AudioTest(App&, const QString&) {}

}  // namespace celvio
