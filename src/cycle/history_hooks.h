// Keeps the station's history index up to date from the program: at start-up (every
// file's size and time) and after each cycle's files are written (the folders that
// changed). The index is a copy of the files: an error is traced and the cycle goes on.
#pragma once

namespace celvio {

struct App;

// Brings the index of the station's history up to date. `everyFile` compares every
// file (start-up); otherwise only folders whose time changed are read. Never fails.
// Then, when the station has a head office (HEADOFFICE.INI), starts a push.
void UpdateHistoryIndex(App& app, bool everyFile);

// Starts `celvio-history push` as a child process, unless one is still running: the
// program goes on at once, and the outcome is traced when the child ends. A push that
// runs far too long is ended at the next start. Does nothing without HEADOFFICE.INI.
void StartHeadOfficePush(App& app);

}  // namespace celvio
