// Whole TEST cycles through the real Main in virtual time: the result file a cycle
// writes is in the history index as soon as the cycle ends, and an index that cannot
// be written is traced without disturbing the cycle.
#include "cycle/main.h"
#include "history/history_index.h"
#include "history/history_query.h"
#include "support/station_fixture.h"

#include <QDir>

namespace celvio::testing {
namespace {

class HistoryCycleTest : public StationFixture {
protected:
    void SetUp() override
    {
        WriteStationFile(QStringLiteral("CELVIO.INI"),
                         QStringLiteral("LANGUAGE    ENGLISH\nDIALNO      0123\nSEARCHCOM   0\nTOSEARCH    60\n") +
                             QLatin1String(kCycleStation));
        WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-7,MPN.DAT\n351234,Orvane Q7\n-9,STD\n"));
        WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[STD]\n[Orvane Q7]\nBANDS=900,1800,1900\n"));
        WriteStationFile(QStringLiteral("BADCHAN.DAT"), QStringLiteral("\" 5,\"\n"));
        WriteStationFile(QStringLiteral("DEBUGPM.INI"), QString());
        WriteStationBytes(QStringLiteral("Zoredudi.BMP"), "BM");
    }

    // One failed TEST cycle of the simulated phone (its power stays too high), ended
    // with "New test"; `atModeDialog` runs when the next cycle's mode dialog shows.
    void FailedCycle(std::function<void(const App&)> atModeDialog)
    {
        AttachSimulator(1, QStringLiteral("phone.registration = 8\nphone.dial = 6\nphone.answer = 4\n"
                                          "fault.tx_power_offset = 6\nfault.tx_power_attempts = 1,2\n"));
        platform.Press(QStringLiteral("COM&1"));
        platform.Press(QStringLiteral("&Test"));
        platform.Press(QStringLiteral("GSM 900"));
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Audio Test"); },
                       QStringLiteral("the echo question"));
        platform.Press(QStringLiteral("&Yes"));
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Test Failed!"); },
                       QStringLiteral("the verdict"));
        platform.Press(QStringLiteral("&New test"));
        platform.Await(
            [&](const App& a) {
                if (!(a.Form1.Command2.Visible && a.Form1.Command2.Caption == QLatin1String("&Test")))
                    return false;
                atModeDialog(a);
                return true;
            },
            QStringLiteral("the mode dialog"));
        EXPECT_EQ(RunMain(app), -1);
    }

    QStringList HistoryTrace() const
    {
        QStringList lines;
        for (const QString& line : Trace())
            if (line.startsWith(QLatin1String("History index")))
                lines << line;
        return lines;
    }
};

TEST_F(HistoryCycleTest, TheCyclesResultFileIsFindableAtOnce)
{
    // An older test of the same phone, written before the program started: read at start-up.
    ASSERT_TRUE(QDir().mkpath(StationFile(QStringLiteral("RESULTS/351234"))));
    WriteStationBytes(QStringLiteral("RESULTS/351234/0123457.TXT"),
                      "TEST REPORT - CELVIO : 2.02\r\nDate: 12/1/26 Time: 09:00:00\r\n\r\n"
                      "OVERALL TEST RESULT: Passed\r\n\r\n"
                      "MOBILE TELEPHONE       : Orvane Q7        Cellular System: GSM900\r\n"
                      "    IMEI: 351234560123457    IMSI: 001010123456789\r\n");
    QList<TestRow> found;
    FailedCycle([&found](const App& a) {
        HistoryIndex index(a.StationDir);
        EXPECT_TRUE(FindTests(index, QStringLiteral("351234560123457"), found));
    });
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found[0].File, QStringLiteral("RESULTS/351234/0123457A.TXT"));
    EXPECT_TRUE(Trace().contains(QStringLiteral("Result file written: ") + StationFile(found[0].File)));
    EXPECT_EQ(found[0].Verdict, QStringLiteral("failed"));
    EXPECT_EQ(found[0].Model, QStringLiteral("Orvane Q7"));
    ASSERT_FALSE(found[0].Failed.isEmpty());
    EXPECT_TRUE(found[0].Failed[0].startsWith(QStringLiteral("TX Power"))) << qPrintable(found[0].Failed.join(';'));
    EXPECT_EQ(found[1].Verdict, QStringLiteral("passed"));
    const QStringList trace = HistoryTrace();
    ASSERT_EQ(trace.size(), 2);
    EXPECT_TRUE(trace[0].startsWith(QStringLiteral("History index: 1 files read, 0 removed, 0 skipped")));
    EXPECT_TRUE(trace[1].startsWith(QStringLiteral("History index: 1 files read, 0 removed, 0 skipped")));
}

TEST_F(HistoryCycleTest, AnIndexThatCannotBeWrittenIsTracedAndTheCycleGoesOn)
{
    // A folder where the database should be: it can be neither opened nor replaced.
    ASSERT_TRUE(QDir().mkpath(StationFile(QStringLiteral("HISTORY.DB/x"))));
    bool modeDialog = false;
    FailedCycle([&modeDialog](const App&) { modeDialog = true; });
    EXPECT_TRUE(modeDialog);
    EXPECT_TRUE(QFile::exists(StationFile(QStringLiteral("RESULTS/351234/0123457.TXT"))));
    const QStringList trace = HistoryTrace();
    ASSERT_EQ(trace.size(), 2);  // start-up and the end of the cycle
    for (const QString& line : trace)
        EXPECT_TRUE(line.startsWith(QStringLiteral("History index not updated: "))) << qPrintable(line);
}

TEST_F(HistoryCycleTest, ASwapCyclesFileAndRecordsAreFindableAtOnce)
{
    // A service point: the customer screen, then a SWAP cycle with the old phone's IMEI
    // typed in and the simulated phone (another type) given in exchange.
    WriteStationFile(QStringLiteral("CELVIO.INI"),
                     QStringLiteral("LANGUAGE    ENGLISH\nSWAPFILE    1\nDIALNO      0123\nSEARCHCOM   0\n"
                                    "TOSEARCH    60\n") +
                         QLatin1String(kCycleStation));
    WriteStationBytes(QStringLiteral("swap.dat"), "0,\"AB123\",\"Handy Shop\",\"Markt 1\",\"040 1\",\"Bo\"\r\n");
    AttachSimulator(1, QStringLiteral("phone.registration = 8\nphone.dial = 6\nphone.answer = 4\n"));
    platform.Press(QStringLiteral("COM&1"));
    platform.Press(QStringLiteral("S&wap"));
    platform.Await([](const App& a) { return a.Form1.Text6.Visible && a.Form1.Label4.Caption == "Zavar Service"; },
                   QStringLiteral("the customer screen"));
    platform.Type(1, QStringLiteral("*"));
    platform.Type(6, QStringLiteral("Phone hands over"));
    platform.Press(QStringLiteral("&OK"));
    platform.Press(QStringLiteral("GSM 900"));
    platform.Await([](const App& a) { return a.Form1.Label3.Caption.contains(QLatin1String("IMEI Number")); },
                   QStringLiteral("the IMEI entry"));
    platform.Type(1, QStringLiteral("352099001234562"));
    platform.Press(QStringLiteral("&OK"));
    platform.Await([](const App& a) { return a.Form1.Label3.Caption.contains(QLatin1String("another type")); },
                   QStringLiteral("the type question"));
    platform.Press(QStringLiteral("&Yes"));
    QList<TestRow> tests;
    QList<RecordRow> records;
    platform.Await(
        [&](const App& a) {
            if (!(a.Form1.Command2.Visible && a.Form1.Command2.Caption == QLatin1String("&Test")))
                return false;
            HistoryIndex index(a.StationDir);
            EXPECT_TRUE(FindTests(index, QStringLiteral("352099001234562"), tests));
            EXPECT_TRUE(FindRecords(index, QStringLiteral("352099001234562"), records));
            return true;
        },
        QStringLiteral("the mode dialog"));
    EXPECT_EQ(RunMain(app), -1);

    // The old phone: the direct swap file (named after the new phone) and both records.
    ASSERT_EQ(tests.size(), 1);
    EXPECT_EQ(tests[0].Kind, QStringLiteral("direct swap"));
    EXPECT_EQ(tests[0].Imei, QStringLiteral("351234560123457"));
    EXPECT_EQ(tests[0].Fault, QStringLiteral("Phone hands over"));
    EXPECT_EQ(tests[0].File, QStringLiteral("RESULTS/351234/0123457.TXT"));
    QStringList lines;
    for (const RecordRow& r : records)
        lines << QStringList{r.Kind, r.NewImei, r.Club, r.Date, r.Result, r.File}.join(QLatin1Char('|'));
    EXPECT_EQ(lines, (QStringList{"IMEI|351234560123457|*|2026-12-07|SWAP|RESULTS/LOG/AB123ACT.IME",
                                  "SWAP|351234560123457|*|2026-12-07||RESULTS/LOG/AB123ACT.IWR"}));
}

}  // namespace
}  // namespace celvio::testing
