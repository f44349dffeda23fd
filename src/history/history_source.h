// Where celvio-history's questions are answered: the station's own index, or (through
// the head office's implementation, above this folder) the whole chain's database.
// Both fill the same rows, so the commands print the same shapes either way.
#pragma once

#include "history/history_query.h"

namespace celvio {

class HistorySource {
public:
    virtual ~HistorySource() = default;
    virtual bool FindTests(const QString& imei, QList<TestRow>& rows, QString* error) = 0;
    virtual bool FindRecords(const QString& imei, QList<RecordRow>& rows, QString* error) = 0;
    virtual bool ListTests(const TestFilter& filter, QList<TestRow>& rows, QString* error) = 0;
    virtual bool Stats(StatsBy by, const TestFilter& filter, QList<StatsRow>& rows, QString* error) = 0;
    virtual bool QuantityStats(const TestFilter& filter, QList<QuantityStatsRow>& rows, QString* error) = 0;
    // The exit code that the last failure calls for.
    virtual int FailureExit() const = 0;
    // True for the chain: rows carry their shop and counter.
    virtual bool IsChain() const = 0;
};

}  // namespace celvio
