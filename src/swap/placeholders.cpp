// Placeholder: the swap workflow, records and service point data are not built yet.
#include "core/app.h"
#include "swap/swap.h"

namespace celvio {

void LoadServiceData(App&) {}
void AskTestCustomerData(App&) {}
void AskSwapCustomerData(App&) {}
void SwapInSwapMode(App&) {}
void SwapAfterFailedTest(App&) {}
void EnterServicePointData(App&) {}

}  // namespace celvio
