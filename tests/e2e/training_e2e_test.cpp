// celvio --training as built, on a PC with no tester, no serial port and no station:
// the program lays out its training station from the sample station, starts its own
// tester simulator on a pseudo-terminal, identifies it, opens no serial device, and
// leaves nothing running when it ends.
#include "e2e_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;


// The devices the process has open.
QStringList OpenDevices(qint64 pid)
{
    QStringList devices;
    const QDir fds(u"/proc/%1/fd"_s.arg(pid));
    for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot))
        if (const QString target = QFileInfo(fds.filePath(fd)).symLinkTarget(); target.startsWith(u"/dev/"_s))
            devices << target;
    return devices;
}

TEST(TrainingEndToEnd, FreshPcWithoutTesterOrSerialPort)
{
    if (!HaveRemoteScreen())
        GTEST_SKIP() << "Qt's vnc platform plugin is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString home = dir.filePath(u"home"_s);
    ASSERT_TRUE(QDir().mkpath(home));
    const int screenPort = FreeTcpPort();
    ASSERT_GT(screenPort, 0);
    // Every COM port names a device that does not exist: training must not use them.
    QProcessEnvironment env = RemoteScreenEnvironment(dir.path(), 1, dir.filePath(u"no-tester"_s), screenPort);
    env.insert(u"HOME"_s, home);
    env.remove(u"CELVIO_STATION"_s);
    env.remove(u"CELVIO_TRAINING_STATION"_s);
    env.remove(u"XDG_DATA_HOME"_s);
    const QString shown = dir.filePath(u"shown.log"_s);
    env.insert(u"CELVIO_SHOWN_LOG"_s, shown);
    QProcess celvio;
    ChildGuard guard{celvio};
    celvio.setProcessEnvironment(env);
    celvio.setProcessChannelMode(QProcess::ForwardedChannels);
    DieWithParent(celvio);
    celvio.start(QStringLiteral(CELVIO_PROGRAM_PATH), {u"--training"_s});
    ASSERT_TRUE(celvio.waitForStarted(5000));
    RemoteKeyboard keyboard;
    ASSERT_TRUE(keyboard.Connect(screenPort, 10000));

    const QString training = home + u"/.local/share/celvio/TRAINING"_s;
    const QString simLog = training + u"/tester.log"_s;
    auto context = [&] { return u"\n--- shown:\n"_s + FileText(shown) + u"\n--- tester:\n"_s + FileText(simLog).right(2000); };
    // Presses `key` whenever `text` is on the screen, until `next` is.
    auto answer = [&](const QString& text, quint32 key, const QString& next) {
        EXPECT_TRUE(WaitFor([&] { return FileText(shown).contains(text); }, 30000)) << qPrintable(text) << qPrintable(context());
        return WaitFor(
            [&] {
                QThread::msleep(100);
                keyboard.Press(key);
                return WaitFor([&] { return FileText(shown).contains(next); }, 1500);
            },
            30000);
    };
    // The sample station's empty blocked-channel list, the port search screen, the
    // identification of the simulated tester, and the mode dialog.
    ASSERT_TRUE(answer(u"BADCHAN"_s, kKeyReturn, u"Setup Serial Port"_s)) << qPrintable(context());
    ASSERT_TRUE(answer(u"Setup Serial Port"_s, 'd', u"title Select mode"_s)) << qPrintable(context());
    EXPECT_TRUE(FileText(simLog).contains(u"host: *IDN?"_s)) << qPrintable(context());
    for (const QString& device : OpenDevices(celvio.processId()))
        EXPECT_TRUE(device.startsWith(u"/dev/pts/"_s) || device == u"/dev/null"_s || device.startsWith(u"/dev/shm"_s))
            << qPrintable(device);

    ASSERT_TRUE(answer(u"title Select mode"_s, kKeyEscape, u"Do you really want to quit"_s)) << qPrintable(context());
    keyboard.Press('y');
    ASSERT_TRUE(celvio.waitForFinished(20000)) << qPrintable(context());
    EXPECT_EQ(celvio.exitCode(), 0);
    // The simulator ends with the program; no station was made in the home folder.
    EXPECT_TRUE(WaitFor([&] { return FileText(simLog).contains(u" stopped"_s); }, 10000)) << qPrintable(context());
    EXPECT_FALSE(QFileInfo::exists(home + u"/CELVIO"_s));
    EXPECT_TRUE(QFileInfo::exists(training + u"/CELVIO.INI"_s));
    EXPECT_TRUE(QFileInfo::exists(training + u"/DEBUGPM.INI"_s));
}

}  // namespace
}  // namespace celvio::testing
