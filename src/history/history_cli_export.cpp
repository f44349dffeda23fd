// celvio-history export --csv FILE: one row per test (the columns are in --help), to a
// file written whole or not at all, or to standard output with "-".
#include "history/history_cli.h"

#include "core/files.h"
#include "history/history_cli_commands.h"
#include "history/history_source.h"

namespace celvio {

int RunExportCommand(HistorySource& source, const Options& o, QTextStream& out, QTextStream& err)
{
    if (o.csv.isEmpty())
        return Usage(err, QStringLiteral("export needs --csv FILE"));
    TestFilter filter = o.filter;
    filter.TestsOnly = true;
    QList<TestRow> tests;
    QString error;
    if (!source.ListTests(filter, tests, &error))
        return QueryFailed(source, err, error);
    QByteArray bytes = CsvHeader(source.IsChain());
    for (const TestRow& row : tests)
        bytes += CsvRow(row, source.IsChain());
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

}  // namespace celvio
