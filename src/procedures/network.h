#pragma once
namespace celvio {
struct App;
// Placement instructions and the registration of the phone: 0 test, -2 swap, else scan.
void NetworkSearch(App& app, int mode);
// The two-button question of the main window, n = 0..4.
int AskQuestion(App& app, int n);
// Reads IMEI and IMSI.
void IdentifyPhone(App& app);
// Clears the call between the test steps.
void ReleaseBaseStation(App& app);
}  // namespace celvio
