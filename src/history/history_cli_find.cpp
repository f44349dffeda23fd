// celvio-history find IMEI: every test and swap record of one phone, with its files.
#include "history/history_cli.h"
#include "history/history_cli_commands.h"
#include "history/history_source.h"

#include <QJsonArray>

namespace celvio {

namespace {

QJsonObject RecordJson(const Options& o, const RecordRow& row, bool chain)
{
    QJsonObject x;
    x[QStringLiteral("kind")] = row.Kind;
    x[QStringLiteral("date")] = row.Date;
    x[QStringLiteral("old_imei")] = row.OldImei;
    x[QStringLiteral("new_imei")] = row.NewImei;
    x[QStringLiteral("club")] = row.Club;
    x[QStringLiteral("result")] = row.Result;
    x[QStringLiteral("file")] = Shown(o, row.File);
    x[QStringLiteral("line")] = row.Line;
    if (chain) {
        x[QStringLiteral("shop")] = row.Shop;
        x[QStringLiteral("counter")] = row.Counter;
    }
    return x;
}

void PrintFoundJson(QTextStream& out, const Options& o, const QString& imei, const QList<TestRow>& tests,
                    const QList<RecordRow>& records, bool chain)
{
    QJsonArray t, r;
    for (const TestRow& row : tests)
        t.append(TestJson(o, row));
    for (const RecordRow& row : records)
        r.append(RecordJson(o, row, chain));
    QJsonObject all;
    all[QStringLiteral("imei")] = imei;
    all[QStringLiteral("tests")] = t;
    all[QStringLiteral("records")] = r;
    PrintHistoryJson(out, all);
}

// The swap records' table: each with its file and line.
void PrintRecordTable(QTextStream& out, const Options& o, const QList<RecordRow>& records, bool chain)
{
    QList<QStringList> rows;
    for (const RecordRow& row : records) {
        rows.append({row.Date, row.Kind, row.OldImei, row.NewImei, row.Club, row.Result,
                     Shown(o, row.File) + QLatin1Char(':') + QString::number(row.Line)});
        if (chain)
            rows.last() << row.Shop << row.Counter;
    }
    QStringList header{QStringLiteral("DATE"),     QStringLiteral("RECORD"), QStringLiteral("OLD IMEI"),
                       QStringLiteral("NEW IMEI"), QStringLiteral("CLUB"),   QStringLiteral("RESULT"),
                       QStringLiteral("FILE")};
    if (chain)
        header << QStringLiteral("SHOP") << QStringLiteral("COUNTER");
    PrintHistoryTable(out, header, rows);
}

// The tests' table, then (after a blank line) the swap records'; each only when it has rows.
void PrintFoundTables(QTextStream& out, const Options& o, const QString& imei, const QList<TestRow>& tests,
                      const QList<RecordRow>& records, bool chain)
{
    if (tests.isEmpty() && records.isEmpty())
        out << "No test and no swap record of " << imei << ".\n";
    if (!tests.isEmpty()) {
        QList<QStringList> rows;
        for (const TestRow& row : tests)
            rows.append(TestCells(o, row, chain));
        PrintHistoryTable(out, TestHeader(chain), rows);
    }
    if (!records.isEmpty()) {
        if (!tests.isEmpty())
            out << '\n';
        PrintRecordTable(out, o, records, chain);
    }
}

}  // namespace

int RunFindCommand(HistorySource& source, const Options& o, QTextStream& out, QTextStream& err)
{
    if (o.positional.size() != 1)
        return Usage(err, QStringLiteral("find needs one IMEI"));
    QString imei = o.positional[0];
    imei.remove(QLatin1Char('/')).remove(QLatin1Char('-')).remove(QLatin1Char('.'));
    QList<TestRow> tests;
    QList<RecordRow> records;
    QString error;
    if (!source.FindTests(imei, tests, &error) || !source.FindRecords(imei, records, &error))
        return QueryFailed(source, err, error);
    if (o.json)
        PrintFoundJson(out, o, imei, tests, records, source.IsChain());
    else
        PrintFoundTables(out, o, imei, tests, records, source.IsChain());
    return tests.isEmpty() && records.isEmpty() ? kHistoryNothingFound : kHistoryOk;
}

}  // namespace celvio
