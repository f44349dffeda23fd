// What the head office's commands share: their options, the server they talk to, and
// the messages of a failure.
#pragma once

#include "headoffice/headoffice_cli.h"
#include "headoffice/pg_connection.h"

namespace celvio {

struct HeadOfficeArgs {
    QString Station;   // --station, else the default station (DefaultStation); may be empty
    QString ServerUri; // --server
    bool Chain = false;        // --chain: query the server of HEADOFFICE.INI
    bool Json = false;
    bool IfConfigured = false; // push: a station without a head office is no error
    bool PasswordStdin = false;
    bool NoUpdate = false;
    bool Check = false;        // status --check: ask the server too
    bool All = false;          // push --all: every file, acknowledged or not
    QString Counter;           // --counter NAME (with --server)
    qint64 BudgetMs = 0;       // --budget-ms
    int TimeoutS = 10;         // --timeout: seconds to wait for the connection
    int BatchFiles = 5000;     // --batch-files: files per transaction of a push
    QString Command;
    QStringList Positional;
    QStringList Forward;       // the arguments for the station's own commands
};

// Reads the options (the station's and the head office's); returns -1 when the command
// may run, else an exit code (0 after --help or --version, printed on `out`).
int ParseHeadOfficeArgs(const QStringList& args, HeadOfficeArgs& a, QTextStream& out, QTextStream& err);

// The server: --server, else HEADOFFICE.INI. -1 when found, else an exit code.
int ResolveServer(const HeadOfficeArgs& a, ServerAddress& server, QTextStream& err);

// Prints "celvio-history: MESSAGE" and returns the failure's exit code.
int ReportServerError(const ServerError& error, QTextStream& err);

// Connects; -1 on success, else the exit code after the message.
int ConnectOrReport(PgConnection& db, const ServerAddress& server, int timeoutS, QTextStream& err);


int RunPushCommand(const HeadOfficeArgs& a, QTextStream& out, QTextStream& err);
int RunStatusCommand(const HeadOfficeArgs& a, QTextStream& out, QTextStream& err);
int RunServerCommand(const HeadOfficeArgs& a, QTextStream& out, QTextStream& err);
int RunCountersCommand(const HeadOfficeArgs& a, QTextStream& out, QTextStream& err);
int RunChainQuery(const HeadOfficeArgs& a, QTextStream& out, QTextStream& err);

}  // namespace celvio
