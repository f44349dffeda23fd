// The result file's format both ways: the hand-written files read and written back
// byte for byte, records of every shape the writer can make read back equal (dates
// of both regional orders, long names and values, extreme limits), older and edited
// files read by their keys and written in the program's form, and the dates of
// counter PCs.
#include "record/file_dates.h"
#include "record/result_file_format.h"
#include "support/golden_records.h"
#include "support/result_files.h"
#include "support/station_fixture.h"

#include <QRandomGenerator>
#include <sstream>

namespace celvio::testing {
namespace {

// The record as a result file holds it (see result_file_format.h): the cells listed
// per traffic channel, the limits of those, the header; no attempts, no customer texts
// but the fault description's 200 characters, no expected level, no path attenuations.
CycleRecord FileView(const CycleRecord& r)
{
    CycleRecord v = r;
    v.ClubNumber.clear();
    v.SwapComment.clear();
    v.OldImei.clear();
    v.ExpectedRxLevel.reset();
    v.FaultDescription = r.FaultDescription.left(200);
    v.PhoneIdentified = v.Imei != kNotTestedText;
    v.TrafficChannels[0] = 0;
    for (int b = 1; b <= kBands; ++b) {
        BandReadings& band = v.Bands[b - 1];
        band.Attenuations = {};
        const bool inFile = b == 1 || r.DualBand();
        for (int i = 0; i < kRowCount; ++i) {
            const RowId row = RowAt(i);
            bool listed = false;
            for (int c = 1; c <= kChannelColumns; ++c) {
                const bool cellInFile = inFile && (IsCallRow(row) ? b == 1 && c == 1 : UseOf(row, c) == ColumnUse::Listed);
                Reading& cell = band.Cells[i][c - 1];
                if (!cellInFile)
                    cell = Reading{};
                else if (IsCallRow(row) && row != RowId::DialledNumber)
                    cell.Limits = ReadingLimits{};
                cell.Attempts = 0;
                listed = listed || (cellInFile && !IsCallRow(row));
            }
            if (!listed)
                band.RowNames[i].clear();
        }
        if (!inFile)
            for (int c = 1; c <= kChannelColumns; ++c)
                v.TrafficChannels[3 + c] = 0;
    }
    // The file says "Failed" for both; a failed call or loop-back, or no failed reading
    // at all, reads as an abort.
    if (r.Verdict != TestVerdict::Passed) {
        bool anyFailed = false, basic = false;
        for (const BandReadings& band : v.Bands)
            for (int i = 0; i < kRowCount; ++i)
                for (const Reading& cell : band.Cells[i])
                    if (cell.Outcome == ReadingOutcome::Failed) {
                        anyFailed = true;
                        basic = basic || RowAt(i) == RowId::MobileCall || RowAt(i) == RowId::BaseCall ||
                                RowAt(i) == RowId::SpeechLoopback;
                    }
        v.Verdict = basic || !anyFailed ? TestVerdict::Aborted : TestVerdict::Failed;
    }
    return v;
}

// The lines of two records' dumps that differ, for a failure message.
std::string Differences(const CycleRecord& a, const CycleRecord& b)
{
    std::ostringstream x, y;
    PrintTo(a, &x);
    PrintTo(b, &y);
    const QStringList la = QString::fromStdString(x.str()).split(QLatin1Char('\n'));
    const QStringList lb = QString::fromStdString(y.str()).split(QLatin1Char('\n'));
    std::string out;
    for (qsizetype i = 0; i < std::max(la.size(), lb.size()); ++i)
        if (la.value(i) != lb.value(i))
            out += "read: " + la.value(i).toStdString() + "\nmade: " + lb.value(i).toStdString() + '\n';
    return out;
}

CycleRecord Read(const QByteArray& bytes, DateOrder order = DateOrder::MonthFirst, QString* reason = nullptr)
{
    CycleRecord r;
    EXPECT_TRUE(ReadResultFile(bytes, QDate(), r, reason, order)) << bytes.constData();
    return r;
}

TEST(ResultFileFormatTest, HandWrittenFilesReadBackAndWriteAgainByteForByte)
{
    StationState st;
    const struct {
        const char* name;
        const char* file;
        CycleRecord record;
    } files[] = {{"passed", kPassedGsmFile, PassedGsmRecord(st)},
                 {"failed dual band", kFailedDualBandGermanFile, FailedDualBandRecord(st)}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const QByteArray bytes = HandWritten(f.file);
        EXPECT_EQ(ResultFileBytes(f.record), bytes);
        const CycleRecord read = Read(bytes);
        EXPECT_EQ(QString::fromLatin1(ResultFileBytes(read)), QString::fromLatin1(bytes));
        EXPECT_EQ(read, FileView(f.record));
    }
    const CycleRecord dual = Read(HandWritten(kFailedDualBandGermanFile));
    EXPECT_EQ(dual.Date, QDate(2026, 12, 7));
    EXPECT_EQ(dual.Verdict, TestVerdict::Failed);
    const Reading& power = dual.At(1, RowId::TxPower3, 3);
    EXPECT_EQ(power.Value, 16.2);
    EXPECT_EQ(power.Outcome, ReadingOutcome::Failed);
    EXPECT_EQ(std::make_pair(power.Limits.Low, power.Limits.High), std::make_pair(std::optional(11.0), std::optional(15.0)));
    EXPECT_EQ(dual.At(2, RowId::Frequency, 3).Limits.Low, -180);
    EXPECT_EQ(dual.Bands[1].RowNames[int(RowId::TxPower3)], QStringLiteral("MS Leistung 10 (10 dBm)"));

    const QByteArray swap = HandWritten(kSwappedWithoutTestFile);
    const CycleRecord swapped = Read(swap);
    EXPECT_EQ(swapped.Kind, RecordKind::DirectSwap);
    EXPECT_EQ(swapped.OldImei, QStringLiteral("351234000000017"));
    EXPECT_EQ(DirectSwapFileBytes(swapped), swap);
    EXPECT_EQ(DirectSwapFileBytes(DirectSwapRecord(st)), swap);
}

// A file of a program whose catalogue listed fewer rows (here no RX quality at all)
// reads without them and is written again as it was: no nameless row takes their
// place.
TEST(ResultFileFormatTest, AFileWithoutARowOfTheCatalogueWritesBackAsItWas)
{
    QByteArray bytes = HandWritten(kPassedGsmFile);
    bytes.replace("RX Quality             :  0             ( 0 - 2 )\r\n", "");
    ASSERT_FALSE(bytes.contains("RX Quality"));
    const CycleRecord read = Read(bytes);
    EXPECT_EQ(read.At(1, RowId::RxQuality, 1).Outcome, ReadingOutcome::NotTested);
    EXPECT_EQ(QString::fromLatin1(ResultFileBytes(read)), QString::fromLatin1(bytes));
}

// Channels are counted from 0: a damaged or hand-edited channel line (negative, not a
// number) reads as an unknown channel 0, and its block keeps its readings; written
// again, the file is in the program's form from then on.
TEST(ResultFileFormatTest, ADamagedChannelIsUnknownAndItsReadingsStay)
{
    QByteArray bytes = HandWritten(kFailedDualBandGermanFile);
    bytes.replace("Traffic Channel        :  20 ", "Traffic Channel        :  -20 ");
    bytes.replace("Traffic Channel        :  62 ", "Traffic Channel        :  6x2 ");
    const CycleRecord read = Read(bytes);
    EXPECT_EQ(read.TrafficChannels, (std::array<qint16, 7>{0, 0, 0, 100, 512, 698, 884}));
    EXPECT_EQ(read.At(1, RowId::TxPower1, 1).Outcome, ReadingOutcome::PassedOnRepeat);
    EXPECT_EQ(read.At(1, RowId::TxPower1, 2).Text, QStringLiteral("33.1"));
    const QByteArray written = ResultFileBytes(read);
    EXPECT_TRUE(written.contains("Traffic Channel        :  0 \r\n"));
    EXPECT_EQ(ResultFileBytes(Read(written)), written);
}

// The date line of another counter PC or a damaged one is cut at the first "Time:",
// with or without a blank after it, so the time never becomes part of the date. Written
// again, the line is in the program's form and from then on stays as it is.
TEST(ResultFileFormatTest, ADateLineIsCutAtTheTimeKeyAndWrittenOnceInTheProgramsForm)
{
    const QByteArray filler(68, '\xff');
    const struct {
        const char* name;
        QByteArray line;
        QByteArray date;
        const char* time;
        QByteArray written;
    } cases[] = {
        {"no blank after the key", "Date: 12/7/26      Time:10:04:09", "12/7/26", "10:04:09",
         "Date: 12/7/26 Time: 10:04:09"},
        {"two time keys", "Date: 12/7/26 Time: Time: 10:04:09", "12/7/26", "Time: 10:04:09",
         "Date: 12/7/26 Time: Time: 10:04:09"},
        {"8-bit filler and a lone CR in the time", "Date: " + filler + "24/08/2026  Time:\r09:00",
         filler + "24/08/2026", "", "Date: " + filler + "24/08/2026" + QByteArray(14, ' ') + "Time: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bytes = HandWritten(kPassedGsmFile);
        bytes.replace("Date: 12/7/26 Time: 10:04:09", c.line);
        const CycleRecord read = Read(bytes);
        EXPECT_EQ(read.DateText, QString::fromLatin1(c.date));
        EXPECT_EQ(read.TimeText, QString::fromLatin1(c.time));
        const QByteArray written = ResultFileBytes(read);
        EXPECT_TRUE(written.contains("\r\n" + c.written + "\r\n")) << written.constData();
        EXPECT_EQ(ResultFileBytes(Read(written)), written);
    }
}

// A limit with a number no reading comes near (16 digits or more before the point) is
// no limit: its text stays where the file keeps one, the TX power range is written
// empty, and the file written once stays as it is.
TEST(ResultFileFormatTest, ALimitBeyondAnyReadingIsNoLimitAndWritesOnce)
{
    QByteArray bytes = HandWritten(kPassedGsmFile);
    bytes.replace("TX Power 5 (33 dBm)    :  33.2          ( 31 - 35 dBm )",
                  "TX Power 5 (33 dBm)    :  33.2          ( 31 - 33333333333333333333333 dBm )");
    bytes.replace("Phase Error RMS        :  1.8           ( 0 - 5 deg )",
                  "Phase Error RMS        :  1.8           ( 0 - 1000000000000000 deg )");
    bytes.replace("Frequency Error        :  -23           ( +/- 90 Hz )",
                  "Frequency Error        :  -23           ( +/- 999999999999999 Hz )");
    const CycleRecord read = Read(bytes);
    EXPECT_FALSE(read.At(1, RowId::TxPower1, 1).Limits.High);
    EXPECT_FALSE(read.At(1, RowId::PhaseRms, 3).Limits.High);
    EXPECT_EQ(read.At(1, RowId::PhaseRms, 3).Limits.Text, QStringLiteral("0 - 1000000000000000 deg"));
    EXPECT_EQ(read.At(1, RowId::Frequency, 3).Limits.High, 999999999999999.0);
    const QByteArray written = ResultFileBytes(read);
    EXPECT_TRUE(written.contains("TX Power 5 (33 dBm)    :  33.2          (  dBm )\r\n")) << written.constData();
    EXPECT_TRUE(written.contains("( 0 - 1000000000000000 deg )\r\n"));
    EXPECT_TRUE(written.contains("( +/- 999999999999999 Hz )\r\n"));
    EXPECT_EQ(ResultFileBytes(Read(written)), written);
}

// A bracket pair around one blank, "( )", is an empty limit: no limit, read without
// reaching past its text, and the file written once stays as it is.
TEST(ResultFileFormatTest, AnEmptyPairOfBracketsIsNoLimit)
{
    QByteArray bytes = HandWritten(kPassedGsmFile);
    bytes.replace("( 31 - 35 dBm )", "( )");
    bytes.replace("( 0 - 5 deg )", "( )");
    const CycleRecord read = Read(bytes);
    EXPECT_FALSE(read.At(1, RowId::TxPower1, 1).Limits.High);
    EXPECT_FALSE(read.At(1, RowId::PhaseRms, 3).Limits.High);
    EXPECT_TRUE(read.At(1, RowId::PhaseRms, 3).Limits.Text.isEmpty());
    const QByteArray written = ResultFileBytes(read);
    EXPECT_EQ(ResultFileBytes(Read(written)), written);
}

// A call row whose text holds the key of a header line (the coupler's, the tester's) is
// still the first call row: the header ends there, the coupler stays the coupler line's,
// and the file written once stays as it is.
TEST(ResultFileFormatTest, TheCallsBeginAtTheirFirstRowWhateverItsTextHolds)
{
    QByteArray bytes = HandWritten(kPassedGsmFile);
    const CycleRecord plain = Read(bytes);
    for (const char* text : {"Passed ( Mobile Connected Via : x )", "Passed Dalvora MOBILE TESTER  : x"}) {
        SCOPED_TRACE(text);
        bytes = HandWritten(kPassedGsmFile);
        bytes.replace("Call From Mobile       : Passed", QByteArray("Call From Mobile       : ") + text);
        const CycleRecord read = Read(bytes);
        EXPECT_EQ(read.Coupler, plain.Coupler);
        EXPECT_EQ(read.TesterModel, plain.TesterModel);
        EXPECT_EQ(read.At(1, RowId::MobileCall, 1).Text, QString::fromLatin1(text));
        const QByteArray written = ResultFileBytes(read);
        EXPECT_EQ(ResultFileBytes(Read(written)), written);
    }
}

// A text of the station's character set without line ends.
QString Text(QRandomGenerator& random, int maxLength)
{
    static const QString pool = QStringLiteral("abcXYZ 0123456789-+.,/()*!:äöüßµ");
    QString out;
    for (int n = random.bounded(maxLength + 1); n > 0; --n)
        out += pool[random.bounded(int(pool.size()))];
    return out;
}

// A value as a cell shows it: a number with its unit, a value as read, a long one.
QString ValueText(QRandomGenerator& random, RowId row, ReadingOutcome outcome)
{
    if (outcome == ReadingOutcome::NotTested)
        return kNotTestedText;
    if (outcome == ReadingOutcome::NotNeeded)
        return kNotNeededText;
    if (IsCallRow(row))
        // Digits dialled; a lone "*" that passed reads as an empty number that failed.
        return row == RowId::DialledNumber ? QStringLiteral("*100#").left(random.bounded(2, 6))
                                           : QStringLiteral("Bestanden");
    const QString unit = QString::fromUtf8(Quantity(row).unit);
    switch (random.bounded(4)) {
    case 0: return QString::number(random.bounded(-300, 300)) + unit;
    case 1: return QStringLiteral("9.91E37");
    case 2: return QStringLiteral("a value far too long for its column");
    default: return QString::number(random.bounded(1000) / 10.0);
    }
}

CycleRecord RandomRecord(QRandomGenerator& random, DateOrder order)
{
    static const char* const systems[] = {"GSM", "PCN", "PCS", "GSM,PCN", "GSM,PCS"};
    StationState st;
    ShopStation(st, systems[random.bounded(5)], quint8(1 + random.bounded(2)));
    // Levels and limits of every size, names too long for their column among them.
    for (int slot = 1; slot <= 6; ++slot)
        st.MsPowerLevels[slot] = qint16(random.bounded(2) ? random.bounded(-20000, 20000) : random.bounded(20));
    for (qint32* limit : {&st.LimitTxPower, &st.LimitPhaseRms, &st.LimitFrequency, &st.LimitBurstLength,
                          &st.LimitRxLevel, &st.LimitRxQuality})
        *limit = random.bounded(3) ? random.bounded(-1000, 1000) : qint32(random.generate());
    // Channels are counted from 0 (a negative one in a file reads as unknown).
    for (qint16& channel : st.TrafficChannels)
        channel = qint16(random.bounded(0, 1024));
    st.ControlChannel = qint16(random.bounded(-32768, 32768));
    st.GeneratorLevel = qint16(random.bounded(-32768, 32768));
    st.DialNumber = QStringLiteral("0123#*").left(random.bounded(7));
    st.TesterModel = Text(random, 12);
    st.TesterSerial = Text(random, 8);
    st.TesterFirmware = Text(random, 8);
    st.CouplerLabel = Text(random, 20);
    st.FaultDescription = Text(random, 230);
    st.Version = Text(random, 6);
    const QDate day = QDate(1970, 1, 1).addDays(random.bounded(47000));
    st.CycleDay = day;
    st.CycleDate = DateText(day, order);
    st.CycleTime = TimeText(QTime(0, 0).addSecs(random.bounded(86400)));
    CycleRecord r;
    if (random.bounded(2))
        r.ExpectedRxLevel = random.bounded(-50, 120);
    ResetReadings(r);
    TakeStationFacts(r, st);
    r.Model = Text(random, 20);
    r.Imei = QStringLiteral("35123400000%1").arg(random.bounded(10000), 4, 10, QLatin1Char('0'));
    r.Imsi = random.bounded(4) ? QStringLiteral("001010123456789") : kNotTestedText;
    r.PhoneIdentified = r.Imsi != kNotTestedText;
    for (int b = 1; b <= kBands; ++b)
        for (int i = 0; i < kRowCount; ++i)
            for (int c = 1; c <= kChannelColumns; ++c) {
                const RowId row = RowAt(i);
                const auto outcome = ReadingOutcome(random.bounded(5));
                StoreReading(r, b, row, c, ValueText(random, row, outcome), outcome, random.bounded(4));
            }
    r.Verdict = TestVerdict(random.bounded(3));
    return r;
}

TEST(ResultFileFormatTest, EveryRecordTheWriterMakesReadsBackAsTheFileHoldsIt)
{
    QRandomGenerator random(20261207u);
    for (int n = 0; n < 400; ++n) {
        const DateOrder order = n % 2 ? DateOrder::MonthFirst : DateOrder::DayFirst;
        const CycleRecord r = RandomRecord(random, order);
        const QByteArray bytes = ResultFileBytes(r);
        SCOPED_TRACE(bytes.constData());
        CycleRecord read;
        ASSERT_TRUE(ReadResultFile(bytes, QDate(), read, nullptr, order));
        EXPECT_TRUE(read == FileView(r)) << n << '\n' << Differences(read, FileView(r));
        EXPECT_EQ(ResultFileBytes(read), bytes) << n;
        // The file's own day within a day of the date written confirms that reading.
        ASSERT_TRUE(ReadResultFile(bytes, r.Date.addDays(1), read, nullptr, order));
        EXPECT_EQ(read.Date, r.Date);
    }
}

}  // namespace
}  // namespace celvio::testing
