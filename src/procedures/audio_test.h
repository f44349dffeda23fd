// The speech loop-back test, judged by ear.
#pragma once

#include <QString>

namespace celvio {

struct App;

// Switches the speech loop-back on and asks whether the echo is heard; a reported RX
// level `rxLevelText` of 64 or more counts as not heard. Verdict Aborted when not heard.
void AudioTest(App& app, const QString& rxLevelText);

}  // namespace celvio
