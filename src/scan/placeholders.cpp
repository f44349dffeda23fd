// Placeholder: the scan engine is not built yet.
#include "core/app.h"
#include "scan/scan.h"

namespace celvio {

int RunScan(App&, int) { return 0; }

}  // namespace celvio
