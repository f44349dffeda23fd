// The chain's history: celvio-history's find, list, stats and export answered by the
// head office's database, in the same rows as the station's own index.
#pragma once

#include "headoffice/pg_connection.h"
#include "history/history_source.h"

namespace celvio {

class ChainHistorySource : public HistorySource {
public:
    explicit ChainHistorySource(PgConnection& db) : db_(db) {}

    bool FindTests(const QString& imei, QList<TestRow>& rows, QString* error) override;
    bool FindRecords(const QString& imei, QList<RecordRow>& rows, QString* error) override;
    bool ListTests(const TestFilter& filter, QList<TestRow>& rows, QString* error) override;
    bool Stats(StatsBy by, const TestFilter& filter, QList<StatsRow>& rows, QString* error) override;
    bool QuantityStats(const TestFilter& filter, QList<QuantityStatsRow>& rows, QString* error) override;
    int FailureExit() const override;
    bool IsChain() const override { return true; }

private:
    bool Failed(QString* error);
    bool Tests(const QString& where, const QVariantList& params, const QString& tail, QList<TestRow>& rows,
               QString* error);
    bool SwapCounts(StatsBy by, const TestFilter& filter, QMap<QString, int>& swaps, QString* error);

    PgConnection& db_;
    ServerError last_;
};

// The exit code for a failure of the server.
int ServerExit(ServerFault fault);

}  // namespace celvio
