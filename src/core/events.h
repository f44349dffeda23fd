// Letting the user interface run while the program works or waits.
#pragma once

#include <chrono>

namespace celvio {

struct App;

// How long one turn of a polling wait may block for events. Short enough that the
// clock-based waits stay exact, long enough that waiting costs next to no CPU.
inline constexpr std::chrono::milliseconds kPollWait{10};

// Lets pending events run without blocking; cheap enough to call on every line of a
// file walk. Then runs the actions that the windows queued (menus, keys).
void DoEvents(App& app);

// One turn of a polling wait: blocks up to kPollWait for an event, then runs the
// queued actions. Every loop that waits for the operator, the tester or the clock
// calls this instead of DoEvents.
void WaitEvents(App& app);

// Runs the queued window actions (quit question, STOP, help, coupler menu, window
// buttons). Not re-entrant: an action that waits does not start the next one.
void RunPendingUiActions(App& app);

}  // namespace celvio
