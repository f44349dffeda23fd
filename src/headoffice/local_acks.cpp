#include "headoffice/local_acks.h"

#include "history/history_index.h"
#include "history/index_sql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace celvio {

namespace {

using index_sql::Fail;

qint64 Ms(const QDateTime& t)
{
    return t.isValid() ? t.toMSecsSinceEpoch() : 0;
}

QDateTime FromMs(qint64 ms)
{
    return ms > 0 ? QDateTime::fromMSecsSinceEpoch(ms) : QDateTime();
}

}  // namespace

bool EnsureAckTables(HistoryIndex& index, QString* error)
{
    if (!index.IsOpen() && !index.Open(error))
        return false;
    QSqlQuery q(index.Database());
    // Tables of an older layout are only a cache: they are made anew (the next push
    // sends everything once more, and the server keeps every row once).
    if (q.exec(QStringLiteral("SELECT (SELECT count(*) FROM pragma_table_info('headoffice_acks') WHERE name = 'file_id'),"
                              " (SELECT count(*) FROM pragma_table_info('headoffice_acks')),"
                              " (SELECT count(*) FROM pragma_table_info('headoffice_pushes') WHERE name = 'prefix_id'),"
                              " (SELECT count(*) FROM pragma_table_info('headoffice_pushes'))")) &&
        q.next() && ((q.value(0).toInt() == 0 && q.value(1).toInt() > 0) || (q.value(2).toInt() == 0 && q.value(3).toInt() > 0))) {
        q.finish();
        if (!q.exec(QStringLiteral("DROP TABLE IF EXISTS headoffice_acks")) ||
            !q.exec(QStringLiteral("DROP TABLE IF EXISTS headoffice_pushes")))
            return Fail(error, q);
    }
    q.finish();
    for (const char* sql :
         {"CREATE TABLE IF NOT EXISTS headoffice_acks (server TEXT NOT NULL, folder TEXT NOT NULL, name TEXT NOT NULL,"
          " size INTEGER NOT NULL, mtime INTEGER NOT NULL, file_id INTEGER NOT NULL, acked_at INTEGER NOT NULL,"
          " PRIMARY KEY (server, folder, name))",
          "CREATE TABLE IF NOT EXISTS headoffice_pushes (server TEXT PRIMARY KEY, last_attempt INTEGER,"
          " last_success INTEGER, last_error TEXT, pending INTEGER, prefix_id INTEGER NOT NULL DEFAULT 0)"}) {
        if (!q.exec(QString::fromLatin1(sql)))
            return Fail(error, q);
    }
    return true;
}

bool RecordAcks(HistoryIndex& index, const QString& serverKey, const QList<UploadFile>& files, QString* error)
{
    if (files.isEmpty())
        return true;
    QSqlDatabase db = index.Database();
    if (!db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO headoffice_acks (server, folder, name, size, mtime, file_id,"
                             " acked_at) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (const UploadFile& f : files) {
        q.bindValue(0, serverKey);
        q.bindValue(1, f.File.Folder);
        q.bindValue(2, f.File.Name);
        q.bindValue(3, f.File.Size);
        q.bindValue(4, f.File.MTime);
        q.bindValue(5, f.File.Id);
        q.bindValue(6, now);
        if (!q.exec()) {
            Fail(error, q);
            db.rollback();
            return false;
        }
    }
    if (!db.commit()) {
        if (error)
            *error = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

bool RecordPushOutcome(HistoryIndex& index, const QString& serverKey, const PushState& state, QString* error)
{
    if (!EnsureAckTables(index, error))
        return false;
    QSqlQuery q(index.Database());
    q.prepare(QStringLiteral("INSERT INTO headoffice_pushes (server, last_attempt, last_success, last_error, pending,"
                             " prefix_id) VALUES (?, ?, ?, ?, ?, max(?, 0)) ON CONFLICT(server) DO UPDATE SET"
                             " last_attempt = excluded.last_attempt,"
                             " last_success = CASE WHEN excluded.last_success > 0 THEN excluded.last_success"
                             " ELSE headoffice_pushes.last_success END,"
                             " last_error = excluded.last_error, pending = excluded.pending,"
                             " prefix_id = CASE WHEN ? >= 0 THEN ? ELSE headoffice_pushes.prefix_id END"));
    q.bindValue(0, serverKey);
    q.bindValue(1, Ms(state.LastAttempt));
    q.bindValue(2, Ms(state.LastSuccess));
    q.bindValue(3, state.LastError);
    q.bindValue(4, state.Pending);
    q.bindValue(5, state.PrefixId);
    q.bindValue(6, state.PrefixId);
    q.bindValue(7, state.PrefixId);
    return q.exec() || Fail(error, q);
}

bool ReadPushState(HistoryIndex& index, const QString& serverKey, PushState& state, QString* error)
{
    state = PushState{};
    if (!EnsureAckTables(index, error))
        return false;
    QSqlQuery q(index.Database());
    q.prepare(QStringLiteral("SELECT last_attempt, last_success, last_error, pending FROM headoffice_pushes"
                             " WHERE server = ?"));
    q.bindValue(0, serverKey);
    if (!q.exec())
        return Fail(error, q);
    if (q.next()) {
        state.LastAttempt = FromMs(q.value(0).toLongLong());
        state.LastSuccess = FromMs(q.value(1).toLongLong());
        state.LastError = q.value(2).toString();
        state.Pending = q.value(3).isNull() ? -1 : q.value(3).toInt();
    }
    return true;
}

}  // namespace celvio

namespace celvio {

qint64 AcknowledgedPrefix(HistoryIndex& index, const QString& serverKey)
{
    QSqlQuery q(index.Database());
    q.prepare(QStringLiteral("SELECT p.prefix_id FROM headoffice_pushes p JOIN files f ON f.id = p.prefix_id"
                             " JOIN headoffice_acks a ON a.server = p.server AND a.folder = f.folder AND a.name = f.name"
                             " AND a.size = f.size AND a.mtime = f.mtime AND a.file_id = f.id WHERE p.server = ?"));
    q.bindValue(0, serverKey);
    return q.exec() && q.next() ? q.value(0).toLongLong() : 0;
}

}  // namespace celvio
