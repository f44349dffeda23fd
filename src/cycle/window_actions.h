// What the windows ask for outside the steps of a cycle (menus, keys, the side
// windows' buttons), and the hooks through which the lower layers reach the flow.
#pragma once
#include "core/app.h"
namespace celvio {
// Carries out one action that a window queued.
void RunUiAction(App& app, UiAction action);
// Installs the flow's hooks in the App: the window actions that every wait runs, and
// the swap archive and service point data behind the set-up screens' buttons.
void InstallProgramFlow(App& app);
}  // namespace celvio
