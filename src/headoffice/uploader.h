// Sends batches of the station's files to the head office: rows are staged with COPY in
// temporary tables and moved into the upload tables with INSERT ... ON CONFLICT DO
// NOTHING, in one transaction per batch. A batch is on the server whole or not at all,
// and a batch sent twice (an acknowledgement lost on the way) adds nothing.
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

// Sends one batch in one transaction. The caller records the acknowledgement only when
// this returns true.
bool SendBatch(PgConnection& db, const StationIdentity& who, const QList<UploadFile>& files, SentCounts& counts,
               ServerError& error);

// Adds the push's own row (for the head office's list of counters).
bool RecordPush(PgConnection& db, const StationIdentity& who, const SentCounts& counts, int pending,
                ServerError& error);

}  // namespace celvio
