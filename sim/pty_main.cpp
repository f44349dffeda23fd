// celvio-testersim: serves a simulated tester on a pseudo-terminal in real
// time, so the program (or a terminal) can talk to it like to the instrument
// on a serial line.
#include "core/program_options.h"
#include "pty_link.h"
#include "scenario.h"
#include "tester.h"

#include <QFile>
#include <QTextStream>
#include <QTime>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cerrno>

#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

volatile std::sig_atomic_t g_changePhone = 0;

void onSignal(int) { g_stop = 1; }
void onChangePhone(int) { g_changePhone = 1; }

constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;
constexpr int kMaxPollMs = 20;       // longest sleep while nothing is due
constexpr int kWriteStallMs = 2000;  // give up on a client that does not read
constexpr int kVanishGraceMs = 1000; // longest wait for the client to read a last half answer

const char* const kUsage =
    "usage: celvio-testersim --link PATH [--scenario FILE] [--log FILE] [--set key=value]... [--phone-file FILE]\n"
    "       celvio-testersim --version | --help\n"
    "Options take their value as --opt VALUE or --opt=VALUE.\n"
    "  --link PATH      make PATH a symbolic link to the simulated serial port\n"
    "  --scenario FILE  instrument and phone configuration (see man celvio-testersim)\n"
    "  --log FILE       log every received line and every answer here (default: stderr)\n"
    "  --set key=value  override one scenario key; may be repeated\n"
    "  --phone-file FILE  on SIGUSR1, put the phone of this scenario file in the coupler\n"
    "  --version        print the version and end\n"
    "  --help           print this text and end\n"
    "Exit status: 0 ended by a signal, or --help/--version; 1 the pseudo-terminal could\n"
    "not be made; 2 a usage error, a bad scenario or a log that cannot be written.\n";

struct Options {
    QString link;
    QString scenario;
    QString log;
    QStringList sets;
    QString phoneFile;
};

// Returns 0 to go on, -1 after --help or --version, otherwise the exit code.
int parseArguments(int argc, char** argv, Options& o)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    celvio::ProgramOptions options(QStringLiteral("celvio-testersim"));
    options.Add({QStringLiteral("link")}, QStringLiteral("PATH"))
        .Add({QStringLiteral("scenario")}, QStringLiteral("FILE"))
        .Add({QStringLiteral("log")}, QStringLiteral("FILE"))
        .Add({QStringLiteral("set")}, QStringLiteral("key=value"))
        .Add({QStringLiteral("phone-file")}, QStringLiteral("FILE"));
    switch (options.Parse(args)) {
    case celvio::ProgramOptions::Outcome::Help: QTextStream(stdout) << kUsage; return -1;
    case celvio::ProgramOptions::Outcome::Version: QTextStream(stdout) << options.VersionLine(); return -1;
    case celvio::ProgramOptions::Outcome::Usage:
        QTextStream(stderr) << options.Error() << '\n';
        return celvio::kUsageExitCode;
    case celvio::ProgramOptions::Outcome::Run: break;
    }
    if (!options.Positional().isEmpty()) {
        QTextStream(stderr) << "celvio-testersim: unexpected argument '" << options.Positional().constFirst()
                            << "'. Try 'celvio-testersim --help'.\n";
        return celvio::kUsageExitCode;
    }
    o.link = options.Value(QStringLiteral("link"));
    o.scenario = options.Value(QStringLiteral("scenario"));
    o.log = options.Value(QStringLiteral("log"));
    o.sets = options.Values(QStringLiteral("set"));
    o.phoneFile = options.Value(QStringLiteral("phone-file"));
    if (o.link.isEmpty()) {
        QTextStream(stderr) << "celvio-testersim: --link is required\n" << kUsage;
        return celvio::kUsageExitCode;
    }
    return 0;
}

bool buildScenario(const Options& o, sim::Scenario& s, QString* error)
{
    if (!o.scenario.isEmpty() && !sim::Scenario::loadFile(o.scenario, s, error))
        return false;
    for (const QString& kv : o.sets) {
        const qsizetype eq = kv.indexOf(u'=');
        if (eq <= 0) {
            *error = QStringLiteral("--set '%1': expected key=value").arg(kv);
            return false;
        }
        QString why;
        if (!s.set(kv.left(eq), kv.mid(eq + 1), &why)) {
            *error = QStringLiteral("--set '%1': %2").arg(kv, why);
            return false;
        }
    }
    return true;
}

// Writes everything, waiting while the terminal's buffer is full.
bool writeAll(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    int stalledMs = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n > 0) {
            done += n;
            stalledMs = 0;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (stalledMs >= kWriteStallMs)
            return false;
        pollfd p{fd, POLLOUT, 0};
        ::poll(&p, 1, 50);
        stalledMs += 50;
    }
    return true;
}

// The client's line settings as seen through the master side.
QString lineSettings(int master)
{
    termios tio{};
    if (::tcgetattr(master, &tio) != 0)
        return {};
    static const std::pair<speed_t, int> speeds[] = {
        {B1200, 1200}, {B2400, 2400}, {B4800, 4800}, {B9600, 9600},
        {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
    int baud = 0;
    for (const auto& [code, value] : speeds)
        if (cfgetispeed(&tio) == code)
            baud = value;
    return QStringLiteral("%1 baud, XON/XOFF %2")
        .arg(baud)
        .arg((tio.c_iflag & IXON) ? QStringLiteral("on") : QStringLiteral("off"));
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (const int rc = parseArguments(argc, argv, options); rc != 0)
        return rc < 0 ? 0 : rc;

    sim::Scenario scenario;
    QString error;
    if (!buildScenario(options, scenario, &error)) {
        QTextStream(stderr) << "celvio-testersim: " << error << '\n';
        return 2;
    }

    QFile logFile;
    const bool logOpen = options.log.isEmpty()
                             ? logFile.open(stderr, QIODevice::WriteOnly)
                             : (logFile.setFileName(options.log),
                                logFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
    if (!logOpen) {
        QTextStream(stderr) << "celvio-testersim: cannot write log " << options.log << ": "
                            << logFile.errorString() << '\n';
        return 2;
    }
    QTextStream logStream(&logFile);
    auto logLine = [&logStream](const QString& text) {
        logStream << QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")) << ' ' << text << '\n';
        logStream.flush();
    };

    sim::PtyLink pty;
    if (!pty.open(options.link, &error)) {
        QTextStream(stderr) << "celvio-testersim: " << error << '\n';
        return 1;
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    struct sigaction change {};
    change.sa_handler = onChangePhone;
    sigemptyset(&change.sa_mask);
    ::sigaction(SIGUSR1, &change, nullptr);

    const auto start = std::chrono::steady_clock::now();
    auto nowMs = [start] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    };
    sim::Tester tester(scenario, nowMs);
    tester.log = logLine;
    logLine(QStringLiteral("serving %1 at %2").arg(pty.slavePath(), options.link));

    const int master = pty.masterFd();
    bool heldByHost = false; // the host sent XOFF
    QString settings;
    // The phone changes between two lines from the host: a signal sent before the
    // host writes its next line is always seen before that line is read.
    auto changePhone = [&] {
        if (!g_changePhone)
            return;
        g_changePhone = 0;
        sim::Scenario next;
        QString why;
        if (options.phoneFile.isEmpty() || !sim::Scenario::loadFile(options.phoneFile, next, &why))
            logLine(QStringLiteral("phone not changed: ") + (options.phoneFile.isEmpty() ? QStringLiteral("no --phone-file") : why));
        else
            tester.changePhone(next);
    };
    while (!g_stop) {
        changePhone();
        const qint64 next = tester.nextEventMs();
        int timeout = kMaxPollMs;
        if (next >= 0 && !heldByHost)
            timeout = int(std::clamp<qint64>(next - nowMs(), 0, kMaxPollMs));
        pollfd p{master, POLLIN, 0};
        const int rc = ::poll(&p, 1, timeout);
        if (rc < 0 && errno != EINTR)
            break;
        if (rc > 0 && (p.revents & POLLIN)) {
            char buffer[4096];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0) {
                const QByteArray data(buffer, n);
                for (const char c : data)
                    if (c == kXoff || c == kXon)
                        heldByHost = c == kXoff;
                changePhone();
                if (const QString now = lineSettings(master); now != settings) {
                    settings = now;
                    logLine(QStringLiteral("line settings: ") + settings);
                }
                tester.write(data);
            }
        } else if (rc > 0) {
            ::poll(nullptr, 0, kMaxPollMs); // hang-up or error: do not spin
        }
        if (!heldByHost && tester.bytesAvailable() > 0 && !writeAll(master, tester.readAll()))
            logLine(QStringLiteral("the host does not read; answer dropped"));
        // A device that vanishes takes its line with it: the program ends, which
        // closes the pseudo-terminal under the client. Closing it throws away what
        // the client has not read yet, so the client first gets a moment to read the
        // last (half) answer; the terminal hands bytes on to that side a little later.
        if (tester.vanished()) {
            ::poll(nullptr, 0, 50);
            for (int waited = 0; pty.unreadByClient() > 0 && waited < kVanishGraceMs; waited += 10)
                ::poll(nullptr, 0, 10);
            break;
        }
    }
    logLine(QStringLiteral("stopped"));
    pty.removeLink();
    return 0;
}
