// Two CELVIO programs on one station, as built: the second is refused with a message
// naming the first one's process and host and ends with a non-zero exit code;
// celvio-history answers beside the running program; after the first is killed with
// SIGKILL, a new start takes its lock over.
#include "e2e_support.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr int kStationInUse = 3;

// CELVIO on the headless platform, waiting at start-up (the port question) for as long
// as the test lets it.
void StartWaiting(QProcess& celvio, const QString& station, const QString& scratch)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    for (int n = 1; n <= 8; ++n)
        env.insert(u"CELVIO_COM%1"_s.arg(n), scratch + u"/no-port-%1"_s.arg(n));
    celvio.setProcessEnvironment(env);
    celvio.setProcessChannelMode(QProcess::ForwardedChannels);
    DieWithParent(celvio);
    celvio.start(QStringLiteral(CELVIO_PROGRAM_PATH), {u"--station"_s, station});
}

// The process id written in the station's lock file, 0 when there is none.
qint64 LockHolder(const QString& station)
{
    QFile file(station + u"/CELVIO.LCK"_s);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readLine().trimmed().toLongLong();
}

TEST(StationLockEndToEnd, SecondProgramRefusedHistoryAnswersAndAKilledProgramsLockIsTakenOver)
{
    if (!HaveRemoteScreen())
        GTEST_SKIP() << "Qt's vnc platform plugin is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString station = dir.filePath(u"station"_s);
    ASSERT_TRUE(QDir().mkpath(station));
    WriteFile(station + u"/CELVIO.INI"_s, "LANGUAGE    EN\r\nSEARCHCOM   0\r\nSWAPFILE    0\r\n");
    WriteFile(station + u"/TAC6N.DAT"_s, "-9,STD\r\n");
    WriteFile(station + u"/MPN.DAT"_s, "[STD]\r\n");
    WriteFile(station + u"/BADCHAN.DAT"_s, "\" 30,\"\r\n");

    QProcess first;
    ChildGuard firstGuard{first};
    StartWaiting(first, station, dir.path());
    ASSERT_TRUE(first.waitForStarted(5000));
    ASSERT_TRUE(WaitFor([&] { return LockHolder(station) == first.processId(); }, 20000));

    // The history tool takes no lock: it answers while the program runs.
    QProcess history;
    DieWithParent(history);
    history.start(QStringLiteral(CELVIO_HISTORY_PATH), {u"--station"_s, station, u"find"_s, u"351234560123457"_s});
    ASSERT_TRUE(history.waitForFinished(30000));
    EXPECT_EQ(history.exitCode(), 1) << qPrintable(QString::fromLocal8Bit(history.readAllStandardError()));

    // The second program: its message on the operator's screen, closed with Return.
    const int screenPort = FreeTcpPort();
    ASSERT_GT(screenPort, 0);
    QProcessEnvironment env = RemoteScreenEnvironment(dir.path(), 1, dir.filePath(u"no-tester"_s), screenPort);
    const QString shown = dir.filePath(u"shown.log"_s);
    env.insert(u"CELVIO_SHOWN_LOG"_s, shown);
    QProcess second;
    ChildGuard secondGuard{second};
    second.setProcessEnvironment(env);
    DieWithParent(second);
    second.start(QStringLiteral(CELVIO_PROGRAM_PATH), {u"--station"_s, station});
    ASSERT_TRUE(second.waitForStarted(5000));
    RemoteKeyboard keyboard;
    ASSERT_TRUE(keyboard.Connect(screenPort, 10000));
    ASSERT_TRUE(WaitFor([&] { return FileText(shown).contains(u"box CELVIO: Another CELVIO program"_s); }, 20000))
        << qPrintable(FileText(shown));
    EXPECT_TRUE(WaitFor(
        [&] {
            keyboard.Press(kKeyReturn);
            return second.waitForFinished(500);
        },
        20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), kStationInUse);
    const QString holder = u"It is process %1 (celvio) on host %2."_s.arg(first.processId()).arg(QSysInfo::machineHostName());
    EXPECT_TRUE(FileText(shown).contains(holder)) << qPrintable(FileText(shown));
    EXPECT_TRUE(QString::fromLocal8Bit(second.readAllStandardError()).contains(holder));
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(LockHolder(station), first.processId());

    // The first program killed: its lock stays behind, and the next start takes it over.
    ::kill(pid_t(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(station + u"/CELVIO.LCK"_s));
    QProcess third;
    ChildGuard thirdGuard{third};
    StartWaiting(third, station, dir.path());
    ASSERT_TRUE(third.waitForStarted(5000));
    EXPECT_TRUE(WaitFor([&] { return LockHolder(station) == third.processId(); }, 20000));
    EXPECT_FALSE(third.waitForFinished(1000)) << "the new program ended: " << third.exitCode();
}

}  // namespace
}  // namespace celvio::testing
