// How much CPU the program burns while it waits, measured as it runs: the Qt platform
// with all its windows attached (offscreen) and the main window shown.
//  1. The tester wait: ReadAnswer on a real serial line (a pseudo-terminal) whose far
//     end stays silent for a while and then answers.
//  2. The operator wait: a wait for a button that the operator presses after a while.
// For each: the CPU time as a share of one core, and how often the program woke up
// (voluntary context switches) per second. Goal: at most 1 % of a core (a spinning
// poll takes 100 %). Exit code 1 when a goal is missed.
//
// Usage: bench_readanswer_cpu [seconds]   (default 3)

#include "core/app.h"
#include "core/events.h"
#include "shell/qt/qt_platform.h"
#include "platform/serial_port.h"
#include "tester/transport.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

struct Usage {
    double cpuSeconds = 0;
    long wakeUps = 0;
    std::chrono::steady_clock::time_point wall;
};

Usage Now()
{
    rusage ru{};
    getrusage(RUSAGE_THREAD, &ru);
    Usage u;
    u.cpuSeconds = double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    u.wakeUps = ru.ru_nvcsw;
    u.wall = std::chrono::steady_clock::now();
    return u;
}

struct Figures {
    double cpuPercent = 0;
    double wakeUpsPerSecond = 0;
    double seconds = 0;
};

Figures Between(const Usage& a, const Usage& b)
{
    Figures f;
    f.seconds = std::chrono::duration<double>(b.wall - a.wall).count();
    f.cpuPercent = 100.0 * (b.cpuSeconds - a.cpuSeconds) / f.seconds;
    f.wakeUpsPerSecond = double(b.wakeUps - a.wakeUps) / f.seconds;
    return f;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 2;
    }
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    qputenv("CELVIO_COM1", ttyname(slave));

    QTemporaryDir dir;
    celvio::QtPlatform platform(dir.path());
    celvio::App app(platform, dir.path());
    platform.AttachViews(app);
    app.Form1.Visible = true;
    app.Form1.Label4.Caption = QStringLiteral("Select mode");
    app.Form1.Label4.Visible = true;
    celvio::SerialPort& port = platform.Comm1();
    port.SetCommPort(1);
    port.SetSettings(QStringLiteral("19200,N,8,1"));
    port.SetHandshaking(true);
    if (port.Open() != 0) {
        std::fprintf(stderr, "cannot open the pseudo-terminal\n");
        return 2;
    }
    celvio::DoEvents(app);  // the windows are drawn before the measurement

    // 1. The tester wait. The far end answers after the silent period, from a thread.
    std::thread peer([master, seconds] {
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const char answer[] = "0,\"No error\"\r\n";
        if (write(master, answer, sizeof answer - 1) < 0)
            std::perror("write");
    });
    const Usage testerStart = Now();
    celvio::SendCommand(app, QStringLiteral("SYST:ERR?"));
    const QString answer = celvio::ReadAnswer(app);
    const Figures tester = Between(testerStart, Now());
    peer.join();
    if (answer != QStringLiteral("0,\"No error\"\r\n")) {
        std::fprintf(stderr, "unexpected answer\n");
        return 2;
    }

    // 2. The operator wait: the button is pressed after the same time (a timer stands
    // in for the click).
    app.st.Command2Pressed = celvio::kFalse;
    QTimer::singleShot(std::chrono::seconds(seconds), [&app] { app.st.Command2Pressed = celvio::kTrue; });
    const Usage operatorStart = Now();
    while (app.st.Command2Pressed != celvio::kTrue)
        celvio::WaitEvents(app);
    const Figures op = Between(operatorStart, Now());

    port.Close();
    close(master);
    close(slave);
    std::printf("tester wait:   %.2f s, %.2f %% of one core, %.1f wake-ups/s (goal <= 1 %%)\n", tester.seconds,
                tester.cpuPercent, tester.wakeUpsPerSecond);
    std::printf("operator wait: %.2f s, %.2f %% of one core, %.1f wake-ups/s (goal <= 1 %%)\n", op.seconds,
                op.cpuPercent, op.wakeUpsPerSecond);
    std::printf("FIGURE tester_wait_cpu_pct %.2f\nFIGURE tester_wait_wakeups %.1f\n"
                "FIGURE operator_wait_cpu_pct %.2f\nFIGURE operator_wait_wakeups %.1f\n",
                tester.cpuPercent, tester.wakeUpsPerSecond, op.cpuPercent, op.wakeUpsPerSecond);
    return tester.cpuPercent <= 1.0 && op.cpuPercent <= 1.0 ? 0 : 1;
}
