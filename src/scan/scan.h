// The channel scan of a SCAN cycle, from its first log line to the operator's "&Done".
#pragma once
namespace celvio {
struct App;
// The channel scan: 1 one scan, 2 continuous. Scans pass after pass, blocks the channels
// that real networks use, writes "BADCHAN.DAT" and "scan.log", shows the result and
// waits for "&Done". Returns 0, or 2 when "BADCHAN.DAT" could not be read (no scan);
// the caller repeats it while it returns 1.
int RunScan(App& app, int mode);
}  // namespace celvio
