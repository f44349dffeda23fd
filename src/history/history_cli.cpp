#include "history/history_cli.h"

#include "core/files.h"
#include "history/cli_options.h"
#include "history/history_source.h"
#include "history/history_index.h"
#include "history/history_query.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QVariant>

namespace celvio {

namespace {

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

// A file of the index (named from the station directory) as a path that leads to it
// from anywhere.
QString Shown(const Options& o, const QString& relative)
{
    // The chain's rows name the file in its own station, which is not here.
    return o.root.isEmpty() ? relative : o.root + QLatin1Char('/') + relative;
}

QJsonObject TestJson(const Options& o, const TestRow& row)
{
    QJsonObject json;
    json[QStringLiteral("kind")] = row.Kind;
    json[QStringLiteral("date")] = row.Date;
    json[QStringLiteral("time")] = row.Time;
    json[QStringLiteral("imei")] = row.Imei;
    if (!row.OldImei.isEmpty())
        json[QStringLiteral("old_imei")] = row.OldImei;
    json[QStringLiteral("imsi")] = row.Imsi;
    json[QStringLiteral("model")] = row.Model;
    json[QStringLiteral("system")] = row.System;
    json[QStringLiteral("verdict")] = row.Verdict;
    json[QStringLiteral("failed")] = QJsonArray::fromStringList(row.Failed);
    json[QStringLiteral("fault")] = row.Fault;
    json[QStringLiteral("file")] = Shown(o, row.File);
    if (!row.Shop.isEmpty() || !row.Counter.isEmpty()) {
        json[QStringLiteral("shop")] = row.Shop;
        json[QStringLiteral("counter")] = row.Counter;
    }
    return json;
}

QStringList TestCells(const Options& o, const TestRow& row, bool chain)
{
    const QString imei = row.Kind == QLatin1String("direct swap") ? row.OldImei + QStringLiteral(" -> ") + row.Imei
                                                                  : row.Imei;
    QStringList cells{row.Date,    row.Time, imei, row.Model, row.System, row.Verdict,
                      row.Failed.join(QStringLiteral("; ")), Shown(o, row.File)};
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
            t.append(TestJson(o, row));
        for (const RecordRow& row : records) {
            QJsonObject x;
            x[QStringLiteral("kind")] = row.Kind;
            x[QStringLiteral("date")] = row.Date;
            x[QStringLiteral("old_imei")] = row.OldImei;
            x[QStringLiteral("new_imei")] = row.NewImei;
            x[QStringLiteral("club")] = row.Club;
            x[QStringLiteral("result")] = row.Result;
            x[QStringLiteral("file")] = Shown(o, row.File);
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
                rows.append(TestCells(o, row, index.IsChain()));
            PrintTable(out, TestHeader(index.IsChain()), rows);
        }
        if (!records.isEmpty()) {
            if (!tests.isEmpty())
                out << '\n';
            QList<QStringList> rows;
            for (const RecordRow& row : records) {
                rows.append({row.Date, row.Kind, row.OldImei, row.NewImei, row.Club, row.Result,
                             Shown(o, row.File) + QLatin1Char(':') + QString::number(row.Line)});
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
            all.append(TestJson(o, row));
        PrintJson(out, all);
    } else {
        QList<QStringList> rows;
        for (const TestRow& row : tests)
            rows.append(TestCells(o, row, index.IsChain()));
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
        QList<QuantityStatsRow> rows;
        if (!index.QuantityStats(o.filter, rows, &error)) {
            err << "celvio-history: " << error << '\n';
            return index.FailureExit();
        }
        if (o.json) {
            QJsonArray all;
            for (const QuantityStatsRow& row : rows) {
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
            for (const QuantityStatsRow& row : rows)
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

void PrintCounts(QTextStream& out, const IndexCounts& c, HistoryIndex& index, const Options& o)
{
    const bool json = o.json;
    QStringList skipped;
    QSqlQuery q(index.Database());
    if (q.exec(QStringLiteral("SELECT folder || '/' || name, reason FROM files WHERE status = 'skipped'"
                              " ORDER BY folder, name"))) {
        while (q.next())
            skipped << Shown(o, q.value(0).toString()) + QStringLiteral(": ") + q.value(1).toString();
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

// Opens the index and says how far it can be trusted; -1 when the command is to run,
// else the exit code.
int OpenIndex(HistoryIndex& index, Options& o, QTextStream& err)
{
    QString error;
    if (!index.Open(&error)) {
        err << "celvio-history: " << error << '\n';
        return kHistoryIndexError;
    }
    const bool rebuild = o.command == QLatin1String("rebuild");
    if (index.IsReadOnly()) {
        // A station this account may read but not write: the index as it stands.
        const QString why = index.DatabasePath() + QStringLiteral(" cannot be written (") + index.WriteProblem() +
                            QLatin1Char(')');
        if (rebuild || o.command == QLatin1String("update")) {
            err << "celvio-history: " << why << '\n';
            return kHistoryIndexError;
        }
        err << "celvio-history: " << why << ": the index may be behind the files\n";
        o.update = false;
    } else if (index.Access() == IndexAccess::Temporary) {
        err << "celvio-history: no index can be kept in " << o.root << " (" << index.WriteProblem()
            << "): the files are read into a temporary one\n";
        o.update = true;
    }
    return -1;
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
    bool QuantityStats(const TestFilter& filter, QList<QuantityStatsRow>& rows, QString* error) override
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

int RunHistoryCli(const QStringList& args, QTextStream& out, QTextStream& err, HistorySource* chain)
{
    Options o;
    if (const int code = ReadArguments(args, o, out, err, chain == nullptr); code >= 0)
        return code;
    if (chain && (o.command == QLatin1String("update") || o.command == QLatin1String("rebuild")))
        return Usage(err, o.command + QStringLiteral(" works on the station's own index, not on the chain's"));
    if (chain) {
        o.root.clear();
        return RunQuery(*chain, o, out, err);
    }
    HistoryIndex index(o.station, 2000, true);
    if (const int code = OpenIndex(index, o, err); code >= 0)
        return code;
    const bool rebuild = o.command == QLatin1String("rebuild");
    QString error;
    IndexCounts counts;
    if (rebuild || o.command == QLatin1String("update")) {
        const bool ok = rebuild ? index.Rebuild(&counts, &error) : index.Update(UpdateScope::EveryFile, &counts, &error);
        if (!ok) {
            err << "celvio-history: " << error << '\n';
            return kHistoryIndexError;
        }
        PrintCounts(out, counts, index, o);
        return kHistoryOk;
    }
    if (o.update && !index.Update(UpdateScope::ChangedFolders, &counts, &error)) {
        // Another process holds the index, or the disk failed: the index as it is.
        err << "celvio-history: index not brought up to date: " << error << '\n';
    } else if (o.update && counts.Skipped > 0) {
        err << "celvio-history: " << counts.Skipped << " damaged or foreign files skipped\n";
    }
    LocalHistorySource local(index);
    return RunQuery(local, o, out, err);
}

}  // namespace celvio
