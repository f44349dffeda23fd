// The command transport to the tester: one command line out, one answer line back.
#pragma once

#include "tester/tester_dialect.h"

#include <QString>
#include <QStringList>
#include <chrono>

namespace celvio {

struct App;

// How long ReadAnswer waits for the line end of an answer.
inline constexpr std::chrono::seconds kAnswerTimeout{180};
// The longest answer line read: a tester that sends more without a line end is
// streaming garbage, and its answer counts as none.
inline constexpr qsizetype kMaxAnswerBytes = 64 * 1024;
// After such an answer, what the tester still sends is thrown away until the line has
// been quiet this long, so that the answers that follow are read in step again.
inline constexpr std::chrono::milliseconds kQuietAfterOverlong{500};

// The plain pause that gives the tester time to carry out a setting before the
// status query that follows it.
inline constexpr std::chrono::milliseconds kSettlePause{100};

// Traces the command, writes it with CR LF appended in one write, lets events run once.
void SendCommand(App& app, const QString& command);

// The dialect of the tester on the line: the family of the model it identified itself
// as (TesterModel), the registry's first family before that.
const TesterDialect& ActiveDialect(const App& app);
// The line for `op` in the active dialect, for a caller that also shows or traces it.
QString CommandText(const App& app, TesterOp op, const QStringList& args = {});
// Sends the line for `op` in the active dialect (SendCommand).
void Send(App& app, TesterOp op, const QStringList& args = {});

// Waits for an answer line (up to kAnswerTimeout) and returns everything received,
// CR LF and anything after it included. After a time-out: one message box, one trace
// line, and whatever arrived (possibly nothing). An answer longer than kMaxAnswerBytes
// without a line end is dropped with the rest of its flood: one message box, one trace
// line, an empty result. On a port that is closed, or that is lost while waiting, it
// returns at once with what it has.
QString ReadAnswer(App& app);

// True while the tester's port is open. When the port went away under the program
// (a USB adapter pulled), the loss is reported here, once: a message box and a trace
// line naming the port and the error.
bool TesterPortAlive(App& app);

}  // namespace celvio
