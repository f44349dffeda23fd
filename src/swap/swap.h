// The exchange of a faulty phone: service point and customer data, the swap itself
// (in SWAP mode and after a failed test), the swap records and their archive, and the
// swap reports.
#pragma once

#include "swap/service_data.h"
#include "swap/swap_records.h"
#include "swap/swap_report.h"
#include "swap/swap_workflow.h"
