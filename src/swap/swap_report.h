// The one-page report handed to the customer with the new phone.
#pragma once

#include "results/printed_report.h"

#include <QString>

namespace celvio {

struct App;
struct CycleRecord;

// One line of a swap report at the margin column (LEFTMARGIN); 0 or the printer's error.
inline int PrintIndented(App& app, Printer& printer, const QString& text)
{
    return PrintLine(app, printer, text);
}

// A result line of a swap report: the label at the margin column and the result mark
// of its colour at column 40, as in the printed test report.
inline int PrintResultLine(App& app, Printer& printer, const QString& label, Colour colour)
{
    return PrintVerdictRow(app, printer, label, colour);
}

// The report of an exchange in SWAP mode.
void PrintDirectSwapReport(App& app);

// The report of an exchange after a failed test: tester identity and the results of
// `test`, ending "FAILED => SWAP".
void PrintFailedTestSwapReport(App& app, const CycleRecord& test);

}  // namespace celvio
