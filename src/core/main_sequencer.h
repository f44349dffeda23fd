// The start-up procedure and the endless loop of test cycles.
#pragma once

#include <QString>

namespace celvio {

struct App;

// Runs start-up and then cycle after cycle; leaves only by ProgramEnd (the quit path).
[[noreturn]] void Main(App& app);

// The summary text of an entry 1..6 in the current language (1 English, 2 German;
// no language gives empty texts).
QString SummaryText(const App& app, int entry);

}  // namespace celvio
