// The commands of celvio-history, one file each (history_cli_<command>.cpp), and the
// pieces of output they share. `RunHistoryCli` (history_cli.cpp) reads the command line,
// opens the station's index or takes the chain's source, and hands over to one of them.
#pragma once

#include "history/cli_options.h"
#include "history/history_query.h"

#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

namespace celvio {

class HistoryIndex;
class HistorySource;
struct IndexCounts;

// find IMEI: every test and swap record of one phone.
int RunFindCommand(HistorySource& source, const Options& o, QTextStream& out, QTextStream& err);
// list: the tests that pass the filters, newest first.
int RunListCommand(HistorySource& source, const Options& o, QTextStream& out, QTextStream& err);
// stats --by model|day|week|quantity|shop: the counts per group.
int RunStatsCommand(HistorySource& source, const Options& o, QTextStream& out, QTextStream& err);
// export --csv FILE: one row per test, to a file (written whole or not at all) or "-".
int RunExportCommand(HistorySource& source, const Options& o, QTextStream& out, QTextStream& err);
// update / rebuild: brings the station's own index up to date, or refills it.
int RunIndexCommand(HistoryIndex& index, const Options& o, QTextStream& out, QTextStream& err);

// A file of the index (named from the station directory) as a path that leads to it
// from anywhere.
QString Shown(const Options& o, const QString& relative);
// One test as a JSON object, and as the cells of a table row under TestHeader.
QJsonObject TestJson(const Options& o, const TestRow& row);
QStringList TestCells(const Options& o, const TestRow& row, bool chain);
QStringList TestHeader(bool chain);
// A query that failed: its reason on `err`; gives the source's exit code.
int QueryFailed(HistorySource& source, QTextStream& err, const QString& error);

}  // namespace celvio
