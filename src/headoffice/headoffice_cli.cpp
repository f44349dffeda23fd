#include "headoffice/headoffice_cli.h"

#include "headoffice/chain_source.h"
#include "headoffice/cli_common.h"

#include <QDir>
#include <QProcessEnvironment>

namespace celvio {

namespace {

// The station's own options that take a value: their values are no command.
const QStringList kValueOptions{QStringLiteral("--station"), QStringLiteral("--by"),    QStringLiteral("--csv"),
                                QStringLiteral("--since"),   QStringLiteral("--until"), QStringLiteral("--model"),
                                QStringLiteral("--verdict"), QStringLiteral("--imei"),  QStringLiteral("--limit")};

const QStringList kHeadOfficeCommands{QStringLiteral("push"), QStringLiteral("status"), QStringLiteral("server"),
                                      QStringLiteral("counters")};

int UsageError(QTextStream& err, const QString& message)
{
    err << "celvio-history: " << message << '\n' << "Try 'celvio-history --help'.\n";
    return kHistoryUsage;
}

// The head office's own options, taken out of the arguments; -1 to go on.
int TakeOption(const QStringList& args, qsizetype& i, HeadOfficeArgs& a, QTextStream& err, bool& taken)
{
    const QString& arg = args[i];
    taken = true;
    auto value = [&](QString& into) {
        if (i + 1 >= args.size())
            return false;
        into = args[++i];
        return true;
    };
    QString v;
    bool ok = true;
    if (arg == QLatin1String("--server")) {
        if (!value(a.ServerUri) || a.ServerUri.isEmpty())
            return UsageError(err, QStringLiteral("--server needs a URI postgresql://user@host:port/database"));
    } else if (arg == QLatin1String("--chain")) {
        a.Chain = true;
    } else if (arg == QLatin1String("--if-configured")) {
        a.IfConfigured = true;
    } else if (arg == QLatin1String("--check")) {
        a.Check = true;
    } else if (arg == QLatin1String("--all")) {
        a.All = true;
    } else if (arg == QLatin1String("--password-stdin")) {
        a.PasswordStdin = true;
    } else if (arg == QLatin1String("--counter")) {
        if (!value(a.Counter))
            return UsageError(err, QStringLiteral("--counter needs a name"));
    } else if (arg == QLatin1String("--budget-ms")) {
        a.BudgetMs = value(v) ? v.toLongLong(&ok) : -1;
        if (!ok || a.BudgetMs < 0)
            return UsageError(err, QStringLiteral("--budget-ms needs milliseconds"));
    } else if (arg == QLatin1String("--batch-files")) {
        a.BatchFiles = value(v) ? v.toInt(&ok) : 0;
        if (!ok || a.BatchFiles < 1)
            return UsageError(err, QStringLiteral("--batch-files needs a number (1 or more)"));
    } else if (arg == QLatin1String("--timeout")) {
        a.TimeoutS = value(v) ? v.toInt(&ok) : 0;
        if (!ok || a.TimeoutS < 1)
            return UsageError(err, QStringLiteral("--timeout needs seconds (1 or more)"));
    } else {
        taken = false;
    }
    return -1;
}

}  // namespace

int ParseHeadOfficeArgs(const QStringList& args, HeadOfficeArgs& a, QTextStream& err)
{
    a.Station = QProcessEnvironment::systemEnvironment().value(QStringLiteral("CELVIO_STATION"));
    for (qsizetype i = 0; i < args.size(); ++i) {
        bool taken = false;
        const int code = TakeOption(args, i, a, err, taken);
        if (code >= 0)
            return code;
        if (taken)
            continue;
        const QString& arg = args[i];
        a.Forward << arg;
        if (arg == QLatin1String("--json"))
            a.Json = true;
        else if (arg == QLatin1String("--no-update"))
            a.NoUpdate = true;
        if (kValueOptions.contains(arg) && i + 1 < args.size()) {
            a.Forward << args[++i];
            if (arg == QLatin1String("--station"))
                a.Station = args[i];
        } else if (!arg.startsWith(QLatin1String("--"))) {
            if (a.Command.isEmpty())
                a.Command = arg;
            else
                a.Positional << arg;
        }
    }
    if (a.Station.isEmpty())
        a.Station = QDir::currentPath();
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
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << HistoryUsage() << '\n' << HeadOfficeUsage();
        return kHistoryOk;
    }
    HeadOfficeArgs a;
    if (const int code = ParseHeadOfficeArgs(args, a, err); code >= 0)
        return code;
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
