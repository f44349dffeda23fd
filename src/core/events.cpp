#include "core/events.h"

#include "core/app.h"
#include "core/window_actions.h"

namespace celvio {

void DoEvents(App& app)
{
    app.ui.ProcessEvents(0);
    RunPendingUiActions(app);
}

void WaitEvents(App& app)
{
    app.ui.ProcessEvents(kPollWaitMs);
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
        RunUiAction(app, action);
    }
}

}  // namespace celvio
