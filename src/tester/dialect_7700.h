// The command texts of the 7700 family of testers (7703S and its kin).
#pragma once

#include "tester/tester_dialect.h"

namespace celvio {

const TesterDialect& Dialect7700();

}  // namespace celvio
