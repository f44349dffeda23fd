// Placeholder: the swap workflow, records and service point data are not built yet.
#include "core/app.h"
#include "swap/swap.h"

namespace celvio {

void SwapInSwapMode(App&) {}
void SwapAfterFailedTest(App&) {}

}  // namespace celvio
