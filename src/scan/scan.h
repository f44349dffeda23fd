// The channel scan of a SCAN cycle, from its first log line to the operator's "&Done".
#pragma once

#include "core/codes.h"

namespace celvio {
struct App;
// The channel scan, one scan (OneScan) or continuous (any other mode). Scans pass after pass, blocks the channels
// that real networks use, writes "BADCHAN.DAT" and "scan.log", shows the result and
// waits for "&Done". Returns 0, or 2 when "BADCHAN.DAT" could not be read (no scan);
// the caller repeats it while it returns 1.
int RunScan(App& app, CycleMode mode);
}  // namespace celvio
