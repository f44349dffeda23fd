#pragma once
#include <QString>
namespace celvio {
struct App;
// The blocked-channel list of "BADCHAN.DAT": its text, empty when the file is missing.
// Returns false when the file exists but cannot be read.
bool ReadBlockedChannelFile(App& app, QString& text);
// Appends channel n (when n > 0) and writes "BADCHAN.DAT" when n > 0 or a scan runs.
void SaveBlockedChannels(App& app, int channel);
// Sorts the list and fills the scan results window.
void ShowScanReport(App& app);
// "Clear + search": the old list becomes "badchan.old".
void ClearBlockedChannels(App& app);
void ScanFrm_PrintClick(App& app);
void ScanFrm_OkClick(App& app);
}  // namespace celvio
