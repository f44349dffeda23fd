// What the head office has acknowledged, kept in the station's HISTORY.DB beside the
// index: one row per file the server holds (by server, path, size and time), and the
// last push to each server. These rows are a cache: when they are lost (the index
// deleted or rebuilt), the next push sends everything again and the server's keys
// keep every row once.
//
// Tables:
//   headoffice_acks(server, folder, name, size, mtime, file_id, acked_at)
//   headoffice_pushes(server, last_attempt, last_success, last_error, pending, prefix_id)
// prefix_id: every file of the index with an id up to it is acknowledged (ids only grow;
// a file read again gets a new one), so that finding what is pending reads only the
// files after it. It counts only while its own file still has its acknowledgement.
#pragma once

#include "headoffice/upload_source.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace celvio {

class HistoryIndex;

bool EnsureAckTables(HistoryIndex& index, QString* error);

// Records the files of a batch the server has committed.
bool RecordAcks(HistoryIndex& index, const QString& serverKey, const QList<UploadFile>& files, QString* error);

struct PushState {
    QDateTime LastAttempt, LastSuccess;  // invalid: never
    QString LastError;                   // empty after a push that succeeded
    int Pending = -1;                    // files not acknowledged; -1 unknown
    qint64 PrefixId = -1;                // see above; -1: keep the stored one
};

// The stored prefix_id when its file still has its acknowledgement, else 0.
qint64 AcknowledgedPrefix(HistoryIndex& index, const QString& serverKey);

bool RecordPushOutcome(HistoryIndex& index, const QString& serverKey, const PushState& state, QString* error);
bool ReadPushState(HistoryIndex& index, const QString& serverKey, PushState& state, QString* error);

}  // namespace celvio
