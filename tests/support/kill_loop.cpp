#include "support/kill_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <random>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace celvio::testing {

namespace {

using Clock = std::chrono::steady_clock;

bool ReadAll(int fd, void* data, size_t size)
{
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::read(fd, p, size);
        if (n <= 0)
            return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

void WriteAll(int fd, const void* data, size_t size)
{
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n <= 0)
            return;
        p += n;
        size -= size_t(n);
    }
}

// Forks a child that says it is ready, runs `write` and sends its elapsed time in
// nanoseconds. With delayUs >= 0 the child is killed that long after it said it was
// ready. Returns the elapsed time (-1 when killed before it was sent); `killed` tells
// whether SIGKILL ended it.
long long RunChild(const std::function<void()>& write, long long delayUs, bool& killed)
{
    killed = false;
    int fds[2];
    if (::pipe(fds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return -1;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ADD_FAILURE() << "fork failed";
        ::close(fds[0]);
        ::close(fds[1]);
        return -1;
    }
    if (child == 0) {
        ::close(fds[0]);
        const char ready = 'r';
        WriteAll(fds[1], &ready, 1);
        const auto start = Clock::now();
        write();
        const long long ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
        WriteAll(fds[1], &ns, sizeof ns);
        ::_exit(0);
    }
    ::close(fds[1]);
    char ready = 0;
    const bool started = ReadAll(fds[0], &ready, 1);
    if (started && delayUs >= 0) {
        // A sleep, not a busy wait: on a machine with few cores a spinning parent would
        // keep the child from running, and most kills would land before the write.
        // (The timer slack is set to 1 ns, so the sleep ends within microseconds.)
        const timespec pause{time_t(delayUs / 1000000), long(delayUs % 1000000) * 1000};
        ::clock_nanosleep(CLOCK_MONOTONIC, 0, &pause, nullptr);
        ::kill(child, SIGKILL);
    }
    long long ns = -1;
    if (!ReadAll(fds[0], &ns, sizeof ns))
        ns = -1;
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) {
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        killed = true;
    } else {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the writer's child failed";
    }
    return ns;
}

}  // namespace

QString KillLoopStats::Summary() const
{
    return QStringLiteral("%1 runs in %2 s, span %3 us: %4 killed; old %5, between %6, new %7, cut in a line %8")
        .arg(runs)
        .arg(seconds, 0, 'f', 2)
        .arg(spanUs)
        .arg(killed)
        .arg(old)
        .arg(between)
        .arg(done)
        .arg(cut);
}

unsigned KillLoopSeed()
{
    if (const char* text = std::getenv("CELVIO_KILL_SEED"); text != nullptr && *text != '\0')
        return unsigned(std::strtoul(text, nullptr, 10));
    return unsigned(Clock::now().time_since_epoch().count());
}

KillLoopStats RunKillLoop(int runs, unsigned seed, const std::function<void()>& prepare,
                          const std::function<void()>& write, const std::function<KillOutcome()>& check)
{
    KillLoopStats stats;
    const auto start = Clock::now();
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    bool killed = false;
    // The span: the median of five uninterrupted runs (one slow sync to disk must not
    // stretch it so far that most kills come after the write).
    std::vector<long long> spans;
    for (int i = 0; i < 5; ++i) {
        prepare();
        const long long ns = RunChild(write, -1, killed);
        EXPECT_GE(ns, 0) << "an uninterrupted write did not finish";
        spans.push_back((ns + 999) / 1000);
        EXPECT_EQ(check(), KillOutcome::New) << "an uninterrupted write";
    }
    std::sort(spans.begin(), spans.end());
    stats.spanUs = spans[spans.size() / 2];
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<long long> delay(0, std::max(1LL, stats.spanUs * 6 / 5));
    for (int run = 0; run < runs; ++run) {
        SCOPED_TRACE(::testing::Message() << "run " << run << " of seed " << seed);
        prepare();
        RunChild(write, delay(random), killed);
        stats.runs++;
        stats.killed += killed ? 1 : 0;
        switch (check()) {
        case KillOutcome::Old: stats.old++; break;
        case KillOutcome::Between: stats.between++; break;
        case KillOutcome::New: stats.done++; break;
        case KillOutcome::Cut: stats.cut++; break;
        }
        if (::testing::Test::HasFailure())
            break;  // one failure with its seed and run says enough
    }
    stats.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return stats;
}

}  // namespace celvio::testing
