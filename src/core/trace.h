// The service trace: every command and answer, button presses and notable events,
// held in the trace window's list and appended to "DEBUG.LOG". Active only when the
// marker file "DEBUGPM.INI" existed at start-up (DebugMode).
#pragma once

#include <QString>

namespace celvio {

struct App;

// The list index after which the buffer is saved and emptied: 10003 lines.
inline constexpr int kTraceAutosaveIndex = 10001;

// Appends one line to the trace; does nothing unless DebugMode is true.
void TraceLine(App& app, const QString& line);

// Appends every buffer line to "DEBUG.LOG" in the station directory; the buffer stays.
void SaveDebugLog(App& app);

// The trace window's buttons.
void DebugFrm_PrintClick(App& app);
void DebugFrm_SaveClick(App& app);
void DebugFrm_ClearClick(App& app);

}  // namespace celvio
