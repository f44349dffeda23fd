// celvio-history's dispatcher: reads the command line, opens the station's index (or
// takes the chain's source) and runs one command (history_cli_<command>.cpp).
#include "history/history_cli.h"

#include "history/cli_options.h"
#include "history/history_cli_commands.h"
#include "history/history_index.h"
#include "history/history_query.h"
#include "history/history_source.h"

namespace celvio {

namespace {

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
        return RunFindCommand(source, o, out, err);
    if (o.command == QLatin1String("list"))
        return RunListCommand(source, o, out, err);
    if (o.command == QLatin1String("stats"))
        return RunStatsCommand(source, o, out, err);
    return RunExportCommand(source, o, out, err);
}

}  // namespace

int RunHistoryCli(const QStringList& args, QTextStream& out, QTextStream& err, HistorySource* chain)
{
    Options o;
    if (const int code = ReadArguments(args, o, out, err, chain == nullptr); code >= 0)
        return code;
    const bool changesIndex = o.command == QLatin1String("update") || o.command == QLatin1String("rebuild");
    if (chain && changesIndex)
        return Usage(err, o.command + QStringLiteral(" works on the station's own index, not on the chain's"));
    if (chain) {
        o.root.clear();
        return RunQuery(*chain, o, out, err);
    }
    HistoryIndex index(o.station, 2000, true);
    if (const int code = OpenIndex(index, o, err); code >= 0)
        return code;
    if (changesIndex)
        return RunIndexCommand(index, o, out, err);
    QString error;
    IndexCounts counts;
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
