// Every file the program writes, on a full disk (an injected ENOSPC and a real full
// tmpfs) and in a read-only station directory (a tmpfs mounted read-only, or an
// injected read-only fault where nothing can be mounted): the operator is told in the
// program's own words, no file changes or appears, and once the disk is sound again
// the same write succeeds. BADCHAN.DAT, CPLCONN.INI, USERTAC.DAT and DEBUG.LOG on a
// full disk are in file_safety_test.cpp. A printed document becomes a PDF file in
// PRINTS/ when there is no printer: it is one of the rows.
#include "core/blocked_channels.h"
#include "core/files.h"
#include "core/trace.h"
#include "cycle/coupler.h"
#include "models/tac_lookup.h"
#include "shell/qt/qt_printer.h"
#include "results/result_file.h"
#include "results/results_fixture.h"
#include "scan/scan_log.h"
#include "support/tmpfs_mount.h"
#include "swap/service_data.h"
#include "swap/swap_records.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>

namespace celvio::testing {
namespace {

const char kArchivedIwr[] = "IWRSWAP\tV1.0\tAB123\t20261206\r\n# Handy Shop Nord\tHauptstr. 5 Kiel\t0431 998877\tM. Berg\r\n"
                            "SWAP\t100000000000000\t900000000000000\t\t20261206\r\nEND\t 1 \r\n";
const char kArchivedIme[] = "IWRIMEI\tV1.0\tAB123\t20261206\r\n# Handy Shop Nord\tHauptstr. 5 Kiel\t0431 998877\tM. Berg\r\n"
                            "IMEI\t100000000000000\t\t\t20261206\tPASS\r\nEND\t 1 \r\n";

class DiskFaultTest : public ResultsFixture {
protected:
    void SetUp() override
    {
        Station("GSM", 1);
        ServicePointAB123();
        StationState& st = app.st;
        st.OldImei = QStringLiteral("351234000000017");
        st.Imei = QStringLiteral("351234000000025");
        app.TacFileName = QStringLiteral("TAC6N.DAT");
        app.ModelDbFileName = QStringLiteral("MPN.DAT");
    }
    // A file of the station directory in use (the fixture's or a mounted one).
    void Put(const QString& name, const QByteArray& bytes)
    {
        const QString path = app.StationDir + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    // A file's bytes; a folder's file names.
    QByteArray Get(const QString& name) const
    {
        const QString path = app.StationDir + QLatin1Char('/') + name;
        if (QFileInfo(path).isDir())
            return QDir(path).entryList(QDir::Files | QDir::Hidden).join(QLatin1Char('/')).toLocal8Bit();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The trace printed on the PDF printer of the Qt platform, into PRINTS/.
    void PrintTraceToPdf()
    {
        const QString prints = app.StationDir + QStringLiteral("/PRINTS");
        qputenv("CELVIO_PDF_DIR", prints.toLocal8Bit());
        QtPrinter pdf(prints, &app.FileSeams.Fault);
        app.DebugFrm.DebugFeld.clear();
        for (int i = 1; i <= 200; ++i)
            app.DebugFrm.DebugFeld << QStringLiteral("Trace line %1").arg(i);
        platform.realPrinter = &pdf;
        DebugFrm_PrintClick(app);
        platform.realPrinter = nullptr;
        qunsetenv("CELVIO_PDF_DIR");
    }

    // Every folder and file below the station directory with its bytes.
    QMap<QString, QByteArray> Snapshot() const
    {
        QMap<QString, QByteArray> all;
        const QDir station(app.StationDir);
        QDirIterator it(app.StationDir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            all[station.relativeFilePath(path)] = QFileInfo(path).isDir() ? QByteArray("<folder>")
                                                  : file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                                   : QByteArray("<unreadable>");
        }
        return all;
    }

    void Clear()
    {
        const QDir station(app.StationDir);
        for (const QString& entry : station.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (!QFile::remove(station.filePath(entry)))
                QDir(station.filePath(entry)).removeRecursively();
        }
    }

    struct Row {
        const char* file;
        bool append;             // appended, not rewritten
        bool fullDiskCovered;    // on a full disk in file_safety_test.cpp
        QString target;          // the file the write changes
        std::function<void()> lay;
        std::function<void()> write;
        QString box;             // "<dir>" stands for the station directory, "<why>" for the reason
        bool boxIsPrefix = false;
    };

    std::vector<Row> Rows()
    {
        auto record = [this] {
            app.st.OldImei = QStringLiteral("352099001234562");
            app.st.Imei = QStringLiteral("352099007654321");
            WriteSwapRecord(app, true, QString());
        };
        return {
            {"CPLCONN.INI", false, true, QStringLiteral("CPLCONN.INI"), [this] { Put(QStringLiteral("CPLCONN.INI"), " 1\r\n"); },
             [this] { SaveCouplerChoice(app, 3); },
             QStringLiteral("File CPLCONN.INI not accessible !\r\n<dir>/CPLCONN.INI\r\n<why>")},
            {"BADCHAN.DAT", false, true, QStringLiteral("BADCHAN.DAT"),
             [this] {
                 Put(QStringLiteral("BADCHAN.DAT"), "\" 5, 7,\"\r\n");
                 app.st.BlockedChannels = QStringLiteral(" 5, 7,");
             },
             [this] { SaveBlockedChannels(app, 9); },
             QStringLiteral("File BADCHAN.DAT not accessible !\r\n<dir>/BADCHAN.DAT\r\n<why>")},
            {"USERTAC.DAT", true, true, QStringLiteral("USERTAC.DAT"),
             [this] {
                 Put(QStringLiteral("TAC6N.DAT"), "-2,USERTAC.DAT\r\n-9,ANT\r\n");
                 Put(QStringLiteral("MPN.DAT"), "[ANT]\r\n[Tavik T12]\r\n");
                 Put(QStringLiteral("USERTAC.DAT"), "35000000,Orvane 310\r\n");
             },
             [this] {
                 platform.form5Choices = {1};
                 LookupPhoneModel(app, QStringLiteral("359876540000001"));
             },
             QStringLiteral("File USERTAC.DAT not accessible !\r\n<dir>/USERTAC.DAT\r\n<why>")},
            {"DEBUG.LOG", true, true, QStringLiteral("DEBUG.LOG"), [this] { Put(QStringLiteral("DEBUG.LOG"), "old line\r\n"); },
             [this] {
                 app.DebugFrm.DebugFeld = QStringList{QStringLiteral("new line")};
                 SaveDebugLog(app);
             },
             QStringLiteral("There was a problem with file DEBUG.LOG.\r\n<dir>/DEBUG.LOG\r\n<why>")},
            {"scan.log", true, false, QStringLiteral("scan.log"), [this] { Put(QStringLiteral("scan.log"), "earlier scan\r\n"); },
             [this] {
                 app.st.ScanLogReported = kFalse;
                 ScanLog(app, QStringLiteral("Scan started"));
             },
             QStringLiteral("File scan.log cannot be written.\r\n<dir>/scan.log\r\n<why>\r\n"
                            "The scan goes on, the list BADCHAN.DAT is saved.")},
            {"result file", false, false, QStringLiteral("RESULTS/351234/0000025A.TXT"),
             [this] { Put(QStringLiteral("RESULTS/351234/0000025.TXT"), "an earlier swap\r\n"); },
             [this] { WriteDirectSwapFile(app); },
             QStringLiteral("Result file could not be written: <dir>/RESULTS/351234/0000025A.TXT ("), true},
            {"swap.dat", false, false, QStringLiteral("swap.dat"),
             [this] { Put(QStringLiteral("swap.dat"), "0,\"AB123\",\"Handy Shop Nord\",\"Hauptstr. 5 Kiel\",\"0431 998877\",\"K. Lund\"\r\n"); },
             [this] { WriteServiceFile(app); },
             QStringLiteral("The service point data could not be saved to\r\n<dir>/swap.dat\r\n<why>\r\n"
                            "It will be asked for again at the next start.")},
            {"swap record file", false, false, QStringLiteral("RESULTS/LOG/AB123ACT.IWR"),
             [this] { Put(QStringLiteral("RESULTS/LOG/AB123ACT.IWR"), kIwr); }, record,
             QStringLiteral("The swap record could not be written to\r\n<dir>/RESULTS/LOG/AB123ACT.IWR\r\n<why>\r\n"
                            "Please check the disk and record this exchange by hand:\r\n"
                            "SWAP\t352099001234562\t352099007654321\t\t20261206")},
            {"archive", false, false, QStringLiteral("RESULTS/LOG/BACKUP26/AB123L06.IWR"),
             [this] {
                 Put(QStringLiteral("RESULTS/LOG/AB123ACT.IWR"), kIwr);
                 Put(QStringLiteral("RESULTS/LOG/AB123ACT.IME"), kIme);
                 Put(QStringLiteral("RESULTS/LOG/BACKUP26/AB123L06.IWR"), kArchivedIwr);
                 Put(QStringLiteral("RESULTS/LOG/BACKUP26/AB123L06.IME"), kArchivedIme);
             },
             // The claim or the merged file of the swap file, whichever the disk refused.
             [this] { ArchiveSwapFiles(app); }, QStringLiteral("Archive fails !!!\r\n<dir>/RESULTS/LOG/BACKUP26/AB123L06.IWR."),
             true},
            {"PDF document", false, false, QStringLiteral("PRINTS"),
             [this] { Put(QStringLiteral("PRINTS/celvio-20261206-093000-000.pdf"), "%PDF-1.4 an earlier document"); },
             [this] { PrintTraceToPdf(); },
             QStringLiteral("There was a problem printing to your printer.\r\nThe document could not be saved as\r\n"
                            "<dir>/PRINTS/celvio-"),
             true},
        };
    }

    // Lays the row's files, breaks the disk, writes, mends the disk and writes again.
    // `mayFit`: an append may still fit into the last block of its file.
    void Run(const Row& row, const std::function<void()>& breakDisk, const std::function<void()>& mendDisk, bool mayFit,
             const QString& why)
    {
        platform.boxes.clear();
        row.lay();
        breakDisk();
        const QMap<QString, QByteArray> before = Snapshot();
        row.write();
        const QMap<QString, QByteArray> after = Snapshot();
        mendDisk();
        if (mayFit && row.append && platform.boxes.isEmpty()) {
            // The line went in whole; nothing else changed.
            QMap<QString, QByteArray> rest = after;
            EXPECT_TRUE(rest.take(row.target).startsWith(before.value(row.target)));
            QMap<QString, QByteArray> old = before;
            old.remove(row.target);
            EXPECT_EQ(rest, old);
        } else {
            // Nothing lost, nothing half-written, no temporary file left.
            EXPECT_EQ(after.keys(), before.keys());
            EXPECT_TRUE(after == before) << "a file changed";
            ASSERT_FALSE(platform.boxes.isEmpty()) << "the operator was not told";
            const QString box = QString(row.box).replace(QLatin1String("<dir>"), app.StationDir).replace(QLatin1String("<why>"), why);
            EXPECT_TRUE(platform.boxes.last().text.contains(QLatin1String("\r\n") + why) ||
                        platform.boxes.last().text.contains(QLatin1String("(") + why + QLatin1String(")")))
                << "the reason is not shown: " << qPrintable(platform.boxes.last().text);
            if (row.boxIsPrefix) {
                EXPECT_TRUE(platform.boxes.last().text.startsWith(box)) << qPrintable(platform.boxes.last().text);
            } else {
                EXPECT_EQ(platform.boxes.last().text, box);
            }
        }
        // On a sound disk the same write goes through.
        platform.boxes.clear();
        const QByteArray old = Get(row.target);
        row.write();
        for (const BoxRecord& box : platform.boxes)
            EXPECT_FALSE(box.text.startsWith(QString(row.box).section(QLatin1String("<dir>"), 0, 0))) << qPrintable(box.text);
        EXPECT_NE(Get(row.target), old) << "not written on the mended disk";
    }
};

TEST_F(DiskFaultTest, InjectedFullDiskKeepsEveryFileAndIsReported)
{
    const FileWriteFault faults[] = {{0, false, false}, {3, false, false}, {-1, true, false}};
    for (const Row& row : Rows()) {
        if (row.fullDiskCovered)
            continue;
        for (const FileWriteFault& fault : faults) {
            SCOPED_TRACE(::testing::Message() << row.file << ", fault after " << fault.bytesBeforeFailure << " bytes, sync "
                                              << fault.failSync);
            Clear();
            Run(row, [&] { app.FileSeams.Fault = fault; }, [this] { app.FileSeams.Fault = {}; }, false,
                QStringLiteral("the disk refused the data"));
        }
    }
}

// A real full disk: a 256 KiB tmpfs filled up after the station's files were laid.
TEST_F(DiskFaultTest, FullTmpfsKeepsEveryFileAndIsReported)
{
    QTemporaryDir mountPoint;
    ASSERT_TRUE(mountPoint.isValid());
    TmpfsMount disk;
    if (!disk.Mount(mountPoint.path(), QStringLiteral("256k")))
        GTEST_SKIP() << "no tmpfs can be mounted here";
    app.StationDir = mountPoint.path();
    const QString filler = mountPoint.filePath(QStringLiteral("filler"));
    for (const Row& row : Rows()) {
        if (row.fullDiskCovered)
            continue;
        SCOPED_TRACE(row.file);
        Clear();
        auto fill = [&] {
            QFile file(filler);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(4096, 'f');
            while (file.write(block) == block.size()) {
            }
            const QByteArray byte(1, 'f');
            while (file.write(byte) == 1) {
            }
        };
        Run(row, fill, [&] { QFile::remove(filler); }, true, QStringLiteral("No space left on device"));
    }
}

// A read-only station directory. As root a chmod stops nothing, so the directory is a
// tmpfs mounted again read-only; without the right to mount, an injected fault.
TEST_F(DiskFaultTest, ReadOnlyStationKeepsEveryFileAndIsReported)
{
    QTemporaryDir mountPoint;
    ASSERT_TRUE(mountPoint.isValid());
    TmpfsMount disk;
    const bool mounted = disk.Mount(mountPoint.path(), QStringLiteral("1m"));
    if (mounted)
        app.StationDir = mountPoint.path();
    RecordProperty("read_only", mounted ? "mounted read-only tmpfs" : "injected fault");
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.file);
        Clear();
        if (mounted) {
            Run(row, [&] { ASSERT_TRUE(disk.SetReadOnly(true)); }, [&] { ASSERT_TRUE(disk.SetReadOnly(false)); }, false,
                QStringLiteral("Read-only file system"));
        } else {
            Run(row, [this] { app.FileSeams.Fault = {-1, false, true}; }, [this] { app.FileSeams.Fault = {}; }, false,
                QStringLiteral("Read-only file system"));
        }
    }
}

}  // namespace
}  // namespace celvio::testing
