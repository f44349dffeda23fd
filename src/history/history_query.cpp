#include "history/history_query.h"

#include "history/history_index.h"
#include "history/index_sql.h"

#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace celvio {

namespace {

const QString kTestColumns = QStringLiteral(
    "t.id, t.kind, t.date, t.time, t.imei, t.old_imei, t.imsi, t.model, t.system, t.verdict, t.fault,"
    " t.serial, t.firmware, f.folder || '/' || f.name,"
    " (SELECT group_concat(m.quantity || CASE WHEN m.channel > 0 THEN ' [' || m.channel || ']' ELSE '' END"
    "  || ': ' || m.value, '; ') FROM marks m WHERE m.test_id = t.id AND m.mark = '*')");

TestRow ReadTest(const QSqlQuery& q, bool withMarks)
{
    TestRow row;
    int n = 0;
    row.Id = q.value(n++).toLongLong();
    row.Kind = q.value(n++).toString();
    row.Date = q.value(n++).toString();
    row.Time = q.value(n++).toString();
    row.Imei = q.value(n++).toString();
    row.OldImei = q.value(n++).toString();
    row.Imsi = q.value(n++).toString();
    row.Model = q.value(n++).toString();
    row.System = q.value(n++).toString();
    row.Verdict = q.value(n++).toString();
    row.Fault = q.value(n++).toString();
    row.TesterSerial = q.value(n++).toString();
    row.Firmware = q.value(n++).toString();
    row.File = q.value(n++).toString();
    if (withMarks) {
        const QString failed = q.value(n).toString();
        if (!failed.isEmpty())
            row.Failed = failed.split(QStringLiteral("; "));
    }
    return row;
}

using index_sql::Fail;

bool Ready(HistoryIndex& index, QString* error)
{
    return index.IsOpen() || index.Open(error);
}

// The upper end of a prefix range: every text that begins with the prefix sorts
// below it.
QString PrefixEnd(const QString& prefix)
{
    return prefix + QChar(0xFFFF);
}

// WHERE conditions for a test filter on the table alias t, with their values.
struct Where {
    QStringList conditions;
    QVariantList values;

    void Add(const QString& condition, const QVariantList& bound = {})
    {
        conditions << condition;
        values << bound;
    }
    QString Sql() const
    {
        return conditions.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    }
    void Bind(QSqlQuery& q) const
    {
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i]);
    }
};

Where TestWhere(const TestFilter& filter, bool testsOnly)
{
    Where w;
    if (testsOnly || filter.TestsOnly)
        w.Add(QStringLiteral("t.kind = 'test'"));
    // Through the stamp ("yyyy-MM-dd hh:mm:ss"), whose index serves a range of days.
    if (filter.Since.isValid())
        w.Add(QStringLiteral("t.stamp >= ?"), {filter.Since.toString(Qt::ISODate)});
    if (filter.Until.isValid())
        w.Add(QStringLiteral("t.stamp < ?"), {filter.Until.addDays(1).toString(Qt::ISODate)});
    if (!filter.Model.isEmpty())
        w.Add(QStringLiteral("instr(lower(t.model), lower(?)) > 0"), {filter.Model});
    if (!filter.Verdict.isEmpty())
        w.Add(QStringLiteral("t.verdict = ?"), {filter.Verdict});
    if (!filter.ImeiPrefix.isEmpty())
        w.Add(QStringLiteral("t.id IN (SELECT id FROM tests WHERE imei >= ? AND imei < ?"
                             " UNION SELECT id FROM tests WHERE old_imei >= ? AND old_imei < ?)"),
              {filter.ImeiPrefix, PrefixEnd(filter.ImeiPrefix), filter.ImeiPrefix, PrefixEnd(filter.ImeiPrefix)});
    return w;
}

// Swap-file lines by group, for the same filter (dates of the record, model of the
// old phone as tested here).
bool SwapCounts(HistoryIndex& index, StatsBy by, const TestFilter& filter, QMap<QString, int>& swaps,
                QString* error)
{
    const bool byModel = by == StatsBy::Model || !filter.Model.isEmpty();
    // The model of a swapped phone: the one of its latest test here.
    const QString model = QStringLiteral(
        "(SELECT t.model FROM tests t WHERE t.imei = r.old_imei AND t.kind = 'test' ORDER BY t.stamp DESC LIMIT 1)");
    QString sql = QStringLiteral("SELECT ") +
                  (by == StatsBy::Model ? QStringLiteral("r.m")
                                        : by == StatsBy::All ? QStringLiteral("'all'") : QStringLiteral("r.date")) +
                  QStringLiteral(", COUNT(*) FROM (SELECT r.date, r.kind, r.old_imei") +
                  (byModel ? QStringLiteral(", ") + model + QStringLiteral(" AS m") : QString()) +
                  QStringLiteral(" FROM records r) r");
    Where w;
    w.Add(QStringLiteral("r.kind = 'SWAP'"));
    if (filter.Since.isValid())
        w.Add(QStringLiteral("r.date >= ?"), {filter.Since.toString(Qt::ISODate)});
    if (filter.Until.isValid())
        w.Add(QStringLiteral("r.date <= ?"), {filter.Until.toString(Qt::ISODate)});
    if (!filter.Model.isEmpty())
        w.Add(QStringLiteral("instr(lower(r.m), lower(?)) > 0"), {filter.Model});
    if (!filter.ImeiPrefix.isEmpty())
        w.Add(QStringLiteral("r.old_imei >= ? AND r.old_imei < ?"),
              {filter.ImeiPrefix, PrefixEnd(filter.ImeiPrefix)});
    sql += w.Sql() + QStringLiteral(" GROUP BY 1");
    QSqlQuery q(index.Database());
    if (!q.prepare(sql))
        return Fail(error, q);
    w.Bind(q);
    if (!q.exec())
        return Fail(error, q);
    while (q.next())
        swaps[q.value(0).toString()] += q.value(1).toInt();
    return true;
}

}  // namespace

QString WeekName(const QDate& day)
{
    int year = 0;
    const int week = day.weekNumber(&year);
    return QStringLiteral("%1-W%2").arg(year).arg(week, 2, 10, QLatin1Char('0'));
}

bool FindTests(HistoryIndex& index, const QString& imei, QList<TestRow>& rows, QString* error)
{
    rows.clear();
    if (!Ready(index, error))
        return false;
    QSqlQuery q(index.Database());
    if (!q.prepare(QStringLiteral("SELECT ") + kTestColumns +
                   QStringLiteral(" FROM tests t JOIN files f ON f.id = t.file_id"
                                  " WHERE t.id IN (SELECT id FROM tests WHERE imei = ?"
                                  " UNION SELECT id FROM tests WHERE old_imei = ?)"
                                  " ORDER BY t.stamp DESC, t.id DESC")))
        return Fail(error, q);
    q.bindValue(0, imei);
    q.bindValue(1, imei);
    if (!q.exec())
        return Fail(error, q);
    while (q.next())
        rows.append(ReadTest(q, true));
    return true;
}

bool FindRecords(HistoryIndex& index, const QString& imei, QList<RecordRow>& rows, QString* error)
{
    rows.clear();
    if (!Ready(index, error))
        return false;
    QSqlQuery q(index.Database());
    if (!q.prepare(QStringLiteral(
            "SELECT r.kind, r.date, r.old_imei, r.new_imei, r.club, r.result, r.service_point,"
            " f.folder || '/' || f.name, r.line FROM records r JOIN files f ON f.id = r.file_id"
            " WHERE r.id IN (SELECT id FROM records WHERE old_imei = ? UNION SELECT id FROM records WHERE new_imei = ?)"
            " ORDER BY r.date DESC, f.name, r.line DESC")))
        return Fail(error, q);
    q.bindValue(0, imei);
    q.bindValue(1, imei);
    if (!q.exec())
        return Fail(error, q);
    while (q.next()) {
        RecordRow row;
        row.Kind = q.value(0).toString();
        row.Date = q.value(1).toString();
        row.OldImei = q.value(2).toString();
        row.NewImei = q.value(3).toString();
        row.Club = q.value(4).toString();
        row.Result = q.value(5).toString();
        row.ServicePoint = q.value(6).toString();
        row.File = q.value(7).toString();
        row.Line = q.value(8).toInt();
        rows.append(row);
    }
    return true;
}

bool ListTests(HistoryIndex& index, const TestFilter& filter, QList<TestRow>& rows, QString* error, bool withMarks)
{
    rows.clear();
    if (!Ready(index, error))
        return false;
    const Where w = TestWhere(filter, false);
    QString columns = kTestColumns;
    if (!withMarks)
        columns = columns.left(columns.indexOf(QStringLiteral(", (SELECT"))) + QStringLiteral(", NULL");
    QString sql = QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM tests t JOIN files f ON f.id = t.file_id") +
                  w.Sql() + QStringLiteral(" ORDER BY t.stamp DESC, t.id DESC");
    if (filter.Limit > 0)
        sql += QStringLiteral(" LIMIT ") + QString::number(filter.Limit);
    QSqlQuery q(index.Database());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        return Fail(error, q);
    w.Bind(q);
    if (!q.exec())
        return Fail(error, q);
    while (q.next())
        rows.append(ReadTest(q, withMarks));
    return true;
}

bool Stats(HistoryIndex& index, StatsBy by, const TestFilter& filter, QList<StatsRow>& rows, QString* error)
{
    rows.clear();
    if (!Ready(index, error))
        return false;
    const Where w = TestWhere(filter, true);
    const QString group = by == StatsBy::Model ? QStringLiteral("t.model")
                          : by == StatsBy::All ? QStringLiteral("'all'")
                                               : QStringLiteral("t.date");
    QSqlQuery q(index.Database());
    if (!q.prepare(QStringLiteral("SELECT ") + group +
                   QStringLiteral(", COUNT(*), SUM(t.verdict = 'passed'), SUM(t.verdict = 'failed'),"
                                  " SUM(t.verdict = 'aborted') FROM tests t") +
                   w.Sql() + QStringLiteral(" GROUP BY 1")))
        return Fail(error, q);
    w.Bind(q);
    if (!q.exec())
        return Fail(error, q);
    QMap<QString, StatsRow> groups;
    auto key = [by](const QString& value) {
        return by == StatsBy::Week ? WeekName(QDate::fromString(value, Qt::ISODate)) : value;
    };
    while (q.next()) {
        StatsRow& row = groups[key(q.value(0).toString())];
        row.Tests += q.value(1).toInt();
        row.Passed += q.value(2).toInt();
        row.Failed += q.value(3).toInt();
        row.Aborted += q.value(4).toInt();
    }
    QMap<QString, int> swaps;
    if (filter.Verdict.isEmpty() && !SwapCounts(index, by, filter, swaps, error))
        return false;
    for (auto it = swaps.cbegin(); it != swaps.cend(); ++it) {
        // A swapped phone that was never tested here has no model.
        const QString group = by == StatsBy::Model && it.key().isEmpty() ? QStringLiteral("(not tested here)")
                                                                          : key(it.key());
        groups[group].Swaps += it.value();
    }
    if (by == StatsBy::All && groups.isEmpty())
        groups.insert(QStringLiteral("all"), StatsRow{});
    for (auto it = groups.begin(); it != groups.end(); ++it) {
        it->Group = it.key();
        rows.append(*it);
    }
    return true;
}

bool QuantityStats(HistoryIndex& index, const TestFilter& filter, QList<QuantityStatsRow>& rows, QString* error)
{
    rows.clear();
    if (!Ready(index, error))
        return false;
    const Where w = TestWhere(filter, true);
    QSqlQuery q(index.Database());
    if (!q.prepare(QStringLiteral("SELECT m.quantity, COUNT(DISTINCT CASE WHEN m.mark = '*' THEN m.test_id END),"
                                  " SUM(m.mark = '*'), SUM(m.mark = '!')"
                                  " FROM marks m JOIN tests t ON t.id = m.test_id") +
                   w.Sql() + QStringLiteral(" GROUP BY m.quantity ORDER BY 2 DESC, 4 DESC, m.quantity")))
        return Fail(error, q);
    w.Bind(q);
    if (!q.exec())
        return Fail(error, q);
    while (q.next()) {
        QuantityStatsRow row;
        row.Quantity = q.value(0).toString();
        row.FailedTests = q.value(1).toInt();
        row.FailedValues = q.value(2).toInt();
        row.Repeated = q.value(3).toInt();
        rows.append(row);
    }
    return true;
}

bool TestsPerDay(HistoryIndex& index, const QDate& from, const QDate& to, QList<int>& counts, QString* error)
{
    counts.clear();
    if (!Ready(index, error))
        return false;
    QSqlQuery q(index.Database());
    if (!q.prepare(QStringLiteral("SELECT date, COUNT(*) FROM tests WHERE kind = 'test' AND stamp >= ? AND stamp < ?"
                                  " GROUP BY date")))
        return Fail(error, q);
    q.bindValue(0, from.toString(Qt::ISODate));
    q.bindValue(1, to.addDays(1).toString(Qt::ISODate));
    if (!q.exec())
        return Fail(error, q);
    const qint64 days = from.daysTo(to) + 1;
    for (qint64 i = 0; i < days; ++i)
        counts.append(0);
    while (q.next()) {
        const qint64 at = from.daysTo(QDate::fromString(q.value(0).toString(), Qt::ISODate));
        if (at >= 0 && at < days)
            counts[int(at)] += q.value(1).toInt();
    }
    return true;
}

namespace {

QByteArray CsvField(const QString& text)
{
    QString field = text;
    // A typed fault description such as "=HYPERLINK(...)" would run as a formula when
    // the file is opened in a spreadsheet: a text that starts like one is written with
    // an apostrophe in front, which the spreadsheet shows as plain text.
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!field.isEmpty() && formulaStarts.contains(field.front()))
        field.prepend(QLatin1Char('\''));
    if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) || field.contains(QLatin1Char('\n')) ||
        field.contains(QLatin1Char('\r'))) {
        field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        field = QLatin1Char('"') + field + QLatin1Char('"');
    }
    return field.toUtf8();
}

}  // namespace

QByteArray CsvHeader(bool chain)
{
    return chain ? "date,time,imei,imsi,model,system,verdict,failed,fault,tester_serial,firmware,file,shop,counter\r\n"
                 : "date,time,imei,imsi,model,system,verdict,failed,fault,tester_serial,firmware,file\r\n";
}

QByteArray CsvRow(const TestRow& row, bool chain)
{
    QStringList fields{row.Date,   row.Time,    row.Imei,   row.Imsi,         row.Model,
                       row.System, row.Verdict, row.Failed.join(QStringLiteral("; ")),
                       row.Fault,  row.TesterSerial, row.Firmware, row.File};
    if (chain)
        fields << row.Shop << row.Counter;
    QByteArray line;
    for (int i = 0; i < fields.size(); ++i) {
        if (i)
            line += ',';
        line += CsvField(fields[i]);
    }
    return line + "\r\n";
}

}  // namespace celvio
