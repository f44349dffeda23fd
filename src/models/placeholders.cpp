// Placeholder: the TAC lookup, model database and positioning instruction are not
// built yet. These stand-ins find no model.
#include "core/app.h"
#include "models/model_lookup.h"

namespace celvio {

bool LookupPhoneModel(App&, const QString&) { return false; }
void ShowPositioningInstruction(App&) {}

}  // namespace celvio
