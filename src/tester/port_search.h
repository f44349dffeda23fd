// The automatic search for the tester: the set-up screen, then COM1..COM8 probed in
// turn until a tester answers.
#pragma once
namespace celvio {
struct App;
// Shows the set-up screen and probes the ports until a tester answers; records the
// port in TesterPort and returns its number.
int SearchTesterPort(App& app);
}  // namespace celvio
