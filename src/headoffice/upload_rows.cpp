#include "headoffice/upload_rows.h"

#include "headoffice/pg_connection.h"

#include <QDateTime>
#include <cstring>

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

// A text element of an array: an empty one (a reading without a limit) is an empty
// text, not a missing one, as the binary COPY sends it.
QString Element(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
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
        quantity << Element(r.Quantity);
        label << Element(r.Label);
        band << QString::number(r.Band);
        channel << QString::number(r.Channel);
        value << Element(r.Value);
        number << Optional(r.Number);
        limit << Element(r.Limit);
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

// COPY's binary format: big-endian integers, each field its length and its bytes.
class Binary {
public:
    explicit Binary(QByteArray& out) : out_(out) {}
    void Int16(qint16 v) { Put(quint64(quint16(v)), 2); }
    void Int32(qint32 v) { Put(quint64(quint32(v)), 4); }
    void Int64(qint64 v) { Put(quint64(v), 8); }
    void Null() { Int32(-1); }
    void Bytes(const QByteArray& bytes)
    {
        Int32(qint32(bytes.size()));
        out_ += bytes;
    }
    void Text(const QString& text) { Bytes(text.toUtf8()); }
    void Date(const QDate& day)
    {
        Int32(4);
        Int32(qint32(QDate(2000, 1, 1).daysTo(day)));
    }
    void Time(const QString& hhmmss)
    {
        const QTime t = QTime::fromString(hhmmss, QStringLiteral("hh:mm:ss"));
        if (!t.isValid())
            return Null();
        Int32(8);
        Int64(qint64(t.msecsSinceStartOfDay()) * 1000);
    }
    // A one-dimensional array of `count` elements of type `oid`; `element(i)` writes
    // element i (its length and bytes, or -1) into the array's bytes.
    template <typename F>
    void Array(qint32 oid, qsizetype count, bool hasNull, F element)
    {
        QByteArray body;
        Binary a(body);
        a.Int32(count > 0 ? 1 : 0);
        a.Int32(hasNull ? 1 : 0);
        a.Int32(oid);
        if (count > 0) {
            a.Int32(qint32(count));
            a.Int32(1);
        }
        for (qsizetype i = 0; i < count; ++i)
            element(a, i);
        Bytes(body);
    }

private:
    void Put(quint64 v, int bytes)
    {
        for (int i = bytes - 1; i >= 0; --i)
            out_ += char((v >> (8 * i)) & 0xff);
    }
    QByteArray& out_;
};

constexpr qint32 kInt2 = 21, kInt4 = 23, kText = 25, kFloat8 = 701;

void TextArray(Binary& b, const QStringList& items)
{
    b.Array(kText, items.size(), false, [&](Binary& a, qsizetype i) { a.Text(items[i]); });
}

void DoubleArray(Binary& b, const QList<UploadReading>& readings, std::optional<double> UploadReading::*field)
{
    bool hasNull = false;
    for (const UploadReading& r : readings)
        hasNull = hasNull || !(r.*field);
    b.Array(kFloat8, readings.size(), hasNull, [&](Binary& a, qsizetype i) {
        const std::optional<double>& v = readings[i].*field;
        if (!v)
            return a.Null();
        quint64 bits = 0;
        std::memcpy(&bits, &*v, 8);
        a.Int32(8);
        a.Int64(qint64(bits));
    });
}

void ReadingArrays(Binary& b, const QList<UploadReading>& rs)
{
    QStringList quantity, label, value, limit, outcome, failed, repeated;
    bool attemptsNull = false;
    for (const UploadReading& r : rs) {
        quantity << r.Quantity;
        label << r.Label;
        value << r.Value;
        limit << r.Limit;
        outcome << QString(QLatin1Char(OutcomeCode(r.Outcome)));
        attemptsNull = attemptsNull || !r.Attempts;
        if (r.Outcome == ReadingOutcome::Failed)
            failed << r.Quantity;
        else if (r.Outcome == ReadingOutcome::PassedOnRepeat)
            repeated << r.Quantity;
    }
    TextArray(b, quantity);
    TextArray(b, label);
    b.Array(kInt2, rs.size(), false, [&](Binary& a, qsizetype i) {
        a.Int32(2);
        a.Int16(qint16(rs[i].Band));
    });
    b.Array(kInt4, rs.size(), false, [&](Binary& a, qsizetype i) {
        a.Int32(4);
        a.Int32(rs[i].Channel);
    });
    TextArray(b, value);
    DoubleArray(b, rs, &UploadReading::Number);
    TextArray(b, limit);
    DoubleArray(b, rs, &UploadReading::Low);
    DoubleArray(b, rs, &UploadReading::High);
    TextArray(b, outcome);
    b.Array(kInt2, rs.size(), attemptsNull, [&](Binary& a, qsizetype i) {
        if (!rs[i].Attempts)
            return a.Null();
        a.Int32(2);
        a.Int16(qint16(*rs[i].Attempts));
    });
    TextArray(b, failed);
    TextArray(b, repeated);
}

}  // namespace

void BinaryCopyStart(QByteArray& out)
{
    out += QByteArray("PGCOPY\n\377\r\n\0", 11);
    Binary b(out);
    b.Int32(0);  // flags
    b.Int32(0);  // no header extension
}

void BinaryCopyEnd(QByteArray& out)
{
    Binary(out).Int16(-1);
}

void AddTestRowBinary(QByteArray& out, const StationIdentity& who, const UploadFile& f)
{
    const UploadTest& t = *f.Test;
    const QDate day = t.Date.isValid() ? t.Date : QDateTime::fromMSecsSinceEpoch(f.File.MTime).date();
    Binary b(out);
    b.Int16(35);  // the columns of kTestColumns
    for (const QString* field : {&who.Counter, &who.ServicePoint, &who.Company})
        b.Text(*field);
    b.Text(f.File.Path());
    b.Bytes(f.Hash);
    b.Text(t.Kind);
    b.Date(day);
    b.Time(t.Time);
    for (const QString* field : {&t.DateText, &t.TimeText, &t.Imei, &t.OldImei, &t.Imsi, &t.Model, &t.System,
                                 &t.Verdict, &t.Fault, &t.Tester, &t.Serial, &t.Firmware, &t.Coupler, &t.Version})
        b.Text(*field);
    ReadingArrays(b, t.Readings);
}

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
