// A scan that the tester or the disk lets down: nothing is blocked on a value that
// was not read, the channels found so far are written, scan.log says why the scan
// ended and the operator sees it.
#include "scan_fixture.h"

#include <QDir>

namespace celvio::testing {
namespace {

class UnreadableLevelTest : public ScanTest, public ::testing::WithParamInterface<const char*> {};

// Answers to "MEAS:CALL:RX?" that hold no level (no comma, not a number, the tester's
// "not a number" value, an empty level): asked once more, then the scan ends. The
// channel stays free, the old list is written again, sorted.
TEST_P(UnreadableLevelTest, EndsTheScanWithoutBlocking)
{
    const QString answer = QString::fromLatin1(GetParam());
    WriteStation();
    WriteStationFile(kListFile, QStringLiteral("\" 9, 5,\"\n"));
    Start(QStringLiteral("network.channels = 1:42\nfault.garbage_prefix = MEAS:CALL:RX\nfault.garbage_text = ") +
          answer + u'\n');
    Scan("GSM 900");
    Done();
    Run();

    EXPECT_EQ(ChannelsSent(), QList<int>{1});
    EXPECT_EQ(LinesFrom(QStringLiteral("CONF:GSM:BS:TCH:ARFC 1;*ESR?"), 9),
              (QStringList{"CONF:GSM:BS:TCH:ARFC 1;*ESR?", "RFG:GSM:LEV -110;*STB?", "MEAS:CALL:RX?", "MEAS:CALL:RX?",
                           "RFG:GSM:LEV -45;LEV?", "SYST:COMM:REM:TEXT \"BS Clear\"", "CALL:BSR;*ESR?",
                           "SYST:COMM:REM:TEXT \" \"", "SYST:COMM:LOC"}));
    EXPECT_EQ(ReadStationBytes(kListFile), ListBytes(QStringLiteral(" 5, 9,")));
    const QString reason = QStringLiteral("unreadable answer \"") + answer + QStringLiteral("\" on channel 1");
    ExpectLines(ScanLogLines(), {"Scanmode = Search more.", "Begin ONE Scan at <D> <T>",
                                 "Scan with Orvane Q7, IMEI: 351234560123457, Scan ATT: 10",
                                 QStringLiteral("Ended by tester fault: ") + reason, "End Scan"});
    EXPECT_EQ(Boxes(), QStringList{Box(QStringLiteral("SCAN"),
                                       QStringLiteral("Unreadable answer of the tester on channel 1: \"") + answer +
                                           QStringLiteral("\"\r\nThe scan ends; the channels found so far are saved."),
                                       msgbox::kExclamation)});
    EXPECT_EQ(done.status, QStringLiteral("Scan aborted"));
    EXPECT_TRUE(done.closing.endsWith(QStringLiteral("\r\nTester fault: ") + reason)) << done.closing.toStdString();
    EXPECT_EQ(done.results, (QStringList{" 5, 9,", "", "", "NEW : ", ""}));
}

INSTANTIATE_TEST_SUITE_P(Answers, UnreadableLevelTest, ::testing::Values("42", "NAN,0", "9.91E37,0", ",3", "x"));

// A tester that falls silent: the three-minute time-out is reported by the command
// transport, the scan ends at once with the channels found before, and does not wait
// for a release the tester would not answer either.
TEST_F(ScanTest, TesterSilentMidScanEndsItWithTheChannelsFound)
{
    WriteStation();
    WriteStationFile(kListFile, QStringLiteral("\" 5,\"\n"));
    Start(QStringLiteral("network.channels = 17:42\nfault.silent_prefix = CONF:GSM:BS:TCH:ARFC 20;\n"));
    Scan("GSM 900");
    Done();
    Run();

    EXPECT_EQ(ChannelsSent(), Range(1, 20, 1, {5}));
    EXPECT_EQ(ReadStationBytes(kListFile), ListBytes(QStringLiteral(" 5, 17,")));
    const QString reason = QStringLiteral("no answer to \"CONF:GSM:BS:TCH:ARFC 20;*ESR?\" on channel 20");
    const QStringList log = ScanLogLines();
    ExpectLines(log.mid(3), {"<D14><T>      Chn: 17       RXQ 2         RXLev 42 ",
                             QStringLiteral("Ended by tester fault: ") + reason, "End Scan"});
    ASSERT_FALSE(Boxes().isEmpty());
    EXPECT_TRUE(Boxes().first().contains(QStringLiteral("No answer within 3 minutes.")));
    EXPECT_EQ(done.status, QStringLiteral("Scan aborted"));
    EXPECT_TRUE(done.closing.endsWith(QStringLiteral("\r\nTester fault: ") + reason));
    EXPECT_EQ(done.results, (QStringList{" 5, 17,", "", "", "NEW : ", " 17,"}));
    EXPECT_EQ(LinesFrom(QStringLiteral("CONF:GSM:BS:TCH:ARFC 20;*ESR?"), 2),
              (QStringList{"CONF:GSM:BS:TCH:ARFC 20;*ESR?", "SYST:COMM:LOC"}));
}

// A scan.log that cannot be written (here a folder of that name) is reported once; the
// scan goes on and the list is still written.
TEST_F(ScanTest, UnwritableScanLogIsReportedOnceAndTheScanGoesOn)
{
    WriteStation();
    WriteStationFile(kListFile, QStringLiteral("\" 5,\"\n"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("scan.log")));
    Start(QStringLiteral("network.channels = 3:42\n"));
    Scan("GSM 900");
    StopAt(QStringLiteral("Scan channel: 4"));
    Done();
    Run();

    EXPECT_EQ(ChannelsSent(), Range(1, 4));
    EXPECT_EQ(ReadStationBytes(kListFile), ListBytes(QStringLiteral(" 3, 5,")));
    const QStringList boxes = Boxes();
    EXPECT_EQ(boxes.filter(QStringLiteral("scan.log")).size(), 1) << boxes.join(u'\n').toStdString();
    EXPECT_TRUE(Trace().contains(QStringLiteral("scan.log could not be written: Aborted by User")));
    EXPECT_EQ(done.status, QStringLiteral("Scan aborted"));
}

}  // namespace
}  // namespace celvio::testing
