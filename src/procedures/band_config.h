// Configuring the tester for the cycle's system: channels, levels and path
// attenuations of the first band, the generator and receiver levels, and the second
// band of a dual-band system.
#pragma once
namespace celvio {
struct App;
// Sets up the tester's base station for the first band of SystemCode, with the
// channels and level of the settings (ControlChannel, TrafficChannels, GeneratorLevel).
void ConfigureBand(App& app);
// Sets the generator to the level of the cycle (GeneratorLevel).
void SetGeneratorLevel(App& app);
// Sets the receiver level (GeneratorLevel): the phone should then report
// GeneratorLevel + 110 (its scale puts -110 dBm at 0).
void AdjustRxLevel(App& app);
// Hands the call over to the second band of a dual-band system.
void ConfigureSecondBand(App& app);
}  // namespace celvio
