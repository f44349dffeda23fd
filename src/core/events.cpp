#include "core/events.h"

#include "core/app.h"

namespace celvio {

void DoEvents(App& app)
{
    app.ui.ProcessEvents(std::chrono::milliseconds{0});
    RunPendingUiActions(app);
}

void WaitEvents(App& app)
{
    app.ui.ProcessEvents(kPollWait);
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
