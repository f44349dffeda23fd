// The scan results window: the blocked-channel list sorted, ten channels a line, with
// the channels that the current scan found, and its PRINT and OK buttons.
#pragma once
namespace celvio {
struct App;
// Sorts BlockedChannels (channels 1..1024, each once) and fills the scan results
// window: the blocked channels ten per line, two empty lines, "NEW : " and the
// channels found by the current scan.
void ShowScanReport(App& app);
// The scan results window's buttons: PRINT prints the list, OK hides the window.
void ScanFrm_PrintClick(App& app);
void ScanFrm_OkClick(App& app);
}  // namespace celvio
