// The test report on paper: the stored result file line by line (a failed test), or a
// formatted report with one verdict word per test (a passed test). Both go to the
// default printer in a fixed-pitch font, every line starting at the LEFTMARGIN column.
#pragma once

#include "platform/forms.h"

#include <QString>

namespace celvio {

struct App;
struct CycleRecord;
class Printer;

// The word that a printed report shows for a result cell of this colour.
QString VerdictWord(Colour colour);

// Prints the file at ResultFilePath, breaking the page after a line with "PAGE 1 of".
// Without test results says so instead.
void PrintResultFile(App& app);

// Prints the formatted report of the cycle's record.
void PrintTestReport(App& app, const CycleRecord& record);

// One line at the margin column: the label, then the verdict word at column 40. With
// `beforeBracket` only the label's part before its first "(" is printed.
int PrintVerdictRow(App& app, Printer& printer, const QString& label, Colour colour, bool beforeBracket = false);

// The test result section of the printed reports (channel, level, calls, channel
// blocks of each band) of a record; false when the printer failed.
bool PrintTestResults(App& app, Printer& printer, const CycleRecord& record);

// One line at the margin column.
int PrintLine(App& app, Printer& printer, const QString& text);

}  // namespace celvio
