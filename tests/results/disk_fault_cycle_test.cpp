// Whole TEST cycles through the real Main on a station directory that is read-only and
// on a full disk: the verdict is still shown, the operator is told that the result
// file could not be written, no station file changes, and the next cycle starts.
#include "core/files.h"
#include "core/text.h"
#include "support/station_fixture.h"
#include "support/tmpfs_mount.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>

namespace celvio::testing {
namespace {

const QString kFaultSettings = QStringLiteral("LANGUAGE    ENGLISH\nDIALNO      0123\nSEARCHCOM   0\nTOSEARCH    60\n") +
                          QLatin1String(kCycleStation);
const QString kFaultResultFile = QStringLiteral("RESULTS/351234/0123457.TXT");  // the simulated phone's IMEI

class DiskFaultCycleTest : public StationFixture {
protected:
    void LayStation()
    {
        WriteStationFile(QStringLiteral("CELVIO.INI"), kFaultSettings);
        WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-7,MPN.DAT\n351234,Orvane Q7\n-9,STD\n"));
        WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[STD]\n[Orvane Q7]\nBANDS=900,1800,1900\n"));
        WriteStationFile(QStringLiteral("BADCHAN.DAT"), QStringLiteral("\" 5,\"\n"));
        WriteStationFile(QStringLiteral("DEBUGPM.INI"), QString());
        WriteStationBytes(QStringLiteral("Zoredudi.BMP"), "BM");
        WriteStationFile(QStringLiteral("DEBUG.LOG"), QStringLiteral("an earlier run\n"));
    }

    // Every file of the station with its bytes. (Folders are left out: an injected fault
    // stops file writes only, so the result file's folder may still be made.)
    QMap<QString, QByteArray> Snapshot() const
    {
        QMap<QString, QByteArray> all;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            // The history index is a cache rebuilt from the files, written by SQLite
            // past the injected fault; on a really full disk its error is only traced.
            if (QFileInfo(path).fileName().startsWith(QLatin1String("HISTORY.DB")))
                continue;
            all[QDir(dir.path()).relativeFilePath(path)] = ReadStationBytes(QDir(dir.path()).relativeFilePath(path));
        }
        return all;
    }

    // A passed GSM 900 cycle, its verdict screen, "New test", then the next cycle's
    // mode dialog. Returns the verdict screen's title.
    QString CycleAndNext()
    {
        AttachSimulator(1, QStringLiteral("phone.registration = 8\nphone.dial = 6\nphone.answer = 4\n"));
        platform.Press(QStringLiteral("COM&1"));
        platform.Press(QStringLiteral("&Test"));
        platform.Press(QStringLiteral("GSM 900"));
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Audio Test"); },
                       QStringLiteral("the echo question"));
        platform.Press(QStringLiteral("&Yes"));
        QString verdict;
        platform.Await(
            [&verdict](const App& a) {
                verdict = a.Form1.Label4.Caption;
                return a.Form1.Command3.Visible && a.Form1.Command3.Caption == QLatin1String("&New test");
            },
            QStringLiteral("the verdict"));
        platform.Press(QStringLiteral("&New test"));
        // The next cycle starts: its mode dialog asks TEST, SCAN or SWAP.
        bool nextCycle = false;
        platform.Await(
            [&nextCycle](const App& a) {
                nextCycle = a.Form1.Command2.Visible && a.Form1.Command2.Caption == "&Test";
                return nextCycle;
            },
            QStringLiteral("the next cycle's mode dialog"));
        try {
            EXPECT_EQ(RunMain(app), -1);
        } catch (const ScriptStuck& stuck) {
            ADD_FAILURE() << qPrintable(stuck.what) << "\n" << qPrintable(Boxes().join('\n'));
        }
        EXPECT_EQ(platform.StepsLeft(), 0) << "the script stopped early";
        EXPECT_TRUE(nextCycle);
        return verdict;
    }

    // The operator was told twice: at start-up that the coupler choice could not be
    // saved, after the verdict that the result file could not be written, and why.
    void ExpectFailuresReported(const char* reason)
    {
        const QString prefix = QStringLiteral("Result file could not be written: ") + StationFile(kFaultResultFile) +
                               QStringLiteral(" (");
        ASSERT_EQ(platform.boxes.size(), 2) << qPrintable(Boxes().join('\n'));
        EXPECT_EQ(Boxes()[0], Box(QString(),
                                  QStringLiteral("File CPLCONN.INI not accessible !\r\n") +
                                      StationFile(QStringLiteral("CPLCONN.INI")) + QStringLiteral("\r\n") +
                                      QLatin1String(reason),
                                  msgbox::kOkOnly | msgbox::kCritical));
        EXPECT_TRUE(platform.boxes[1].text.startsWith(prefix)) << qPrintable(platform.boxes[1].text);
        EXPECT_TRUE(platform.boxes[1].text.contains(QLatin1String(reason))) << qPrintable(platform.boxes[1].text);
        EXPECT_EQ(platform.boxes[1].style, msgbox::kOkOnly | msgbox::kExclamation);
        EXPECT_TRUE(app.st.ResultFilePath.isEmpty());
        bool traced = false;
        for (const QString& line : Trace())
            traced = traced || line == platform.boxes[1].text;
        EXPECT_TRUE(traced);
    }
};

TEST_F(DiskFaultCycleTest, ReadOnlyStationStillShowsTheVerdictAndStartsTheNextCycle)
{
    TmpfsMount disk;
    const bool mounted = disk.Mount(dir.path(), QStringLiteral("1m"));
    LayStation();
    if (mounted) {
        ASSERT_TRUE(disk.SetReadOnly(true));
    } else {
        app.FileSeams.Fault = {-1, false, true};
    }
    const QMap<QString, QByteArray> before = Snapshot();
    EXPECT_EQ(CycleAndNext(), QStringLiteral("Test Passed!"));
    ExpectFailuresReported("Read-only file system");
    EXPECT_TRUE(Snapshot() == before) << "a station file changed";
}

TEST_F(DiskFaultCycleTest, FullDiskStillShowsTheVerdictAndStartsTheNextCycle)
{
    TmpfsMount disk;
    const bool mounted = disk.Mount(dir.path(), QStringLiteral("256k"));
    LayStation();
    if (mounted) {
        QFile filler(StationFile(QStringLiteral("filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        const QByteArray byte(1, 'f');
        while (filler.write(byte) == 1) {
        }
        // The folder of the result file still fits; its record does not.
        QDir().mkpath(StationFile(QStringLiteral("RESULTS/351234")));
    } else {
        app.FileSeams.Fault = {0, false, false};
    }
    const QMap<QString, QByteArray> before = Snapshot();
    EXPECT_EQ(CycleAndNext(), QStringLiteral("Test Passed!"));
    ExpectFailuresReported(mounted ? "No space left on device" : "the disk refused the data");
    EXPECT_TRUE(Snapshot() == before) << "a station file changed";
}

}  // namespace
}  // namespace celvio::testing
