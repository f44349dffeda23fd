// Placeholder: the blocked-channel list and the scan engine are not built yet.
#include "core/app.h"
#include "scan/bad_channels.h"
#include "scan/scan.h"

namespace celvio {

bool ReadBlockedChannelFile(App&, QString& text)
{
    text.clear();
    return true;
}
void SaveBlockedChannels(App&, int) {}
void ShowScanReport(App&) {}
void ClearBlockedChannels(App&) {}
void ScanFrm_PrintClick(App&) {}
void ScanFrm_OkClick(App& app) { app.ScanFrm.Visible = false; }
int RunScan(App&, int) { return 0; }

}  // namespace celvio
