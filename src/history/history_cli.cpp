#include "history/history_cli.h"

#include "core/files.h"
#include "history/history_index.h"
#include "history/history_query.h"
#include "history/history_source.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QSqlQuery>
#include <QVariant>

namespace celvio {

namespace {

struct Options {
    QString station;
    QString command;
    QStringList positional;
    bool json = false;
    bool update = true;
    QString by;
    QString csv;
    TestFilter filter;
};

// A plain text table: columns as wide as their widest cell, two blanks between them.
void PrintTable(QTextStream& out, const QStringList& header, const QList<QStringList>& rows)
{
    QList<qsizetype> widths;
    for (const QString& title : header)
        widths.append(title.size());
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    auto print = [&](const QStringList& cells) {
        QString line;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i + 1 < cells.size())
                line += cells[i].leftJustified(widths[i]) + QStringLiteral("  ");
            else
                line += cells[i];
        }
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        out << line << '\n';
    };
    print(header);
    for (const QStringList& row : rows)
        print(row);
}

QString Percent(double value)
{
    return QString::number(value, 'f', 1);
}

QJsonObject TestJson(const TestRow& row)
{
    QJsonObject o;
    o[QStringLiteral("kind")] = row.Kind;
    o[QStringLiteral("date")] = row.Date;
    o[QStringLiteral("time")] = row.Time;
    o[QStringLiteral("imei")] = row.Imei;
    if (!row.OldImei.isEmpty())
        o[QStringLiteral("old_imei")] = row.OldImei;
    o[QStringLiteral("imsi")] = row.Imsi;
    o[QStringLiteral("model")] = row.Model;
    o[QStringLiteral("system")] = row.System;
    o[QStringLiteral("verdict")] = row.Verdict;
    o[QStringLiteral("failed")] = QJsonArray::fromStringList(row.Failed);
    o[QStringLiteral("fault")] = row.Fault;
    o[QStringLiteral("file")] = row.File;
    if (!row.Shop.isEmpty() || !row.Counter.isEmpty()) {
        o[QStringLiteral("shop")] = row.Shop;
        o[QStringLiteral("counter")] = row.Counter;
    }
    return o;
}

QStringList TestCells(const TestRow& row, bool chain)
{
    const QString imei = row.Kind == QLatin1String("direct swap") ? row.OldImei + QStringLiteral(" -> ") + row.Imei
                                                                  : row.Imei;
    QStringList cells{row.Date,    row.Time, imei, row.Model, row.System, row.Verdict,
                      row.Failed.join(QStringLiteral("; ")), row.File};
    if (chain)
        cells << row.Shop << row.Counter;
    return cells;
}

const QStringList kTestHeader{QStringLiteral("DATE"),    QStringLiteral("TIME"),   QStringLiteral("IMEI"),
                              QStringLiteral("MODEL"),   QStringLiteral("SYSTEM"), QStringLiteral("VERDICT"),
                              QStringLiteral("FAILED"),  QStringLiteral("FILE")};

// The chain's rows add where they were made.
QStringList TestHeader(bool chain)
{
    return chain ? kTestHeader + QStringList{QStringLiteral("SHOP"), QStringLiteral("COUNTER")} : kTestHeader;
}

void PrintJson(QTextStream& out, const QJsonValue& value)
{
    const QJsonDocument doc = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    out << QString::fromUtf8(doc.toJson(QJsonDocument::Indented));
}

int Usage(QTextStream& err, const QString& message)
{
    err << "celvio-history: " << message << '\n' << "Try 'celvio-history --help'.\n";
    return kHistoryUsage;
}

bool ReadDate(const QString& text, QDate& date)
{
    date = QDate::fromString(text, Qt::ISODate);
    return date.isValid();
}

int Find(HistorySource& index, const Options& o, QTextStream& out, QTextStream& err)
{
    if (o.positional.size() != 1)
        return Usage(err, QStringLiteral("find needs one IMEI"));
    QString imei = o.positional[0];
    imei.remove(QLatin1Char('/')).remove(QLatin1Char('-')).remove(QLatin1Char('.'));
    QList<TestRow> tests;
    QList<RecordRow> records;
    QString error;
    if (!index.FindTests(imei, tests, &error) || !index.FindRecords(imei, records, &error)) {
        err << "celvio-history: " << error << '\n';
        return index.FailureExit();
    }
    if (o.json) {
        QJsonArray t, r;
        for (const TestRow& row : tests)
            t.append(TestJson(row));
        for (const RecordRow& row : records) {
            QJsonObject x;
            x[QStringLiteral("kind")] = row.Kind;
            x[QStringLiteral("date")] = row.Date;
            x[QStringLiteral("old_imei")] = row.OldImei;
            x[QStringLiteral("new_imei")] = row.NewImei;
            x[QStringLiteral("club")] = row.Club;
            x[QStringLiteral("result")] = row.Result;
            x[QStringLiteral("file")] = row.File;
            x[QStringLiteral("line")] = row.Line;
            if (index.IsChain()) {
                x[QStringLiteral("shop")] = row.Shop;
                x[QStringLiteral("counter")] = row.Counter;
            }
            r.append(x);
        }
        QJsonObject all;
        all[QStringLiteral("imei")] = imei;
        all[QStringLiteral("tests")] = t;
        all[QStringLiteral("records")] = r;
        PrintJson(out, all);
    } else {
        if (tests.isEmpty() && records.isEmpty())
            out << "No test and no swap record of " << imei << ".\n";
        if (!tests.isEmpty()) {
            QList<QStringList> rows;
            for (const TestRow& row : tests)
                rows.append(TestCells(row, index.IsChain()));
            PrintTable(out, TestHeader(index.IsChain()), rows);
        }
        if (!records.isEmpty()) {
            if (!tests.isEmpty())
                out << '\n';
            QList<QStringList> rows;
            for (const RecordRow& row : records) {
                rows.append({row.Date, row.Kind, row.OldImei, row.NewImei, row.Club, row.Result,
                             row.File + QLatin1Char(':') + QString::number(row.Line)});
                if (index.IsChain())
                    rows.last() << row.Shop << row.Counter;
            }
            QStringList header{QStringLiteral("DATE"),     QStringLiteral("RECORD"), QStringLiteral("OLD IMEI"),
                               QStringLiteral("NEW IMEI"), QStringLiteral("CLUB"),   QStringLiteral("RESULT"),
                               QStringLiteral("FILE")};
            if (index.IsChain())
                header << QStringLiteral("SHOP") << QStringLiteral("COUNTER");
            PrintTable(out, header, rows);
        }
    }
    return tests.isEmpty() && records.isEmpty() ? kHistoryNothingFound : kHistoryOk;
}

int List(HistorySource& index, const Options& o, QTextStream& out, QTextStream& err)
{
    if (!o.positional.isEmpty())
        return Usage(err, QStringLiteral("list takes no argument: ") + o.positional[0]);
    QList<TestRow> tests;
    QString error;
    if (!index.ListTests(o.filter, tests, &error)) {
        err << "celvio-history: " << error << '\n';
        return index.FailureExit();
    }
    if (o.json) {
        QJsonArray all;
        for (const TestRow& row : tests)
            all.append(TestJson(row));
        PrintJson(out, all);
    } else {
        QList<QStringList> rows;
        for (const TestRow& row : tests)
            rows.append(TestCells(row, index.IsChain()));
        PrintTable(out, TestHeader(index.IsChain()), rows);
    }
    return tests.isEmpty() ? kHistoryNothingFound : kHistoryOk;
}

int StatsCommand(HistorySource& index, const Options& o, QTextStream& out, QTextStream& err)
{
    if (!o.positional.isEmpty())
        return Usage(err, QStringLiteral("stats takes no argument: ") + o.positional[0]);
    QString error;
    if (o.by == QLatin1String("quantity")) {
        QList<QuantityRow> rows;
        if (!index.QuantityStats(o.filter, rows, &error)) {
            err << "celvio-history: " << error << '\n';
            return index.FailureExit();
        }
        if (o.json) {
            QJsonArray all;
            for (const QuantityRow& row : rows) {
                QJsonObject x;
                x[QStringLiteral("quantity")] = row.Quantity;
                x[QStringLiteral("failed_tests")] = row.FailedTests;
                x[QStringLiteral("failed_values")] = row.FailedValues;
                x[QStringLiteral("passed_on_repetition")] = row.Repeated;
                all.append(x);
            }
            PrintJson(out, all);
        } else {
            QList<QStringList> cells;
            for (const QuantityRow& row : rows)
                cells.append({row.Quantity, QString::number(row.FailedTests), QString::number(row.FailedValues),
                              QString::number(row.Repeated)});
            PrintTable(out,
                       {QStringLiteral("QUANTITY"), QStringLiteral("FAILED TESTS"), QStringLiteral("FAILED VALUES"),
                        QStringLiteral("PASSED ON REPETITION")},
                       cells);
        }
        return kHistoryOk;
    }
    StatsBy by = StatsBy::All;
    if (o.by == QLatin1String("model"))
        by = StatsBy::Model;
    else if (o.by == QLatin1String("day"))
        by = StatsBy::Day;
    else if (o.by == QLatin1String("week"))
        by = StatsBy::Week;
    else if (o.by == QLatin1String("shop") && index.IsChain())
        by = StatsBy::Shop;
    else if (o.by == QLatin1String("shop"))
        return Usage(err, QStringLiteral("--by shop counts the chain's shops: give --server or --chain"));
    else if (!o.by.isEmpty())
        return Usage(err, QStringLiteral("--by takes model, day, week or quantity (shop for the chain)"));
    QList<StatsRow> rows;
    if (!index.Stats(by, o.filter, rows, &error)) {
        err << "celvio-history: " << error << '\n';
        return index.FailureExit();
    }
    if (o.json) {
        QJsonArray all;
        for (const StatsRow& row : rows) {
            QJsonObject x;
            x[QStringLiteral("group")] = row.Group;
            x[QStringLiteral("tests")] = row.Tests;
            x[QStringLiteral("passed")] = row.Passed;
            x[QStringLiteral("failed")] = row.Failed;
            x[QStringLiteral("aborted")] = row.Aborted;
            x[QStringLiteral("pass_rate")] = row.Tests ? QJsonValue(row.PassRate()) : QJsonValue();
            x[QStringLiteral("swaps")] = row.Swaps;
            all.append(x);
        }
        PrintJson(out, all);
    } else {
        QList<QStringList> cells;
        for (const StatsRow& row : rows)
            cells.append({row.Group, QString::number(row.Tests), QString::number(row.Passed),
                          QString::number(row.Failed), QString::number(row.Aborted),
                          row.Tests ? Percent(row.PassRate()) + QLatin1Char('%') : QStringLiteral("-"),
                          QString::number(row.Swaps)});
        const QString first = by == StatsBy::Model ? QStringLiteral("MODEL")
                              : by == StatsBy::Day ? QStringLiteral("DAY")
                              : by == StatsBy::Week ? QStringLiteral("WEEK")
                              : by == StatsBy::Shop ? QStringLiteral("SHOP")
                                                    : QStringLiteral("ALL");
        PrintTable(out,
                   {first, QStringLiteral("TESTS"), QStringLiteral("PASSED"), QStringLiteral("FAILED"),
                    QStringLiteral("ABORTED"), QStringLiteral("PASS RATE"), QStringLiteral("SWAPS")},
                   cells);
    }
    return kHistoryOk;
}

int Export(HistorySource& index, const Options& o, QTextStream& out, QTextStream& err)
{
    if (o.csv.isEmpty())
        return Usage(err, QStringLiteral("export needs --csv FILE"));
    TestFilter filter = o.filter;
    filter.TestsOnly = true;
    QList<TestRow> tests;
    QString error;
    if (!index.ListTests(filter, tests, &error)) {
        err << "celvio-history: " << error << '\n';
        return index.FailureExit();
    }
    QByteArray bytes = CsvHeader(index.IsChain());
    for (const TestRow& row : tests)
        bytes += CsvRow(row, index.IsChain());
    if (o.csv == QLatin1String("-")) {
        out << QString::fromUtf8(bytes);
        return kHistoryOk;
    }
    if (!WriteFileAtomic(o.csv, bytes, &error)) {
        err << "celvio-history: cannot write " << o.csv << ": " << error << '\n';
        return kHistoryWriteError;
    }
    if (!o.json)
        out << tests.size() << " tests written to " << o.csv << '\n';
    return kHistoryOk;
}

void PrintCounts(QTextStream& out, const IndexCounts& c, HistoryIndex& index, bool json)
{
    QStringList skipped;
    QSqlQuery q(index.Database());
    if (q.exec(QStringLiteral("SELECT folder || '/' || name, reason FROM files WHERE status = 'skipped'"
                              " ORDER BY folder, name"))) {
        while (q.next())
            skipped << q.value(0).toString() + QStringLiteral(": ") + q.value(1).toString();
    }
    if (json) {
        QJsonObject x;
        x[QStringLiteral("read")] = c.Read;
        x[QStringLiteral("unchanged")] = c.Unchanged;
        x[QStringLiteral("removed")] = c.Removed;
        x[QStringLiteral("skipped")] = QJsonArray::fromStringList(skipped);
        x[QStringLiteral("ms")] = double(c.Ms);
        PrintJson(out, x);
        return;
    }
    out << c.Read << " files read, " << c.Unchanged << " unchanged, " << c.Removed << " removed, "
        << c.SkippedTotal << " skipped (damaged or foreign) in " << c.Ms << " ms\n";
    for (const QString& line : skipped)
        out << "skipped: " << line << '\n';
}

// The station's own index as the source of the queries.
class LocalHistorySource : public HistorySource {
public:
    explicit LocalHistorySource(HistoryIndex& index) : index_(index) {}
    bool FindTests(const QString& imei, QList<TestRow>& rows, QString* error) override
    {
        return celvio::FindTests(index_, imei, rows, error);
    }
    bool FindRecords(const QString& imei, QList<RecordRow>& rows, QString* error) override
    {
        return celvio::FindRecords(index_, imei, rows, error);
    }
    bool ListTests(const TestFilter& filter, QList<TestRow>& rows, QString* error) override
    {
        return celvio::ListTests(index_, filter, rows, error);
    }
    bool Stats(StatsBy by, const TestFilter& filter, QList<StatsRow>& rows, QString* error) override
    {
        return celvio::Stats(index_, by, filter, rows, error);
    }
    bool QuantityStats(const TestFilter& filter, QList<QuantityRow>& rows, QString* error) override
    {
        return celvio::QuantityStats(index_, filter, rows, error);
    }
    int FailureExit() const override { return kHistoryIndexError; }
    bool IsChain() const override { return false; }

private:
    HistoryIndex& index_;
};

int RunQuery(HistorySource& source, const Options& o, QTextStream& out, QTextStream& err)
{
    if (o.command == QLatin1String("find"))
        return Find(source, o, out, err);
    if (o.command == QLatin1String("list"))
        return List(source, o, out, err);
    if (o.command == QLatin1String("stats"))
        return StatsCommand(source, o, out, err);
    return Export(source, o, out, err);
}

}  // namespace

void PrintHistoryTable(QTextStream& out, const QStringList& header, const QList<QStringList>& rows)
{
    PrintTable(out, header, rows);
}

void PrintHistoryJson(QTextStream& out, const QJsonValue& value)
{
    PrintJson(out, value);
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
        "  list [FILTER]        the tests (and direct swaps), newest first\n"
        "  stats [--by model|day|week|quantity] [FILTER]\n"
        "                       tests, passed, failed, aborted, pass rate and swaps per group;\n"
        "                       by quantity: tests and values failed on each quantity\n"
        "  export --csv FILE [FILTER]\n"
        "                       one row per test (FILE - writes to standard output); columns:\n"
        "                       date,time,imei,imsi,model,system,verdict,failed,fault,\n"
        "                       tester_serial,firmware,file (UTF-8, CR LF); a text that\n"
        "                       starts with = + - @ gets a ' in front (no spreadsheet formula)\n"
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
        "  --help               this text\n"
        "\n"
        "A failed test counts as aborted when a call or the speech loopback failed, or when no\n"
        "value carries a failure mark. Damaged or foreign files are skipped and counted\n"
        "(update and rebuild list them).\n"
        "\n"
        "Exit codes: 0 done; 1 nothing found (find, list); 2 usage error; 3 the station or its\n"
        "index cannot be opened or read; 4 the export file cannot be written.\n");
}

int RunHistoryCli(const QStringList& args, QTextStream& out, QTextStream& err, HistorySource* chain)
{
    Options o;
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
    if (chain && (o.command == QLatin1String("update") || o.command == QLatin1String("rebuild")))
        return Usage(err, o.command + QStringLiteral(" works on the station's own index, not on the chain's"));
    if (chain)
        return RunQuery(*chain, o, out, err);
    if (o.station.isEmpty())
        o.station = QDir::currentPath();
    if (!QFileInfo(o.station).isDir()) {
        err << "celvio-history: no station directory " << o.station << '\n';
        return kHistoryIndexError;
    }

    HistoryIndex index(o.station);
    QString error;
    if (!index.Open(&error)) {
        err << "celvio-history: " << error << '\n';
        return kHistoryIndexError;
    }
    IndexCounts counts;
    if (o.command == QLatin1String("rebuild") || o.command == QLatin1String("update")) {
        const bool ok = o.command == QLatin1String("rebuild") ? index.Rebuild(&counts, &error)
                                                              : index.Update(UpdateScope::EveryFile, &counts, &error);
        if (!ok) {
            err << "celvio-history: " << error << '\n';
            return kHistoryIndexError;
        }
        PrintCounts(out, counts, index, o.json);
        return kHistoryOk;
    }
    if (o.update && !index.Update(UpdateScope::ChangedFolders, &counts, &error)) {
        // A station on a read-only medium can still be asked: the index as it is.
        err << "celvio-history: index not brought up to date: " << error << '\n';
    } else if (o.update && counts.Skipped > 0) {
        err << "celvio-history: " << counts.Skipped << " damaged or foreign files skipped\n";
    }
    LocalHistorySource local(index);
    return RunQuery(local, o, out, err);
}

}  // namespace celvio
