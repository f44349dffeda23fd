// celvio-history: the station's test history from the command line. The whole program
// is this function, so that tests run it without a process.
#pragma once

#include <QJsonValue>
#include <QStringList>
#include <QTextStream>

namespace celvio {

// Exit codes.
enum HistoryExit {
    kHistoryOk = 0,
    kHistoryNothingFound = 1,  // find: no test and no record of the IMEI; list: no test
    kHistoryUsage = 2,         // unknown command or option, a bad value
    kHistoryIndexError = 3,    // the station directory or its index cannot be opened or read
    kHistoryWriteError = 4,    // the export file cannot be written
};

class HistorySource;

// Runs one command; `args` without the program name. Results go to `out`, messages
// to `err`. With `chain`, find, list, stats and export ask it instead of the
// station's index (the head office's database).
int RunHistoryCli(const QStringList& args, QTextStream& out, QTextStream& err, HistorySource* chain = nullptr);

// The --help text.
QString HistoryUsage();

// The commands' output: a text table (columns as wide as their widest cell) and
// indented JSON, for the head office's commands to print alike.
void PrintHistoryTable(QTextStream& out, const QStringList& header, const QList<QStringList>& rows);
void PrintHistoryJson(QTextStream& out, const QJsonValue& value);

}  // namespace celvio
