// The history index's rows of a file read: what the writer binds, made in the thread
// that read the file.
#include "history/index_files.h"
#include "history/index_readings.h"

#include <array>

namespace celvio {

namespace {

const char* VerdictName(const CycleRecord& test)
{
    if (test.Kind == RecordKind::DirectSwap)
        return "swap";
    switch (test.Verdict) {
    case TestVerdict::Passed: return "passed";
    case TestVerdict::Failed: return "failed";
    case TestVerdict::Aborted: break;
    }
    return "aborted";
}

// The traffic channel of a cell's block; 0 for the call rows, and for a block headed
// by no channel number.
int ChannelOf(const CycleRecord& test, const CellRef& cell)
{
    if (IsCallRow(cell.Row))
        return 0;
    return std::max(0, int(test.TrafficChannels[(cell.Band - 1) * kChannelColumns + cell.Column]));
}

// The quantity's English name as text, made once per row (a station's history has
// millions of readings).
const QString& QuantityText(RowId row)
{
    static const std::array<QString, kRowCount> names = [] {
        std::array<QString, kRowCount> out;
        for (int r = 0; r < kRowCount; ++r)
            out[size_t(r)] = QString::fromUtf8(Quantity(RowAt(r)).quantity);
        return out;
    }();
    return names[size_t(row)];
}

// The row as the file names it: a call row by its label, the others by the page's name.
const QString& RowNameOf(const CycleRecord& test, const CellRef& cell)
{
    if (IsCallRow(cell.Row))
        return QuantityText(cell.Row);
    return test.Bands[cell.Band - 1].RowNames[int(cell.Row)];
}

// yyyy-MM-dd, as Qt::ISODate writes a date of the plausible years.
QString IsoDay(const QDate& date)
{
    if (!date.isValid())
        return QString();
    if (date.year() < 1000 || date.year() > 9999)
        return date.toString(Qt::ISODate);
    char text[10];
    auto two = [&text](int at, int value) {
        text[at] = char('0' + value / 10);
        text[at + 1] = char('0' + value % 10);
    };
    two(0, date.year() / 100);
    two(2, date.year() % 100);
    text[4] = text[7] = '-';
    two(5, date.month());
    two(8, date.day());
    return QString::fromLatin1(text, 10);
}

// hh:mm:ss.
QString ClockText(const QTime& time)
{
    char text[8];
    auto two = [&text](int at, int value) {
        text[at] = char('0' + value / 10);
        text[at + 1] = char('0' + value % 10);
    };
    two(0, time.hour());
    two(3, time.minute());
    two(6, time.second());
    text[2] = text[5] = ':';
    return QString::fromLatin1(text, 8);
}

void MakeTestRow(const CycleRecord& test, IndexRows& rows)
{
    const QString day = IsoDay(test.Date);
    const QString time = test.Time.isValid() ? ClockText(test.Time) : QString();
    const bool swap = test.Kind == RecordKind::DirectSwap;
    QList<BoundValue>& t = rows.test;
    t << rows.Text(swap ? QStringLiteral("direct swap") : QStringLiteral("test"));
    for (const QString& text : {day, time, day + QLatin1Char(' ') + time, test.DateText, test.TimeText, test.Imei,
                                test.OldImei, test.Imsi, test.Model, SystemName(test.SystemCode)})
        t << rows.Text(text);
    t << rows.Text(QString::fromLatin1(VerdictName(test)));
    for (const QString* text : {swap ? &test.SwapComment : &test.FaultDescription, &test.TesterModel,
                                &test.TesterSerial, &test.TesterFirmware, &test.Coupler, &test.Version})
        t << rows.Text(*text);
}

void MakeCells(FileParse& parse, IndexRows& rows)
{
    const CycleRecord& test = parse.Test;
    QByteArray& cells = rows.cells;
    cells.reserve(parse.Cells.size() * 24);
    for (const CellRef& ref : std::as_const(parse.Cells)) {
        const Reading& reading = test.At(ref.Band, ref.Row, ref.Column);
        const QString& quantity = QuantityText(ref.Row);
        const QString& rowName = RowNameOf(test, ref);
        const QString limit = reading.Limits.Text.trimmed();
        const int channel = ChannelOf(test, ref);
        AppendNumber(cells, parse.Ids->Id(ref.Row, quantity, rowName, limit));
        AppendEncodedTail(cells, ref.Band, channel, reading.Outcome, reading.Attempts, reading.Text);
        if (reading.Outcome == ReadingOutcome::Failed || reading.Outcome == ReadingOutcome::PassedOnRepeat)
            rows.marks << rows.Text(quantity) << rows.Text(rowName) << IndexRows::Number(channel)
                       << IndexRows::Number(ref.Band) << rows.Text(reading.Text) << rows.Text(limit)
                       << rows.Text(reading.Outcome == ReadingOutcome::Failed ? QStringLiteral("*")
                                                                              : QStringLiteral("!"));
    }
}

void MakeRecordRows(const ParsedRecords& parsed, IndexRows& rows)
{
    for (const SwapRecord& record : parsed.Records)
        rows.records << IndexRows::Number(record.Line)
                     << rows.Text(record.SwapFile ? QStringLiteral("SWAP") : QStringLiteral("IMEI"))
                     << rows.Text(record.OldImei) << rows.Text(record.NewImei) << rows.Text(record.ClubNumber)
                     << rows.Text(record.Date.isValid() ? IsoDay(record.Date) : record.DateText)
                     << rows.Text(record.Result) << rows.Text(parsed.ServicePointId);
}

}  // namespace

BoundValue IndexRows::Text(const QString& text)
{
    if (text.isNull())
        return BoundValue{};
    const qsizetype start = texts.size();
    AppendUtf8(texts, text);
    return BoundValue{BoundValue::Kind::Text, start, texts.size() - start};
}

void MakeIndexRows(FileParse& parse, ReadFile& read)
{
    if (!read.Ok)
        return;
    if (!read.Result) {
        MakeRecordRows(parse.Records, read.Rows);
        return;
    }
    MakeTestRow(parse.Test, read.Rows);
    MakeCells(parse, read.Rows);
}

}  // namespace celvio
