// The main window between and at the start of cycles: the title screen, the mode and
// system dialogs, the About box and the quit question.
#pragma once
namespace celvio {
struct App;
// The idle screen between cycles.
void ShowTitle(App& app);
// The mode dialog: 0 TEST, 2 SCAN, 3 SWAP.
int SelectMode(App& app);
// The system dialog; sets SystemCode and SystemChoice.
void SelectSystem(App& app, int mode);
// "Do you really want to quit the program?"; Yes shuts the tester down and ends.
void QuitQuestion(App& app);
// The About box.
void ShowAbout(App& app);
}  // namespace celvio
