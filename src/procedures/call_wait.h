// The wait for a call action of the tester (location update, call from or to the
// phone) with a countdown on the main window's progress bar.
#pragma once

#include <functional>

namespace celvio {

struct App;

enum class CallWaitEnd { Answered, TimedOut, Stopped };

// The bit of the tester's questionable status that says the registration or the call
// it waited for failed.
constexpr int kCallFailedBit = 512;

// Seconds since midnight, with fractions.
double SecondsSinceMidnight(App& app);

// Waits in steps of one clock second until the tester has sent something, the
// operator has stopped the cycle, or `timeoutSeconds` - 1 seconds have passed since
// `startSeconds` (SecondsSinceMidnight, also across midnight); a time-out wins over
// an answer of the same step. Each step moves the
// progress bar on: yellow at half the time, red at three quarters, and never full.
// `eachStep` runs once per step with the step number (for animated pictures).
CallWaitEnd WaitForCallAction(App& app, int timeoutSeconds, double startSeconds,
                              const std::function<void(int step)>& eachStep = {});

}  // namespace celvio
