// The station's lock between two programs: the second is refused with the first one's
// process and host; a lock whose program is gone is taken over, whatever its age; a
// lock held by a program on another computer is respected however old; a lock file
// that is a symbolic link is refused.
#include "core/station_lock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

class StationLockTest : public ::testing::Test {
protected:
    QString LockPath() const { return dir.filePath(u"CELVIO.LCK"_s); }

    // A lock file as a program on `host` with process `pid` leaves it, `ageSeconds` old.
    void WriteLockFile(qint64 pid, const QString& host, int ageSeconds)
    {
        QFile file(LockPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(pid) + "\ncelvio\n" + host.toUtf8() + "\n");
        file.close();
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
    }

    QTemporaryDir dir;
};

TEST_F(StationLockTest, SecondProgramIsRefusedWithTheFirstOnesProcessAndHost)
{
    QString message, note;
    {
        StationLock first(dir.path());
        ASSERT_TRUE(first.Take(message, note));
        EXPECT_TRUE(message.isEmpty());
        EXPECT_TRUE(note.isEmpty());
        EXPECT_TRUE(QFile::exists(LockPath()));
        // Held for weeks: its age makes it no less held.
        QFile file(LockPath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-30), QFileDevice::FileModificationTime));
        file.close();

        StationLock second(dir.path());
        EXPECT_FALSE(second.Take(message, note));
        EXPECT_TRUE(message.startsWith(u"Another CELVIO program is working on this station:\r\n"_s + dir.path() +
                                       u"\r\nIt is process "_s + QString::number(::getpid()) + u" ("_s))
            << qPrintable(message);
        EXPECT_TRUE(message.contains(u") on host "_s + QSysInfo::machineHostName() + u".\r\n"_s)) << qPrintable(message);
        EXPECT_TRUE(message.endsWith(u"Lock file: "_s + LockPath())) << qPrintable(message);
    }
    // The first program ended: its lock went with it.
    EXPECT_FALSE(QFile::exists(LockPath()));
    StationLock third(dir.path());
    EXPECT_TRUE(third.Take(message, note));
}

TEST_F(StationLockTest, LockOfAKilledProgramIsTakenOver)
{
    const pid_t child = ::fork();
    if (child == 0) {
        StationLock lock(dir.path());
        QString message, note;
        if (!lock.Take(message, note))
            ::_exit(1);
        ::kill(::getpid(), SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_TRUE(QFile::exists(LockPath()));  // left behind by the killed program

    StationLock next(dir.path());
    QString message, note;
    EXPECT_TRUE(next.Take(message, note)) << qPrintable(message);
    QFile file(LockPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readLine().trimmed(), QByteArray::number(::getpid()));
}

TEST_F(StationLockTest, LockOfAProgramOnAnotherComputerIsKeptHoweverOld)
{
    // A station folder shared by two counter PCs: this one cannot see whether the other
    // program still runs, so the lock stands, even a day old.
    WriteLockFile(4242, u"counter-2"_s, 86400);
    StationLock lock(dir.path());
    QString message, note;
    EXPECT_FALSE(lock.Take(message, note));
    EXPECT_TRUE(message.contains(u"It is process 4242 (celvio) on host counter-2."_s)) << qPrintable(message);
}

TEST_F(StationLockTest, LockFileThatIsALinkIsRefused)
{
    for (const QString& target : {dir.filePath(u"elsewhere"_s), QStringLiteral("/etc/hostname")}) {
        QFile::remove(LockPath());
        ASSERT_TRUE(QFile::link(target, LockPath()));
        StationLock lock(dir.path());
        QString message, note;
        EXPECT_FALSE(lock.Take(message, note));
        EXPECT_EQ(message, u"The lock file of the station is a symbolic link:\r\n"_s + LockPath() +
                               u"\r\nCELVIO does not start on this station until it is removed."_s);
        EXPECT_TRUE(QFileInfo(LockPath()).isSymLink());
        EXPECT_FALSE(QFile::exists(dir.filePath(u"elsewhere"_s)));
    }
}

}  // namespace
}  // namespace celvio::testing
