// Letting the user interface run while the program works or waits.
#pragma once

#include <QtGlobal>

namespace celvio {

struct App;

// Lets pending events run without blocking; cheap enough to call on every line of a
// file walk. Then runs the actions that the windows queued (menus, keys).
void DoEvents(App& app);

// One turn of a wait for the operator or the tester: sleeps until something happens
// (a click, a key, a menu, serial data, a lost port), lets it run, then runs the
// queued window actions. It does not wake by itself: a loop whose condition also
// depends on the clock uses WaitEventsUntil.
void WaitEvents(App& app);

// The same, but wakes at the latest at `deadlineMs` of the platform's monotonic clock.
void WaitEventsUntil(App& app, qint64 deadlineMs);

// Runs the queued window actions (quit question, STOP, help, coupler menu, window
// buttons). Not re-entrant: an action that waits does not start the next one.
void RunPendingUiActions(App& app);

}  // namespace celvio
