#include "headoffice/uploader.h"

#include "core/files.h"

#include <QSysInfo>
#include <QStringList>

namespace celvio {

namespace {

const QString kStaging = QStringLiteral(
    "CREATE TEMP TABLE IF NOT EXISTS up_tests (path text, content_hash bytea, kind text, test_date date,"
    " test_time time, date_text text, time_text text, imei text, old_imei text, imsi text, model text, system text,"
    " verdict text, fault text, tester text, serial text, firmware text, coupler text, version text,"
    " r_quantity text[], r_label text[], r_band smallint[], r_channel integer[], r_value text[],"
    " r_number double precision[], r_limit text[], r_low double precision[], r_high double precision[],"
    " r_outcome text[], r_attempts smallint[], failed_quantities text[], repeated_quantities text[])"
    " ON COMMIT DELETE ROWS;"
    "CREATE TEMP TABLE IF NOT EXISTS up_records (path text, line integer, line_hash bytea, kind text,"
    " old_imei text, new_imei text, club text, record_date date, date_text text, result text,"
    " record_service_point text) ON COMMIT DELETE ROWS;"
    "CREATE TEMP TABLE IF NOT EXISTS up_skipped (path text, content_hash bytea, size bigint, reason text)"
    " ON COMMIT DELETE ROWS");

const QString kTestColumns = QStringLiteral(
    "path, content_hash, kind, test_date, test_time, date_text, time_text, imei, old_imei, imsi, model, system,"
    " verdict, fault, tester, serial, firmware, coupler, version, r_quantity, r_label, r_band, r_channel, r_value,"
    " r_number, r_limit, r_low, r_high, r_outcome, r_attempts, failed_quantities, repeated_quantities");
const QString kRecordColumns = QStringLiteral(
    "path, line, line_hash, kind, old_imei, new_imei, club, record_date, date_text, result, record_service_point");
const QString kSkippedColumns = QStringLiteral("path, content_hash, size, reason");

// A row in COPY's text format, field by field.
class CopyRow {
public:
    explicit CopyRow(QByteArray& out) : out_(out) {}
    ~CopyRow() { out_ += '\n'; }
    CopyRow& Text(const QString& text)
    {
        Sep();
        AppendCopyField(out_, text);
        return *this;
    }
    CopyRow& Null()
    {
        Sep();
        out_ += "\\N";
        return *this;
    }
    CopyRow& Bytes(const QByteArray& bytes)
    {
        Sep();
        out_ += "\\\\x" + bytes.toHex();
        return *this;
    }
    CopyRow& Number(qint64 n)
    {
        Sep();
        out_ += QByteArray::number(n);
        return *this;
    }
    CopyRow& Array(const QStringList& items) { return Text(ArrayLiteral(items)); }

private:
    void Sep()
    {
        if (!first_)
            out_ += '\t';
        first_ = false;
    }
    QByteArray& out_;
    bool first_ = true;
};

QString Optional(const std::optional<double>& v)
{
    return v ? QString::number(*v, 'g', 17) : QString();
}

void AddReadings(CopyRow& row, const QList<UploadReading>& readings)
{
    QStringList quantity, label, band, channel, value, number, limit, low, high, outcome, attempts, failed, repeated;
    for (const UploadReading& r : readings) {
        quantity << r.Quantity;
        label << r.Label;
        band << QString::number(r.Band);
        channel << QString::number(r.Channel);
        value << r.Value;
        number << Optional(r.Number);
        limit << r.Limit;
        low << Optional(r.Low);
        high << Optional(r.High);
        outcome << QString(QLatin1Char(OutcomeCode(r.Outcome)));
        attempts << (r.Attempts ? QString::number(*r.Attempts) : QString());
        if (r.Outcome == ReadingOutcome::Failed)
            failed << r.Quantity;
        else if (r.Outcome == ReadingOutcome::PassedOnRepeat)
            repeated << r.Quantity;
    }
    for (const QStringList* list : {&quantity, &label, &band, &channel, &value, &number, &limit, &low, &high, &outcome,
                                    &attempts, &failed, &repeated})
        row.Array(*list);
}

void AddTest(QByteArray& out, const UploadFile& f)
{
    const UploadTest& t = *f.Test;
    // The index always has a day for a test (the file's own day when its text is none).
    const QDate day = t.Date.isValid() ? t.Date : QDateTime::fromMSecsSinceEpoch(f.File.MTime).date();
    CopyRow row(out);
    row.Text(f.File.Path()).Bytes(f.Hash).Text(t.Kind).Text(day.toString(Qt::ISODate));
    if (t.Time.isEmpty())
        row.Null();
    else
        row.Text(t.Time);
    for (const QString* field : {&t.DateText, &t.TimeText, &t.Imei, &t.OldImei, &t.Imsi, &t.Model, &t.System,
                                 &t.Verdict, &t.Fault, &t.Tester, &t.Serial, &t.Firmware, &t.Coupler, &t.Version})
        row.Text(*field);
    AddReadings(row, t.Readings);
}

void AddRecord(QByteArray& out, const UploadFile& f, const UploadRecord& r)
{
    CopyRow row(out);
    row.Text(f.File.Path()).Number(r.Line).Bytes(r.LineHash).Text(r.Kind).Text(r.OldImei).Text(r.NewImei).Text(r.Club);
    if (r.Date.isValid())
        row.Text(r.Date.toString(Qt::ISODate));
    else
        row.Null();
    row.Text(r.DateText).Text(r.Result).Text(r.ServicePoint);
}

bool MoveStaged(PgConnection& db, const QString& table, const QString& staging, const QString& columns,
                const StationIdentity& who, int& added, ServerError& error)
{
    const auto r = db.Exec(QStringLiteral("INSERT INTO celvio.") + table +
                               QStringLiteral(" (counter, service_point, company, ") + columns +
                               QStringLiteral(") SELECT $1, $2, $3, ") + columns + QStringLiteral(" FROM ") + staging +
                               QStringLiteral(" ON CONFLICT DO NOTHING"),
                           {who.Counter, who.ServicePoint, who.Company}, error);
    if (!r)
        return false;
    added += int(r->Affected());
    return true;
}

}  // namespace

void ReadStationIdentity(const QString& stationDir, StationIdentity& identity)
{
    if (identity.Counter.isEmpty())
        identity.Counter = QSysInfo::machineHostName();
    QByteArray bytes;
    if (!ReadFileBytes(ResolvePath(stationDir, QStringLiteral("swap.dat")), bytes))
        return;
    const QStringList lines = SplitTextLines(bytes);
    if (lines.isEmpty())
        return;
    // 0,"ID","Company","Address","Phone","Tested by"
    QStringList fields;
    QString field;
    bool quoted = false;
    for (const QChar c : lines.first()) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (c == QLatin1Char(',') && !quoted)
            fields << std::exchange(field, QString());
        else
            field += c;
    }
    fields << field;
    if (fields.size() >= 3) {
        identity.ServicePoint = fields[1].trimmed();
        identity.Company = fields[2].trimmed();
    }
}

bool SendBatch(PgConnection& db, const StationIdentity& who, const QList<UploadFile>& files, SentCounts& counts,
               ServerError& error)
{
    QByteArray tests, records, skipped;
    SentCounts batch;
    for (const UploadFile& f : files) {
        if (f.File.Skipped) {
            CopyRow(skipped).Text(f.File.Path()).Bytes(f.Hash).Number(f.File.Size).Text(f.File.Reason);
            ++batch.Skipped;
        } else if (f.Test) {
            AddTest(tests, f);
            ++batch.Tests;
        } else {
            for (const UploadRecord& r : f.Records)
                AddRecord(records, f, r);
            batch.Records += int(f.Records.size());
        }
    }
    auto rollback = [&] {
        ServerError ignored;
        db.Run(QStringLiteral("ROLLBACK"), ignored);
        return false;
    };
    if (!db.RunScript("BEGIN", error) || !db.RunScript(kStaging.toUtf8(), error))
        return rollback();
    if ((!tests.isEmpty() &&
         (!db.CopyIn(QStringLiteral("COPY up_tests (") + kTestColumns + QStringLiteral(") FROM STDIN"), tests, error) ||
          !MoveStaged(db, QStringLiteral("tests"), QStringLiteral("up_tests"), kTestColumns, who, batch.NewTests,
                      error))) ||
        (!records.isEmpty() &&
         (!db.CopyIn(QStringLiteral("COPY up_records (") + kRecordColumns + QStringLiteral(") FROM STDIN"), records,
                     error) ||
          !MoveStaged(db, QStringLiteral("swap_records"), QStringLiteral("up_records"), kRecordColumns, who,
                      batch.NewRecords, error))) ||
        (!skipped.isEmpty() &&
         (!db.CopyIn(QStringLiteral("COPY up_skipped (") + kSkippedColumns + QStringLiteral(") FROM STDIN"), skipped,
                     error) ||
          !MoveStaged(db, QStringLiteral("skipped_files"), QStringLiteral("up_skipped"), kSkippedColumns, who,
                      batch.NewSkipped, error))))
        return rollback();
    if (!db.RunScript("COMMIT", error))
        return false;
    counts.Tests += batch.Tests;
    counts.Records += batch.Records;
    counts.Skipped += batch.Skipped;
    counts.NewTests += batch.NewTests;
    counts.NewRecords += batch.NewRecords;
    counts.NewSkipped += batch.NewSkipped;
    return true;
}

bool RecordPush(PgConnection& db, const StationIdentity& who, const SentCounts& counts, int pending,
                ServerError& error)
{
    return db.Run(QStringLiteral("INSERT INTO celvio.pushes (counter, service_point, company, tests, records, skipped,"
                                 " pending) VALUES ($1, $2, $3, $4, $5, $6, $7)"),
                  error,
                  {who.Counter, who.ServicePoint, who.Company, counts.NewTests, counts.NewRecords, counts.NewSkipped,
                   pending});
}

}  // namespace celvio
