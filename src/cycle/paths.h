// The paths of one cycle, as the cycle loop calls them: the start of a cycle and the
// mode dialog, then the SWAP, SCAN or TEST path, and how the cycle ends.
#pragma once

#include "core/codes.h"
#include "record/cycle_record.h"

#include <QList>
#include <QString>

namespace celvio {

struct App;

// How a cycle ends: normally after the verdict (R1), or early from a step (R2).
enum class CycleEnd { Normal, Early };

// One cycle, steps 1 to 26: starts the cycle's group of the station state and its
// record afresh, asks for the mode and runs its path.
CycleEnd RunCycle(App& app);

// The SWAP path (step 7): service point data, the new phone's system, the exchange.
CycleEnd RunSwapPath(App& app);

// The SCAN path: the scan questions (step 8; the scan-mode question picks OneScan or
// ContinuousScan), the phone steps with the scan retry, then the scan engine until it
// is done (step 17).
CycleEnd RunScanPath(App& app, CycleRecord& record);

// The TEST path: customer data (step 9), the phone steps, the measurements and the
// verdict (steps 18 to 26). What the procedures measure goes into `record`.
CycleEnd RunTestPath(App& app, CycleRecord& record);

// How the phone steps ended.
enum class PhoneStepsEnd {
    Ready,          // the phone is identified: go on with the mode's own steps
    Early,          // a stop or a refused retry ends the cycle
    KeypadFailed,   // TEST: the call from the phone did not come; straight to the verdict
};

// Steps 10 to 16, the same for TEST and SCAN: the system and band, the network search
// with its retry, the keypad or mobile call (in SCAN mode with the retry on another
// control channel), the phone's identity and its model.
PhoneStepsEnd RunPhoneSteps(App& app, CycleMode cycleMode, CycleRecord& record);

// Steps 24 to 26: the tester reset, the verdict screen, then the swap offer for a
// failed phone or the record of a passed one.
CycleEnd RunVerdict(App& app, CycleRecord& record);

// The station state's facts of the cycle taken into its record (TakeStationFacts),
// and the record shown on the result pages.
void ShowRecord(App& app, CycleRecord& record);

// Stores what a procedure returned into the record and shows it.
void StoreAndShow(App& app, CycleRecord& record, const QList<MeasuredReading>& readings);

// True when the operator has stopped the cycle.
bool Stopped(const App& app);

// The summary text of an entry 1..6 in the current language (1 English, 2 German;
// no language gives empty texts).
QString SummaryText(const App& app, int entry);

}  // namespace celvio
