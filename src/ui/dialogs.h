// The main window between and at the start of cycles: the title screen, the mode and
// system dialogs, the About box and the quit question.
#pragma once

#include "core/codes.h"

namespace celvio {
struct App;
// The idle screen between cycles.
void ShowTitle(App& app);
// The mode dialog: Test, ContinuousScan for SCAN (the scan-mode question comes later) or Swap.
CycleMode SelectMode(App& app);
// The system dialog, in the words of the mode (the new phone's system for Swap); sets
// SystemCode and SystemChoice.
void SelectSystem(App& app, CycleMode mode);
// "Do you really want to quit the program?"; Yes shuts the tester down and ends.
void QuitQuestion(App& app);
// The About box.
void ShowAbout(App& app);
}  // namespace celvio
