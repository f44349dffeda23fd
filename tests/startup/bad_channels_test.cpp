// The blocked-channel list: its file, the blocked rule, the sorted display of the scan
// results window, printing, and the "Clear + search" backup.
#include "core/blocked_channels.h"
#include "scan/bad_channels.h"
#include "support/station_fixture.h"

#include <QDir>
#include <QFile>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

class BadChannelsTest : public StationFixture {
protected:
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
};

TEST_F(BadChannelsTest, ReadTakesTheTextBetweenTheFirstPairOfQuotes)
{
    QString text = u"old"_s;
    EXPECT_TRUE(ReadBlockedChannelFile(app, text));  // no file
    EXPECT_EQ(text, u""_s);
    const std::pair<QByteArray, const char*> cases[] = {
        {"\" 3, 17,\"\r\n\" 99,\"\r\n", " 3, 17,"}, {"  \" 5,\" remark\r\n", " 5,"}, {"\" 5,", " 5,"},
        {"\"\"\r\n", ""}, {"", ""}, {" 8, 9,\r\n", " 8, 9,"},  // a line without quotes as it stands
    };
    for (const auto& [bytes, expected] : cases) {
        WriteStationBytes(u"badchan.dat"_s, bytes);
        EXPECT_TRUE(ReadBlockedChannelFile(app, text));
        EXPECT_EQ(text, QString::fromLatin1(expected)) << bytes.constData();
    }
}

TEST_F(BadChannelsTest, SaveAppendsTheChannelAndWritesTheListWhenAskedTo)
{
    app.st.BlockedChannels = u" 3,"_s;
    SaveBlockedChannels(app, 0);  // no channel and no scan: nothing written
    EXPECT_TRUE(Files().isEmpty());

    WriteStationBytes(u"badchan.dat"_s, "\" 1,\"\r\n");
    app.st.BlockedChannels = u" 1, \"2\","_s;  // a quote would end the text early
    SaveBlockedChannels(app, 5);
    EXPECT_EQ(Files(), QStringList{u"badchan.dat"_s});
    EXPECT_EQ(ReadStationBytes(u"badchan.dat"_s), "\" 1, 2, 5,\"\r\n");
    EXPECT_EQ(app.st.BlockedChannels, u" 1, \"2\", 5,"_s);

    app.st.ScanWritesList = kTrue;  // at the end of a scan
    app.st.BlockedChannels.clear();
    SaveBlockedChannels(app, 0);
    EXPECT_EQ(ReadStationBytes(u"badchan.dat"_s), "\"\"\r\n");
}

TEST_F(BadChannelsTest, FailedWriteIsReported)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"BADCHAN.DAT"_s));  // cannot be replaced by a file
    app.st.Language = 2;
    SaveBlockedChannels(app, 7);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, u"Datei BADCHAN.DAT nicht verfügbar !\r\n"_s + dir.filePath(u"BADCHAN.DAT"_s) +
                                          u"\r\nIs a directory"_s);
}

TEST_F(BadChannelsTest, ReportSortsTheListDropsRepeatsAndStrayNumbersAndAppendsTheNewChannels)
{
    app.st.BlockedChannels = u" 17, 3, 17, 0, 1025, -5, 1024, 13,"_s;
    app.st.NewBlockedChannels = u" 17, 13,"_s;
    ShowScanReport(app);
    EXPECT_EQ(app.st.BlockedChannels, u" 3, 13, 17, 1024,"_s);
    EXPECT_EQ(app.ScanFrm.List1, (QStringList{u" 3, 13, 17, 1024,"_s, u""_s, u""_s, u"NEW : "_s, u" 13, 17,"_s}));
    EXPECT_EQ(app.st.NewBlockedChannels, u" 17, 13,"_s);  // shown sorted, kept as found

    app.st.BlockedChannels = u" 13, 100,3,13 ,"_s;  // 13 does not block 3, nor 100 block 10
    app.st.NewBlockedChannels.clear();
    ShowScanReport(app);
    EXPECT_EQ(app.ScanFrm.List1, (QStringList{u" 13, 100,"_s, u""_s, u""_s, u"NEW : "_s, u""_s}));
}

TEST_F(BadChannelsTest, ReportShowsTenChannelsPerLineAndAlwaysTheLastLine)
{
    app.st.BlockedChannels = Channels(101, 123);
    app.st.NewBlockedChannels = Channels(1, 10);
    ShowScanReport(app);
    EXPECT_EQ(app.ScanFrm.List1, (QStringList{Channels(101, 110), Channels(111, 120), Channels(121, 123), u""_s,
                                              u""_s, u"NEW : "_s, Channels(1, 10), u""_s}));
}

TEST_F(BadChannelsTest, ClearMovesTheListToTheBackupInAnySpelling)
{
    ClearBlockedChannels(app);  // nothing there: nothing happens, nothing is said
    WriteStationBytes(u"BADCHAN.DAT"_s, "\" 3,\"\r\n");
    WriteStationBytes(u"BADCHAN.OLD"_s, "\" 1,\"\r\n");
    WriteStationBytes(u"Badchan.Old"_s, "\" 2,\"\r\n");
    ClearBlockedChannels(app);
    EXPECT_EQ(Files(), QStringList{u"badchan.old"_s});
    EXPECT_EQ(ReadStationBytes(u"badchan.old"_s), "\" 3,\"\r\n");
    ClearBlockedChannels(app);  // a backup without a list: the backup goes
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(BadChannelsTest, PrintSendsTheHeaderAndTheList)
{
    app.Form3.Version.Caption = u"2.02"_s;
    app.st.Company = u"Phone Corner"_s;
    app.st.Address = u"Market Street 4"_s;
    app.st.BlockedChannels = u" 5, 3,"_s;
    ShowScanReport(app);
    ScanFrm_PrintClick(app);
    ASSERT_EQ(platform.printer.documents.size(), 1);
    const QStringList lines = platform.printer.documents[0].pages.value(0);
    ASSERT_EQ(lines.size(), 4 + app.ScanFrm.List1.size());
    EXPECT_EQ(lines[0], u"SCANREPORT - CELVIO : 2.02"_s);
    EXPECT_EQ(lines[1], u"Date : 07.12.2026  Time : 10:00:00"_s);
    EXPECT_EQ(lines[2], u"Company Phone Corner"_s);
    EXPECT_EQ(lines[3], u"Address Market Street 4"_s);
    EXPECT_EQ(lines.mid(4), app.ScanFrm.List1);

    // Where the region puts the month first, so does the date.
    platform.SetLocale(QLocale(u"en_US"_s));
    ScanFrm_PrintClick(app);
    ASSERT_EQ(platform.printer.documents.size(), 2);
    EXPECT_EQ(platform.printer.documents[1].pages.value(0).value(1), u"Date : 12/07/2026  Time : 10:00:00"_s);

    platform.printer.failing = true;
    ScanFrm_PrintClick(app);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, u"There was a problem printing to your printer."_s);
}

}  // namespace
}  // namespace celvio::testing
