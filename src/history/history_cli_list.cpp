// celvio-history list: the tests that pass the filters (dates, model, verdict, first
// IMEI digits), newest first.
#include "history/history_cli.h"
#include "history/history_cli_commands.h"
#include "history/history_source.h"

#include <QJsonArray>

namespace celvio {

int RunListCommand(HistorySource& source, const Options& o, QTextStream& out, QTextStream& err)
{
    if (!o.positional.isEmpty())
        return Usage(err, QStringLiteral("list takes no argument: ") + o.positional[0]);
    QList<TestRow> tests;
    QString error;
    if (!source.ListTests(o.filter, tests, &error))
        return QueryFailed(source, err, error);
    if (o.json) {
        QJsonArray all;
        for (const TestRow& row : tests)
            all.append(TestJson(o, row));
        PrintHistoryJson(out, all);
    } else {
        QList<QStringList> rows;
        for (const TestRow& row : tests)
            rows.append(TestCells(o, row, source.IsChain()));
        PrintHistoryTable(out, TestHeader(source.IsChain()), rows);
    }
    return tests.isEmpty() ? kHistoryNothingFound : kHistoryOk;
}

}  // namespace celvio
