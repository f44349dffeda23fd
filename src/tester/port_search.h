#pragma once
namespace celvio {
struct App;
// Probes COM1..COM8 until a tester answers; returns the port number.
int SearchTesterPort(App& app);
// Asks the operator for COM1 or COM2 and checks the tester there.
void SelectTesterPort(App& app);
}  // namespace celvio
