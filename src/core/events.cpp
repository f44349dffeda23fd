#include "core/events.h"

#include "core/app.h"

#include <algorithm>

namespace celvio {

void DoEvents(App& app)
{
    app.ui.ProcessEvents(std::chrono::milliseconds{0});
    RunPendingUiActions(app);
}

void WaitEvents(App& app)
{
    app.ui.ProcessEvents(kUntilEvent);
    RunPendingUiActions(app);
}

void WaitEventsUntil(App& app, qint64 deadlineMs)
{
    // At least a millisecond, so that a deadline just passed still yields one turn.
    const qint64 left = std::max<qint64>(deadlineMs - app.ui.MonotonicMs(), 1);
    app.ui.ProcessEvents(std::chrono::milliseconds{left});
    RunPendingUiActions(app);
}

void RunPendingUiActions(App& app)
{
    if (app.RunningActions)
        return;
    app.RunningActions = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{app.RunningActions};
    while (!app.PendingActions.empty()) {
        const UiAction action = app.PendingActions.front();
        app.PendingActions.pop_front();
        if (app.Hooks.WindowAction)
            app.Hooks.WindowAction(app, action);
    }
}

}  // namespace celvio
