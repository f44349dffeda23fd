#include "headoffice/uploader.h"

#include "core/files.h"
#include "headoffice/upload_rows.h"

#include <QStringList>
#include <QSysInfo>

namespace celvio {

namespace {

// Batches up to these sizes go row by row: a temporary table costs more than they do.
constexpr int kDirectFiles = 20;
constexpr int kDirectRecords = 200;

const QByteArray kStaging =
    "CREATE TEMP TABLE IF NOT EXISTS up_tests (counter text, service_point text, company text, path text,"
    " content_hash bytea, kind text, test_date date, test_time time, date_text text, time_text text, imei text,"
    " old_imei text, imsi text, model text, system text, verdict text, fault text, tester text, serial text,"
    " firmware text, coupler text, version text, r_quantity text[], r_label text[], r_band smallint[],"
    " r_channel integer[], r_value text[], r_number double precision[], r_limit text[], r_low double precision[],"
    " r_high double precision[], r_outcome text[], r_attempts smallint[], failed_quantities text[],"
    " repeated_quantities text[]) ON COMMIT DELETE ROWS;"
    "CREATE TEMP TABLE IF NOT EXISTS up_records (counter text, service_point text, company text, path text,"
    " line integer, line_hash bytea, kind text, old_imei text, new_imei text, club text, record_date date,"
    " date_text text, result text, record_service_point text) ON COMMIT DELETE ROWS;"
    "CREATE TEMP TABLE IF NOT EXISTS up_skipped (counter text, service_point text, company text, path text,"
    " content_hash bytea, size bigint, reason text) ON COMMIT DELETE ROWS";

QString Move(const char* table, const char* staging, const QString& columns)
{
    return QStringLiteral("INSERT INTO celvio.%1 (%2) SELECT %2 FROM %3 ON CONFLICT DO NOTHING;")
        .arg(QString::fromLatin1(table), columns, QString::fromLatin1(staging));
}

QString Values(const QString& columns)
{
    QStringList marks;
    for (qsizetype i = 1; i <= columns.count(QLatin1Char(',')) + 1; ++i)
        marks << QLatin1Char('$') + QString::number(i);
    return marks.join(QLatin1Char(','));
}

QString InsertOne(const char* table, const QString& columns)
{
    return QStringLiteral("INSERT INTO celvio.%1 (%2) VALUES (%3) ON CONFLICT DO NOTHING")
        .arg(QString::fromLatin1(table), columns, Values(columns));
}

const QString kPushColumns = QStringLiteral("counter, service_point, company, tests, records, skipped, pending");

QVariantList PushParams(const StationIdentity& who, const PushRow& push)
{
    return {who.Counter, who.ServicePoint, who.Company, push.Tests, push.Records, push.Skipped, push.Pending};
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

SentCounts BatchSender::Count(const QList<UploadFile>& files)
{
    SentCounts c;
    for (const UploadFile& f : files) {
        if (f.File.Skipped)
            ++c.Skipped;
        else if (f.Test)
            ++c.Tests;
        else
            c.Records += int(f.Records.size());
    }
    return c;
}

bool BatchSender::Fail()
{
    ServerError ignored;
    if (waiting_) {
        QList<qint64> affected;
        db_.Collect(affected, ignored);
        waiting_ = false;
    }
    db_.RunScript("ROLLBACK", ignored);
    return false;
}

bool BatchSender::Start(const QList<UploadFile>& files, const PushRow* push, ServerError& error)
{
    batch_ = Count(files);
    if (files.size() <= kDirectFiles && batch_.Records <= kDirectRecords)
        return Direct(files, push, error);
    return Staged(files, push, error);
}

bool BatchSender::Direct(const QList<UploadFile>& files, const PushRow* push, ServerError& error)
{
    if (!db_.RunScript("BEGIN", error))
        return Fail();
    for (const UploadFile& f : files) {
        QList<QVariantList> rows;
        const char* table = "tests";
        const QString* columns = &kTestColumns;
        if (f.File.Skipped) {
            table = "skipped_files";
            columns = &kSkippedColumns;
            rows << SkippedParams(who_, f);
        } else if (f.Test) {
            rows << TestParams(who_, f);
        } else {
            table = "swap_records";
            columns = &kRecordColumns;
            for (const UploadRecord& r : f.Records)
                rows << RecordParams(who_, f, r);
        }
        for (const QVariantList& params : rows) {
            const auto r = db_.Exec(InsertOne(table, *columns), params, error);
            if (!r)
                return Fail();
            (f.File.Skipped ? batch_.NewSkipped : f.Test ? batch_.NewTests : batch_.NewRecords) += int(r->Affected());
        }
    }
    if ((push && !db_.Run(InsertOne("pushes", kPushColumns), error, PushParams(who_, *push))) ||
        !db_.RunScript("COMMIT", error))
        return Fail();
    return true;
}

bool BatchSender::Staged(const QList<UploadFile>& files, const PushRow* push, ServerError& error)
{
    QByteArray tests, records, skipped;
    for (const UploadFile& f : files) {
        if (f.File.Skipped) {
            AddSkippedRow(skipped, who_, f);
        } else if (f.Test) {
            if (tests.isEmpty())
                BinaryCopyStart(tests);
            AddTestRowBinary(tests, who_, f);
        } else {
            for (const UploadRecord& r : f.Records)
                AddRecordRow(records, who_, f, r);
        }
    }
    if (!tests.isEmpty())
        BinaryCopyEnd(tests);
    if (!db_.RunScript("BEGIN", error) || (!staging_ && !db_.RunScript(kStaging, error)))
        return Fail();
    staging_ = true;
    QString script;
    struct Stage {
        const QByteArray& rows;
        const char* table;
        const char* staging;
        const QString& columns;
        const char* format;
    };
    for (const Stage& s : {Stage{tests, "tests", "up_tests", kTestColumns, " (FORMAT binary)"},
                           Stage{records, "swap_records", "up_records", kRecordColumns, ""},
                           Stage{skipped, "skipped_files", "up_skipped", kSkippedColumns, ""}}) {
        if (s.rows.isEmpty())
            continue;
        if (!db_.CopyIn(QStringLiteral("COPY %1 (%2) FROM STDIN%3")
                            .arg(QString::fromLatin1(s.staging), s.columns, QString::fromLatin1(s.format)),
                        s.rows, error))
            return Fail();
        script += Move(s.table, s.staging, s.columns);
    }
    if (push && !db_.Run(InsertOne("pushes", kPushColumns), error, PushParams(who_, *push)))
        return Fail();
    // The inserts and the commit run while the caller reads the next batch.
    if (!db_.SendScript((script + QStringLiteral("COMMIT")).toUtf8(), error))
        return Fail();
    waiting_ = true;
    return true;
}

bool BatchSender::Finish(SentCounts& counts, ServerError& error)
{
    if (waiting_) {
        QList<qint64> affected;
        waiting_ = false;
        if (!db_.Collect(affected, error))
            return Fail();
        // One result per move, in the order sent (tests, records, skipped), then COMMIT.
        int* added[] = {&batch_.NewTests, &batch_.NewRecords, &batch_.NewSkipped};
        const int sent[] = {batch_.Tests, batch_.Records, batch_.Skipped};
        int at = 0;
        for (int i = 0; i < 3; ++i) {
            if (sent[i] > 0 && at < affected.size())
                *added[i] += int(affected[at++]);
        }
    }
    counts.Tests += batch_.Tests;
    counts.Records += batch_.Records;
    counts.Skipped += batch_.Skipped;
    counts.NewTests += batch_.NewTests;
    counts.NewRecords += batch_.NewRecords;
    counts.NewSkipped += batch_.NewSkipped;
    batch_ = SentCounts{};
    return true;
}

bool RecordPush(PgConnection& db, const StationIdentity& who, const PushRow& push, ServerError& error)
{
    return db.Run(InsertOne("pushes", kPushColumns), error, PushParams(who, push));
}

}  // namespace celvio
