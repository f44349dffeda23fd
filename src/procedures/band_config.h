// Configuring the tester for the cycle's system: channels, levels and path
// attenuations of the first band, the generator and receiver levels, and the second
// band of a dual-band system.
#pragma once
namespace celvio {
struct App;
// Sets up the tester's base station for the first band of SystemCode.
void ConfigureBand(App& app);
// Sets the generator to the level of the cycle (GeneratorLevel).
void SetGeneratorLevel(App& app);
// Sets the receiver level and shows the RX level the phone should report.
void AdjustRxLevel(App& app);
// Hands the call over to the second band of a dual-band system.
void ConfigureSecondBand(App& app);
}  // namespace celvio
