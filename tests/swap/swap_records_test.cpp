// The record files and their archive: files compared byte for byte with files written
// by hand, damaged files, failures, and a process killed at every file operation.
#include "core/files.h"
#include "swap/swap_records.h"
#include "swap_fixture.h"

#include <QDirIterator>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace celvio::testing {
namespace {

class SwapRecordsTest : public SwapFixture {
protected:
    void Record(bool swapFile, const char* oldImei, const char* newImei, const char* club, const char* result)
    {
        app.st.OldImei = QString::fromLatin1(oldImei);
        app.st.Imei = QString::fromLatin1(newImei);
        app.st.ClubZavarNumber = QString::fromLatin1(club);
        WriteSwapRecord(app, swapFile, QString::fromLatin1(result));
    }
    QByteArray Bytes(const QString& name) const { return ReadStationBytes(QStringLiteral("RESULTS/LOG/") + name); }
};

TEST_F(SwapRecordsTest, RecordsOfADayThenTwoArchivesOfTheSameDay)
{
    Record(true, "352099001234562", "352099007654321", "0123456789", "");
    EXPECT_EQ(Bytes("AB123ACT.IWR"), HandWritten("IWRSWAP\tV1.0\tAB123\t20261206|\n"
                                                 "# Handy Shop Nord\tHauptstr. 5 Kiel\t0431 998877\tM. Berg|\n"
                                                 "SWAP\t352099001234562\t352099007654321\t0123456789\t20261206|\n"
                                                 "END\t 1 |\n"));
    Record(false, "352099001234562", "352099007654321", "0123456789", "SWAP");
    Record(false, "490154203237518", "", "*", "PASS");
    Record(true, "490154203237518", "490154209999991", "", "");
    EXPECT_EQ(Bytes("AB123ACT.IWR"), HandWritten("IWRSWAP\tV1.0\tAB123\t20261206|\n"
                                                 "# Handy Shop Nord\tHauptstr. 5 Kiel\t0431 998877\tM. Berg|\n"
                                                 "SWAP\t352099001234562\t352099007654321\t0123456789\t20261206|\n"
                                                 "SWAP\t490154203237518\t490154209999991\t\t20261206|\n"
                                                 "END\t 2 |\n"));
    const QByteArray ime = HandWritten("IWRIMEI\tV1.0\tAB123\t20261206|\n"
                                       "# Handy Shop Nord\tHauptstr. 5 Kiel\t0431 998877\tM. Berg|\n"
                                       "IMEI\t352099001234562\t352099007654321\t0123456789\t20261206\tSWAP|\n"
                                       "IMEI\t490154203237518\t\t*\t20261206\tPASS|\n"
                                       "END\t 2 |\n");
    EXPECT_EQ(Bytes("AB123ACT.IME"), ime);
    ExpectNoBoxes();

    // The first archive of the day moves both files.
    ArchiveSwapFiles(app);
    EXPECT_EQ(Bytes("BACKUP26/AB123L06.IME"), ime);
    EXPECT_FALSE(QFile::exists(Log("AB123ACT.IWR")));
    EXPECT_FALSE(QFile::exists(Log("AB123ACT.IME")));
    const QString archived = QDir::toNativeSeparators(Log("BACKUP26/"));
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(Boxes().value(0), Box(QStringLiteral("Archive successful."),
                                    QStringLiteral("Swap files archived into directory:\r\n") + archived +
                                        QStringLiteral("\r\nFilename is : AB123L06.IME\r\n         or : AB123L06.IWR"),
                                    0));

    // Later the same day, under another operator: the new file has its own header, the
    // merge keeps the archive's header and adds the counts.
    app.st.TestedBy = QStringLiteral("K. Lund");
    platform.SetDateTime(QDateTime(QDate(2026, 12, 6), QTime(17, 45, 0)));
    Record(true, "356938035643809", "356938035640000", "", "");
    EXPECT_EQ(Bytes("AB123ACT.IWR"), HandWritten("IWRSWAP\tV1.0\tAB123\t20261206|\n"
                                                 "# Handy Shop Nord\tHauptstr. 5 Kiel\t0431 998877\tK. Lund|\n"
                                                 "SWAP\t356938035643809\t356938035640000\t\t20261206|\n"
                                                 "END\t 1 |\n"));
    ArchiveSwapFiles(app);
    EXPECT_EQ(Bytes("BACKUP26/AB123L06.IWR"), HandWritten("IWRSWAP\tV1.0\tAB123\t20261206|\n"
                                                          "# Handy Shop Nord\tHauptstr. 5 Kiel\t0431 998877\tM. Berg|\n"
                                                          "SWAP\t352099001234562\t352099007654321\t0123456789\t20261206|\n"
                                                          "SWAP\t490154203237518\t490154209999991\t\t20261206|\n"
                                                          "SWAP\t356938035643809\t356938035640000\t\t20261206|\n"
                                                          "END\t 3 |\n"));
    EXPECT_EQ(Bytes("BACKUP26/AB123L06.IME"), ime);  // no new IMEI record: unchanged
    EXPECT_FALSE(QFile::exists(Log("AB123ACT.IWR")));
    EXPECT_EQ(QDir(Log("BACKUP26")).entryList(QDir::Files), (QStringList{"AB123L06.IME", "AB123L06.IWR"}));
    ASSERT_EQ(platform.boxes.size(), 2);
    EXPECT_EQ(platform.boxes[1].title, QStringLiteral("Archive successful."));

    // Nothing left: the third archive says so.
    ArchiveSwapFiles(app);
    ASSERT_EQ(platform.boxes.size(), 3);
    EXPECT_EQ(platform.boxes[2].text, QStringLiteral("No swap files found in directory:\r\n") +
                                          QDir::toNativeSeparators(Log()) +
                                          QStringLiteral("\r\nTIP: There may be no files to archive\r\n"
                                                         "     or the files are already saved."));
    EXPECT_EQ(platform.boxes[2].style, msgbox::kExclamation);
}

TEST_F(SwapRecordsTest, ArchiveNamesAcrossTheYear)
{
    const struct {
        QDate day;
        const char* name;
    } cases[] = {
        {QDate(2026, 1, 1), "AB123A01"},
        {QDate(2026, 12, 6), "AB123L06"},
        {QDate(2027, 9, 30), "AB123I30"},
        {QDate(2026, 2, 28), "AB123B28"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ArchiveName(QStringLiteral("AB123"), c.day), QString::fromLatin1(c.name));
    EXPECT_EQ(RecordDate(QDate(2027, 3, 9)), QStringLiteral("20270309"));

    // In January 2027 the archive goes to BACKUP27, whatever the case of existing names.
    Record(false, "352099001234562", "", "", "PASS");
    QDir(Log()).rename(QStringLiteral("AB123ACT.IME"), QStringLiteral("ab123act.ime"));
    platform.SetDateTime(QDateTime(QDate(2027, 1, 4), QTime(8, 0, 0)));
    ArchiveSwapFiles(app);
    EXPECT_TRUE(QFile::exists(Log("BACKUP27/AB123A04.IME")));
    EXPECT_FALSE(QFile::exists(Log("ab123act.ime")));
}

// A file whose END line is missing or damaged keeps its records; the next record is
// counted after them and the repair is traced. Lines of older files (a company name
// that an earlier rewrite split at its comma) are kept whole.
TEST_F(SwapRecordsTest, DamagedAndOldFilesKeepTheirRecords)
{
    const QByteArray header = "IWRSWAP\tV1.0\tAB123\t20261205\r\n# Shop\tStreet 1\t040 1\tAnn\r\n";
    const QByteArray two = "SWAP\t111111111111111\t222222222222222\t\t20261205\r\n"
                           "SWAP\t333333333333333\t444444444444444\t*\t20261205\r\n";
    const struct {
        const char* what;
        QByteArray file;
        const char* end;
        bool repaired;
    } cases[] = {
        {"end missing", header + two, "END\t 3 ", true},
        {"end damaged", header + two + "END\t x\r\n", "END\t 3 ", true},
        {"end cut off", header + two + "EN", "END\t 3 ", true},  // "EN" is kept as a line
        {"end as written", header + two + "END\t 2 \r\n", "END\t 3 ", false},
        {"end without blanks", header + two + "END\t2\r\n", "END\t 3 ", false},
        {"count trusted", header + two + "END\t 7 \r\n", "END\t 8 ", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteStationBytes(QStringLiteral("RESULTS/LOG/AB123ACT.IWR"), c.file);
        const int traced = int(Trace().size());
        Record(true, "555555555555555", "666666666666666", "", "");
        QByteArray expected = c.file;
        const int end = expected.lastIndexOf("END");
        if (end >= 0 && QByteArray(c.what) != "end cut off")
            expected.truncate(end);
        if (QByteArray(c.what) == "end cut off")
            expected += "\r\n";
        expected += "SWAP\t555555555555555\t666666666666666\t\t20261206\r\n";
        expected += QByteArray(c.end) + "\r\n";
        EXPECT_EQ(QString::fromLatin1(Bytes("AB123ACT.IWR")), QString::fromLatin1(expected));
        bool tracedRepair = false;
        for (int i = traced; i < Trace().size(); ++i)
            tracedRepair = tracedRepair || Trace()[i].contains(QStringLiteral("END line missing or damaged"));
        EXPECT_EQ(tracedRepair, c.repaired);
    }

    // An old file with a header split at a comma: its lines are copied as they are.
    const QByteArray old = "IWRIMEI\tV1.0\tAB123\t20261201\r\n# Meier\r\nSohn\tMarkt 2\t040 2\tBo\r\n"
                           "IMEI\t111111111111111\t\t\t20261201\tPASS\r\nEND\t 1 \r\n";
    WriteStationBytes(QStringLiteral("RESULTS/LOG/AB123ACT.IME"), old);
    app.st.Company = QStringLiteral("Meier, Sohn & \"Co\"");
    Record(false, "222222222222222", "", "", "FAIL");
    EXPECT_EQ(Bytes("AB123ACT.IME"), QByteArray(old).replace("END\t 1 \r\n", "") +
                                         "IMEI\t222222222222222\t\t\t20261206\tFAIL\r\nEND\t 2 \r\n");
    ExpectNoBoxes();
}

TEST_F(SwapRecordsTest, FailuresAreShownAndKeepTheFiles)
{
    Record(true, "352099001234562", "352099007654321", "", "");
    const QByteArray before = Bytes("AB123ACT.IWR");
    // A file in place of the archive folder: the archive fails, the record file stays.
    WriteStationBytes(QStringLiteral("RESULTS/LOG/BACKUP26"), "not a folder");
    ArchiveSwapFiles(app);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("Archive fails !!!\r\n") + Log("BACKUP26") +
                                          QStringLiteral("\r\nNot a directory"));
    EXPECT_EQ(Bytes("AB123ACT.IWR"), before);
    QFile::remove(Log("BACKUP26"));

    // A record file that cannot be written (a folder holds its name): the operator is
    // told, with the record to note by hand.
    QDir().mkpath(Log("AB123ACT.IME"));
    Record(false, "490154203237518", "", "", "FAIL");
    ASSERT_EQ(platform.boxes.size(), 2);
    EXPECT_TRUE(platform.boxes[1].text.startsWith(QStringLiteral("The swap record could not be written to\r\n") +
                                                  Log("AB123ACT.IME") + QStringLiteral("\r\nIs a directory\r\n")))
        << qPrintable(platform.boxes[1].text);
    EXPECT_TRUE(platform.boxes[1].text.contains(QStringLiteral("IMEI\t490154203237518\t\t\t20261206\tFAIL")));
    EXPECT_EQ(Bytes("AB123ACT.IWR"), before);
}

// What start-up does with an archive that a kill broke off: it finishes it (here a
// merged file waiting for its rename), and one it cannot finish it shows, files kept.
TEST_F(SwapRecordsTest, UnfinishedArchiveIsFinishedAtStartUpOrShown)
{
    QDir().mkpath(Log("BACKUP26"));
    const QByteArray merged = HandWritten("IWRSWAP\tV1.0\tAB123\t20261206|\n# Handy Shop Nord|\n"
                                          "SWAP\t100000000000001\t900000000000001\t\t20261206|\nEND\t 1 |\n");
    WriteStationBytes(QStringLiteral("RESULTS/LOG/BACKUP26/AB123L06.IWR.OUT"), merged);
    RecoverUnfinishedArchive(app);
    EXPECT_EQ(Bytes("BACKUP26/AB123L06.IWR"), merged);
    EXPECT_FALSE(QFile::exists(Log("BACKUP26/AB123L06.IWR.OUT")));
    EXPECT_TRUE(Trace().contains(QStringLiteral("Unfinished archive completed: ") + Log("BACKUP26/AB123L06.IWR")));
    ExpectNoBoxes();

    // A claim whose name is a link is no file of the archive: refused and shown.
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("elsewhere")), Log("BACKUP26/AB123L06.IME.IN")));
    RecoverUnfinishedArchive(app);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("An archive that was broken off could not be completed:\r\n") +
                                          Log("BACKUP26/AB123L06.IME.IN") + QStringLiteral("\r\n") + SymLinkRefusal() +
                                          QStringLiteral("\r\nIts records are kept; the next Archive tries again."));
    EXPECT_TRUE(QFileInfo(Log("BACKUP26/AB123L06.IME.IN")).isSymLink());
    EXPECT_EQ(Bytes("BACKUP26/AB123L06.IWR"), merged);
}

// A station that is not a service point keeps no records.
TEST_F(SwapRecordsTest, NoRecordsWithoutAServicePoint)
{
    app.st.SwapFile = 0;
    Record(false, "352099001234562", "", "", "PASS");
    app.st.SwapFile = 1;
    app.st.ServicePointId.clear();
    Record(true, "352099001234562", "352099007654321", "", "");
    EXPECT_TRUE(QDir(Log()).entryList(QDir::Files).isEmpty());
    ExpectNoBoxes();
}

// --- a process killed at every file operation ----------------------------------------

int g_killAt = 0;
int g_steps = 0;

void KillAtStep(const char*)
{
    if (++g_steps == g_killAt)
        ::kill(::getpid(), SIGKILL);
}

// Runs `work` in a child process that is killed at file operation `step` (the step hook
// of `seams`); true when it was killed, false when it ran to its end.
template <typename Work>
bool RunKilledAt(FileSeams& seams, int step, Work work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        g_steps = 0;
        g_killAt = step;
        seams.StepHook = KillAtStep;
        work();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) {
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        return true;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return false;
}

QStringList Records(const QByteArray& bytes, const char* tag)
{
    QStringList records;
    for (const QString& line : QString::fromLatin1(bytes).split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QLatin1String(tag) + QLatin1Char('\t')))
            records << line;
    }
    return records;
}

// A record file under its final name is whole: header first, END last with the count
// of its records.
void ExpectWhole(const QString& path, const char* tag)
{
    QFile file(path);
    if (!file.exists())
        return;
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("IWR")) << qPrintable(path);
    EXPECT_TRUE(bytes.endsWith(" " + QByteArray::number(Records(bytes, tag).size()) + " \r\n"))
        << qPrintable(path) << "\n" << bytes.constData();
}

class KillTest : public SwapRecordsTest {
protected:
    // Every record of every record and hand-over file below RESULTS/LOG.
    QStringList AllRecords(const char* tag, const char* extension)
    {
        QStringList all;
        QDirIterator it(Log(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!path.contains(QLatin1String(extension), Qt::CaseInsensitive))
                continue;
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                all << Records(file.readAll(), tag);
        }
        all.sort();
        return all;
    }
    void Seed(int logRecords, int archiveRecords)
    {
        QDir(Log()).removeRecursively();
        app.st.CycleDay = QDate(2026, 12, 6);
        for (int i = 0; i < archiveRecords; ++i) {
            const QString n = QString::number(100000000000000LL + i);
            app.st.OldImei = n;
            app.st.Imei = QString::number(900000000000000LL + i);
            WriteSwapRecord(app, true, QString());
            WriteSwapRecord(app, false, QStringLiteral("SWAP"));
        }
        if (archiveRecords > 0) {
            QDir().mkpath(Log("BACKUP26"));
            QDir(Log()).rename(QStringLiteral("AB123ACT.IWR"), QStringLiteral("BACKUP26/AB123L06.IWR"));
            QDir(Log()).rename(QStringLiteral("AB123ACT.IME"), QStringLiteral("BACKUP26/AB123L06.IME"));
        }
        for (int i = 0; i < logRecords; ++i) {
            app.st.OldImei = QString::number(200000000000000LL + i);
            app.st.Imei = QString::number(800000000000000LL + i);
            WriteSwapRecord(app, true, QString());
            WriteSwapRecord(app, false, QStringLiteral("SWAP"));
        }
    }
    void ExpectAllWhole()
    {
        ExpectWhole(Log("AB123ACT.IWR"), "SWAP");
        ExpectWhole(Log("AB123ACT.IME"), "IMEI");
        ExpectWhole(Log("BACKUP26/AB123L06.IWR"), "SWAP");
        ExpectWhole(Log("BACKUP26/AB123L06.IME"), "IMEI");
    }
};

TEST_F(KillTest, RecordRewriteKilledAtEveryStep)
{
    int step = 1;
    for (;; ++step) {
        SCOPED_TRACE(step);
        Seed(2, 0);
        const QStringList before = AllRecords("SWAP", ".IWR");
        app.st.OldImei = QStringLiteral("777777777777777");
        app.st.Imei = QStringLiteral("888888888888888");
        const bool killed = RunKilledAt(app.FileSeams, step, [this] { WriteSwapRecord(app, true, QString()); });
        ExpectAllWhole();
        QStringList after = AllRecords("SWAP", ".IWR");
        if (after != before) {
            // The record is either fully there or not at all.  // the record is either fully there or not at all
            QStringList expected = before;
            expected << QStringLiteral("SWAP\t777777777777777\t888888888888888\t\t20261206");
            expected.sort();
            EXPECT_EQ(after, expected);
            EXPECT_FALSE(killed && step == 1);
        }
        if (!killed)
            break;
    }
    EXPECT_GE(step, 3);  // killed before the read and before the write at least
}

TEST_F(KillTest, ArchiveKilledAtEveryStep)
{
    // Both ways of archiving: moving the files (no archive yet) and merging.
    for (const int archived : {0, 3}) {
        SCOPED_TRACE(archived);
        int step = 1;
        for (;; ++step) {
            SCOPED_TRACE(step);
            Seed(2, archived);
            const QStringList swaps = AllRecords("SWAP", ".IWR");
            const QStringList imeis = AllRecords("IMEI", ".IME");
            const bool killed = RunKilledAt(app.FileSeams, step, [this] {
                ArchiveRecordFiles(Log(), QStringLiteral("AB123ACT"), Log("BACKUP26"), QStringLiteral("AB123L06"),
                                   nullptr, &app.FileSeams);
            });
            // Nothing half-written under a final name; the hand-over finishes with no
            // record lost or doubled ...
            ExpectAllWhole();
            EXPECT_TRUE(RecoverArchive(Log()));
            EXPECT_EQ(AllRecords("SWAP", ".IWR").join('\n'), swaps.join('\n'));
            EXPECT_EQ(AllRecords("IMEI", ".IME").join('\n'), imeis.join('\n'));
            // ... and the next archive finishes the work.
            ArchiveSwapFiles(app);
            EXPECT_FALSE(QFile::exists(Log("AB123ACT.IWR")));
            EXPECT_FALSE(QFile::exists(Log("AB123ACT.IME")));
            EXPECT_EQ(QDir(Log("BACKUP26")).entryList(QDir::Files), (QStringList{"AB123L06.IME", "AB123L06.IWR"}));
            EXPECT_EQ(Records(Bytes("BACKUP26/AB123L06.IWR"), "SWAP").size(), 2 + archived);
            EXPECT_EQ(Records(Bytes("BACKUP26/AB123L06.IME"), "IMEI").size(), 2 + archived);
            ExpectAllWhole();
            if (!killed)
                break;
        }
        EXPECT_GE(step, archived == 0 ? 3 : 9);
    }
}

}  // namespace
}  // namespace celvio::testing
