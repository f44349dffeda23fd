// celvio-history stats: tests, passed, failed, aborted, pass rate and swaps per model,
// day, ISO week or (the chain's) shop; --by quantity counts the failures per quantity.
#include "history/history_cli.h"
#include "history/history_cli_commands.h"
#include "history/history_source.h"

#include <QJsonArray>

namespace celvio {

namespace {

QString Percent(double value)
{
    return QString::number(value, 'f', 1);
}

// --by quantity: how often each quantity failed, and passed only on repetition.
int QuantityStatsCommand(HistorySource& source, const Options& o, QTextStream& out, QTextStream& err)
{
    QList<QuantityStatsRow> rows;
    QString error;
    if (!source.QuantityStats(o.filter, rows, &error))
        return QueryFailed(source, err, error);
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
        PrintHistoryJson(out, all);
        return kHistoryOk;
    }
    QList<QStringList> cells;
    for (const QuantityStatsRow& row : rows)
        cells.append({row.Quantity, QString::number(row.FailedTests), QString::number(row.FailedValues),
                      QString::number(row.Repeated)});
    PrintHistoryTable(out,
                      {QStringLiteral("QUANTITY"), QStringLiteral("FAILED TESTS"), QStringLiteral("FAILED VALUES"),
                       QStringLiteral("PASSED ON REPETITION")},
                      cells);
    return kHistoryOk;
}

// The grouping that --by names; -1 when it is one, else the usage error's exit code.
int ReadStatsBy(const QString& name, bool chain, StatsBy& by, QTextStream& err)
{
    by = StatsBy::All;
    if (name == QLatin1String("model"))
        by = StatsBy::Model;
    else if (name == QLatin1String("day"))
        by = StatsBy::Day;
    else if (name == QLatin1String("week"))
        by = StatsBy::Week;
    else if (name == QLatin1String("shop") && chain)
        by = StatsBy::Shop;
    else if (name == QLatin1String("shop"))
        return Usage(err, QStringLiteral("--by shop counts the chain's shops: give --server or --chain"));
    else if (!name.isEmpty())
        return Usage(err, QStringLiteral("--by takes model, day, week or quantity (shop for the chain)"));
    return -1;
}

void PrintStatsJson(QTextStream& out, const QList<StatsRow>& rows)
{
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
    PrintHistoryJson(out, all);
}

void PrintStatsTable(QTextStream& out, StatsBy by, const QList<StatsRow>& rows)
{
    QList<QStringList> cells;
    for (const StatsRow& row : rows)
        cells.append({row.Group, QString::number(row.Tests), QString::number(row.Passed),
                      QString::number(row.Failed), QString::number(row.Aborted),
                      row.Tests ? Percent(row.PassRate()) + QLatin1Char('%') : QStringLiteral("-"),
                      QString::number(row.Swaps)});
    const QString first = by == StatsBy::Model  ? QStringLiteral("MODEL")
                          : by == StatsBy::Day  ? QStringLiteral("DAY")
                          : by == StatsBy::Week ? QStringLiteral("WEEK")
                          : by == StatsBy::Shop ? QStringLiteral("SHOP")
                                                : QStringLiteral("ALL");
    PrintHistoryTable(out,
                      {first, QStringLiteral("TESTS"), QStringLiteral("PASSED"), QStringLiteral("FAILED"),
                       QStringLiteral("ABORTED"), QStringLiteral("PASS RATE"), QStringLiteral("SWAPS")},
                      cells);
}

}  // namespace

int RunStatsCommand(HistorySource& source, const Options& o, QTextStream& out, QTextStream& err)
{
    if (!o.positional.isEmpty())
        return Usage(err, QStringLiteral("stats takes no argument: ") + o.positional[0]);
    if (o.by == QLatin1String("quantity"))
        return QuantityStatsCommand(source, o, out, err);
    StatsBy by = StatsBy::All;
    if (const int code = ReadStatsBy(o.by, source.IsChain(), by, err); code >= 0)
        return code;
    QList<StatsRow> rows;
    QString error;
    if (!source.Stats(by, o.filter, rows, &error))
        return QueryFailed(source, err, error);
    if (o.json)
        PrintStatsJson(out, rows);
    else
        PrintStatsTable(out, by, rows);
    return kHistoryOk;
}

}  // namespace celvio
