// Two programs writing into one station at the same moments, through the real writers:
// result files of the same phone (so the same names), swap and IMEI records, archives
// in between, and lines of one log. Every result file, record and log line is kept
// exactly once, and every record file ends with the count of its records.
#include "core/files.h"
#include "results/result_file.h"
#include "results/results_fixture.h"
#include "scan/scan_log.h"
#include "swap/service_data.h"
#include "swap/swap_records.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr int kCycles = 80;
constexpr int kArchiveEvery = 10;

class TwoWritersTest : public ResultsFixture {
protected:
    void SetUp() override
    {
        Station("GSM", 1);
        ServicePointAB123();
        // In memory where the machine offers it: the runs overlap more closely there.
        if (QFileInfo(u"/dev/shm"_s).isDir() && QFileInfo(u"/dev/shm"_s).isWritable()) {
            memory = std::make_unique<QTemporaryDir>(u"/dev/shm/celvio-two-XXXXXX"_s);
            if (memory->isValid())
                app.StationDir = memory->path();
        }
    }

    static QString Comment(int writer, int cycle) { return u"writer %1 cycle %2"_s.arg(writer).arg(cycle); }
    static QString OldImei(int writer, int cycle) { return QString::number(350000000000000LL + writer * 1000 + cycle); }

    // One program's cycles: a direct swap of the same new phone each time, its two
    // records, and, for the first program, an archive every few cycles. The child's
    // exit code says whether the operator was told of a failure.
    [[noreturn]] void Program(int writer, int startFd)
    {
        char go = 0;
        if (::read(startFd, &go, 1) != 1)
            ::_exit(3);
        for (int cycle = 0; cycle < kCycles; ++cycle) {
            app.st.SwapComment = Comment(writer, cycle);
            app.st.OldImei = OldImei(writer, cycle);
            app.st.Imei = u"351234000000025"_s;
            WriteDirectSwapFile(app);
            WriteSwapRecord(app, true, QString());
            WriteSwapRecord(app, false, u"SWAP"_s);
            ScanLog(app, Comment(writer, cycle));
            if (writer == 1 && cycle % kArchiveEvery == kArchiveEvery - 1)
                ArchiveSwapFiles(app);
        }
        for (const BoxRecord& box : platform.boxes) {
            if (box.title != QLatin1String("Archive successful."))
                ::_exit(2);
        }
        ::_exit(0);
    }

    // The lines starting with `tag` of every record and hand-over file below RESULTS/LOG,
    // each file checked to end with its count.
    QStringList AllRecords(const QString& tag, const QString& extension)
    {
        QStringList all;
        QDirIterator it(app.StationDir + u"/RESULTS/LOG"_s, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!path.contains(extension))
                continue;
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
            int count = 0;
            const QList<QByteArray> lines = file.readAll().split('\n');
            for (const QByteArray& line : lines) {
                if (line.startsWith(tag.toLatin1() + '\t')) {
                    all << QString::fromLatin1(line.trimmed());
                    ++count;
                }
            }
            EXPECT_TRUE(lines.size() >= 2 && lines[lines.size() - 2] == "END\t " + QByteArray::number(count) + " \r")
                << qPrintable(path) << " does not end with its count " << count;
        }
        all.sort();
        return all;
    }

    std::unique_ptr<QTemporaryDir> memory;
};

TEST_F(TwoWritersTest, ResultFilesAndRecordsOfTwoProgramsAtOnceAreAllKeptOnce)
{
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    pid_t children[2];
    for (int writer = 1; writer <= 2; ++writer) {
        children[writer - 1] = ::fork();
        ASSERT_GE(children[writer - 1], 0);
        if (children[writer - 1] == 0) {
            ::close(start[1]);
            Program(writer, start[0]);
        }
    }
    ::close(start[0]);
    ASSERT_EQ(::write(start[1], "gg", 2), 2);  // both begin at once
    ::close(start[1]);
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a program was told of a failed write: " << status;
    }

    // Every direct swap in a file of its own: none replaced, none half-written.
    QStringList comments;
    const QDir results(app.StationDir + u"/RESULTS/351234"_s);
    const QStringList files = results.entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : files) {
        EXPECT_TRUE(name.endsWith(u".TXT"_s)) << qPrintable(name) << " left behind";
        QFile file(results.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromLatin1(file.readAll()).split(u"\r\n"_s);
        EXPECT_EQ(lines.value(lines.size() - 2).left(7), u"writer "_s) << qPrintable(name);
        comments << lines.value(lines.size() - 2);
    }
    QStringList expectedComments, expectedSwaps, expectedImeis;
    for (int writer = 1; writer <= 2; ++writer) {
        for (int cycle = 0; cycle < kCycles; ++cycle) {
            expectedComments << Comment(writer, cycle);
            expectedSwaps << u"SWAP\t"_s + OldImei(writer, cycle) + u"\t351234000000025\t\t20261206"_s;
            expectedImeis << u"IMEI\t"_s + OldImei(writer, cycle) + u"\t351234000000025\t\t20261206\tSWAP"_s;
        }
    }
    comments.sort();
    expectedComments.sort();
    expectedSwaps.sort();
    expectedImeis.sort();
    EXPECT_EQ(files.size(), 2 * kCycles);
    EXPECT_EQ(comments, expectedComments);

    // Every record once, in the day's files or in the archive, never in both.
    EXPECT_EQ(AllRecords(u"SWAP"_s, u".IWR"_s), expectedSwaps);
    EXPECT_EQ(AllRecords(u"IMEI"_s, u".IME"_s), expectedImeis);

    // Every log line whole and once.
    QFile log(app.StationDir + u"/scan.log"_s);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    QStringList logLines = QString::fromLatin1(log.readAll()).split(u"\r\n"_s);
    EXPECT_EQ(logLines.takeLast(), QString());
    logLines.sort();
    EXPECT_EQ(logLines, expectedComments);
}

}  // namespace
}  // namespace celvio::testing
