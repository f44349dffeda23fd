#pragma once
namespace celvio {
struct App;
void ConfigureBand(App& app);
void SetGeneratorLevel(App& app);
void AdjustRxLevel(App& app);
void ConfigureSecondBand(App& app);
}  // namespace celvio
