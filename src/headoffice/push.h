// A push: brings the station's index up to date, sends every file the server has not
// acknowledged in batches, records each committed batch in HISTORY.DB, and leaves a
// row of the push on the server. Stops between batches when its time is up; the next
// push goes on from there.
#pragma once

#include "headoffice/pg_connection.h"
#include "headoffice/uploader.h"

namespace celvio {

struct PushOptions {
    QString StationDir;
    ServerAddress Server;
    StationIdentity Who;
    qint64 BudgetMs = 0;      // 0: no limit
    int ConnectTimeoutS = 10;
    int BatchFiles = 5000;
    bool UpdateIndex = true;
    bool All = false;         // every file, acknowledged or not (after a restore of the server)
};

struct PushReport {
    SentCounts Sent;
    int Pending = 0;         // files still not acknowledged afterwards
    bool Complete = true;    // false: the time ran out first
    qint64 Ms = 0;
    QString IndexWarning;    // the index could not be brought up to date (pushed as it is)
};

// False with `error` when the index cannot be read or the server fails; what was
// committed before the failure stays acknowledged.
bool Push(const PushOptions& options, PushReport& report, ServerError& error);

}  // namespace celvio
