#include "history/cli_options.h"

#include "history/history_cli.h"
#include "core/program_options.h"

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
    // One line, as every mistake on the command line.
    err << "celvio-history: " << OneLine(message) << ". Try 'celvio-history --help'.\n";
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
        "  --station DIR        the station directory (default: $CELVIO_STATION, else\n"
        "                       ~/CELVIO, else the current directory when it is a station:\n"
        "                       it has CELVIO.INI or RESULTS/)\n"
        "  --json               JSON instead of text tables\n"
        "  --no-update          query the index as it is\n"
        "                       (a station this account cannot write is always queried so,\n"
        "                       with a note that the index may be behind the files)\n"
        "  --version            the program's version\n"
        "  --help               this text\n"
        "Every option takes its value as --opt VALUE or --opt=VALUE.\n"
        "\n"
        "A failed test counts as aborted when a call or the speech loopback failed, or when no\n"
        "value carries a failure mark. Damaged or foreign files are skipped and counted\n"
        "(update and rebuild list them).\n"
        "\n"
        "Exit codes: 0 done; 1 nothing found (find, list); 2 usage error (an unknown option,\n"
        "a missing value); 3 no station here (nothing is created), the station or its index\n"
        "cannot be opened or read, or update or rebuild on a station that cannot be written;\n"
        "4 the export file cannot be written.\n");
}

void AddHistoryOptions(ProgramOptions& options)
{
    options.Add({QStringLiteral("json")})
        .Add({QStringLiteral("no-update")})
        .Add({QStringLiteral("station")}, QStringLiteral("DIR"))
        .Add({QStringLiteral("by")}, QStringLiteral("GROUP"))
        .Add({QStringLiteral("csv")}, QStringLiteral("FILE"))
        .Add({QStringLiteral("since")}, QStringLiteral("DATE"))
        .Add({QStringLiteral("until")}, QStringLiteral("DATE"))
        .Add({QStringLiteral("model")}, QStringLiteral("TEXT"))
        .Add({QStringLiteral("verdict")}, QStringLiteral("VERDICT"))
        .Add({QStringLiteral("imei")}, QStringLiteral("DIGITS"))
        .Add({QStringLiteral("limit")}, QStringLiteral("N"));
}

int TakeHistoryOptions(const ProgramOptions& p, Options& o, QTextStream& err)
{
    o.json = p.IsSet(QStringLiteral("json"));
    o.update = !p.IsSet(QStringLiteral("no-update"));
    o.station = p.Value(QStringLiteral("station"));
    if (p.IsSet(QStringLiteral("station")) && o.station.isEmpty())
        return Usage(err, QStringLiteral("--station needs a directory"));
    o.by = p.Value(QStringLiteral("by"));
    o.csv = p.Value(QStringLiteral("csv"));
    if (p.IsSet(QStringLiteral("csv")) && o.csv.isEmpty())
        return Usage(err, QStringLiteral("--csv needs a file"));
    for (const char* name : {"since", "until"}) {
        const QString option = QLatin1String(name);
        if (!p.IsSet(option))
            continue;
        QDate date;
        if (!ReadDate(p.Value(option), date))
            return Usage(err, QStringLiteral("--") + option + QStringLiteral(" needs a date yyyy-mm-dd"));
        (option == QLatin1String("since") ? o.filter.Since : o.filter.Until) = date;
    }
    o.filter.Model = p.Value(QStringLiteral("model"));
    o.filter.ImeiPrefix = p.Value(QStringLiteral("imei"));
    if (p.IsSet(QStringLiteral("verdict"))) {
        const QString v = p.Value(QStringLiteral("verdict"));
        if (v != QLatin1String("passed") && v != QLatin1String("failed") && v != QLatin1String("aborted"))
            return Usage(err, QStringLiteral("--verdict takes passed, failed or aborted"));
        o.filter.Verdict = v;
    }
    if (p.IsSet(QStringLiteral("limit"))) {
        bool ok = false;
        o.filter.Limit = p.Value(QStringLiteral("limit")).toInt(&ok);
        if (!ok || o.filter.Limit < 0)
            return Usage(err, QStringLiteral("--limit needs a number"));
    }
    const QStringList positional = p.Positional();
    o.command = positional.value(0);
    o.positional = positional.mid(1);
    return -1;
}

bool IsStation(const QString& directory)
{
    const QDir dir(directory);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString name = entry.fileName();
        if ((entry.isFile() && name.compare(QLatin1String("CELVIO.INI"), Qt::CaseInsensitive) == 0) ||
            (entry.isDir() && name.compare(QLatin1String("RESULTS"), Qt::CaseInsensitive) == 0))
            return true;
    }
    return false;
}

QString DefaultStation(const QString& environment, const QString& home, const QString& current)
{
    if (!environment.isEmpty())
        return environment;
    const QString own = QDir(home).filePath(QStringLiteral("CELVIO"));
    if (!home.isEmpty() && QFileInfo(own).isDir())
        return own;
    return IsStation(current) ? current : QString();
}

int CheckStation(Options& o, QTextStream& err)
{
    if (o.station.isEmpty()) {
        o.station = DefaultStation(QProcessEnvironment::systemEnvironment().value(QStringLiteral("CELVIO_STATION")),
                                   QDir::homePath(), QDir::currentPath());
    }
    if (o.station.isEmpty()) {
        err << "celvio-history: no station here: " << QDir::currentPath()
            << " has no CELVIO.INI and no RESULTS/ (give --station DIR or set CELVIO_STATION)\n";
        return kHistoryIndexError;
    }
    if (!QFileInfo(o.station).isDir()) {
        err << "celvio-history: no station directory " << o.station << '\n';
        return kHistoryIndexError;
    }
    // A folder that is no station gets no index: nothing is created where the
    // command was run by mistake.
    if (!IsStation(o.station)) {
        err << "celvio-history: no station here: " << o.station << " has no CELVIO.INI and no RESULTS/\n";
        return kHistoryIndexError;
    }
    o.root = QDir::cleanPath(QFileInfo(o.station).absoluteFilePath());
    return -1;
}

int ReadArguments(const QStringList& args, Options& o, QTextStream& out, QTextStream& err, bool needStation)
{
    ProgramOptions options(QStringLiteral("celvio-history"));
    AddHistoryOptions(options);
    switch (options.Parse(QStringList{QStringLiteral("celvio-history")} + args)) {
    case ProgramOptions::Outcome::Help: out << HistoryUsage(); return kHistoryOk;
    case ProgramOptions::Outcome::Version: out << options.VersionLine(); return kHistoryOk;
    case ProgramOptions::Outcome::Usage: err << options.Error() << '\n'; return kHistoryUsage;
    case ProgramOptions::Outcome::Run: break;
    }
    if (const int code = TakeHistoryOptions(options, o, err); code >= 0)
        return code;
    static const QStringList commands{QStringLiteral("find"),   QStringLiteral("list"),   QStringLiteral("stats"),
                                      QStringLiteral("export"), QStringLiteral("update"), QStringLiteral("rebuild")};
    if (o.command.isEmpty())
        return Usage(err, QStringLiteral("no command"));
    if (!commands.contains(o.command))
        return Usage(err, QStringLiteral("unknown command ") + o.command);
    if (!needStation)
        return -1;
    return CheckStation(o, err);
}

}  // namespace celvio
