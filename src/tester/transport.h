// The command transport to the tester: one command line out, one answer line back.
#pragma once

#include <QString>
#include <chrono>

namespace celvio {

struct App;

// How long ReadAnswer waits for the line end of an answer.
inline constexpr std::chrono::seconds kAnswerTimeout{180};

// Traces the command, writes it with CR LF appended in one write, lets events run once.
void SendCommand(App& app, const QString& command);

// Waits for an answer line (up to kAnswerTimeout) and returns everything received,
// CR LF and anything after it included. After a time-out: one message box, one trace
// line, and whatever arrived (possibly nothing).
QString ReadAnswer(App& app);

}  // namespace celvio
