// A station that an account may read but not write: celvio-history, run as such an
// account, answers from the index as it stands (with what a running program has
// committed to it), says once that it may be behind the files, and changes nothing;
// without a readable index it reads the files into a temporary one.
#include "history/history_cli.h"
#include "history_fixture.h"

#include <QProcess>
#include <QSqlQuery>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace celvio::testing {
namespace {

struct Outcome {
    int code = -1;
    QString out, err;
};

constexpr int kNoOtherAccount = 100;
const char* const kEveryFolder[] = {"", "RESULTS", "RESULTS/351234", "RESULTS/490154", "RESULTS/LOG",
                                "RESULTS/LOG/BACKUP26"};

// What the account may not write.
enum class Locked {
    Station,  // the station's folders
    Index,    // only the index, in a folder the account may write
};

class HistoryReadOnlyTest : public HistoryFixture {
protected:
    void SetUp() override
    {
        HandWrittenStation();
        // Root may write anything: the program runs as "nobody", to whom root's station
        // is readable only. Another account takes its own rights away instead.
        asRoot_ = ::geteuid() == 0;
        Mode(QString(), 0755);
    }
    void TearDown() override { Unlock(); }

    void Mode(const QString& relative, mode_t mode)
    {
        ::chmod(QFile::encodeName(Path(relative)).constData(), mode);
    }
    void Lock()
    {
        if (locked_ == Locked::Index) {
            if (asRoot_)
                Mode(QString(), 0777);
            else
                Mode(HistoryIndex::DatabaseName(), 0444);
        } else if (!asRoot_) {
            for (const char* folder : kEveryFolder)
                Mode(QString::fromLatin1(folder), 0555);
        }
    }
    void Unlock()
    {
        for (const char* folder : kEveryFolder)
            Mode(QString::fromLatin1(folder), 0755);
        if (QFileInfo::exists(Path(HistoryIndex::DatabaseName())))
            Mode(HistoryIndex::DatabaseName(), 0644);
    }

    // celvio-history as the account that may not write, on the station.
    Outcome Run(const QStringList& args)
    {
        Lock();
        QProcess process;
        process.setProgram(QStringLiteral(CELVIO_HISTORY_PATH));
        process.setArguments(QStringList{QStringLiteral("--station"), dir.path()} + args);
        const QByteArray station = QFile::encodeName(dir.path());
        if (asRoot_) {
            process.setChildProcessModifier([station] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0 ||
                    ::access(station.constData(), R_OK | X_OK) != 0)
                    ::_exit(kNoOtherAccount);
            });
        }
        process.start();
        Outcome outcome;
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            return outcome;
        outcome.code = process.exitCode();
        outcome.out = QString::fromUtf8(process.readAllStandardOutput());
        outcome.err = QString::fromUtf8(process.readAllStandardError());
        Unlock();
        return outcome;
    }

    QString Note() const
    {
        return QStringLiteral("celvio-history: ") + Path(HistoryIndex::DatabaseName()) +
               QStringLiteral(" cannot be written (Permission denied): the index may be behind the files\n");
    }

    bool asRoot_ = false;
    Locked locked_ = Locked::Station;
};

#define SKIP_WITHOUT_OTHER_ACCOUNT(outcome)                                              \
    if ((outcome).code == kNoOtherAccount)                                              \
    GTEST_SKIP() << "no unprivileged account to run as here"

TEST_F(HistoryReadOnlyTest, TheIndexAsItStandsAnswersWithOneNote)
{
    {
        HistoryIndex index(dir.path());
        ASSERT_TRUE(index.Update(UpdateScope::EveryFile));
    }
    const QFileInfo before(Path(HistoryIndex::DatabaseName()));
    // The program that wrote the index has ended: no companion files, the file alone.
    struct Case {
        QStringList args;
        int code;
        const char* found;  // in the standard output
    } cases[] = {
        {{"--no-update", "find", "490154203237518"}, kHistoryOk, "/RESULTS/490154/3237518.TXT"},
        {{"find", "490154203237518"}, kHistoryOk, "/RESULTS/LOG/AB123ACT.IME:4"},
        {{"list", "--verdict", "passed"}, kHistoryOk, "/RESULTS/351234/0000017.TXT"},
        {{"find", "111111111111111"}, kHistoryNothingFound, "No test and no swap record"},
    };
    for (const Locked lock : {Locked::Station, Locked::Index}) {
        locked_ = lock;
        for (const Case& c : cases) {
            const Outcome outcome = Run(c.args);
            SKIP_WITHOUT_OTHER_ACCOUNT(outcome);
            EXPECT_EQ(outcome.code, c.code) << qPrintable(c.args.join(' ')) << qPrintable(outcome.err);
            EXPECT_TRUE(outcome.out.contains(QString::fromUtf8(c.found))) << qPrintable(outcome.out);
            EXPECT_EQ(outcome.err, Note()) << qPrintable(c.args.join(' '));
        }
        // Update and rebuild cannot do what they are asked: said so, with exit code 3.
        for (const char* command : {"update", "rebuild"}) {
            const Outcome outcome = Run({QString::fromLatin1(command)});
            EXPECT_EQ(outcome.code, kHistoryIndexError) << command;
            EXPECT_EQ(outcome.err, QStringLiteral("celvio-history: ") + Path(HistoryIndex::DatabaseName()) +
                                       QStringLiteral(" cannot be written (Permission denied)\n"));
        }
        // Nothing was written, and nothing was left beside the index, even where the
        // folder would have allowed it.
        const QFileInfo after(Path(HistoryIndex::DatabaseName()));
        EXPECT_EQ(after.lastModified(), before.lastModified());
        EXPECT_EQ(after.size(), before.size());
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("HISTORY.DB*")}, QDir::Files),
                  QStringList{QStringLiteral("HISTORY.DB")});
    }
}

TEST_F(HistoryReadOnlyTest, AnIndexTheAccountMayNotWriteIsNeverReplaced)
{
    // An index kept with a rollback journal (made or changed by another tool): turning
    // it to the program's journal would need a write. It was taken for a damaged file
    // and replaced by one of the account's own, in a folder that allowed it.
    {
        HistoryIndex index(dir.path());
        ASSERT_TRUE(index.Update(UpdateScope::EveryFile));
        QSqlQuery(index.Database()).exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
    }
    struct stat before {}, after {};
    const QByteArray db = QFile::encodeName(Path(HistoryIndex::DatabaseName()));
    ASSERT_EQ(::stat(db.constData(), &before), 0);
    locked_ = Locked::Index;
    const Outcome outcome = Run({"list", "--verdict", "aborted"});
    SKIP_WITHOUT_OTHER_ACCOUNT(outcome);
    EXPECT_EQ(outcome.code, kHistoryOk) << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.out.contains(QStringLiteral("/RESULTS/490154/3237518.TXT"))) << qPrintable(outcome.out);
    EXPECT_EQ(outcome.err, Note());
    ASSERT_EQ(::stat(db.constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_size, before.st_size);
}

TEST_F(HistoryReadOnlyTest, WhatARunningProgramCommittedIsSeen)
{
    // CELVIO runs and has just indexed a new test: it is in the index's log, not yet
    // in the file itself.
    HistoryIndex writer(dir.path());
    ASSERT_TRUE(writer.Update(UpdateScope::EveryFile));
    QSqlQuery(writer.Database()).exec(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
    QByteArray another = HandWritten(kPassedGsmFile);
    another.replace("351234000000017", "351234000000025");
    Put(QStringLiteral("RESULTS/351234/0000025.TXT"), another);
    IndexCounts counts;
    ASSERT_TRUE(writer.Update(UpdateScope::EveryFile, &counts));
    ASSERT_EQ(counts.Read, 1);

    const Outcome outcome = Run({"--no-update", "find", "351234000000025"});
    SKIP_WITHOUT_OTHER_ACCOUNT(outcome);
    EXPECT_EQ(outcome.code, kHistoryOk) << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.out.contains(QStringLiteral("/RESULTS/351234/0000025.TXT"))) << qPrintable(outcome.out);
    EXPECT_EQ(outcome.err, Note());
}

TEST_F(HistoryReadOnlyTest, WithoutAReadableIndexTheFilesAreReadIntoATemporaryOne)
{
    const QString note = QStringLiteral("celvio-history: no index can be kept in ") + dir.path() +
                         QStringLiteral(" (Permission denied): the files are read into a temporary one\n");
    // No index at all; then one that is damaged, which stays as it is.
    for (const bool damaged : {false, true}) {
        if (damaged)
            Put(HistoryIndex::DatabaseName(), QByteArray(4096, 'x'));
        const Outcome outcome = Run({"--no-update", "find", "490154203237518"});
        SKIP_WITHOUT_OTHER_ACCOUNT(outcome);
        EXPECT_EQ(outcome.code, kHistoryOk) << qPrintable(outcome.err);
        EXPECT_TRUE(outcome.out.contains(QStringLiteral("/RESULTS/490154/3237518.TXT"))) << qPrintable(outcome.out);
        EXPECT_EQ(outcome.err, note + QStringLiteral("celvio-history: 4 damaged or foreign files skipped\n"));
        QFile index(Path(HistoryIndex::DatabaseName()));
        EXPECT_EQ(index.exists(), damaged);
        if (damaged && index.open(QIODevice::ReadOnly)) {
            EXPECT_EQ(index.readAll(), QByteArray(4096, 'x'));
        }
    }
}

}  // namespace
}  // namespace celvio::testing
