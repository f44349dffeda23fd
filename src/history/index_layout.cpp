#include "history/index_layout.h"

#include <QSqlQuery>

namespace celvio {

namespace {

// Each table with its columns (history_index.h describes them), and the layout that
// brought them.
const struct {
    int since;
    const char* table;
    const char* columns;
} kTables[] = {
    {1, "folders", "path, mtime"},
    {1, "files", "id, folder, name, size, mtime, kind, status, reason"},
    {2, "files", "hash"},
    {1, "tests", "id, file_id, kind, date, time, stamp, date_text, time_text, imei, old_imei, imsi, model, system,"
                 " verdict, fault, tester, serial, firmware, coupler, version"},
    {1, "marks", "test_id, quantity, row_name, channel, band, value, limit_text, mark"},
    {3, "reading_rows", "id, quantity, row_name, limit_text"},
    {3, "readings", "test_id, cells"},
    {1, "records", "id, file_id, line, kind, old_imei, new_imei, club, date, result, service_point"},
};

}  // namespace

bool HasLayoutTables(const QSqlDatabase& db, int version)
{
    for (const auto& t : kTables) {
        // Prepared, not run: SQLite checks the names when it compiles the statement.
        QSqlQuery q(db);
        if (t.since <= version &&
            !q.prepare(QStringLiteral("SELECT %1 FROM %2 LIMIT 0").arg(QLatin1String(t.columns), QLatin1String(t.table))))
            return false;
    }
    return true;
}

}  // namespace celvio
