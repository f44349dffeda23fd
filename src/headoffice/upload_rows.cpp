#include "headoffice/upload_rows.h"

#include "headoffice/pg_connection.h"

#include <QDateTime>

namespace celvio {

const QString kTestColumns = QStringLiteral(
    "counter, service_point, company, path, content_hash, kind, test_date, test_time, date_text, time_text, imei,"
    " old_imei, imsi, model, system, verdict, fault, tester, serial, firmware, coupler, version, r_quantity, r_label,"
    " r_band, r_channel, r_value, r_number, r_limit, r_low, r_high, r_outcome, r_attempts, failed_quantities,"
    " repeated_quantities");
const QString kRecordColumns = QStringLiteral(
    "counter, service_point, company, path, line, line_hash, kind, old_imei, new_imei, club, record_date, date_text,"
    " result, record_service_point");
const QString kSkippedColumns = QStringLiteral("counter, service_point, company, path, content_hash, size, reason");

namespace {

QString Optional(const std::optional<double>& v)
{
    return v ? QString::number(*v, 'g', 17) : QString();
}

QString Bytea(const QByteArray& bytes)
{
    return QStringLiteral("\\x") + QString::fromLatin1(bytes.toHex());
}

// A test's values in column order: texts, nulls (a null QVariant) and arrays (lists).
QVariantList TestValues(const StationIdentity& who, const UploadFile& f)
{
    const UploadTest& t = *f.Test;
    // The index always has a day for a test (the file's own day when its text is none).
    const QDate day = t.Date.isValid() ? t.Date : QDateTime::fromMSecsSinceEpoch(f.File.MTime).date();
    QVariantList v{who.Counter, who.ServicePoint, who.Company, f.File.Path(), Bytea(f.Hash), t.Kind,
                   day.toString(Qt::ISODate), t.Time.isEmpty() ? QVariant() : QVariant(t.Time)};
    for (const QString* field : {&t.DateText, &t.TimeText, &t.Imei, &t.OldImei, &t.Imsi, &t.Model, &t.System,
                                 &t.Verdict, &t.Fault, &t.Tester, &t.Serial, &t.Firmware, &t.Coupler, &t.Version})
        v << *field;
    QStringList quantity, label, band, channel, value, number, limit, low, high, outcome, attempts, failed, repeated;
    for (const UploadReading& r : t.Readings) {
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
    for (const QStringList& list : {quantity, label, band, channel, value, number, limit, low, high, outcome, attempts,
                                    failed, repeated})
        v << QVariant(list);
    return v;
}

QVariantList RecordValues(const StationIdentity& who, const UploadFile& f, const UploadRecord& r)
{
    return {who.Counter, who.ServicePoint, who.Company, f.File.Path(), r.Line, Bytea(r.LineHash), r.Kind, r.OldImei,
            r.NewImei, r.Club, r.Date.isValid() ? QVariant(r.Date.toString(Qt::ISODate)) : QVariant(), r.DateText,
            r.Result, r.ServicePoint};
}

QVariantList SkippedValues(const StationIdentity& who, const UploadFile& f)
{
    return {who.Counter, who.ServicePoint, who.Company, f.File.Path(), Bytea(f.Hash), f.File.Size, f.File.Reason};
}

// One line of COPY's text format.
void AddCopyLine(QByteArray& out, const QVariantList& values)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            out += '\t';
        const QVariant& v = values[i];
        if (v.isNull())
            AppendCopyField(out, QString(), true);
        else if (v.typeId() == QMetaType::QStringList)
            AppendCopyField(out, ArrayLiteral(v.toStringList()));
        else
            AppendCopyField(out, v.toString());
    }
    out += '\n';
}

}  // namespace

void AddTestRow(QByteArray& out, const StationIdentity& who, const UploadFile& f)
{
    AddCopyLine(out, TestValues(who, f));
}

void AddRecordRow(QByteArray& out, const StationIdentity& who, const UploadFile& f, const UploadRecord& r)
{
    AddCopyLine(out, RecordValues(who, f, r));
}

void AddSkippedRow(QByteArray& out, const StationIdentity& who, const UploadFile& f)
{
    AddCopyLine(out, SkippedValues(who, f));
}

QVariantList TestParams(const StationIdentity& who, const UploadFile& f)
{
    return TestValues(who, f);
}

QVariantList RecordParams(const StationIdentity& who, const UploadFile& f, const UploadRecord& r)
{
    return RecordValues(who, f, r);
}

QVariantList SkippedParams(const StationIdentity& who, const UploadFile& f)
{
    return SkippedValues(who, f);
}

}  // namespace celvio
