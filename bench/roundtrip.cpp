// The program's share of a command round trip: "*STB?" and its answer over a real
// pseudo-terminal to the tester simulator (celvio-testersim, answer latency 0), with
// all windows attached (offscreen), first without and then with the trace window
// visible. A pty moves bytes at once, so the whole round trip is overhead of the
// program, the pty and the simulator; it is given as a share of the time the same
// bytes take on the tester's line at 19200 baud (10 bits a character).
// Goal: at most 5 % with the trace window visible. Also prints the peak resident
// memory after the traced round trips (goal: under 60 MB).
//
// Usage: bench_roundtrip [round-trips]   (default 1000)

#include "core/app.h"
#include "shell/qt/qt_platform.h"
#include "platform/serial_port.h"
#include "tester/transport.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr double kLineBitsPerChar = 10.0;  // start bit, 8 data bits, stop bit
constexpr double kBaud = 19200.0;

// Peak resident memory of this process in MB (VmHWM).
double PeakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

struct Result {
    double meanMs = 0;
    double lineMs = 0;
};

Result RoundTrips(celvio::App& app, int count)
{
    std::vector<double> times;
    times.reserve(size_t(count));
    qsizetype bytes = 0;
    for (int i = 0; i < count; ++i) {
        const auto start = std::chrono::steady_clock::now();
        celvio::SendCommand(app, QStringLiteral("*STB?"));
        const QString answer = celvio::ReadAnswer(app);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        bytes = QByteArray("*STB?\r\n").size() + answer.size();
        if (!answer.endsWith(QLatin1String("\r\n")) || answer.count(QLatin1Char('\n')) != 1) {
            std::fprintf(stderr, "unexpected answer '%s'\n", qPrintable(answer));
            std::exit(2);
        }
    }
    Result r;
    double sum = 0;
    for (double t : times)
        sum += t;
    r.meanMs = sum / count;
    r.lineMs = 1000.0 * double(bytes) * kLineBitsPerChar / kBaud;
    return r;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;

    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("link"));
    QProcess sim;
    sim.start(QStringLiteral(CELVIO_TESTERSIM_PATH),
              {QStringLiteral("--link"), link, QStringLiteral("--log"), QStringLiteral("/dev/null"),
               QStringLiteral("--set"), QStringLiteral("tester.latency_min_ms=0"), QStringLiteral("--set"),
               QStringLiteral("tester.latency_max_ms=0")});
    for (int i = 0; i < 100 && !QFileInfo::exists(link); ++i)
        QThread::msleep(20);
    qputenv("CELVIO_COM1", link.toLocal8Bit());

    celvio::QtPlatform platform(dir.path());
    celvio::App app(platform, dir.path());
    platform.AttachViews(app);
    app.Form1.Visible = true;
    app.Form1.Label3.Caption = QStringLiteral("Transmitter Test");
    celvio::SerialPort& port = platform.Comm1();
    port.SetCommPort(1);
    port.SetSettings(QStringLiteral("19200,N,8,1"));
    port.SetHandshaking(true);
    if (port.Open() != 0) {
        std::fprintf(stderr, "cannot open the simulator's line %s\n", qPrintable(link));
        return 2;
    }

    RoundTrips(app, 20);  // warm up
    const Result plain = RoundTrips(app, count);
    app.st.DebugMode = celvio::kTrue;
    app.DebugFrm.Visible = true;
    const Result traced = RoundTrips(app, count);
    const double peak = PeakRssMb();
    port.Close();
    sim.kill();
    sim.waitForFinished();

    const double plainShare = 100.0 * plain.meanMs / plain.lineMs;
    const double tracedShare = 100.0 * traced.meanMs / traced.lineMs;
    std::printf("round trip without trace window: %.3f ms = %.2f %% of the %.2f ms line time at 19200 baud\n",
                plain.meanMs, plainShare, plain.lineMs);
    std::printf("round trip with trace window:    %.3f ms = %.2f %% of the line time (goal <= 5 %%)\n",
                traced.meanMs, tracedShare);
    std::printf("peak resident memory after %d traced round trips: %.1f MB (goal < 60 MB)\n", count, peak);
    std::printf("FIGURE roundtrip_plain_pct %.2f\nFIGURE roundtrip_traced_pct %.2f\nFIGURE peak_rss_mb %.1f\n",
                plainShare, tracedShare, peak);
    return tracedShare <= 5.0 && peak < 60.0 ? 0 : 1;
}
