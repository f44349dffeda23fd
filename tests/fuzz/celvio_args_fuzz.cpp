// The command line of celvio: the input's bytes split at NUL into arguments.
//
// Checks: a mistake is one line that names the program and points to --help; otherwise
// the options read the same when every "--opt=value" is written "--opt value"; every
// port named by --port is COM 1..16.
#include "fuzz_support.h"

#include "command_line.h"

using namespace celvio;
using celvio::fuzz::Check;

namespace {

QStringList Arguments(const QByteArray& bytes)
{
    QStringList args{QStringLiteral("celvio")};
    for (const QByteArray& part : bytes.split('\0'))
        args << QString::fromLocal8Bit(part);
    return args.mid(0, 24);
}

// The same line with each "--opt=value" of a valued option as two arguments.
QStringList SplitSpelling(const QStringList& args)
{
    static const QStringList valued{QStringLiteral("--station="), QStringLiteral("--port="),
                                    QStringLiteral("--init-station=")};
    QStringList split;
    bool options = true;
    bool value = false;  // the argument is the value of the option before it
    for (const QString& arg : args) {
        const bool isValue = value;
        value = options && !isValue && valued.contains(arg + QLatin1Char('='));
        if (arg == QLatin1String("--") && !isValue)
            options = false;
        bool done = isValue;
        if (isValue)
            split << arg;
        for (const QString& prefix : valued) {
            if (options && !done && arg.startsWith(prefix)) {
                split << prefix.chopped(1) << arg.mid(prefix.size());
                done = true;
            }
        }
        if (!done)
            split << arg;
    }
    return split;
}

bool Same(const CommandLine& a, const CommandLine& b)
{
    bool same = a.station == b.station && a.initStation == b.initStation && a.listPorts == b.listPorts &&
                a.help == b.help && a.version == b.version && a.error.isEmpty() == b.error.isEmpty();
    for (int n = 1; n <= kHighestPortNumber && same; ++n)
        same = a.ports.Device(n) == b.ports.Device(n) && a.ports.Source(n) == b.ports.Source(n);
    return same;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QStringList args = Arguments(fuzz::Bytes(data, size));
    const QString input = args.join(QStringLiteral(" | "));
    const CommandLine line = ParseCommandLine(args);
    if (!line.error.isEmpty()) {
        Check(!line.error.contains(QLatin1Char('\n')), "a mistake is told in one line", line.error);
        Check(line.error.startsWith(QStringLiteral("celvio: ")) &&
                  line.error.endsWith(QStringLiteral(" Try 'celvio --help'.")),
              "a mistake names the program and points to --help", line.error);
        return 0;
    }
    const CommandLine split = ParseCommandLine(SplitSpelling(args));
    Check(Same(line, split), "--opt=value and --opt value read the same", input);
    return 0;
}
