// The index of the station's history against hand-written result and record files:
// the rows it holds, damaged and foreign files, incremental updates against a rebuild,
// a damaged database, and the readers of dates and quantity names.
#include "history/history_query.h"
#include "record/file_dates.h"
#include "record/result_file_format.h"
#include "history_fixture.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace celvio::testing {
namespace {

class HistoryIndexTest : public HistoryFixture {
protected:
    // Everything the index holds, one line per row, in a fixed order: two indexes
    // with the same dump answer every question the same way.
    QStringList Dump(HistoryIndex& index)
    {
        QStringList lines;
        QSqlQuery q(index.Database());
        auto add = [&](const char* sql) {
            EXPECT_TRUE(q.exec(QString::fromLatin1(sql))) << sql;
            while (q.next()) {
                QStringList cells;
                for (int i = 0; i < q.record().count(); ++i)
                    cells << q.value(i).toString();
                lines << cells.join(QLatin1Char('|'));
            }
        };
        add("SELECT f.folder, f.name, f.status, f.reason, t.kind, t.date, t.time, t.imei, t.old_imei, t.imsi,"
            " t.model, t.system, t.verdict, t.fault, t.serial, t.firmware, t.coupler FROM files f"
            " LEFT JOIN tests t ON t.file_id = f.id ORDER BY f.folder, f.name");
        add("SELECT f.name, m.quantity, m.row_name, m.channel, m.band, m.value, m.limit_text, m.mark FROM marks m"
            " JOIN tests t ON t.id = m.test_id JOIN files f ON f.id = t.file_id ORDER BY f.name, m.rowid");
        add("SELECT f.name, r.line, r.kind, r.old_imei, r.new_imei, r.club, r.date, r.result, r.service_point"
            " FROM records r JOIN files f ON f.id = r.file_id ORDER BY f.folder, f.name, r.line");
        return lines;
    }
};

TEST_F(HistoryIndexTest, HandWrittenStationGivesTheRightRows)
{
    HandWrittenStation();
    HistoryIndex index(dir.path());
    IndexCounts counts;
    QString error;
    ASSERT_TRUE(index.Update(UpdateScope::EveryFile, &counts, &error)) << qPrintable(error);
    EXPECT_EQ(counts.Read, 11);
    EXPECT_EQ(counts.Skipped, 4);
    EXPECT_EQ(counts.SkippedTotal, 4);

    // The rows written out by hand: a passed test (month/day date), a failed German
    // dual-band test (day.month date, marks), an aborted test, a direct swap, three
    // skipped files with their reasons.
    const QStringList expected{
        "RESULTS/351234|0000017.TXT|ok||test|2026-12-07|10:04:09|351234000000017||001010123456789|Orvane Q7|GSM900|"
        "passed||100123|V3.10|(K580)",
        "RESULTS/351234|0000017A.TXT|skipped|no overall test result|||||||||||||",
        "RESULTS/351234|0000017B.TXT|skipped|not a result file|||||||||||||",
        "RESULTS/351234|0543215.TXT|ok||test|2026-12-07|14:35:02|351234570543215||001010123456789|Orvane Q7|"
        "GSM900,1800|failed|Display flickers when the phone rings and then dies|100123|V3.10|(K530)",
        "RESULTS/490154|3237518.TXT|ok||test|2026-12-08|09:15:00|490154203237518||001010987654321|Kestrel 20|"
        "GSM900|aborted|No ring tone|100123|V3.10|(K580)",
        "RESULTS/490154|9999991.TXT|ok||direct swap|2026-12-08|09:40:12|490154209999991|490154203237518||||swap|"
        "|100123|V3.10|",
        "RESULTS/490154|HUGE.TXT|skipped|too large for its kind (2097181 bytes)|||||||||||||",
        "RESULTS/LOG|AB123ACT.IME|ok||||||||||||||",
        "RESULTS/LOG|AB123ACT.IWR|ok||||||||||||||",
        "RESULTS/LOG|NOTES.IME|skipped|not a record file|||||||||||||",
        "RESULTS/LOG/BACKUP26|AB123L06.IME|ok||||||||||||||",
        // Marks: the quantity in English whatever the language of the file.
        "0543215.TXT|Dialled Number|Dialled Number|0|1|0124|0123|*",
        "0543215.TXT|TX Power|MS Leistung 5 (33 dBm)|20|1|33.8|31 - 35 dBm|!",
        "0543215.TXT|TX Power|MS Leistung 15 (13 dBm)|100|1|16.2|11 - 15 dBm|*",
        "0543215.TXT|RX Level|RX Pegel (50)|100|1|40|47 -  53|*",
        "0543215.TXT|Frequency Error|Frequenzfehler|884|2|-190|+/- 180 Hz|*",
        "0543215.TXT|Power-Time Template|Leistungs-Zeit-Maske|884|2|Template failed||*",
        "3237518.TXT|Call From Base Station|Call From Base Station|0|1|Failed||*",
        // Records of the day and of the archive; the damaged archive line is left out.
        "AB123ACT.IME|3|IMEI|351234570543215||*|2026-12-07|FAIL|AB123",
        "AB123ACT.IME|4|IMEI|490154203237518|490154209999991|0123456789|2026-12-08|SWAP|AB123",
        "AB123ACT.IWR|3|SWAP|490154203237518|490154209999991|0123456789|2026-12-08||AB123",
        "AB123L06.IME|3|IMEI|351234000000017||*|2026-12-06|PASS|AB123",
    };
    EXPECT_EQ(Dump(index), expected);

    // The phone of the aborted test: its test, the direct swap that replaced it and
    // both record lines, newest first, each with its file.
    QList<TestRow> tests;
    QList<RecordRow> records;
    ASSERT_TRUE(FindTests(index, QStringLiteral("490154203237518"), tests));
    ASSERT_TRUE(FindRecords(index, QStringLiteral("490154203237518"), records));
    ASSERT_EQ(tests.size(), 2);
    EXPECT_EQ(tests[0].Kind, QStringLiteral("direct swap"));
    EXPECT_EQ(tests[1].File, QStringLiteral("RESULTS/490154/3237518.TXT"));
    EXPECT_EQ(tests[1].Failed, QStringList{QStringLiteral("Call From Base Station: Failed")});
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].File + QLatin1Char(':') + QString::number(records[0].Line),
              QStringLiteral("RESULTS/LOG/AB123ACT.IME:4"));
    ASSERT_TRUE(FindTests(index, QStringLiteral("351234570543215"), tests));
    ASSERT_EQ(tests.size(), 1);
    EXPECT_EQ(tests[0].Failed, (QStringList{"Dialled Number: 0124", "TX Power [100]: 16.2", "RX Level [100]: 40",
                                            "Frequency Error [884]: -190", "Power-Time Template [884]: Template failed"}));
    ASSERT_TRUE(FindTests(index, QStringLiteral("000000000000000"), tests));
    EXPECT_TRUE(tests.isEmpty());
}

TEST_F(HistoryIndexTest, IncrementalUpdatesGiveWhatARebuildGives)
{
    HandWrittenStation();
    HistoryIndex index(dir.path());
    ASSERT_TRUE(index.Update(UpdateScope::EveryFile));

    // A new test of a phone, a record file rewritten with one more line, the archive
    // moved away, a damaged file mended: each seen by the quick update that follows
    // the program's own writes (folder times), without reading the other files again.
    const QDateTime later = QDateTime::currentDateTime().addSecs(-60);
    QByteArray second = HandWritten(kPassedGsmFile);
    second.replace("10:04:09", "16:00:00");
    Put(QStringLiteral("RESULTS/351234/0000017A.TXT"), second, WrittenOnTestDay().addSecs(3600));
    QByteArray ime = HandWritten(kImeiFile);
    ime.replace("END\t 2 \r\n", "IMEI\t351234000000017\t\t\t20261208\tPASS\r\nEND\t 3 \r\n");
    Put(QStringLiteral("RESULTS/LOG/AB123ACT.IME"), ime, later);
    ASSERT_TRUE(QDir(Path(QStringLiteral("RESULTS/LOG/BACKUP26"))).removeRecursively());
    for (const char* folder : {"RESULTS/351234", "RESULTS/LOG"})
        QFile(Path(QString::fromLatin1(folder))).setFileTime(later, QFileDevice::FileModificationTime);

    IndexCounts counts;
    ASSERT_TRUE(index.Update(UpdateScope::ChangedFolders, &counts));
    EXPECT_EQ(counts.Read, 2);
    EXPECT_EQ(counts.Removed, 1);
    EXPECT_EQ(counts.SkippedTotal, 3);
    QList<TestRow> tests;
    ASSERT_TRUE(FindTests(index, QStringLiteral("351234000000017"), tests));
    ASSERT_EQ(tests.size(), 2);
    EXPECT_EQ(tests[0].Time, QStringLiteral("16:00:00"));
    EXPECT_EQ(tests[0].File, QStringLiteral("RESULTS/351234/0000017A.TXT"));
    QList<RecordRow> records;
    ASSERT_TRUE(FindRecords(index, QStringLiteral("351234000000017"), records));
    ASSERT_EQ(records.size(), 1);  // the archived PASS went with its folder
    EXPECT_EQ(records[0].Date, QStringLiteral("2026-12-08"));
    const QStringList incremental = Dump(index);

    // The same index from cold: a rebuild in place, and a new database.
    IndexCounts rebuilt;
    ASSERT_TRUE(index.Rebuild(&rebuilt));
    EXPECT_EQ(rebuilt.Read, 10);
    EXPECT_EQ(Dump(index), incremental);
    HistoryIndex other(dir.path());
    ASSERT_TRUE(other.Open());
    EXPECT_EQ(Dump(other), incremental);
    const QString db = index.DatabasePath();
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(db + QString::fromLatin1(suffix));
    HistoryIndex fresh(dir.path());
    ASSERT_TRUE(fresh.Update(UpdateScope::ChangedFolders));
    EXPECT_EQ(Dump(fresh), incremental);
}

TEST_F(HistoryIndexTest, ADamagedDatabaseIsMadeAnewAndAMissingStationIsAnError)
{
    HandWrittenStation();
    Put(HistoryIndex::DatabaseName(), QByteArray(4096, 'x'));
    HistoryIndex index(dir.path());
    QString error;
    ASSERT_TRUE(index.Update(UpdateScope::ChangedFolders, nullptr, &error)) << qPrintable(error);
    QList<TestRow> tests;
    ASSERT_TRUE(ListTests(index, TestFilter{}, tests));
    EXPECT_EQ(tests.size(), 4);

    // A station without RESULTS has an empty history; a missing station is an error.
    QTemporaryDir empty;
    HistoryIndex none(empty.path());
    ASSERT_TRUE(none.Update(UpdateScope::EveryFile));
    ASSERT_TRUE(ListTests(none, TestFilter{}, tests));
    EXPECT_TRUE(tests.isEmpty());
    HistoryIndex missing(empty.path() + QStringLiteral("/nowhere"));
    EXPECT_FALSE(missing.Update(UpdateScope::EveryFile, nullptr, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("nowhere")));
}

// An archive that a kill broke off leaves its records in hand-over files until the next
// start-up finishes it. Meanwhile the index counts every record once: the claim's
// records beside the archive file's, and a merged file without its claim in place of
// the archive file it is to replace.
TEST_F(HistoryIndexTest, ArchiveBrokenOffCountsEveryRecordOnce)
{
    const QByteArray archived = HandWritten("IWRIMEI\tV1.0\tAB123\t20261206|\n# Handy Shop Nord|\n"
                                            "IMEI\t100000000000001\t\t\t20261206\tPASS|\n"
                                            "IMEI\t100000000000002\t\t\t20261206\tPASS|\nEND\t 2 |\n");
    const QByteArray claimed = HandWritten("IWRIMEI\tV1.0\tAB123\t20261207|\n# Handy Shop Nord|\n"
                                           "IMEI\t200000000000001\t\t\t20261207\tFAIL|\nEND\t 1 |\n");
    const QByteArray merged = HandWritten("IWRIMEI\tV1.0\tAB123\t20261206|\n# Handy Shop Nord|\n"
                                          "IMEI\t100000000000001\t\t\t20261206\tPASS|\n"
                                          "IMEI\t100000000000002\t\t\t20261206\tPASS|\n"
                                          "IMEI\t200000000000001\t\t\t20261207\tFAIL|\nEND\t 3 |\n");
    const QString archive = QStringLiteral("RESULTS/LOG/BACKUP26/AB123L06.IME");
    const struct {
        const char* state;
        bool claim, merged;
    } states[] = {
        {"claimed, not merged", true, false},
        {"merged, claim still there", true, true},
        {"merged, claim removed, not renamed", false, true},
        {"finished", false, false},
    };
    for (const auto& state : states) {
        SCOPED_TRACE(state.state);
        QDir(Path(QStringLiteral("RESULTS"))).removeRecursively();
        QFile::remove(Path(HistoryIndex::DatabaseName()));
        Put(archive, state.claim || state.merged ? archived : merged);
        if (state.claim)
            Put(archive + QStringLiteral(".IN"), claimed);
        if (state.merged)
            Put(archive + QStringLiteral(".OUT"), merged);
        HistoryIndex index(dir.path());
        QString error;
        ASSERT_TRUE(index.Update(UpdateScope::EveryFile, nullptr, &error)) << qPrintable(error);
        for (const char* imei : {"100000000000001", "100000000000002", "200000000000001"}) {
            QList<RecordRow> rows;
            ASSERT_TRUE(FindRecords(index, QString::fromLatin1(imei), rows, &error)) << qPrintable(error);
            EXPECT_EQ(rows.size(), 1) << imei;
        }
    }
}

TEST_F(HistoryIndexTest, FiltersStatsAndTestsPerDay)
{
    HandWrittenStation();
    HistoryIndex index(dir.path());
    ASSERT_TRUE(index.Update(UpdateScope::EveryFile));
    struct Case {
        TestFilter filter;
        QStringList files;
    } cases[] = {
        {TestFilter{}, {"RESULTS/490154/9999991.TXT", "RESULTS/490154/3237518.TXT", "RESULTS/351234/0543215.TXT",
                        "RESULTS/351234/0000017.TXT"}},
        {TestFilter{QDate(2026, 12, 8), {}, {}, {}, {}, true, 0}, {"RESULTS/490154/3237518.TXT"}},
        {TestFilter{{}, QDate(2026, 12, 7), QStringLiteral("q7"), {}, {}, false, 0},
         {"RESULTS/351234/0543215.TXT", "RESULTS/351234/0000017.TXT"}},
        {TestFilter{{}, {}, {}, QStringLiteral("aborted"), {}, false, 0}, {"RESULTS/490154/3237518.TXT"}},
        {TestFilter{{}, {}, {}, {}, QStringLiteral("4901542032"), false, 0},
         {"RESULTS/490154/9999991.TXT", "RESULTS/490154/3237518.TXT"}},
        {TestFilter{{}, {}, {}, {}, QStringLiteral("351234"), false, 1}, {"RESULTS/351234/0543215.TXT"}},
    };
    for (const Case& c : cases) {
        QList<TestRow> rows;
        ASSERT_TRUE(ListTests(index, c.filter, rows));
        QStringList files;
        for (const TestRow& row : rows)
            files << row.File;
        EXPECT_EQ(files, c.files) << qPrintable(c.files.join(QLatin1Char(' ')));
    }

    auto text = [](const QList<StatsRow>& rows) {
        QStringList out;
        for (const StatsRow& r : rows)
            out << QStringLiteral("%1 %2/%3/%4/%5 %6").arg(r.Group).arg(r.Tests).arg(r.Passed).arg(r.Failed)
                       .arg(r.Aborted).arg(r.Swaps);
        return out;
    };
    QList<StatsRow> rows;
    ASSERT_TRUE(Stats(index, StatsBy::All, TestFilter{}, rows));
    EXPECT_EQ(text(rows), QStringList{"all 3/1/1/1 1"});
    EXPECT_NEAR(rows[0].PassRate(), 33.33, 0.01);
    ASSERT_TRUE(Stats(index, StatsBy::Model, TestFilter{}, rows));
    EXPECT_EQ(text(rows), (QStringList{"Kestrel 20 1/0/0/1 1", "Orvane Q7 2/1/1/0 0"}));
    ASSERT_TRUE(Stats(index, StatsBy::Day, TestFilter{}, rows));
    EXPECT_EQ(text(rows), (QStringList{"2026-12-07 2/1/1/0 0", "2026-12-08 1/0/0/1 1"}));
    ASSERT_TRUE(Stats(index, StatsBy::Week, TestFilter{}, rows));
    EXPECT_EQ(text(rows), QStringList{"2026-W50 3/1/1/1 1"});

    QList<QuantityStatsRow> quantities;
    ASSERT_TRUE(QuantityStats(index, TestFilter{}, quantities));
    ASSERT_GE(quantities.size(), 2);
    EXPECT_EQ(quantities[0].Quantity, QStringLiteral("TX Power"));  // one failed, one repeated
    EXPECT_EQ(quantities[0].FailedTests, 1);
    EXPECT_EQ(quantities[0].Repeated, 1);

    QList<int> perDay;
    ASSERT_TRUE(TestsPerDay(index, QDate(2026, 12, 6), QDate(2026, 12, 9), perDay));
    EXPECT_EQ(perDay, (QList<int>{0, 2, 1, 0}));
}

TEST(ResultParserTest, DatesQuantitiesAndVerdicts)
{
    const DateOrder day = DateOrder::DayFirst, month = DateOrder::MonthFirst;
    const QDate dec8(2026, 12, 8), aug12(2026, 8, 12), restored(2027, 3, 15);
    struct DateCase {
        const char* text;
        QDate near;  // the file's own day
        DateOrder order;
        QDate expected;
    } dates[] = {
        // The program's own forms: a dot says day first whatever the reader's region.
        {"08.12.2026", {}, month, dec8},
        {"08.12.2026", aug12, month, dec8},
        {"12/08/2026", {}, month, dec8},
        {"12/08/2026", restored, month, dec8},  // a restore's day does not decide
        {"12/08/2026", {}, day, aug12},         // the region does
        {"12/08/2026", dec8, day, dec8},        // the file's own day confirms a reading
        {"12/08/2026", QDate(2026, 12, 9), day, dec8},
        {"24/08/2026", {}, month, QDate(2026, 8, 24)},  // one reading only: whatever the region
        // What counter PCs wrote before: short years, no leading zeros, the month's name.
        {"8 Dec 2026", restored, day, dec8},
        {"8 Dec 2026", {}, month, dec8},
        {"12/7/26", QDate(2026, 12, 7), day, QDate(2026, 12, 7)},
        {"12/7/26", QDate(2026, 7, 13), month, QDate(2026, 7, 12)},
        {"12/7/26", restored, month, QDate(2026, 12, 7)},
        {"07.12.26", {}, month, QDate(2026, 12, 7)},
        {"2026-12-07", {}, day, QDate(2026, 12, 7)},
        {"31/12/2026", {}, month, QDate(2026, 12, 31)},
        {"1/2/99", QDate(2099, 1, 1), day, QDate(2099, 1, 2)},
        {"", {}, day, QDate()},
        {"13.13.26", {}, day, QDate()},
        {"yesterday", {}, day, QDate()},
        {"8 Dez 2026", {}, day, QDate()},
        // A year no counter PC's clock said is no reading; a sound reading still wins.
        {"0712.2.6", {}, day, QDate()},
        {"9999-01-01", {}, day, QDate()},
        {"1/1/1970", {}, day, QDate(1970, 1, 1)},
        {"1.2.0712", dec8, day, QDate()},
    };
    for (const DateCase& c : dates)
        EXPECT_EQ(ReadShortDate(QString::fromLatin1(c.text), c.near, c.order).toString(Qt::ISODate),
                  c.expected.toString(Qt::ISODate))
            << c.text << " near " << qPrintable(c.near.toString(Qt::ISODate)) << (c.order == day ? " day" : " month");

    EXPECT_EQ(QuantityName(QStringLiteral("Phasenfehler Spitze")), QStringLiteral("Phase Error Peak"));
    EXPECT_EQ(QuantityName(QStringLiteral("Phasenfehler")), QStringLiteral("Phase Error RMS"));
    EXPECT_EQ(QuantityName(QStringLiteral("RX Qualität")), QStringLiteral("RX Quality"));
    EXPECT_EQ(QuantityName(QStringLiteral("Something else")), QStringLiteral("Something else"));

    // A failed file whose only marks are on values stays failed; a failure mark on a
    // call makes it aborted, and so does a failed file with no mark at all.
    CycleRecord parsed;
    QList<CellRef> cells;
    // The marked readings of the file, in its order: value and traffic channel as the
    // index keeps it (a channel below 0 is unknown, 0).
    auto marks = [&parsed, &cells] {
        QList<std::pair<QString, int>> out;
        for (const CellRef& c : cells) {
            const Reading& r = parsed.At(c.Band, c.Row, c.Column);
            if (r.Outcome == ReadingOutcome::Failed || r.Outcome == ReadingOutcome::PassedOnRepeat)
                out.append({r.Text, IsCallRow(c.Row) ? 0 : std::max(0, int(parsed.TrafficChannels[(c.Band - 1) * 3 + c.Column]))});
        }
        return out;
    };
    QByteArray bytes = HandWritten(kFailedDualBandGermanFile);
    ASSERT_TRUE(ReadResultFile(bytes, {}, parsed));
    EXPECT_EQ(parsed.Verdict, TestVerdict::Failed);
    bytes.replace("Call From Mobile       : Passed", "Call From Mobile       : * Fehler");
    ASSERT_TRUE(ReadResultFile(bytes, {}, parsed));
    EXPECT_EQ(parsed.Verdict, TestVerdict::Aborted);
    bytes = HandWritten(kAbortedFile);
    bytes.replace("* Failed", "Not tested");
    ASSERT_TRUE(ReadResultFile(bytes, {}, parsed));
    EXPECT_EQ(parsed.Verdict, TestVerdict::Aborted);

    // A block whose channel is not a channel number keeps its marks, with the channel
    // unknown.
    for (const char* damaged : {"Traffic Channel        :  -20 ", "Traffic Channel        :  2O ",
                                "Traffic Channel        :  99999999999 "}) {
        bytes = HandWritten(kFailedDualBandGermanFile);
        bytes.replace("Traffic Channel        :  20 ", damaged);
        parsed = {};
        ASSERT_TRUE(ReadResultFile(bytes, {}, parsed, nullptr, DateOrder::DayFirst, &cells)) << damaged;
        const auto marked = marks();
        ASSERT_EQ(marked.size(), 6) << damaged;
        EXPECT_EQ(marked[1].first, QStringLiteral("33.8")) << damaged;
        EXPECT_EQ(marked[1].second, 0) << damaged;
        EXPECT_EQ(marked[2].second, 100) << damaged;
    }

    // Every cut of a result file is read or refused, never more than it holds.
    const QByteArray whole = HandWritten(kFailedDualBandGermanFile);
    for (qsizetype n = 0; n < whole.size(); n += 7) {
        QString reason;
        parsed = {};
        if (!ReadResultFile(whole.left(n), {}, parsed, &reason, DateOrder::DayFirst, &cells))
            EXPECT_FALSE(reason.isEmpty());
        else
            EXPECT_LE(marks().size(), 6);
    }
}

}  // namespace
}  // namespace celvio::testing
