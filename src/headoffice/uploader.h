// Sends batches of the station's files to the head office, one transaction per batch:
// a batch is on the server whole or not at all, and a batch sent twice (an
// acknowledgement lost on the way) adds nothing (INSERT ... ON CONFLICT DO NOTHING on
// the rows' keys). A large batch is staged with COPY in temporary tables and moved into
// the upload tables by a script sent without waiting, so that the counter reads the
// next batch while the server inserts this one; a small one (a push after a cycle)
// goes row by row with parameters, without temporary tables.
#pragma once

#include "headoffice/pg_connection.h"
#include "headoffice/upload_source.h"

namespace celvio {

// Who sends: tags every row (the login role is added by the server).
struct StationIdentity {
    QString Counter;       // the counter's name (HEADOFFICE.INI COUNTER, else the host name)
    QString ServicePoint;  // the station's service point ID (swap.dat), may be empty
    QString Company;
};

// Reads the service point ID and company of the station (swap.dat, when there is one).
void ReadStationIdentity(const QString& stationDir, StationIdentity& identity);

struct SentCounts {
    int Tests = 0, Records = 0, Skipped = 0;  // rows sent
    int NewTests = 0, NewRecords = 0, NewSkipped = 0;  // rows the server did not hold yet
};

// The push's own row (for the head office's list of counters): rows sent, files left.
struct PushRow {
    int Tests = 0, Records = 0, Skipped = 0, Pending = 0;
};

class BatchSender {
public:
    BatchSender(PgConnection& db, const StationIdentity& who) : db_(db), who_(who) {}

    // Starts a batch; with `push`, the push's row goes in the same transaction.
    bool Start(const QList<UploadFile>& files, const PushRow* push, ServerError& error);
    // Waits for the batch's commit and adds what it sent to `counts`. The caller records
    // the acknowledgement only when this returns true.
    bool Finish(SentCounts& counts, ServerError& error);

    // Rows a batch sends; the counts of `files` alone.
    static SentCounts Count(const QList<UploadFile>& files);

private:
    bool Staged(const QList<UploadFile>& files, const PushRow* push, ServerError& error);
    bool Direct(const QList<UploadFile>& files, const PushRow* push, ServerError& error);
    bool Fail();

    PgConnection& db_;
    StationIdentity who_;
    bool staging_ = false;  // the temporary tables exist in this session
    bool waiting_ = false;  // a script was sent and its results are due
    SentCounts batch_;
};

// The push's row on its own (a push with nothing to send).
bool RecordPush(PgConnection& db, const StationIdentity& who, const PushRow& push, ServerError& error);

}  // namespace celvio
