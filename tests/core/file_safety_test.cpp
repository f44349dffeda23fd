// Every file the program writes, on a disk that fails: a write cut off after some bytes
// (full disk), a failed sync, and a real full tmpfs where one can be mounted. The old
// contents must stay whole, nothing half-written or empty may remain, no temporary
// file is left behind, and the operator is told.
#include "core/files.h"
#include "cycle/coupler.h"
#include "cycle/startup_checks.h"
#include "core/trace.h"
#include "models/tac_lookup.h"
#include "scan/scan_log.h"
#include "core/blocked_channels.h"
#include "support/station_fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace celvio::testing {
namespace {

class FileSafetyTest : public StationFixture {
protected:
    void SetUp() override
    {
        app.st.Language = 1;
        app.st.DebugMode = kTrue;
    }

    QStringList Entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    // The writers of the program, each with the file it writes, what stands in it
    // before and what a successful write puts there.
    struct Writer {
        const char* file;
        const char* before;
        const char* after;
        const char* box;  // the first line of the message of a failed write
        void (*write)(App&);
    };
    static const std::vector<Writer>& Writers()
    {
        static const std::vector<Writer> writers = {
            {"BADCHAN.DAT", "\" 5, 7,\"\r\n", "\" 5, 7, 9,\"\r\n", "File BADCHAN.DAT not accessible !",
             [](App& a) {
                 a.st.BlockedChannels = QStringLiteral(" 5, 7,");
                 SaveBlockedChannels(a, 9);
             }},
            {"CPLCONN.INI", " 1\r\n", " 3\r\n", "File CPLCONN.INI not accessible !",
             [](App& a) { SaveCouplerChoice(a, 3); }},
            {"USERTAC.DAT", "35000000,Orvane 310\r\n", "35000000,Orvane 310\r\n35987654,Tavik T12\r\n",
             "File USERTAC.DAT not accessible !",
             [](App& a) {
                 a.TacFileName = QStringLiteral("TAC6N.DAT");
                 a.ModelDbFileName = QStringLiteral("MPN.DAT");
                 LookupPhoneModel(a, QStringLiteral("359876540000001"));
             }},
            {"DEBUG.LOG", "old line\r\n", "old line\r\nnew line\r\n", "There was a problem with file DEBUG.LOG.",
             [](App& a) {
                 a.DebugFrm.DebugFeld = QStringList{QStringLiteral("new line")};
                 SaveDebugLog(a);
             }},
        };
        return writers;
    }

    // The message of a failed write: the writer's text, then the file and the reason.
    static QString Reported(const Writer& w, const QString& station, const char* reason)
    {
        return QLatin1String(w.box) + QStringLiteral("\r\n") + station + QLatin1Char('/') + QLatin1String(w.file) +
               QStringLiteral("\r\n") + QLatin1String(reason);
    }

    void PrepareStation(const Writer& w)
    {
        for (const QString& name : Entries())
            QFile::remove(dir.filePath(name));
        WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-2,USERTAC.DAT\n-9,ANT\n"));
        WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[ANT]\n[Tavik T12]\n"));
        platform.form5Choices = {1};
        platform.boxes.clear();
        app.st.ScanWritesList = kFalse;
        QFile file(dir.filePath(QLatin1String(w.file)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(w.before);
    }
};

TEST_F(FileSafetyTest, FailedWriteKeepsTheOldFileWholeAndIsReported)
{
    const struct {
        const char* name;
        FileWriteFault fault;
    } faults[] = {
        {"disk full at once", {0, false}},
        {"disk full after 3 bytes", {3, false}},
        {"disk full after 1 byte", {1, false}},
        {"sync fails", {-1, true}},
    };
    for (const Writer& w : Writers()) {
        for (const auto& f : faults) {
            SCOPED_TRACE(std::string(w.file) + ", " + f.name);
            PrepareStation(w);
            const QStringList before = Entries();
            app.FileSeams.Fault = f.fault;
            w.write(app);
            app.FileSeams.Fault = {};
            EXPECT_EQ(ReadStationBytes(QLatin1String(w.file)), QByteArray(w.before));
            EXPECT_EQ(Entries(), before);  // no temporary file, nothing new
            ASSERT_FALSE(platform.boxes.isEmpty());
            EXPECT_EQ(platform.boxes.last().text, Reported(w, dir.path(), "the disk refused the data"));
        }
        // And the same write on a sound disk.
        SCOPED_TRACE(w.file);
        PrepareStation(w);
        w.write(app);
        EXPECT_EQ(ReadStationBytes(QLatin1String(w.file)), QByteArray(w.after));
        EXPECT_TRUE(platform.boxes.isEmpty());
    }
}

TEST_F(FileSafetyTest, AppendedLineNeverJoinsALastLineWithoutLineEnd)
{
    const struct {
        const char* before;  // null: no file
        const char* after;
    } cases[] = {
        {"12345678,STD", "12345678,STD\r\n35987654,Tavik T12\r\n"},  // a hand edit without line end
        {"12345678,STD\r\n", "12345678,STD\r\n35987654,Tavik T12\r\n"},
        {"12345678,STD\n", "12345678,STD\n35987654,Tavik T12\r\n"},
        {"", "35987654,Tavik T12\r\n"},
        {nullptr, "35987654,Tavik T12\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before ? c.before : "(no file)");
        const QString path = dir.filePath(QStringLiteral("USERTAC.DAT"));
        QFile::remove(path);
        if (c.before) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.before);
        }
        ASSERT_TRUE(AppendLine(path, "35987654,Tavik T12"));
        EXPECT_EQ(ReadStationBytes(QStringLiteral("USERTAC.DAT")), QByteArray(c.after));
    }
    // A failed append to a file that did not exist leaves no file.
    QFile::remove(dir.filePath(QStringLiteral("USERTAC.DAT")));
    FileWriteFault fault{5, false};
    EXPECT_FALSE(AppendLine(dir.filePath(QStringLiteral("USERTAC.DAT")), "35987654,Tavik T12", nullptr, &fault));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("USERTAC.DAT"))));
}

// A process killed inside a long append leaves its log cut where the system stopped
// copying, perhaps inside a line or between CR and LF: the next append ends that line
// first and never joins its own first line to it.
TEST_F(FileSafetyTest, LogCutOffByACrashIsEndedBeforeTheNextAppend)
{
    const struct {
        const char* file;
        void (*append)(App&);  // appends "next"
    } logs[] = {
        {"DEBUG.LOG",
         [](App& a) {
             a.DebugFrm.DebugFeld = QStringList{QStringLiteral("next")};
             SaveDebugLog(a);
         }},
        {"scan.log", [](App& a) { ScanLog(a, QStringLiteral("next")); }},
    };
    const struct {
        const char* before;
        const char* after;
    } cuts[] = {
        {"line 1\r\nline 2\r\nline", "line 1\r\nline 2\r\nline\r\nnext\r\n"},
        {"line 1\r\nline 2\r", "line 1\r\nline 2\r\nnext\r\n"},
        {"line 1\r\nline 2\r\n", "line 1\r\nline 2\r\nnext\r\n"},
    };
    for (const auto& log : logs) {
        for (const auto& cut : cuts) {
            SCOPED_TRACE(std::string(log.file) + ": " + cut.before);
            WriteStationBytes(QLatin1String(log.file), cut.before);
            log.append(app);
            EXPECT_EQ(ReadStationBytes(QLatin1String(log.file)), QByteArray(cut.after));
        }
    }
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(FileSafetyTest, PlaceholderImeiIsNeverRecorded)
{
    WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-2,USERTAC.DAT\n-9,ANT\n"));
    WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[ANT]\n[Tavik T12]\n"));
    app.TacFileName = QStringLiteral("TAC6N.DAT");
    app.ModelDbFileName = QStringLiteral("MPN.DAT");
    platform.form5Choices = {1, 1};
    // The phone whose IMEI could not be read still gets the model chosen for it ...
    ASSERT_TRUE(LookupPhoneModel(app, QStringLiteral("999999000000006")));
    EXPECT_EQ(app.Model.Name, QStringLiteral("Tavik T12"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("USERTAC.DAT"))));
    EXPECT_EQ(Trace().last(), QStringLiteral("USERTAC.DAT not written, IMEI >999999000000006< was not read from the phone."));
    // ... and the next unreadable phone is asked about again, not taken for it.
    ASSERT_TRUE(LookupPhoneModel(app, QStringLiteral("999999000000006")));
    EXPECT_TRUE(platform.form5Choices.isEmpty());
}

TEST_F(FileSafetyTest, StartUpRemovesOnlyTheProgramsOwnUnfinishedTemporaryFiles)
{
    const struct {
        const char* name;
        bool removed;
    } cases[] = {
        {"BADCHAN.DAT.ZpOPeQ", true}, {"CPLCONN.INI.a1B2c3", true}, {"badchan.dat.x9y8z7", true},
        {"CPLCONN.INI.backup", false},  // a word: the operator's copy
        {"BADCHAN.DAT.OLDONE", false},  {"BADCHAN.DAT.ZpOPeQ7", false}, {"MPN.DAT.ZpOPeQ", false},
        {"BADCHAN.OLD", false},         {"BADCHAN.DAT", false},
        {"SWAP.DAT.Q7rT2x", true},      {"swap.dat", false},
        {"RESULTS/LOG/AB123ACT.IWR.k3Jd9a", true}, {"RESULTS/LOG/AB123ACT.ime.Zz09aa", true},
        {"RESULTS/LOG/AB123ACT.IWR", false},        {"RESULTS/LOG/AB123ACT.IWR.backup", false},
        {"RESULTS/LOG/AB123ACT.IWR.OUT", false},    {"RESULTS/LOG/notes.txt.k3Jd9a", false},
        {"RESULTS/351234/0000017.TXT.k3Jd9a", false},  // not a file the program rewrites
        // A document printed to a PDF file, cut off before its rename.
        {"PRINTS/celvio-20261208-101500-123.pdf.Ab12Cd", true}, {"PRINTS/celvio-20261208-101500-123.pdf", false},
        {"PRINTS/report.PDF.9x8Y7z", true},  {"PRINTS/celvio-20261208-101500-123.pdf.backup", false},
        {"PRINTS/notes.txt.Ab12Cd", false},
    };
    for (const char* folder : {"RESULTS/LOG", "RESULTS/351234", "PRINTS"})
        QDir().mkpath(dir.filePath(QLatin1String(folder)));
    for (const auto& c : cases)
        WriteStationFile(QLatin1String(c.name), QStringLiteral("x\n"));
    EXPECT_EQ(RemoveStaleTemporaryFiles(app), 8);
    for (const auto& c : cases)
        EXPECT_EQ(QFile::exists(dir.filePath(QLatin1String(c.name))), !c.removed) << c.name;
    EXPECT_TRUE(Trace().contains(QStringLiteral("Unfinished temporary file removed: BADCHAN.DAT.ZpOPeQ")));
    EXPECT_TRUE(Trace().contains(QStringLiteral("Unfinished temporary file removed: RESULTS/LOG/AB123ACT.IWR.k3Jd9a")));
    EXPECT_TRUE(Trace().contains(
        QStringLiteral("Unfinished temporary file removed: PRINTS/celvio-20261208-101500-123.pdf.Ab12Cd")));
}

// A real full disk: a small tmpfs, filled up. Needs the right to mount; skipped without.
TEST_F(FileSafetyTest, FullTmpfsLeavesEveryFileAsItWas)
{
    QTemporaryDir mountPoint;
    ASSERT_TRUE(mountPoint.isValid());
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                    QStringLiteral("size=64k"), QStringLiteral("tmpfs"),
                                                    mountPoint.path()}) != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    struct Unmount {
        QString path;
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {path}); }
    } unmount{mountPoint.path()};

    app.StationDir = mountPoint.path();
    const QDir station(mountPoint.path());
    for (const Writer& w : Writers()) {
        SCOPED_TRACE(w.file);
        for (const QString& name : station.entryList(QDir::Files | QDir::Hidden))
            QFile::remove(station.filePath(name));
        auto put = [&](const QString& name, const QByteArray& bytes) {
            QFile file(station.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(bytes), bytes.size());
        };
        put(QStringLiteral("TAC6N.DAT"), "-2,USERTAC.DAT\n-9,ANT\n");
        put(QStringLiteral("MPN.DAT"), "[ANT]\n[Tavik T12]\n");
        put(QLatin1String(w.file), w.before);
        // Fill the rest of the disk.
        {
            QFile filler(station.filePath(QStringLiteral("filler")));
            ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(512, 'f');
            while (filler.write(block) == block.size()) {
            }
            const QByteArray byte(1, 'f');
            while (filler.write(byte) == 1) {
            }
        }
        platform.form5Choices = {1};
        platform.boxes.clear();
        app.st.ScanWritesList = kFalse;
        w.write(app);
        QFile file(station.filePath(QLatin1String(w.file)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray now = file.readAll();
        EXPECT_EQ(station.entryList(QDir::Files | QDir::Hidden).size(), 4);  // no temporary file
        // An append may still fit into the file's last block; then it is whole. A
        // rewrite needs a new file and fails. Never anything in between.
        if (now == QByteArray(w.after)) {
            EXPECT_TRUE(platform.boxes.isEmpty());
        } else {
            EXPECT_EQ(now, QByteArray(w.before));
            ASSERT_FALSE(platform.boxes.isEmpty());
            EXPECT_EQ(platform.boxes.last().text, Reported(w, mountPoint.path(), "No space left on device"));
        }
        const bool rewritten = QLatin1String(w.file) == QLatin1String("BADCHAN.DAT") ||
                               QLatin1String(w.file) == QLatin1String("CPLCONN.INI");
        if (rewritten) {
            EXPECT_EQ(now, QByteArray(w.before));
        }
    }
}

}  // namespace
}  // namespace celvio::testing
