// Whole SCAN cycles: which channels are measured and blocked, BADCHAN.DAT, scan.log
// line by line, the labels, the result window and the commands of a channel step.
#include "scan_fixture.h"

#include <QDir>
#include <QRegularExpression>

namespace celvio::testing {
namespace {

bool AnyLabel(const QSet<QString>& labels, const QString& start, const QString& part)
{
    for (const QString& l : labels)
        if (l.startsWith(start) && l.contains(part))
            return true;
    return false;
}

// Minutes of "Scanned for: hh:mm:ss" in a closing text.
int ScannedMinutes(const QString& closing)
{
    const auto m = QRegularExpression(QStringLiteral("^Scanned for: (\\d\\d):(\\d\\d):\\d\\d\\r\\n")).match(closing);
    return m.hasMatch() ? m.captured(1).toInt() * 60 + m.captured(2).toInt() : -1;
}

const QString kEnd = QStringLiteral("Please switch Mobile off.\r\n");
const QString kCoupler = QStringLiteral("Remove cable connector and\r\nreconnect the coupler.");

TEST_F(ScanTest, Gsm900OneScanBlocksLevelsAtOrAboveTheThreshold)
{
    WriteStation();
    WriteStationFile(kListFile, QStringLiteral("\" 99, 5,\"\n"));  // unsorted, as extended between scans
    Start(QStringLiteral("network.channels = 5:50, 17:42, 60:28, 80:30, 81:29, 1000:50, 1023:31\n"));
    Scan("GSM 900");
    Done();
    Run();
    ExpectNoBoxes();

    // Listed channels are skipped without any tester command; the test channels are
    // checked after each range.
    const QList<int> gsmTests{30, 20, 62, 100};
    EXPECT_EQ(ChannelsSent(), Range(1, 124, 1, {5, 99}) + gsmTests + Range(975, 1023) + gsmTests);
    EXPECT_EQ(ReadStationBytes(kListFile), ListBytes(QStringLiteral(" 5, 17, 80, 99, 1000, 1023,")));

    ExpectLines(ScanLogLines(), {
        "Scanmode = Search more.",
        "Begin ONE Scan at <D> <T>",
        "Scan with Orvane Q7, IMEI: 351234560123457, Scan ATT: 10",
        "<D14><T>      Chn: 17       RXQ 2         RXLev 42 ",
        "<D14><T>      Chn: 80       RXQ 2         RXLev 30 ",
        "<D14><T>      Chn: 1000     RXQ 2         RXLev 50 ",
        "<D14><T>      Chn: 1023     RXQ 2         RXLev 31 ",
        "End Scan",
    });

    // The screens at the end.
    EXPECT_EQ(done.status, QStringLiteral("Scan completed"));
    EXPECT_EQ(done.helpTopic, 23);
    EXPECT_EQ(done.scanWith, QStringLiteral("Scan with Orvane Q7"));
    EXPECT_TRUE(done.closing.endsWith(QStringLiteral("\r\n") + kEnd)) << done.closing.toStdString();
    EXPECT_FALSE(done.closing.contains(kCoupler));
    const int minutes = ScannedMinutes(done.closing);
    EXPECT_GE(minutes, 9);  // 171 channels of 3 to 6 s, 8 checks of 3 to 5 s
    EXPECT_LE(minutes, 19);
    EXPECT_TRUE(done.resultsVisible);
    EXPECT_EQ(done.resultsLeft, 10);
    EXPECT_EQ(done.resultsTop, 10);
    EXPECT_EQ(done.results, (QStringList{" 5, 17, 80, 99, 1000, 1023,", "", "", "NEW : ", " 17, 80, 1000, 1023,"}));
    EXPECT_FALSE(done.progressVisible);
    EXPECT_FALSE(done.stopEnabled);
    EXPECT_EQ(done.writesList, kFalse);

    // On the way: single-scan labels without a loop count, the bar over the last range
    // and its checks, the status of the test-channel checks.
    EXPECT_TRUE(AnyLabel(labels, QStringLiteral("GSM Single Scan \r\nScan time: "),
                         QStringLiteral("\r\nScan channel: 17")));
    EXPECT_TRUE(AnyLabel(labels, QStringLiteral("GSM Single Scan \r\nScan time: "),
                         QStringLiteral("\r\nInterfered channel found.\r\nCHANNEL: 17\r\nRxLevel/RX-Qual = 42/2")));
    EXPECT_FALSE(AnyLabel(labels, QString(), QStringLiteral("Scan loops")));
    EXPECT_TRUE(statuses.contains(QStringLiteral("Scanning...")));
    EXPECT_TRUE(statuses.contains(QStringLiteral("Scan test channels")));
    EXPECT_EQ(progressMax, 1027);
    EXPECT_EQ(highestProgress, 1027);

    // The commands: the scan's set-up, one channel step, one test-channel check, the end.
    EXPECT_EQ(LinesFrom(QStringLiteral("SYST:COMM:REM:TEXT \"Scanning Channels...\""), 6),
              (QStringList{"SYST:COMM:REM:TEXT \"Scanning Channels...\"", "SYST:SETT:PATT:LEV 10,10",
                           "CONF:GSM:MS:TCH:PLEV 9", "SYST:SETT:PATT:LEV 10,10", "RFG:GSM:LEV -45",
                           "CONF:GSM:BS:TCH:ARFC 1;*ESR?"}));
    EXPECT_EQ(LinesFrom(QStringLiteral("CONF:GSM:BS:TCH:ARFC 17;*ESR?"), 5),
              (QStringList{"CONF:GSM:BS:TCH:ARFC 17;*ESR?", "RFG:GSM:LEV -110;*STB?", "MEAS:CALL:RX?",
                           "RFG:GSM:LEV -45;LEV?", "CONF:GSM:BS:TCH:ARFC 18;*ESR?"}));
    EXPECT_EQ(LinesFrom(QStringLiteral("CONF:GSM:BS:TCH:ARFC 30;*ESR?"), 5, 2),
              (QStringList{"CONF:GSM:BS:TCH:ARFC 30;*ESR?", "RFG:GSM:LEV -110;*STB?", "MEAS:CALL:RX?",
                           "RFG:GSM:LEV -45;LEV?", "CONF:GSM:BS:TCH:ARFC 20;*ESR?"}));
    EXPECT_EQ(LinesFrom(QStringLiteral("CONF:GSM:BS:TCH:ARFC 100;*ESR?"), 9, 3),
              (QStringList{"CONF:GSM:BS:TCH:ARFC 100;*ESR?", "RFG:GSM:LEV -110;*STB?", "MEAS:CALL:RX?",
                           "RFG:GSM:LEV -45;LEV?", "SYST:COMM:REM:TEXT \"BS Clear\"", "CALL:BSR;*ESR?",
                           "SYST:COMM:REM:TEXT \" \"", "SYST:COMM:LOC",
                           // the light reset at the end of the cycle
                           "SYST:COMM:LOC"}));
    EXPECT_TRUE(Trace().contains(QStringLiteral("Button = &Done")));
}

TEST_F(ScanTest, ClearAndSearchWithZeroThresholdBlocksEveryScannedChannel)
{
    WriteStation(QStringLiteral("SCANSENS    0\n"));
    WriteStationFile(kListFile, QStringLiteral("\" 17, 40, 990,\"\n"));
    WriteStationFile(QStringLiteral("BADCHAN.OLD"), QStringLiteral("\" 3,\"\n"));
    Start();
    Scan("GSM 900", "&One Scan", "&Clear + search");
    Done();
    Run();

    // Every channel of 1-124 was measured (the old list was moved aside) and blocked;
    // no test channel is left free, so the pass ends there, before 975-1023.
    EXPECT_EQ(ChannelsSent(), Range(1, 124));
    EXPECT_EQ(ReadStationBytes(kListFile), ListBytes(Channels(1, 124)));
    const QStringList backups =
        QDir(dir.path()).entryList({QStringLiteral("badchan.old")}, QDir::Files);  // any case
    EXPECT_EQ(backups, QStringList{QStringLiteral("badchan.old")});
    EXPECT_EQ(ReadStationBytes(QStringLiteral("badchan.old")), ListBytes(QStringLiteral(" 17, 40, 990,")));
    EXPECT_TRUE(Boxes().join(u'\n').contains(QStringLiteral("ALL CHANNELS USED BY REAL NETWORK")));

    const QStringList log = ScanLogLines();
    ASSERT_EQ(log.size(), 3 + 124 + 1);
    ExpectLines(log.mid(0, 4), {"Scanmode = New search.", "Begin ONE Scan at <D> <T>",
                                "Scan with Orvane Q7, IMEI: 351234560123457, Scan ATT: 10",
                                "<D14><T>      Chn: 1        RXQ 7         RXLev 0 "});
    ExpectLines(log.mid(126), {"<D14><T>      Chn: 124      RXQ 7         RXLev 0 ", "End Scan"});

    EXPECT_EQ(done.status, QStringLiteral("Scan completed"));
    EXPECT_TRUE(done.closing.endsWith(kEnd + kCoupler)) << done.closing.toStdString();
    ASSERT_EQ(done.results.size(), 13 + 3 + 13);
    EXPECT_EQ(done.results[0], Channels(1, 10));
    EXPECT_EQ(done.results[12], Channels(121, 124));
    EXPECT_EQ(done.results[15], QStringLiteral("NEW : "));
    EXPECT_EQ(done.results.mid(16), done.results.mid(0, 13));
}

TEST_F(ScanTest, LevelOf255InterruptsTheScanAfterBlockingTheChannel)
{
    WriteStation();
    WriteStationFile(kListFile, QStringLiteral("\" 5,\"\n"));
    Start(QStringLiteral("network.channels = 17:42, 40:255, 60:50\n"));
    Scan("GSM 900", "&Continuous");
    Done();
    Run();

    EXPECT_EQ(ChannelsSent(), Range(1, 40, 1, {5}));
    EXPECT_EQ(ReadStationBytes(kListFile), ListBytes(QStringLiteral(" 5, 17, 40,")));
    ExpectLines(ScanLogLines(), {
        "Scanmode = Search more.",
        "Begin CONTINUOUS Scan at <D> <T>",
        "Scan with Orvane Q7, IMEI: 351234560123457, Scan ATT: 10",
        "<D14><T>      Chn: 17       RXQ 2         RXLev 42 ",
        "<D14><T>      Chn: 40       RXQ 7         RXLev 255 ",
        "Interrupted by high interference",
        "End Scan",
    });
    EXPECT_EQ(done.status, QStringLiteral("Scan interrupted"));
    EXPECT_EQ(done.helpTopic, 24);
    EXPECT_EQ(done.results, (QStringList{" 5, 17, 40,", "", "", "NEW : ", " 17, 40,"}));
    // Continuous mode counts its passes from 1.
    EXPECT_TRUE(AnyLabel(labels, QStringLiteral(" Continuous Scan \r\nScan time: "),
                         QStringLiteral(" Scan loops: 1\r\nScan channel: 17")));
    // The call is released and the tester back in local mode.
    EXPECT_EQ(LinesFrom(QStringLiteral("CONF:GSM:BS:TCH:ARFC 40;*ESR?"), 8),
              (QStringList{"CONF:GSM:BS:TCH:ARFC 40;*ESR?", "RFG:GSM:LEV -110;*STB?", "MEAS:CALL:RX?",
                           "RFG:GSM:LEV -45;LEV?", "SYST:COMM:REM:TEXT \"BS Clear\"", "CALL:BSR;*ESR?",
                           "SYST:COMM:REM:TEXT \" \"", "SYST:COMM:LOC"}));
}

// scan.log's date in digits in every locale, day or month first as the region has it,
// so that it stays in its print zone and reads apart from the time.
class ScanLogLocaleTest : public ScanTest, public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(ScanLogLocaleTest, DatesAreDigitsInTheirZone)
{
    platform.SetLocale(QLocale(QLatin1String(GetParam().first)));
    scanDate = QLatin1String(GetParam().second);
    WriteStation();
    WriteStationFile(kListFile, QStringLiteral("\" 5,\"\n"));
    Start(QStringLiteral("network.channels = 17:42, 20:255\n"));
    Scan("GSM 900");
    Done();
    Run();
    ExpectLines(ScanLogLines(), {
        "Scanmode = Search more.",
        "Begin ONE Scan at <D> <T>",
        "Scan with Orvane Q7, IMEI: 351234560123457, Scan ATT: 10",
        "<D14><T>      Chn: 17       RXQ 2         RXLev 42 ",
        "<D14><T>      Chn: 20       RXQ 7         RXLev 255 ",
        "Interrupted by high interference",
        "End Scan",
    });
}

INSTANTIATE_TEST_SUITE_P(Locales, ScanLogLocaleTest,
                         ::testing::Values(std::pair{"C", "07.12.2026"}, std::pair{"C.UTF-8", "07.12.2026"},
                                           std::pair{"de_DE", "07.12.2026"}, std::pair{"en_US", "12/07/2026"}),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param.first).remove(QLatin1Char('.')).remove(u'-')
                                 .toStdString();
                         });

TEST_F(ScanTest, StopInTheLowRangeEndsTheScanAndKeepsWhatWasFound)
{
    WriteStation();
    WriteStationFile(kListFile, QStringLiteral("\" 5,\"\n"));
    Start(QStringLiteral("network.channels = 17:42, 1000:50\n"));
    Scan("GSM 900", "&Continuous");
    StopAt(QStringLiteral("Scan channel: 30"));
    Done();
    Run();

    // The channel in progress is finished; 975-1023 is never reached.
    EXPECT_EQ(ChannelsSent(), Range(1, 30, 1, {5}));
    EXPECT_EQ(ReadStationBytes(kListFile), ListBytes(QStringLiteral(" 5, 17,")));
    const QStringList log = ScanLogLines();
    ExpectLines(log.mid(log.size() - 3),
                {"<D14><T>      Chn: 17       RXQ 2         RXLev 42 ", "Aborted by User", "End Scan"});
    EXPECT_EQ(done.status, QStringLiteral("Scan aborted"));
    EXPECT_EQ(done.helpTopic, 24);
    EXPECT_EQ(done.results, (QStringList{" 5, 17,", "", "", "NEW : ", " 17,"}));
    EXPECT_TRUE(done.closing.startsWith(QStringLiteral("Scanned for: 00:0")));
    EXPECT_EQ(LinesFrom(QStringLiteral("CONF:GSM:BS:TCH:ARFC 30;*ESR?"), 6),
              (QStringList{"CONF:GSM:BS:TCH:ARFC 30;*ESR?", "RFG:GSM:LEV -110;*STB?", "MEAS:CALL:RX?",
                           "RFG:GSM:LEV -45;LEV?", "SYST:COMM:REM:TEXT \"BS Clear\"", "CALL:BSR;*ESR?"}));
}

TEST_F(ScanTest, ContinuousGsm850ScanLoopsUntilStopped)
{
    WriteStation(QStringLiteral("GSMSYSTEM   14\n"));
    WriteStationFile(kListFile, QStringLiteral("\" 5,\"\n"));
    Start(QStringLiteral("network.channels = 130:40\n"));
    Scan("GSM 850", "&Continuous");
    StopAt(QStringLiteral(" Scan loops: 2\r\nScan channel: 140"));
    Done();
    Run();

    // Pass 1 over 128-251 and its test channels, pass 2 up to 140 without the channel
    // that pass 1 blocked.
    QList<int> sent = ChannelsSent();
    ASSERT_GT(sent.size(), 124 + 4);
    EXPECT_EQ(sent.mid(0, 124), Range(128, 251));
    EXPECT_EQ(sent.mid(124 + 4), Range(128, 140, 1, {130}));
    EXPECT_EQ(sent.count(130), 1);
    EXPECT_TRUE(AnyLabel(labels, QStringLiteral(" Continuous Scan \r\n"), QStringLiteral(" Scan loops: 1\r\n")));
    EXPECT_TRUE(AnyLabel(labels, QStringLiteral(" Continuous Scan \r\n"), QStringLiteral(" Scan loops: 2\r\n")));
    EXPECT_EQ(done.status, QStringLiteral("Scan aborted"));
    EXPECT_EQ(ReadStationBytes(kListFile), ListBytes(QStringLiteral(" 5, 130,")));
    EXPECT_EQ(done.results, (QStringList{" 5, 130,", "", "", "NEW : ", " 130,"}));
}

TEST_F(ScanTest, SecondSearchMoreListsOnlyTheNewChannels)
{
    WriteStation(QStringLiteral("GSMSYSTEM   14\n"));
    WriteStationFile(kListFile, QStringLiteral("\" 5,\"\n"));
    // 140 is quiet during the first scan and busy during the second.
    Start(QStringLiteral("network.channels = 130:40\nnetwork.late_channels = 140:35\n"));
    Scan("GSM 850");
    Done();
    Scan("GSM 850");
    Done();
    Run();

    ASSERT_EQ(dones.size(), 2);
    EXPECT_EQ(dones[0].results, (QStringList{" 5, 130,", "", "", "NEW : ", " 130,"}));
    EXPECT_EQ(dones[1].results, (QStringList{" 5, 130, 140,", "", "", "NEW : ", " 140,"}));
    EXPECT_EQ(ReadStationBytes(kListFile), ListBytes(QStringLiteral(" 5, 130, 140,")));
    EXPECT_EQ(ChannelsSent().count(130), 1);
    // scan.log keeps the first scan and adds the second.
    const QStringList log = ScanLogLines();
    EXPECT_EQ(log.count(QStringLiteral("Scanmode = Search more.")), 2);
    EXPECT_EQ(log.count(QStringLiteral("End Scan")), 2);
    EXPECT_EQ(log.indexOf(QStringLiteral("End Scan")), 4);
}

TEST_F(ScanTest, TestChannelFoundBlockedCompletesEvenAContinuousScan)
{
    WriteStation(QStringLiteral("SCANTEST    2\n"));
    WriteStationFile(kListFile, QStringLiteral("\" 5,\"\n"));
    // Only the scan trace is on.
    QFile::remove(StationFile(QStringLiteral("DEBUGPM.INI")));
    WriteStationBytes(QStringLiteral("DEBUGSC.INI"), QByteArray());
    // A network switches on at the broadcast channel after the range passed it.
    Start(QStringLiteral("network.late_channels = 30:40\n"));
    Scan("GSM 900", "&Continuous");
    Done();
    Run();

    // Round 1 blocks 30; round 2 finds it blocked and ends the pass without a command.
    EXPECT_EQ(ChannelsSent(), Range(1, 124, 1, {5}) + QList<int>({30, 20, 62, 100}));
    EXPECT_EQ(done.status, QStringLiteral("Scan completed"));
    EXPECT_EQ(done.helpTopic, 23);
    EXPECT_EQ(ReadStationBytes(kListFile), ListBytes(QStringLiteral(" 5, 30,")));
    const QStringList log = ScanLogLines();
    ExpectLines(log.mid(3), {"<D14><T>      Chn: 30       RXQ 2         RXLev 40 ", "End Scan"});
    EXPECT_TRUE(AnyLabel(labels, QStringLiteral(" Continuous Scan \r\n"),
                         QStringLiteral("Interfered channel found.\r\nCHANNEL: 30\r\nRxLevel = 40")));
    EXPECT_EQ(Trace(), QStringList{QStringLiteral("-----> Chan:30=40,2")});
    EXPECT_TRUE(app.DebugFrm.Visible);
}

TEST_F(ScanTest, DualBandScanUsesEachBandsCommandsAndTestChannels)
{
    WriteStation();
    WriteStationFile(kListFile, QStringLiteral("\" 5,\"\n"));
    Start(QStringLiteral("network.channels = 17:42, 546:31, 547:60\n"));
    Scan("GSM 900/1800");
    Done();
    Run();

    EXPECT_EQ(ChannelsSent(), Range(1, 124, 1, {5}) + QList<int>({30, 20, 62, 100}));
    EXPECT_EQ(ChannelsSent(QStringLiteral("PCN")), Range(512, 884, 2) + QList<int>({700, 512, 698, 884}));
    EXPECT_EQ(ReadStationBytes(kListFile), ListBytes(QStringLiteral(" 5, 17, 546,")));
    EXPECT_EQ(done.status, QStringLiteral("Scan completed"));
    EXPECT_TRUE(AnyLabel(labels, QStringLiteral("GSM,PCN Single Scan \r\n"), QStringLiteral("Scan channel: 546")));
    EXPECT_EQ(progressMax, 884 + 8);
    EXPECT_EQ(highestProgress, 884 + 8);
    EXPECT_EQ(LinesFrom(QStringLiteral("CONF:PCN:MS:TCH:PLEV 9"), 5),
              (QStringList{"CONF:PCN:MS:TCH:PLEV 9", "SYST:SETT:PATT:LEV 10,10", "RFG:PCN:LEV -50",
                           "CONF:PCN:BS:TCH:ARFC 512;*ESR?", "RFG:PCN:LEV -110;*STB?"}));
    EXPECT_EQ(LinesFrom(QStringLiteral("CONF:PCN:BS:TCH:ARFC 700;*ESR?"), 5, 2),
              (QStringList{"CONF:PCN:BS:TCH:ARFC 700;*ESR?", "RFG:PCN:LEV -110;*STB?", "MEAS:CALL:RX?",
                           "RFG:PCN:LEV -50;LEV?", "CONF:PCN:BS:TCH:ARFC 512;*ESR?"}));
}

TEST_F(ScanTest, PcsScanTakesTheOddChannelsOfItsBand)
{
    WriteStation();
    WriteStationFile(kListFile, QStringLiteral("\" 5,\"\n"));
    Start(QStringLiteral("phone.bands = PCS\nnetwork.channels = 601:20, 603:45, 604:50\n"));
    Scan("GSM 1900");
    Done();
    Run();

    EXPECT_EQ(ChannelsSent(QStringLiteral("PCS")), Range(513, 809, 2) + QList<int>({661, 513, 601, 809}));
    EXPECT_TRUE(ChannelsSent().isEmpty());
    EXPECT_EQ(ReadStationBytes(kListFile), ListBytes(QStringLiteral(" 5, 603,")));
    EXPECT_EQ(LinesFrom(QStringLiteral("CONF:PCS:BS:TCH:ARFC 603;*ESR?"), 4),
              (QStringList{"CONF:PCS:BS:TCH:ARFC 603;*ESR?", "RFG:PCS:LEV -110;*STB?", "MEAS:CALL:RX?",
                           "RFG:PCS:LEV -50;LEV?"}));
    EXPECT_EQ(progressMax, 809 + 4);
    EXPECT_TRUE(AnyLabel(labels, QStringLiteral("PCS Single Scan \r\n"), QStringLiteral("Scan channel: 809")));
    EXPECT_EQ(done.status, QStringLiteral("Scan completed"));
}

}  // namespace
}  // namespace celvio::testing
