// The writer of the result file: the record as the lines a shop reads and compares,
// laid out as print statements (print_statement.h).
#include "core/files.h"
#include "core/text.h"
#include "record/print_statement.h"
#include "record/result_file_format.h"
#include "record/result_file_keys.h"

#include <QStringList>
#include <cmath>

namespace celvio {

namespace {

// The lines of a file being built, joined with CR LF at the end.
class FileText {
public:
    void Add(const PrintStatement& line) { lines_ << line.Lines(); }
    void Add(const QString& line) { lines_ << line; }
    void Blank() { lines_ << QString(); }
    QByteArray Bytes() const
    {
        QString text;
        for (const QString& line : lines_)
            text += line + kCrLf;
        return ToLatin1(text);
    }

private:
    QStringList lines_;
};

// "Name : value" with the colon at column 24, the value at column 26 and the limit at
// column 41.
PrintStatement Row(const QString& name, const QString& value, const QString& limit)
{
    PrintStatement line;
    line.Text(name).Tab(kColonColumn).Text(QStringLiteral(":")).Tab(kValueColumn).Text(value);
    line.Tab(kLimitColumn).Text(limit);
    return line;
}

// Title and date lines that open both kinds of file.
void AddOpening(FileText& file, const CycleRecord& r)
{
    file.Add(Written(FileKey::Title) + r.Version);
    PrintStatement date;
    date.Text(Written(FileKey::Date) + r.DateText).Zone().Text(Written(FileKey::Time) + r.TimeText);
    file.Add(date);
}

// The tester's model, serial number and firmware.
void AddTester(FileText& file, const CycleRecord& r)
{
    file.Add(Written(FileKey::Tester) + r.TesterModel + Written(FileKey::Serial) + r.TesterSerial);
    file.Add(Written(FileKey::Firmware) + r.TesterFirmware);
}

// A free text in lines of 50 characters after its label, or "----" beside it (the
// fault description) or below it (the swap comment).
void AddFreeText(FileText& file, const QString& label, const QString& text, bool emptyBelow)
{
    const QStringList pieces = TextPieces(text);
    if (pieces.isEmpty() && !emptyBelow) {
        file.Add(label + QLatin1String(kEmptyText));
        return;
    }
    file.Add(label);
    if (pieces.isEmpty())
        file.Add(QLatin1String(kEmptyText));
    for (const QString& piece : pieces)
        file.Add(piece);
}

// The limit of a measured row as the file shows it: in brackets, the TX power range
// from the system's band.
QString FileLimit(const CycleRecord& r, int band, RowId row, int column)
{
    const QuantityRow& q = Quantity(row);
    if (q.limit == LimitForm::PowerRange)
        return PowerRangeText(r, band, row, column);
    if (!*q.fileOpen)
        return QString();
    return QLatin1String(q.fileOpen) + r.At(band, row, column).Limits.Text + QStringLiteral(" )");
}

// The measurement blocks of one band: a block per traffic channel with the rows the
// catalogue lists for its column. A row the record has no name for in the band was not
// in the file it was read from (one written before the catalogue listed the quantity):
// it stays out, so that such a file is written again as it was.
void AddChannels(FileText& file, const CycleRecord& r, int band)
{
    const BandReadings& readings = r.Bands[band - 1];
    for (int c = 1; c <= kChannelColumns; ++c) {
        file.Blank();
        PrintStatement channel;
        channel.Text(Written(FileKey::TrafficChannel)).Tab(kColonColumn).Text(QStringLiteral(":")).Tab(kValueColumn);
        channel.Number(r.TrafficChannels[(band - 1) * kChannelColumns + c]);
        file.Add(channel);
        for (int i = 0; i < kFirstCallRow; ++i) {
            const RowId row = RowAt(i);
            if (UseOf(row, c) == ColumnUse::Listed && !readings.RowNames[i].isEmpty())
                file.Add(Row(readings.RowNames[i], CaptionOf(row, r.At(band, row, c)), FileLimit(r, band, row, c)));
        }
    }
}

// The calls: from the phone, the digits dialled, to the phone, the speech loop-back.
void AddCalls(FileText& file, const CycleRecord& r)
{
    auto caption = [&r](RowId row) { return CaptionOf(row, r.At(1, row, 1)); };
    file.Add(Written(FileKey::MobileCall) + caption(RowId::MobileCall));
    PrintStatement dialled;
    dialled.Text(Written(FileKey::DialledNumber) + caption(RowId::DialledNumber))
        .Tab(kLimitColumn)
        .Text(QStringLiteral("( ") + r.At(1, RowId::DialledNumber, 1).Limits.Text + QStringLiteral(" )"));
    file.Add(dialled);
    file.Add(Written(FileKey::BaseCall) + caption(RowId::BaseCall));
    file.Add(Written(FileKey::SpeechLoopback) + caption(RowId::SpeechLoopback));
}

// A whole number of a limit as the file writes it.
QString WholeNumber(double value)
{
    if (std::abs(value) < 1e15 && value == std::floor(value))
        return QString::number(qint64(value));
    return NumberText(value);
}

}  // namespace

QString SystemName(const QString& code)
{
    if (code == QLatin1String("GSM"))
        return QStringLiteral("GSM900");
    if (code == QLatin1String("PCN"))
        return QStringLiteral("GSM1800");
    if (code == QLatin1String("PCS"))
        return QStringLiteral("GSM1900");
    if (code == QLatin1String("GSM,PCN"))
        return QStringLiteral("GSM900,1800");
    if (code == QLatin1String("GSM,PCS"))
        return QStringLiteral("GSM900,1900");
    return code;
}

QString PowerRangeText(const CycleRecord& record, int band, RowId row, int column)
{
    const QString code = band == 1 ? record.SystemCode.left(3) : record.SystemCode.right(3);
    const bool powerBand = code == QLatin1String("GSM") || code == QLatin1String("PCN") || code == QLatin1String("PCS");
    const ReadingLimits& limits = record.At(band, row, column).Limits;
    QString range;
    if (powerBand && limits.Low && limits.High)
        range = WholeNumber(*limits.Low) + QStringLiteral(" - ") + WholeNumber(*limits.High);
    return QStringLiteral("( ") + range + QStringLiteral(" dBm )");
}

QByteArray ResultFileBytes(const CycleRecord& r)
{
    FileText file;
    AddOpening(file, r);
    file.Blank();
    file.Add(Written(FileKey::Overall) +
             (r.Verdict == TestVerdict::Passed ? QStringLiteral("Passed") : QStringLiteral("Failed")));
    file.Blank();
    AddTester(file, r);
    file.Add(Written(FileKey::Mobile) + r.Model + Written(FileKey::System) + SystemName(r.SystemCode));
    file.Add(Written(FileKey::Imei) + r.Imei + Written(FileKey::Imsi) + r.Imsi);
    file.Blank();
    AddFreeText(file, Written(FileKey::Fault), r.FaultDescription, false);
    file.Blank();
    file.Add(Written(FileKey::Environment));
    file.Add(Written(FileKey::Coupler) + r.Coupler);
    file.Blank();
    PrintStatement bcch;
    bcch.Text(Written(FileKey::ControlChannel)).Number(r.ControlChannel);
    file.Add(bcch);
    const QString level = QString::number(r.GeneratorLevel);
    file.Add(Written(FileKey::GeneratorLevel) + (r.GeneratorLevel < 0 ? level : QLatin1Char(' ') + level) +
             QStringLiteral(" dBm"));
    file.Blank();
    AddCalls(file, r);
    AddChannels(file, r, 1);
    if (r.DualBand())
        AddChannels(file, r, 2);
    return file.Bytes();
}

QByteArray DirectSwapFileBytes(const CycleRecord& r)
{
    FileText file;
    AddOpening(file, r);
    file.Blank();
    file.Add(QLatin1String(KeyText(FileKey::DirectSwap).written));
    file.Blank();
    AddTester(file, r);
    file.Blank();
    file.Add(Written(FileKey::OldImei) + r.OldImei);
    file.Add(Written(FileKey::NewImei) + r.Imei);
    file.Blank();
    AddFreeText(file, Written(FileKey::SwapComment), r.SwapComment, true);
    return file.Bytes();
}

}  // namespace celvio
