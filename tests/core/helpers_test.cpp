// The shared small operations: waits in whole seconds, STOP, pictures and files.
#include "core/files.h"
#include "core/helpers.h"
#include "support/station_fixture.h"

#include <QFile>

namespace celvio::testing {
namespace {

class HelpersTest : public StationFixture {};

TEST_F(HelpersTest, WaitSecondsLastsBetweenNMinusOneAndNSeconds)
{
    for (int offsetMs : {0, 10, 500, 990}) {
        for (int n : {1, 3}) {
            platform.Advance(1000 - platform.MonotonicMs() % 1000 + offsetMs);
            const qint64 start = platform.MonotonicMs();
            WaitSeconds(app, n);
            const qint64 waited = platform.MonotonicMs() - start;
            EXPECT_GE(waited, (n - 1) * 1000) << "n=" << n << " offset=" << offsetMs;
            EXPECT_LE(waited, n * 1000) << "n=" << n << " offset=" << offsetMs;
        }
    }
    const qint64 start = platform.MonotonicMs();
    WaitSeconds(app, 0);
    EXPECT_EQ(platform.MonotonicMs(), start);
}

TEST_F(HelpersTest, StopConfirmedSetsTheFlagAndHidesTheAnswerButtons)
{
    app.st.DebugMode = kTrue;
    app.Form1.MStop.Enabled = true;
    app.Form1.Command1.Visible = app.Form1.Command2.Visible = app.Form1.Command3.Visible = true;
    platform.Answer(QStringLiteral("restart the test"), msgbox::kYes);
    RequestStop(app);
    EXPECT_EQ(app.st.StopRequested, kTrue);
    EXPECT_FALSE(app.Form1.Command1.Visible || app.Form1.Command2.Visible || app.Form1.Command3.Visible);
    EXPECT_FALSE(app.Form1.MStop.Enabled);
    EXPECT_EQ(Trace(), QStringList{QStringLiteral("Button = STOP")});
    EXPECT_EQ(Boxes(), QStringList{Box(QString(), QStringLiteral("Do you really want to restart the test?"),
                                       msgbox::kYesNo | msgbox::kQuestion)});
}

TEST_F(HelpersTest, StopDeclinedOrDisabledChangesNothing)
{
    app.Form1.MStop.Enabled = true;
    app.Form1.Command2.Visible = true;
    platform.Answer(QStringLiteral("restart the test"), msgbox::kNo);
    RequestStop(app);
    EXPECT_EQ(app.st.StopRequested, kFalse);
    EXPECT_TRUE(app.Form1.MStop.Enabled);
    EXPECT_TRUE(app.Form1.Command2.Visible);

    app.Form1.MStop.Enabled = false;
    RequestStop(app);
    EXPECT_EQ(platform.boxes.size(), 1);
}

TEST_F(HelpersTest, PicturesAreFoundWithoutRegardToCaseAndMissingOnesAreTraced)
{
    app.st.DebugMode = kTrue;
    WriteStationBytes(QStringLiteral("Coupler.BMP"), "BM");
    ShowPicture(app, QStringLiteral("COUPLER.BMP"));
    EXPECT_TRUE(app.Form1.Picture1.File.endsWith(QStringLiteral("/Coupler.BMP")));

    // With an alternative, only the alternative is tried.
    ShowPicture(app, QStringLiteral("Coupler.BMP"), QStringLiteral("Tavik7.bmp"));
    EXPECT_TRUE(app.Form1.Picture1.File.endsWith(QStringLiteral("/Coupler.BMP")));
    EXPECT_EQ(Trace(), QStringList{QStringLiteral("Picture >Tavik7.bmp< not found.")});
}

TEST_F(HelpersTest, FileExistsIgnoresCaseAndRefusesEmptyNamesAndDirectories)
{
    WriteStationBytes(QStringLiteral("badchan.old"), "x");
    EXPECT_TRUE(FileExists(app, QStringLiteral("BADCHAN.OLD")));
    EXPECT_TRUE(FileExists(app, QStringLiteral("badchan.old")));
    EXPECT_FALSE(FileExists(app, QString()));
    EXPECT_FALSE(FileExists(app, QStringLiteral("BADCHAN.DAT")));
    QDir(dir.path()).mkdir(QStringLiteral("RESULTS"));
    EXPECT_FALSE(FileExists(app, QStringLiteral("results")));
}

TEST_F(HelpersTest, AtomicWriteReplacesTheFileOrLeavesItAlone)
{
    const QString path = StationFile(QStringLiteral("CPLCONN.INI"));
    ASSERT_TRUE(WriteFileAtomic(path, " 2\r\n"));
    EXPECT_EQ(ReadStationBytes(QStringLiteral("CPLCONN.INI")), QByteArray(" 2\r\n"));
    EXPECT_FALSE(WriteFileAtomic(dir.filePath(QStringLiteral("no/such/dir/x")), "y"));
    EXPECT_EQ(ReadStationBytes(QStringLiteral("CPLCONN.INI")), QByteArray(" 2\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // no temporary file left
}

TEST_F(HelpersTest, ResolvePathMatchesEveryPartWithoutRegardToCase)
{
    QDir(dir.path()).mkpath(QStringLiteral("Results/Log"));
    EXPECT_EQ(ResolvePath(dir.path(), QStringLiteral("RESULTS\\LOG\\AB123ACT.IWR")),
              dir.path() + QStringLiteral("/Results/Log/AB123ACT.IWR"));
}

}  // namespace
}  // namespace celvio::testing
