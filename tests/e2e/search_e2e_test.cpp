// CELVIO as built, on a tester simulator behind a real pseudo-terminal: with SEARCHCOM
// on it searches COM1..COM8, finds the tester at COM3, identifies it, reaches the mode
// dialog and, on the operator's quit, resets the tester and closes the port.
#include "e2e_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

TEST(SearchEndToEnd, FindsTheTesterAtCom3IdentifiesItAndQuitsCleanly)
{
    // The operator's screen is Qt's remote-screen platform: headless like "offscreen",
    // but it takes key presses, and the search starts only when "&Done" is pressed.
    if (!HaveRemoteScreen())
        GTEST_SKIP() << "Qt's vnc platform plugin is not installed";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString station = dir.filePath(QStringLiteral("station"));
    ASSERT_TRUE(QDir().mkpath(station));
    WriteFile(station + QStringLiteral("/CELVIO.INI"),
              "; test station\r\nLANGUAGE    EN\r\nSEARCHCOM   1\r\nCOMSPEED    2\r\n");
    WriteFile(station + QStringLiteral("/TAC6N.DAT"), "-9,STD\r\n");
    WriteFile(station + QStringLiteral("/MPN.DAT"), "[STD]\r\n");
    WriteFile(station + QStringLiteral("/BADCHAN.DAT"), "\" 30,\"\r\n");
    WriteFile(station + QStringLiteral("/DEBUGPM.INI"), "");

    const QString link = dir.filePath(QStringLiteral("com3"));
    const QString simLog = dir.filePath(QStringLiteral("tester.log"));
    QProcess sim;
    ChildGuard simGuard{sim};
    ASSERT_TRUE(StartTesterSim(sim, link, simLog));

    const int screenPort = FreeTcpPort();
    ASSERT_GT(screenPort, 0);
    const QProcessEnvironment env = RemoteScreenEnvironment(dir.path(), 3, link, screenPort);
    QProcess celvio;
    ChildGuard celvioGuard{celvio};
    ASSERT_TRUE(StartProgram(celvio, QStringLiteral(CELVIO_PROGRAM_PATH), {QStringLiteral("--station"), station}, env));

    RemoteKeyboard keyboard;
    ASSERT_TRUE(keyboard.Connect(screenPort, 10000));
    // "d" presses "&Done" once the set-up screen has the focus on it; it is no key of
    // the screens that follow, so pressing it again until the probe goes out is safe.
    auto simSaw = [&simLog](const char* line) { return FileText(simLog).contains(QLatin1String(line)); };
    ASSERT_TRUE(WaitFor(
        [&] {
            keyboard.Press('d');
            return WaitFor([&] { return simSaw("host: *RST;*IDN?"); }, 500);
        },
        20000))
        << qPrintable(FileText(simLog));
    // Identified, and the first cycle's "*CLS" is sent right before the mode dialog.
    ASSERT_TRUE(WaitFor([&] { return simSaw("host: *CLS"); }, 30000)) << qPrintable(FileText(simLog));
    EXPECT_EQ(celvio.state(), QProcess::Running);

    // Quit: Esc, then "y" for Yes in the question (again until the program has ended).
    ASSERT_TRUE(keyboard.Press(kKeyEscape));
    EXPECT_TRUE(WaitFor(
        [&] {
            keyboard.Press('y');
            return celvio.waitForFinished(500);
        },
        20000));
    EXPECT_EQ(celvio.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(celvio.exitCode(), 0);

    const QString received = FileText(simLog);
    QStringList hostLines;
    for (const QString& line : received.split(QLatin1Char('\n')))
        if (const qsizetype at = line.indexOf(QLatin1String("host: ")); at >= 0)
            hostLines << line.mid(at + 6);
    EXPECT_EQ(hostLines, (QStringList{QStringLiteral("*RST;*IDN?"), QStringLiteral("SYST:COMM:LOC"),
                                      QStringLiteral("*IDN?"), QStringLiteral("*CLS"), QStringLiteral("*RST")}));
    EXPECT_TRUE(received.contains(QLatin1String("line settings: 19200 baud, XON/XOFF on")));

    // The service trace, written at the end.
    const QStringList trace = FileText(station + QStringLiteral("/DEBUG.LOG")).split(QStringLiteral("\r\n"));
    auto traced = [&trace](const QString& tail) {
        for (const QString& line : trace)
            if (line.endsWith(tail))
                return true;
        return false;
    };
    for (int n : {1, 2}) {
        EXPECT_TRUE(traced(QStringLiteral("--> Preset COM  %1 19200,N,8,1").arg(n)));
        EXPECT_TRUE(traced(QStringLiteral(" COM %1 Error =  8002 = Invalid Port Number").arg(n)));
    }
    EXPECT_TRUE(traced(QStringLiteral("--> COM 3 active.")));
    EXPECT_TRUE(traced(QStringLiteral("--> Dalvora device found at COM 3")));
    EXPECT_FALSE(traced(QStringLiteral("--> Open COM 4")));
    EXPECT_TRUE(traced(QStringLiteral("<-- Dalvora,7703S,1001234567,V3.20")));
    EXPECT_TRUE(trace.contains(QStringLiteral("-> Close COM  3")));
    EXPECT_TRUE(trace.contains(QStringLiteral("Program terminated.")));
}

}  // namespace
}  // namespace celvio::testing
