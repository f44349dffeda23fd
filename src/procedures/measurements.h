#pragma once
#include <QString>
namespace celvio {
struct App;
void TransmitterTest(App& app, const QString& band, int powerSlot, bool measureModulation, bool checkTemplate);
void DualBandTransmitterTest(App& app, const QString& band, int powerSlot, bool measureModulation, bool checkTemplate);
void ReceiverTest(App& app);
void ReceiverTestSecondBand(App& app, const QString& band);
}  // namespace celvio
