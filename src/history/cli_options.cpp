#include "history/cli_options.h"

#include "history/history_cli.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace celvio {

namespace {

bool ReadDate(const QString& text, QDate& date)
{
    date = QDate::fromString(text, Qt::ISODate);
    return date.isValid();
}

}  // namespace

int Usage(QTextStream& err, const QString& message)
{
    err << "celvio-history: " << message << '\n' << "Try 'celvio-history --help'.\n";
    return kHistoryUsage;
}

QString HistoryUsage()
{
    return QStringLiteral(
        "Usage: celvio-history [--station DIR] [--json] [--no-update] COMMAND [OPTIONS]\n"
        "\n"
        "The station's tests and swaps, from its result files (RESULTS/<6 digits>/*.TXT) and swap\n"
        "records (RESULTS/LOG/*.IWR, *.IME and the BACKUP<yy> archives), through the index\n"
        "HISTORY.DB in the station directory. Before each command the index reads new and\n"
        "changed files (not with --no-update).\n"
        "\n"
        "Commands:\n"
        "  find IMEI            every test and swap of the phone, newest first, with its files\n"
        "                       (full paths here, in list and in the skipped files of update\n"
        "                       and rebuild)\n"
        "  list [FILTER]        the tests (and direct swaps), newest first\n"
        "  stats [--by model|day|week|quantity] [FILTER]\n"
        "                       tests, passed, failed, aborted, pass rate and swaps per group;\n"
        "                       by quantity: tests and values failed on each quantity\n"
        "  export --csv FILE [FILTER]\n"
        "                       one row per test (FILE - writes to standard output); columns:\n"
        "                       date,time,imei,imsi,model,system,verdict,failed,fault,\n"
        "                       tester_serial,firmware,file (relative to the station directory;\n"
        "                       UTF-8, CR LF); a text that starts with = + - @ gets a ' in\n"
        "                       front (no spreadsheet formula)\n"
        "  update               read every new or changed file (size and time of each)\n"
        "  rebuild              empty the index and read every file again\n"
        "\n"
        "FILTER: --since DATE  --until DATE (yyyy-mm-dd, inclusive)  --model TEXT (part of the\n"
        "        name)  --verdict passed|failed|aborted  --imei DIGITS (first digits)  --limit N\n"
        "\n"
        "Options:\n"
        "  --station DIR        the station directory (default: $CELVIO_STATION, else the\n"
        "                       current directory)\n"
        "  --json               JSON instead of text tables\n"
        "  --no-update          query the index as it is\n"
        "                       (a station this account cannot write is always queried so,\n"
        "                       with a note that the index may be behind the files)\n"
        "  --help               this text\n"
        "\n"
        "A failed test counts as aborted when a call or the speech loopback failed, or when no\n"
        "value carries a failure mark. Damaged or foreign files are skipped and counted\n"
        "(update and rebuild list them).\n"
        "\n"
        "Exit codes: 0 done; 1 nothing found (find, list); 2 usage error; 3 the station or its\n"
        "index cannot be opened or read, or update or rebuild on a station that cannot be\n"
        "written; 4 the export file cannot be written.\n");
}

int ReadArguments(const QStringList& args, Options& o, QTextStream& out, QTextStream& err, bool needStation)
{
    o.station = QProcessEnvironment::systemEnvironment().value(QStringLiteral("CELVIO_STATION"));
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out << HistoryUsage();
            return kHistoryOk;
        } else if (a == QLatin1String("--json")) {
            o.json = true;
        } else if (a == QLatin1String("--no-update")) {
            o.update = false;
        } else if (a == QLatin1String("--station")) {
            if (!value(o.station))
                return Usage(err, QStringLiteral("--station needs a directory"));
        } else if (a == QLatin1String("--by")) {
            if (!value(o.by))
                return Usage(err, QStringLiteral("--by needs model, day, week or quantity"));
        } else if (a == QLatin1String("--csv")) {
            if (!value(o.csv))
                return Usage(err, QStringLiteral("--csv needs a file"));
        } else if (a == QLatin1String("--since") || a == QLatin1String("--until")) {
            QDate date;
            if (!value(v) || !ReadDate(v, date))
                return Usage(err, a + QStringLiteral(" needs a date yyyy-mm-dd"));
            (a == QLatin1String("--since") ? o.filter.Since : o.filter.Until) = date;
        } else if (a == QLatin1String("--model")) {
            if (!value(o.filter.Model))
                return Usage(err, QStringLiteral("--model needs a text"));
        } else if (a == QLatin1String("--verdict")) {
            if (!value(v) || (v != QLatin1String("passed") && v != QLatin1String("failed") &&
                              v != QLatin1String("aborted")))
                return Usage(err, QStringLiteral("--verdict takes passed, failed or aborted"));
            o.filter.Verdict = v;
        } else if (a == QLatin1String("--imei")) {
            if (!value(o.filter.ImeiPrefix))
                return Usage(err, QStringLiteral("--imei needs digits"));
        } else if (a == QLatin1String("--limit")) {
            bool ok = false;
            o.filter.Limit = value(v) ? v.toInt(&ok) : 0;
            if (!ok || o.filter.Limit < 0)
                return Usage(err, QStringLiteral("--limit needs a number"));
        } else if (a.startsWith(QLatin1String("--"))) {
            return Usage(err, QStringLiteral("unknown option ") + a);
        } else if (o.command.isEmpty()) {
            o.command = a;
        } else {
            o.positional.append(a);
        }
    }
    static const QStringList commands{QStringLiteral("find"),   QStringLiteral("list"),   QStringLiteral("stats"),
                                      QStringLiteral("export"), QStringLiteral("update"), QStringLiteral("rebuild")};
    if (o.command.isEmpty())
        return Usage(err, QStringLiteral("no command"));
    if (!commands.contains(o.command))
        return Usage(err, QStringLiteral("unknown command ") + o.command);
    if (!needStation)
        return -1;
    if (o.station.isEmpty())
        o.station = QDir::currentPath();
    if (!QFileInfo(o.station).isDir()) {
        err << "celvio-history: no station directory " << o.station << '\n';
        return kHistoryIndexError;
    }
    o.root = QDir::cleanPath(QFileInfo(o.station).absoluteFilePath());
    return -1;
}

}  // namespace celvio
