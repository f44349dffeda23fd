// The start-up procedure and the endless loop of cycles.
#pragma once

namespace celvio {

struct App;

// Runs start-up and then cycle after cycle; leaves only by ProgramEnd (the quit path).
[[noreturn]] void Main(App& app);

}  // namespace celvio
