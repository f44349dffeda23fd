// The command line of celvio-history, with the head office's options: the input's bytes
// split at NUL into arguments. Only the reading: no index is opened, no server asked.
//
// Checks: the answer is "go on", done (--help, --version) or a usage error; a usage error
// is one line on standard error that names the program and points to --help; a line that
// goes on hands the station's commands options that their own reading accepts, with the
// same command, arguments and switches.
#include "fuzz_support.h"

#include "headoffice/cli_common.h"
#include "history/cli_options.h"

using namespace celvio;
using celvio::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QStringList args;
    for (const QByteArray& part : fuzz::Bytes(data, size).split('\0'))
        args << QString::fromLocal8Bit(part);
    args = args.mid(0, 24);
    const QString input = args.join(QStringLiteral(" | "));
    QString out, err;
    QTextStream o(&out), e(&err);
    HeadOfficeArgs a;
    const int code = ParseHeadOfficeArgs(args, a, o, e);
    o.flush();
    e.flush();
    Check(code == -1 || code == kHistoryOk || code == kHistoryUsage, "the reading goes on, is done or refuses",
          QString::number(code) + QLatin1Char('\n') + input);
    if (code == kHistoryUsage) {
        Check(err.count(QLatin1Char('\n')) == 1 && err.endsWith(QLatin1Char('\n')), "a mistake is one line",
              err + input);
        Check(err.startsWith(QStringLiteral("celvio-history: ")) &&
                  err.endsWith(QStringLiteral(" Try 'celvio-history --help'.\n")),
              "a mistake names the program and points to --help", err);
        return 0;
    }
    if (code != -1)
        return 0;
    Options station;
    out.clear();
    err.clear();
    const int forwarded = ReadArguments(a.Forward, station, o, e, false);
    Check(forwarded == -1 || forwarded == kHistoryUsage, "the station's reading goes on or refuses the command",
          QString::number(forwarded) + QLatin1Char('\n') + input);
    Check(forwarded == -1 || !err.contains(QStringLiteral("option")),
          "the options handed on are the station's own", err + input);
    if (forwarded == -1) {
        Check(station.command == a.Command && station.positional == a.Positional,
              "the command and its arguments are handed on unchanged", input);
        Check(station.json == a.Json && station.update == !a.NoUpdate, "the switches are handed on", input);
    }
    return 0;
}
