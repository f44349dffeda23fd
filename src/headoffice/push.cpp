#include "headoffice/push.h"

#include "headoffice/local_acks.h"
#include "history/history_index.h"

#include <QElapsedTimer>

namespace celvio {

namespace {

// The index failed: a local fault, reported as such (the server is not to blame).
bool LocalFail(ServerError& error, const QString& what)
{
    error.Fault = ServerFault::Failed;
    error.Message = QStringLiteral("history index: ") + what;
    return false;
}

void NoteOutcome(HistoryIndex& index, const QString& key, const PushReport& report, const ServerError* failure)
{
    PushState state;
    state.LastAttempt = QDateTime::currentDateTime();
    if (!failure)
        state.LastSuccess = state.LastAttempt;
    state.LastError = failure ? failure->Message : QString();
    state.Pending = report.Pending;
    RecordPushOutcome(index, key, state, nullptr);
}

}  // namespace

bool Push(const PushOptions& options, PushReport& report, ServerError& error)
{
    QElapsedTimer clock;
    clock.start();
    report = PushReport{};
    HistoryIndex index(options.StationDir);
    QString why;
    if (!index.Open(&why))
        return LocalFail(error, why);
    if (options.UpdateIndex && !index.Update(UpdateScope::ChangedFolders, nullptr, &why))
        report.IndexWarning = why;
    const QString key = options.Server.Key();
    QList<PendingFile> pending;
    if (!PendingFiles(index, key, pending, &why))
        return LocalFail(error, why);
    report.Pending = int(pending.size());

    PgConnection db;
    if (!db.Connect(options.Server, options.ConnectTimeoutS, error)) {
        NoteOutcome(index, key, report, &error);
        return false;
    }
    for (qsizetype at = 0; at < pending.size(); at += options.BatchFiles) {
        if (options.BudgetMs > 0 && clock.elapsed() >= options.BudgetMs) {
            report.Complete = false;
            break;
        }
        QList<UploadFile> batch;
        if (!ReadUploadBatch(index, pending.mid(at, options.BatchFiles), batch, &why))
            return LocalFail(error, why);
        if (!SendBatch(db, options.Who, batch, report.Sent, error)) {
            NoteOutcome(index, key, report, &error);
            return false;
        }
        if (!RecordAcks(index, key, batch, &why))
            report.IndexWarning = QStringLiteral("acknowledgements not kept: ") + why;
        report.Pending -= int(batch.size());
    }
    if (!RecordPush(db, options.Who, report.Sent, report.Pending, error)) {
        NoteOutcome(index, key, report, &error);
        return false;
    }
    report.Ms = clock.elapsed();
    NoteOutcome(index, key, report, nullptr);
    return true;
}

}  // namespace celvio
