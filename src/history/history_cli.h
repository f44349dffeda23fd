// celvio-history: the station's test history from the command line. The whole program
// is this function, so that tests run it without a process.
#pragma once

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

// Runs one command; `args` without the program name. Results go to `out`, messages
// to `err`.
int RunHistoryCli(const QStringList& args, QTextStream& out, QTextStream& err);

// The --help text.
QString HistoryUsage();

}  // namespace celvio
