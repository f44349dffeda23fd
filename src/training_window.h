// The training program's windows: a banner on every window, the title of the main
// window, and the "Training" menu that chooses the simulated phone of the next cycle.
#pragma once

#include <QString>

class QMainWindow;

namespace celvio {

struct App;
class TrainingSession;

// "TRAINING - simulated tester", or "SCHULUNG - simulierter Tester" in German.
QString TrainingBanner(const App& app);

// Puts the banner on every window that the application shows from now on (the main
// window, the side windows, message boxes in their titles), the banner into the main
// window's title, and the "Training" menu into the main window's menu bar.
void InstallTrainingWindows(App& app, TrainingSession& session, QMainWindow& mainWindow);

}  // namespace celvio
