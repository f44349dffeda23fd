#include "headoffice/push.h"

#include "headoffice/local_acks.h"
#include "history/history_index.h"

#include <QElapsedTimer>
#include <QSet>

namespace celvio {

namespace {

// The index failed: a local fault, reported as such (the server is not to blame).
bool LocalFail(ServerError& error, const QString& what)
{
    error.Fault = ServerFault::Failed;
    error.Message = QStringLiteral("history index: ") + what;
    return false;
}

void NoteOutcome(HistoryIndex& index, const QString& key, const PushReport& report, const ServerError* failure,
                 qint64 prefix = -1)
{
    PushState state;
    state.PrefixId = prefix;
    state.LastAttempt = QDateTime::currentDateTime();
    if (!failure)
        state.LastSuccess = state.LastAttempt;
    state.LastError = failure ? failure->Message : QString();
    state.Pending = report.Pending;
    RecordPushOutcome(index, key, state, nullptr);
}

// The last file of the pending ones (in the index's order) up to which every one is now
// acknowledged; -1 when the first is not (the stored prefix stays).
qint64 NewPrefix(const QList<PendingFile>& pending, const QSet<qint64>& acked)
{
    qint64 prefix = -1;
    for (const PendingFile& f : pending) {
        if (!acked.contains(f.Id))
            break;
        prefix = f.Id;
    }
    return prefix;
}

// Batch after batch; while the server inserts one, the next is read from the station.
bool SendAll(HistoryIndex& index, PgConnection& db, const PushOptions& options, const QElapsedTimer& clock,
             const QList<PendingFile>& pending, PushReport& report, QSet<qint64>& acked, ServerError& error)
{
    const QString key = options.Server.Key();
    BatchSender sender(db, options.Who);
    QString why;
    qsizetype at = 0;
    // A batch whose files all changed since the index read them is passed over.
    auto readSome = [&](QList<UploadFile>& batch) {
        batch.clear();
        while (batch.isEmpty() && at < pending.size()) {
            const QList<PendingFile> files = pending.mid(at, options.BatchFiles);
            at += files.size();
            if (!ReadUploadBatch(index, files, batch, &why))
                return false;
        }
        return true;
    };
    QList<UploadFile> current;
    if (!readSome(current))
        return LocalFail(error, why);
    bool pushRowSent = false;
    while (!current.isEmpty()) {
        const bool timeUp = options.BudgetMs > 0 && clock.elapsed() >= options.BudgetMs;
        const bool last = at >= pending.size() || timeUp;
        const SentCounts now = BatchSender::Count(current);
        const PushRow row{report.Sent.Tests + now.Tests, report.Sent.Records + now.Records,
                          report.Sent.Skipped + now.Skipped, report.Pending - int(current.size())};
        if (!sender.Start(current, last ? &row : nullptr, error))
            return false;
        QList<UploadFile> next;
        const bool readOk = last || readSome(next);
        if (!sender.Finish(report.Sent, error))
            return false;
        pushRowSent = last;
        if (!RecordAcks(index, key, current, &why))
            report.IndexWarning = QStringLiteral("acknowledgements not kept: ") + why;
        for (const UploadFile& f : current)
            acked.insert(f.File.Id);
        report.Pending -= int(current.size());
        if (!readOk)
            return LocalFail(error, why);
        report.Complete = !timeUp || at >= pending.size();
        current = last ? QList<UploadFile>() : std::move(next);
    }
    return pushRowSent || RecordPush(db, options.Who, PushRow{report.Sent.Tests, report.Sent.Records,
                                                               report.Sent.Skipped, report.Pending}, error);
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
    if (!PendingFiles(index, key, pending, &why, options.All))
        return LocalFail(error, why);
    report.Pending = int(pending.size());

    PgConnection db;
    if (!db.Connect(options.Server, options.ConnectTimeoutS, error)) {
        NoteOutcome(index, key, report, &error);
        return false;
    }
    QSet<qint64> acked;
    if (!SendAll(index, db, options, clock, pending, report, acked, error)) {
        if (error.Fault != ServerFault::None && !error.Message.startsWith(QLatin1String("history index: ")))
            NoteOutcome(index, key, report, &error);
        return false;
    }
    report.Ms = clock.elapsed();
    NoteOutcome(index, key, report, nullptr, NewPrefix(pending, acked));
    return true;
}

}  // namespace celvio
