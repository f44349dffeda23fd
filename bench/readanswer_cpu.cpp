// How much CPU the program burns while it waits for the tester: ReadAnswer on a
// real serial line (a pseudo-terminal) whose far end stays silent for a while and
// then answers. Prints the CPU time used during the wait as a share of one core.
// Goal: at most 2 % (a spinning poll takes 100 %). Exit code 1 when the goal is missed.
//
// Usage: bench_readanswer_cpu [silent-seconds]   (default 3)

#include "core/app.h"
#include "platform/qt/qt_platform.h"
#include "platform/serial_port.h"
#include "tester/transport.h"

#include <QApplication>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int silentSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

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
    celvio::SerialPort& port = platform.Comm1();
    port.SetCommPort(1);
    port.SetSettings(QStringLiteral("19200,N,8,1"));
    port.SetHandshaking(true);
    if (port.Open() != 0) {
        std::fprintf(stderr, "cannot open the pseudo-terminal\n");
        return 2;
    }

    // The far end answers after the silent period, from a thread of its own.
    std::thread peer([master, silentSeconds] {
        std::this_thread::sleep_for(std::chrono::seconds(silentSeconds));
        const char answer[] = "0,\"No error\"\r\n";
        if (write(master, answer, sizeof answer - 1) < 0)
            std::perror("write");
    });

    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = ThreadCpuSeconds();
    celvio::SendCommand(app, QStringLiteral("SYST:ERR?"));
    const QString answer = celvio::ReadAnswer(app);
    const double cpu = ThreadCpuSeconds() - cpuStart;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    peer.join();
    port.Close();
    close(master);
    close(slave);

    const double share = 100.0 * cpu / wall;
    std::printf("ReadAnswer waited %.2f s for a silent tester, using %.3f s CPU: %.2f %% of one core (goal <= 2 %%)\n",
                wall, cpu, share);
    if (answer != QStringLiteral("0,\"No error\"\r\n")) {
        std::fprintf(stderr, "unexpected answer\n");
        return 2;
    }
    return share <= 2.0 ? 0 : 1;
}
