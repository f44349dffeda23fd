#include "procedures/call_wait.h"

#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "platform/serial_port.h"

#include <cmath>

namespace celvio {

double SecondsSinceMidnight(App& app)
{
    return app.ui.Now().time().msecsSinceStartOfDay() / 1000.0;
}

CallWaitEnd WaitForCallAction(App& app, int timeoutSeconds, double startSeconds,
                              const std::function<void(int step)>& eachStep)
{
    ProgressBar& bar = app.Form1.Progress;
    int step = 0;
    for (;;) {
        WaitSeconds(app, 1);
        DoEvents(app);
        if (app.st.StopRequested == kTrue)
            return CallWaitEnd::Stopped;

        ++step;
        bar.Value = step;
        if (step == int(timeoutSeconds * 0.5)) {
            bar.Color = kYellow;
        } else if (step == int(timeoutSeconds * 0.75)) {
            bar.Color = kRed;
        } else if (step == timeoutSeconds) {
            --step;  // the bar never quite fills
            bar.Value = step;
        }

        double now = SecondsSinceMidnight(app);
        if (startSeconds > now)
            now += 86400;  // the clock passed midnight
        const bool timedOut = std::floor(now - startSeconds + 0.5) >= timeoutSeconds - 1;

        if (eachStep)
            eachStep(step);
        DoEvents(app);
        if (app.st.StopRequested == kTrue)
            return CallWaitEnd::Stopped;
        // A time-out counts even when the answer arrived in the same second.
        if (timedOut)
            return CallWaitEnd::TimedOut;
        if (app.ui.Comm1().InBufferCount() > 0)
            return CallWaitEnd::Answered;
    }
}

}  // namespace celvio
