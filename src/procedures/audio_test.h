// The speech loop-back test, judged by ear.
#pragma once

#include "record/cycle_record.h"

#include <QList>
#include <QString>

namespace celvio {

struct App;

// Switches the speech loop-back on and asks whether the echo is heard; an RX level
// cell `rxLevelText` (as the result page shows it) that begins with 64 or more counts
// as not heard. Verdict Aborted when not heard. Returns the loop-back's reading (none
// after a stop).
QList<MeasuredReading> AudioTest(App& app, const QString& rxLevelText);

}  // namespace celvio
