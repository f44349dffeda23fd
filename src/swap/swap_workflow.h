// The exchange of a faulty phone for a new one: in SWAP mode (the old IMEI typed in)
// or after a failed test (the old IMEI just read), with the checks on the new phone.
#pragma once

namespace celvio {

struct App;
struct CycleRecord;

// The questions of the exchange.
enum class SwapQuestion {
    SwapFailedPhone = 0,  // swap the phone that failed its test? (with the comment box)
    NewImeiNotRead = 1,   // the new phone's IMEI was not read: once more, or type it in
    OtherModel = 2,       // the new phone is another type of phone
    SamePhone = 3,        // the old phone was put in again
};

// Asks a question of the exchange. True for the first button; false for the second
// button or STOP.
bool AskSwapQuestion(App& app, SwapQuestion kind);

// Reads the new phone until one with another IMEI is accepted; false on STOP.
// `swapMode` shows the help topics of SWAP mode.
bool ReadNewPhone(App& app, bool swapMode);

// At the start of a SWAP cycle at a station that keeps no swap records (not a
// service point): tells the operator so, once, and traces it.
void TellNoSwapRecords(App& app);

// The exchange in SWAP mode: the old phone's IMEI, then the new phone, the direct swap
// file, the report and the records.
void SwapInSwapMode(App& app);

// Offers the exchange of a phone that failed its test at a service point; records
// "FAIL" when declined or stopped at the question. The swap report shows the results
// of `test`, the record of the cycle.
void SwapAfterFailedTest(App& app, const CycleRecord& test);

}  // namespace celvio
