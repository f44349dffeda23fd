#include "headoffice/chain_source.h"

#include "headoffice/headoffice_cli.h"

#include <QMap>

namespace celvio {

namespace {

const QString kTestColumns = QStringLiteral(
    "kind, to_char(test_date, 'YYYY-MM-DD'), coalesce(to_char(test_time, 'HH24:MI:SS'), ''), imei, old_imei, imsi,"
    " model, system, verdict, fault, serial, firmware, path,"
    " coalesce(celvio.failed_text(r_quantity, r_channel, r_value, r_outcome), ''), service_point, counter, id");

TestRow ReadTest(const PgResult& r, int i)
{
    TestRow row;
    int n = 0;
    row.Kind = r.Text(i, n++);
    row.Date = r.Text(i, n++);
    row.Time = r.Text(i, n++);
    row.Imei = r.Text(i, n++);
    row.OldImei = r.Text(i, n++);
    row.Imsi = r.Text(i, n++);
    row.Model = r.Text(i, n++);
    row.System = r.Text(i, n++);
    row.Verdict = r.Text(i, n++);
    row.Fault = r.Text(i, n++);
    row.TesterSerial = r.Text(i, n++);
    row.Firmware = r.Text(i, n++);
    row.File = r.Text(i, n++);
    const QString failed = r.Text(i, n++);
    if (!failed.isEmpty())
        row.Failed = failed.split(QStringLiteral("; "));
    row.Shop = r.Text(i, n++);
    row.Counter = r.Text(i, n++);
    row.Id = r.Number(i, n++);
    return row;
}

// WHERE conditions with $n placeholders, numbered from `first`.
struct Where {
    QStringList conditions;
    QVariantList values;
    void Add(const QString& condition, const QVariant& value)
    {
        values << value;
        QString c = condition;
        conditions << c.replace(QStringLiteral("$?"), QStringLiteral("$") + QString::number(values.size()));
    }
    void Add(const QString& condition) { conditions << condition; }
    QString Sql() const
    {
        return conditions.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    }
};

Where TestWhere(const TestFilter& filter, bool testsOnly)
{
    Where w;
    if (testsOnly || filter.TestsOnly)
        w.Add(QStringLiteral("kind = 'test'"));
    if (filter.Since.isValid())
        w.Add(QStringLiteral("test_date >= $?::date"), filter.Since.toString(Qt::ISODate));
    if (filter.Until.isValid())
        w.Add(QStringLiteral("test_date <= $?::date"), filter.Until.toString(Qt::ISODate));
    if (!filter.Model.isEmpty())
        w.Add(QStringLiteral("strpos(lower(model), lower($?)) > 0"), filter.Model);
    if (!filter.Verdict.isEmpty())
        w.Add(QStringLiteral("verdict = $?"), filter.Verdict);
    if (!filter.ImeiPrefix.isEmpty()) {
        w.Add(QStringLiteral("(starts_with(imei, $?)"), filter.ImeiPrefix);
        w.conditions.last() += QStringLiteral(" OR starts_with(old_imei, $") + QString::number(w.values.size()) +
                               QStringLiteral("))");
    }
    return w;
}

QString Group(StatsBy by, const QString& day, const QString& model, const QString& shop)
{
    switch (by) {
    case StatsBy::Model: return model;
    case StatsBy::Day: return QStringLiteral("to_char(") + day + QStringLiteral(", 'YYYY-MM-DD')");
    case StatsBy::Week: return QStringLiteral("to_char(") + day + QStringLiteral(", 'IYYY-\"W\"IW')");
    case StatsBy::Shop: return shop;
    case StatsBy::All: break;
    }
    return QStringLiteral("'all'");
}

// A shop is its service point ID; a counter without one is known by its name.
const QString kShop = QStringLiteral("coalesce(nullif(service_point, ''), counter)");

}  // namespace

int ServerExit(ServerFault fault)
{
    switch (fault) {
    case ServerFault::Down: return kHistoryServerDown;
    case ServerFault::Login: return kHistoryLoginRefused;
    case ServerFault::NoDatabase: return kHistoryNoDatabase;
    case ServerFault::TlsRequired: return kHistoryTlsRequired;
    case ServerFault::Schema:
    case ServerFault::Failed: return kHistoryServerError;
    case ServerFault::None: break;
    }
    return kHistoryOk;
}

int ChainHistorySource::FailureExit() const
{
    return ServerExit(last_.Fault);
}

bool ChainHistorySource::Failed(QString* error)
{
    if (error)
        *error = last_.Message;
    return false;
}

bool ChainHistorySource::Tests(const QString& where, const QVariantList& params, const QString& tail,
                               QList<TestRow>& rows, QString* error)
{
    rows.clear();
    const auto r = db_.Exec(QStringLiteral("SELECT ") + kTestColumns + QStringLiteral(" FROM celvio.tests") + where +
                                QStringLiteral(" ORDER BY test_date DESC, test_time DESC NULLS LAST, id DESC") + tail,
                            params, last_);
    if (!r)
        return Failed(error);
    for (int i = 0; i < r->Rows(); ++i)
        rows.append(ReadTest(*r, i));
    return true;
}

// One phone through the schema's lookup functions: a counter may ask them too.
bool ChainHistorySource::FindTests(const QString& imei, QList<TestRow>& rows, QString* error)
{
    rows.clear();
    const auto r = db_.Exec(QStringLiteral("SELECT * FROM celvio.find_phone_tests($1)"), {imei}, last_);
    if (!r)
        return Failed(error);
    for (int i = 0; i < r->Rows(); ++i)
        rows.append(ReadTest(*r, i));
    return true;
}

bool ChainHistorySource::FindRecords(const QString& imei, QList<RecordRow>& rows, QString* error)
{
    rows.clear();
    const auto r = db_.Exec(QStringLiteral("SELECT * FROM celvio.find_phone_records($1)"), {imei}, last_);
    if (!r)
        return Failed(error);
    for (int i = 0; i < r->Rows(); ++i) {
        RecordRow row;
        int n = 0;
        for (QString* field : {&row.Kind, &row.Date, &row.OldImei, &row.NewImei, &row.Club, &row.Result,
                               &row.ServicePoint, &row.File})
            *field = r->Text(i, n++);
        row.Line = int(r->Number(i, n++));
        row.Shop = r->Text(i, n++);
        row.Counter = r->Text(i, n++);
        rows.append(row);
    }
    return true;
}

bool ChainHistorySource::ListTests(const TestFilter& filter, QList<TestRow>& rows, QString* error)
{
    Where w = TestWhere(filter, false);
    QString tail;
    if (filter.Limit > 0) {
        w.values << filter.Limit;
        tail = QStringLiteral(" LIMIT $") + QString::number(w.values.size());
    }
    return Tests(w.Sql(), w.values, tail, rows, error);
}

bool ChainHistorySource::SwapCounts(StatsBy by, const TestFilter& filter, QMap<QString, int>& swaps, QString* error)
{
    // The model of a swapped phone: the one of its latest test anywhere in the chain.
    const QString model = QStringLiteral(
        "(SELECT t.model FROM celvio.tests t WHERE t.imei = r.old_imei AND t.kind = 'test'"
        " ORDER BY t.test_date DESC, t.test_time DESC LIMIT 1)");
    const bool byModel = by == StatsBy::Model || !filter.Model.isEmpty();
    Where w;
    w.Add(QStringLiteral("r.kind = 'SWAP'"));
    if (filter.Since.isValid())
        w.Add(QStringLiteral("r.record_date >= $?::date"), filter.Since.toString(Qt::ISODate));
    if (filter.Until.isValid())
        w.Add(QStringLiteral("r.record_date <= $?::date"), filter.Until.toString(Qt::ISODate));
    if (!filter.Model.isEmpty())
        w.Add(QStringLiteral("strpos(lower(r.m), lower($?)) > 0"), filter.Model);
    if (!filter.ImeiPrefix.isEmpty())
        w.Add(QStringLiteral("starts_with(r.old_imei, $?)"), filter.ImeiPrefix);
    const QString sql = QStringLiteral("SELECT ") +
                        Group(by, QStringLiteral("r.record_date"), QStringLiteral("coalesce(r.m, '')"),
                              QStringLiteral("coalesce(nullif(r.service_point, ''), r.counter)")) +
                        QStringLiteral(", count(*) FROM (SELECT r.*") +
                        (byModel ? QStringLiteral(", ") + model + QStringLiteral(" AS m") : QStringLiteral(", NULL AS m")) +
                        QStringLiteral(" FROM celvio.swap_records r WHERE r.kind = 'SWAP') r") + w.Sql() +
                        QStringLiteral(" GROUP BY 1");
    const auto r = db_.Exec(sql, w.values, last_);
    if (!r)
        return Failed(error);
    for (int i = 0; i < r->Rows(); ++i)
        swaps[r->Text(i, 0)] += int(r->Number(i, 1));
    return true;
}

bool ChainHistorySource::Stats(StatsBy by, const TestFilter& filter, QList<StatsRow>& rows, QString* error)
{
    rows.clear();
    const Where w = TestWhere(filter, true);
    const auto r = db_.Exec(QStringLiteral("SELECT ") +
                                Group(by, QStringLiteral("test_date"), QStringLiteral("model"), kShop) +
                                QStringLiteral(", count(*), count(*) FILTER (WHERE verdict = 'passed'),"
                                               " count(*) FILTER (WHERE verdict = 'failed'),"
                                               " count(*) FILTER (WHERE verdict = 'aborted') FROM celvio.tests") +
                                w.Sql() + QStringLiteral(" GROUP BY 1"),
                            w.values, last_);
    if (!r)
        return Failed(error);
    QMap<QString, StatsRow> groups;
    for (int i = 0; i < r->Rows(); ++i) {
        StatsRow& row = groups[r->Text(i, 0)];
        row.Tests += int(r->Number(i, 1));
        row.Passed += int(r->Number(i, 2));
        row.Failed += int(r->Number(i, 3));
        row.Aborted += int(r->Number(i, 4));
    }
    QMap<QString, int> swaps;
    if (filter.Verdict.isEmpty() && !SwapCounts(by, filter, swaps, error))
        return false;
    for (auto it = swaps.cbegin(); it != swaps.cend(); ++it) {
        const QString group =
            by == StatsBy::Model && it.key().isEmpty() ? QStringLiteral("(not tested here)") : it.key();
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

bool ChainHistorySource::QuantityStats(const TestFilter& filter, QList<QuantityStatsRow>& rows, QString* error)
{
    rows.clear();
    Where w = TestWhere(filter, true);
    w.Add(QStringLiteral("(cardinality(failed_quantities) > 0 OR cardinality(repeated_quantities) > 0)"));
    const auto r = db_.Exec(
        QStringLiteral("SELECT q, count(DISTINCT id) FILTER (WHERE o = 'F'), count(*) FILTER (WHERE o = 'F'),"
                       " count(*) FILTER (WHERE o = 'R') FROM (SELECT id, unnest(failed_quantities) AS q, 'F' AS o,"
                       " NULL AS x FROM celvio.tests") +
            w.Sql() +
            QStringLiteral(" UNION ALL SELECT id, unnest(repeated_quantities), 'R', NULL FROM celvio.tests") + w.Sql() +
            QStringLiteral(") u GROUP BY q ORDER BY 2 DESC, 4 DESC, q"),
        w.values, last_);
    if (!r)
        return Failed(error);
    for (int i = 0; i < r->Rows(); ++i) {
        QuantityStatsRow row;
        row.Quantity = r->Text(i, 0);
        row.FailedTests = int(r->Number(i, 1));
        row.FailedValues = int(r->Number(i, 2));
        row.Repeated = int(r->Number(i, 3));
        rows.append(row);
    }
    return true;
}

}  // namespace celvio
