// The phones a trainee can put in the simulated tester's coupler, with plain names,
// the scenario file behind each and what the trainee should see.
#pragma once

#include <QString>

namespace celvio {

struct TrainingChoice {
    const char* Name;         // the menu entry
    const char* Description;  // what the trainee should see, one line
    const char* Scenario;     // the scenario file in the training scenarios' folder
};

inline constexpr int kTrainingChoiceCount = 10;

// Choice 0..9; the first is the good phone that every training session starts with.
const TrainingChoice& TrainingChoiceAt(int index);

// The installed folder of the training scenarios (share/celvio/scenarios/training
// beside the program's bin folder), else the source tree's of a build not installed.
QString TrainingScenarioDirectory(const QString& programDirectory);

}  // namespace celvio
