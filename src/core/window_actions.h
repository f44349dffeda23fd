#pragma once
#include "core/app.h"
namespace celvio {
// Carries out one action that a window queued.
void RunUiAction(App& app, UiAction action);
}  // namespace celvio
