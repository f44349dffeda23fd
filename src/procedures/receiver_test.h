// The receiver test: the RX level and quality that the phone reports.
#pragma once

#include "record/cycle_record.h"

#include <QList>
#include <QString>

namespace celvio {

struct App;

// Reads the reported RX level and quality of the first band, in the column of TxStep
// (a reading stopped before its answer is left out).
QList<MeasuredReading> ReceiverTest(App& app);

// The same on the second band.
QList<MeasuredReading> ReceiverTestSecondBand(App& app, const QString& band);

}  // namespace celvio
