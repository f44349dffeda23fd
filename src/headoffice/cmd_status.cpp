// celvio-history status: what the station has not pushed, and when the last push
// succeeded. Reads only the station's index: it works while the server is down.
#include "headoffice/cli_common.h"
#include "headoffice/local_acks.h"
#include "history/history_index.h"

#include <QJsonObject>

namespace celvio {

namespace {

QString When(const QDateTime& t)
{
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : QStringLiteral("never");
}

}  // namespace

int RunStatusCommand(const HeadOfficeArgs& a, QTextStream& out, QTextStream& err)
{
    ServerAddress server;
    if (const int code = ResolveServer(a, server, err); code >= 0)
        return code;
    HistoryIndex index(a.Station);
    QString why;
    PushState state;
    QList<PendingFile> pending;
    if (!index.Open(&why) || (!a.NoUpdate && !index.Update(UpdateScope::ChangedFolders, nullptr, &why)) ||
        !PendingFiles(index, server.Key(), pending, &why) || !ReadPushState(index, server.Key(), state, &why)) {
        err << "celvio-history: " << why << '\n';
        return kHistoryIndexError;
    }
    // With --check the server is asked too: reachable, or why not (and its exit code).
    ServerError reach;
    if (a.Check) {
        PgConnection db;
        db.Connect(server, a.TimeoutS, reach);
    }
    int tests = 0, records = 0, skipped = 0;
    for (const PendingFile& f : pending)
        ++(f.Skipped ? skipped : f.Result ? tests : records);
    if (a.Json) {
        QJsonObject x;
        x[QStringLiteral("server")] = server.Description;
        x[QStringLiteral("pending_files")] = int(pending.size());
        x[QStringLiteral("pending_result_files")] = tests;
        x[QStringLiteral("pending_record_files")] = records;
        x[QStringLiteral("pending_skipped_files")] = skipped;
        x[QStringLiteral("last_success")] = state.LastSuccess.isValid() ? When(state.LastSuccess) : QJsonValue();
        x[QStringLiteral("last_attempt")] = state.LastAttempt.isValid() ? When(state.LastAttempt) : QJsonValue();
        x[QStringLiteral("last_error")] = state.LastError;
        if (a.Check) {
            x[QStringLiteral("reachable")] = reach.Fault == ServerFault::None;
            x[QStringLiteral("reason")] = reach.Message;
        }
        PrintHistoryJson(out, x);
        return a.Check && reach.Fault != ServerFault::None ? ReportServerError(reach, err) : kHistoryOk;
    }
    out << "Head office: " << server.Description << '\n'
        << "Pending: " << pending.size() << " files (" << tests << " result files, " << records << " record files, "
        << skipped << " skipped files)\n"
        << "Last push: " << When(state.LastSuccess) << '\n';
    if (!state.LastError.isEmpty())
        out << "Last attempt: " << When(state.LastAttempt) << " failed: " << state.LastError << '\n';
    if (!a.Check)
        return kHistoryOk;
    if (reach.Fault != ServerFault::None)
        return ReportServerError(reach, err);
    out << "Server: reachable\n";
    return kHistoryOk;
}

}  // namespace celvio
