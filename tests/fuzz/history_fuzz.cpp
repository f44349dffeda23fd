// The history index's readers: a stored result file (through the record's reader) and
// a swap record file (live or archived), both read from the same bytes.
//
// Checks: a refused file always says why; an accepted test has an IMEI and one of the
// three verdicts, an accepted direct swap names a phone; every marked value ("*"
// failed, "!" passed on repetition) is of a band of 1 or 2 and on no negative channel;
// a failed verdict has a failed value that is not a basic function (otherwise it counts
// as aborted); a date read lies in the plausible years, one of a two-digit year in this
// century. Accepted record files list their records in file order, below the header
// line, with a result only in the IMEI file, and their dates too lie in the plausible
// years.
#include "fuzz_support.h"

#include "history/record_parser.h"
#include "record/file_dates.h"
#include "record/result_file_format.h"

#include <QRegularExpression>

using namespace celvio;
using celvio::fuzz::Check;

namespace {

bool IsBasicFunction(RowId row)
{
    return row == RowId::MobileCall || row == RowId::BaseCall || row == RowId::SpeechLoopback;
}

// The marked values of an accepted test: band, channel, and a failed value that is not
// a basic function behind a failed verdict.
void CheckMarks(const CycleRecord& result, const QList<CellRef>& cells, const QString& input)
{
    bool failMark = false;
    for (const CellRef& cell : cells) {
        Check(cell.Band == 1 || cell.Band == 2, "a value read is of band 1 or 2", input);
        Check(cell.Column >= 1 && cell.Column <= kChannelColumns, "a value read is of column 1 to 3", input);
        if (cell.Band < 1 || cell.Band > 2 || cell.Column < 1 || cell.Column > kChannelColumns)
            continue;
        const ReadingOutcome outcome = result.At(cell.Band, cell.Row, cell.Column).Outcome;
        if (outcome != ReadingOutcome::Failed && outcome != ReadingOutcome::PassedOnRepeat)
            continue;
        if (!IsCallRow(cell.Row))
            Check(result.TrafficChannels[(cell.Band - 1) * kChannelColumns + cell.Column] >= 0,
                  "a marked value has no negative channel", input);
        failMark = failMark || (outcome == ReadingOutcome::Failed && !IsBasicFunction(cell.Row));
    }
    if (result.Verdict == TestVerdict::Failed)
        Check(failMark, "a failed test has a failure mark", input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString input = fuzz::Text(data, size);

    // The regional order of the station: the same bytes are read in both.
    const DateOrder order = size % 2 ? DateOrder::MonthFirst : DateOrder::DayFirst;
    const DateOrder other = size % 2 ? DateOrder::DayFirst : DateOrder::MonthFirst;
    CycleRecord result;
    QList<CellRef> cells;
    QString reason;
    const bool accepted = ReadResultFile(bytes, QDate(2026, 12, 8), result, &reason, order, &cells);
    CycleRecord inOther;
    Check(ReadResultFile(bytes, QDate(2026, 12, 8), inOther, nullptr, other) == accepted &&
              inOther.Verdict == result.Verdict && inOther.Imei == result.Imei,
          "the order of day and month changes nothing but the date", input);
    const QString written = result.DateText.trimmed();
    if (!written.contains(QLatin1Char('/')))
        Check(inOther.Date == result.Date, "a date without a slash reads the same in both orders", input);
    // Without the file's own day the order alone decides: a date the program could
    // have written in this order reads back as the date it wrote.
    const QDate asWritten = QDate::fromString(
        written, order == DateOrder::MonthFirst ? QStringLiteral("MM/dd/yyyy") : QStringLiteral("dd.MM.yyyy"));
    if (IsPlausibleStationDate(asWritten) && DateText(asWritten, order) == written)
        Check(ReadShortDate(written, QDate(), order) == asWritten, "a written date reads back as written", input);
    if (!accepted) {
        Check(!reason.isEmpty(), "a refused result file says why", input);
    } else if (result.Kind == RecordKind::DirectSwap) {
        Check(!result.Imei.isEmpty() || !result.OldImei.isEmpty(), "a direct swap names a phone", input);
    } else {
        Check(!result.Imei.isEmpty(), "an accepted test has an IMEI", input);
        Check(result.Verdict == TestVerdict::Passed || result.Verdict == TestVerdict::Failed ||
                  result.Verdict == TestVerdict::Aborted,
              "an accepted test has a verdict", input);
        CheckMarks(result, cells, input);
    }
    const QString dateText = result.DateText.trimmed();
    if (result.Date.isValid()) {
        Check(IsPlausibleStationDate(result.Date), "a date read is of a plausible year", input);
        static const QRegularExpression shortParts(QStringLiteral("[./-]"));
        bool twoDigitYear = true;
        for (const QString& part : dateText.split(shortParts))
            twoDigitYear = twoDigitYear && part.size() <= 2;
        if (twoDigitYear)
            Check(result.Date.year() >= 2000, "a two-digit year is of this century", input);
    }

    ParsedRecords records;
    QString recordReason;
    if (!ParseHistoryRecords(bytes, records, &recordReason)) {
        Check(!recordReason.isEmpty(), "a refused record file says why", input);
        return 0;
    }
    Check(records.BadLines >= 0, "the count of bad lines is not negative", input);
    int previous = 1;
    for (const SwapRecord& record : records.Records) {
        Check(record.Line > previous, "records come in file order, below the header", input);
        previous = record.Line;
        Check(!record.Date.isValid() || IsPlausibleStationDate(record.Date), "a record's date is of a plausible year",
              input);
        Check(record.SwapFile == records.SwapFile, "a record is of its file's kind", input);
        if (records.SwapFile)
            Check(record.Result.isEmpty(), "a swap file's record has no test result", input);
    }
    return 0;
}
