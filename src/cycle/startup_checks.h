// The data checks at start-up: the files the program cannot work without, the
// blocked-channel list, and the marker files that switch tracing on.
#pragma once
namespace celvio {
struct App;
// Checks the data files the program cannot work without, warns about a missing or
// empty blocked-channel list and switches tracing on when a marker file exists.
// Ends the program when a mandatory file is missing.
void StartupChecks(App& app);
}  // namespace celvio
