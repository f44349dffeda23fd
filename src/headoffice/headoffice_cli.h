// celvio-history as a whole: the station's own commands (history/history_cli.h) and the
// head office's: push, status, counters, server init|migrate|add-counter|add-reader,
// and find, list, stats, export asked of the chain's database with --server URI or
// --chain (the server of HEADOFFICE.INI).
#pragma once

#include "history/history_cli.h"

#include <QStringList>
#include <QTextStream>

namespace celvio {

// Exit codes beyond the station's own (0-4).
enum HeadOfficeExit {
    kHistoryServerDown = 5,     // nothing answers at the server's address, or the connection broke
    kHistoryLoginRefused = 6,   // wrong password, unknown role, or the server's rules refuse the login
    kHistoryNoDatabase = 7,     // the server has no database of that name
    kHistoryTlsRequired = 8,    // TLS required (sslmode), the server does not offer it
    kHistoryServerError = 9,    // no head-office schema, a newer one, or a statement failed
};

// The program; `args` without the program name.
int RunCelvioHistory(const QStringList& args, QTextStream& out, QTextStream& err);

// The --help text of the head office's commands (after HistoryUsage()).
QString HeadOfficeUsage();

}  // namespace celvio
