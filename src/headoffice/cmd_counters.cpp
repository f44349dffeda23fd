// celvio-history counters: every counter the head office knows, with its last push,
// what it had pending then and how many tests it sent; those never heard from first.
#include "headoffice/cli_common.h"

#include <QJsonArray>
#include <QJsonObject>

namespace celvio {

int RunCountersCommand(const HeadOfficeArgs& a, QTextStream& out, QTextStream& err)
{
    ServerAddress server;
    if (const int code = ResolveServer(a, server, err); code >= 0)
        return code;
    PgConnection db;
    if (const int code = ConnectOrReport(db, server, a.TimeoutS, err); code >= 0)
        return code;
    ServerError error;
    const auto r = db.Exec(
        QStringLiteral("SELECT s.station, coalesce(p.counter, ''), coalesce(p.service_point, ''),"
                       " coalesce(p.company, ''), coalesce(to_char(p.pushed_at, 'YYYY-MM-DD HH24:MI:SS'), 'never'),"
                       " coalesce(p.pending::text, '-'),"
                       " (SELECT count(*) FROM celvio.tests t WHERE t.station = s.station)"
                       " FROM (SELECT station FROM celvio.counters UNION SELECT DISTINCT station FROM celvio.pushes) s"
                       " LEFT JOIN LATERAL (SELECT * FROM celvio.pushes q WHERE q.station = s.station"
                       " ORDER BY q.pushed_at DESC, q.id DESC LIMIT 1) p ON true"
                       " ORDER BY p.pushed_at NULLS FIRST, s.station"),
        {}, error);
    if (!r)
        return ReportServerError(error, err);
    QList<QStringList> rows;
    QJsonArray all;
    for (int i = 0; i < r->Rows(); ++i) {
        QStringList row;
        for (int c = 0; c < 7; ++c)
            row << r->Text(i, c);
        rows << row;
        QJsonObject x;
        x[QStringLiteral("role")] = row[0];
        x[QStringLiteral("counter")] = row[1];
        x[QStringLiteral("shop")] = row[2];
        x[QStringLiteral("company")] = row[3];
        x[QStringLiteral("last_push")] = row[4] == QLatin1String("never") ? QJsonValue() : QJsonValue(row[4]);
        x[QStringLiteral("pending")] = row[5] == QLatin1String("-") ? QJsonValue() : QJsonValue(row[5].toInt());
        x[QStringLiteral("tests")] = row[6].toLongLong();
        all.append(x);
    }
    if (a.Json)
        PrintHistoryJson(out, all);
    else
        PrintHistoryTable(out,
                          {QStringLiteral("ROLE"), QStringLiteral("COUNTER"), QStringLiteral("SHOP"),
                           QStringLiteral("COMPANY"), QStringLiteral("LAST PUSH"), QStringLiteral("PENDING"),
                           QStringLiteral("TESTS")},
                          rows);
    return rows.isEmpty() ? kHistoryNothingFound : kHistoryOk;
}

}  // namespace celvio
