// Placeholder: the help window is not built yet.
#include "core/app.h"
#include "ui/help.h"

namespace celvio {

void ShowHelp(App&) {}

}  // namespace celvio
