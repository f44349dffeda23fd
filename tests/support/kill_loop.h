// A writer killed at random moments: a forked child runs it, the parent sends SIGKILL
// after a random delay in microseconds over the span an uninterrupted write takes,
// then checks what the disk holds. The seed is printed so a failure can be replayed
// (CELVIO_KILL_SEED=<seed>).
#pragma once

#include <QString>
#include <functional>

namespace celvio::testing {

// What a check found on the disk after a run.
enum class KillOutcome {
    Old,      // nothing of the write had reached its file
    Between,  // some of several writes in a row had finished
    New,      // every write had finished
    Cut,      // an append was cut off inside a line (only where a long write was killed)
};

struct KillLoopStats {
    int runs = 0;
    int killed = 0;      // the child died of SIGKILL (the rest ran to their end first)
    int old = 0, between = 0, done = 0, cut = 0;
    long long spanUs = 0;  // the median of the uninterrupted calibration runs
    double seconds = 0;    // the whole loop, calibration included
    QString Summary() const;
};

// The seed of a loop: CELVIO_KILL_SEED when it is set, otherwise taken from the clock.
unsigned KillLoopSeed();

// `runs` times: prepare() here, write() in a forked child (which then ends with
// _exit(0), so no destructor of the parent's objects runs there), SIGKILL after a
// random delay, and check() here. The delay is uniform over 0 .. 1.2 x the median of
// five uninterrupted runs, so most kills land inside the write and some after it.
KillLoopStats RunKillLoop(int runs, unsigned seed, const std::function<void()>& prepare,
                          const std::function<void()>& write, const std::function<KillOutcome()>& check);

}  // namespace celvio::testing
