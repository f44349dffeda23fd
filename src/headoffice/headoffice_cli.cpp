#include "headoffice/headoffice_cli.h"

#include "headoffice/chain_source.h"
#include "headoffice/cli_common.h"
#include "core/program_options.h"
#include "history/cli_options.h"

#include <QDir>
#include <QProcessEnvironment>

namespace celvio {

namespace {

int UsageError(QTextStream& err, const QString& message)
{
    err << "celvio-history: " << OneLine(message) << ". Try 'celvio-history --help'.\n";
    return kHistoryUsage;
}

// The head office's own options, beside the station's.
void AddHeadOfficeOptions(ProgramOptions& options)
{
    options.Add({QStringLiteral("server")}, QStringLiteral("URI"))
        .Add({QStringLiteral("chain")})
        .Add({QStringLiteral("if-configured")})
        .Add({QStringLiteral("check")})
        .Add({QStringLiteral("all")})
        .Add({QStringLiteral("password-stdin")})
        .Add({QStringLiteral("counter")}, QStringLiteral("NAME"))
        .Add({QStringLiteral("budget-ms")}, QStringLiteral("N"))
        .Add({QStringLiteral("batch-files")}, QStringLiteral("N"))
        .Add({QStringLiteral("timeout")}, QStringLiteral("S"));
}

// A whole number of at least `least` for the option `name`, when given.
bool ReadCount(const ProgramOptions& p, const char* name, qint64 least, qint64& into)
{
    if (!p.IsSet(QLatin1String(name)))
        return true;
    bool ok = false;
    into = p.Value(QLatin1String(name)).toLongLong(&ok);
    return ok && into >= least;
}

// The head office's options read into `a`; -1 to go on, else the usage error's code.
int TakeHeadOfficeOptions(const ProgramOptions& p, HeadOfficeArgs& a, QTextStream& err)
{
    a.ServerUri = p.Value(QStringLiteral("server"));
    if (p.IsSet(QStringLiteral("server")) && a.ServerUri.isEmpty())
        return UsageError(err, QStringLiteral("--server needs a URI postgresql://user@host:port/database"));
    a.Chain = p.IsSet(QStringLiteral("chain"));
    a.IfConfigured = p.IsSet(QStringLiteral("if-configured"));
    a.Check = p.IsSet(QStringLiteral("check"));
    a.All = p.IsSet(QStringLiteral("all"));
    a.PasswordStdin = p.IsSet(QStringLiteral("password-stdin"));
    a.Counter = p.Value(QStringLiteral("counter"));
    if (p.IsSet(QStringLiteral("counter")) && a.Counter.isEmpty())
        return UsageError(err, QStringLiteral("--counter needs a name"));
    qint64 batch = a.BatchFiles, timeout = a.TimeoutS;
    if (!ReadCount(p, "budget-ms", 0, a.BudgetMs))
        return UsageError(err, QStringLiteral("--budget-ms needs milliseconds"));
    if (!ReadCount(p, "batch-files", 1, batch) || batch > 1000000)
        return UsageError(err, QStringLiteral("--batch-files needs a number (1 or more)"));
    if (!ReadCount(p, "timeout", 1, timeout) || timeout > 86400)
        return UsageError(err, QStringLiteral("--timeout needs seconds (1 or more)"));
    a.BatchFiles = int(batch);
    a.TimeoutS = int(timeout);
    a.Json = p.IsSet(QStringLiteral("json"));
    a.NoUpdate = p.IsSet(QStringLiteral("no-update"));
    // The station's own options, for its commands, in one spelling; the command and
    // its arguments after "--", so that none of them is taken for an option.
    static const QStringList kStationOptions{
        QStringLiteral("json"),  QStringLiteral("no-update"), QStringLiteral("station"), QStringLiteral("by"),
        QStringLiteral("csv"),   QStringLiteral("since"),     QStringLiteral("until"),   QStringLiteral("model"),
        QStringLiteral("verdict"), QStringLiteral("imei"),    QStringLiteral("limit")};
    static const QStringList kSwitches{QStringLiteral("json"), QStringLiteral("no-update")};
    for (const QString& name : kStationOptions) {
        if (!p.IsSet(name))
            continue;
        a.Forward << QStringLiteral("--") + name;
        if (!kSwitches.contains(name))
            a.Forward << p.Value(name);
    }
    a.Forward << QStringLiteral("--") << p.Positional();
    a.Command = p.Positional().value(0);
    a.Positional = p.Positional().mid(1);
    return -1;
}

}  // namespace

int ParseHeadOfficeArgs(const QStringList& args, HeadOfficeArgs& a, QTextStream& out, QTextStream& err)
{
    ProgramOptions options(QStringLiteral("celvio-history"));
    AddHistoryOptions(options);
    AddHeadOfficeOptions(options);
    switch (options.Parse(QStringList{QStringLiteral("celvio-history")} + args)) {
    case ProgramOptions::Outcome::Help: out << HistoryUsage() << '\n' << HeadOfficeUsage(); return kHistoryOk;
    case ProgramOptions::Outcome::Version: out << options.VersionLine(); return kHistoryOk;
    case ProgramOptions::Outcome::Usage: err << options.Error() << '\n'; return kHistoryUsage;
    case ProgramOptions::Outcome::Run: break;
    }
    if (const int code = TakeHeadOfficeOptions(options, a, err); code >= 0)
        return code;
    a.Station = options.Value(QStringLiteral("station"));
    if (a.Station.isEmpty()) {
        a.Station = DefaultStation(QProcessEnvironment::systemEnvironment().value(QStringLiteral("CELVIO_STATION")),
                                   QDir::homePath(), QDir::currentPath());
    }
    return -1;
}

int ResolveServer(const HeadOfficeArgs& a, ServerAddress& server, QTextStream& err)
{
    QString why;
    if (!a.ServerUri.isEmpty()) {
        if (!ServerFromUri(a.ServerUri, server, &why))
            return UsageError(err, why);
        server.Counter = a.Counter;
        return -1;
    }
    if (!HasHeadOfficeFile(a.Station))
        return UsageError(err, QStringLiteral("no head office: no ") + HeadOfficeFileName() +
                                   QStringLiteral(" in ") + a.Station + QStringLiteral(" and no --server"));
    if (!ReadHeadOfficeFile(a.Station, server, &why)) {
        err << "celvio-history: " << why << '\n';
        return kHistoryUsage;
    }
    if (!a.Counter.isEmpty())
        server.Counter = a.Counter;
    return -1;
}

int ReportServerError(const ServerError& error, QTextStream& err)
{
    err << "celvio-history: " << error.Message << '\n';
    return ServerExit(error.Fault);
}

int ConnectOrReport(PgConnection& db, const ServerAddress& server, int timeoutS, QTextStream& err)
{
    ServerError error;
    if (db.Connect(server, timeoutS, error))
        return -1;
    return ReportServerError(error, err);
}

int RunChainQuery(const HeadOfficeArgs& a, QTextStream& out, QTextStream& err)
{
    ServerAddress server;
    if (const int code = ResolveServer(a, server, err); code >= 0)
        return code;
    PgConnection db;
    if (const int code = ConnectOrReport(db, server, a.TimeoutS, err); code >= 0)
        return code;
    ChainHistorySource chain(db);
    return RunHistoryCli(a.Forward, out, err, &chain);
}

int RunCelvioHistory(const QStringList& args, QTextStream& out, QTextStream& err)
{
    HeadOfficeArgs a;
    if (const int code = ParseHeadOfficeArgs(args, a, out, err); code >= 0)
        return code;
    if (a.Command == QLatin1String("push") || a.Command == QLatin1String("status")) {
        // A push of a station without a head office, when asked only if there is one.
        if (a.Command == QLatin1String("push") && a.IfConfigured && a.ServerUri.isEmpty() &&
            !HasHeadOfficeFile(a.Station))
            return kHistoryOk;
        // A usage error is told before the station is looked for.
        ServerAddress server;
        if (!a.ServerUri.isEmpty()) {
            if (const int code = ResolveServer(a, server, err); code >= 0)
                return code;
        }
        // Both keep their state in the station's index: no station, no index made.
        Options station;
        station.station = a.Station;
        if (const int code = CheckStation(station, err); code >= 0)
            return code;
    }
    if (a.Command == QLatin1String("push"))
        return RunPushCommand(a, out, err);
    if (a.Command == QLatin1String("status"))
        return RunStatusCommand(a, out, err);
    if (a.Command == QLatin1String("server"))
        return RunServerCommand(a, out, err);
    if (a.Command == QLatin1String("counters"))
        return RunCountersCommand(a, out, err);
    if (!a.ServerUri.isEmpty() || a.Chain)
        return RunChainQuery(a, out, err);
    if (!a.Counter.isEmpty() || a.BudgetMs > 0 || a.IfConfigured || a.PasswordStdin || a.BatchFiles != 5000 ||
        a.Check || a.All)
        return UsageError(err, a.Command + QStringLiteral(" takes none of --counter, --budget-ms, --if-configured,"
                                                          " --password-stdin, --batch-files, --check, --all"));
    return RunHistoryCli(a.Forward, out, err);
}

QString HeadOfficeUsage()
{
    return QStringLiteral(
        "The chain's head office (a PostgreSQL database):\n"
        "  push [--budget-ms N]  send every test, swap record line and skipped file that the\n"
        "                       server has not acknowledged (with --if-configured a station\n"
        "                       without HEADOFFICE.INI exits 0; --all sends every file again,\n"
        "                       after the server was restored from a backup)\n"
        "  status [--check]     what is pending and when the last push succeeded; with\n"
        "                       --check the server is asked too (exit code of its failure)\n"
        "  counters             each counter's last push, pending files and tests (head office)\n"
        "  server init          create the database when missing, the roles celvio_counter and\n"
        "                       celvio_office and every table (as the database's owner)\n"
        "  server migrate       apply the migrations the database does not have yet\n"
        "  server add-counter ROLE | add-reader ROLE [--password-stdin]\n"
        "                       a login role for a counter (celvio_counter) or for the head\n"
        "                       office (celvio_office); the password from standard input\n"
        "  --server URI find|list|stats|export ..., or --chain ...\n"
        "                       the station's queries asked of the whole chain; rows add the\n"
        "                       shop and the counter; stats --by shop\n"
        "\n"
        "  --server URI         postgresql://user@host:port/database?sslmode=... (overrides\n"
        "                       HEADOFFICE.INI; no password in it)\n"
        "  --chain              the server of HEADOFFICE.INI for find, list, stats, export\n"
        "  --counter NAME       the counter's name with --server (else COUNTER of\n"
        "                       HEADOFFICE.INI, else the host name)\n"
        "  --timeout S          seconds to wait for the connection (default 10)\n"
        "  --batch-files N      push: files per transaction (default 5000)\n"
        "\n"
        "HEADOFFICE.INI in the station: HOST=, PORT=, DATABASE=, USER=, SSLMODE=, COUNTER=.\n"
        "The password comes from ~/.pgpass (mode 0600) or the file PGPASSFILE names.\n"
        "\n"
        "More exit codes: 5 server not reachable; 6 login refused (password, role); 7 no\n"
        "such database; 8 TLS required but not offered by the server; 9 the server's schema\n"
        "is missing or newer, or a statement failed.\n");
}

}  // namespace celvio
