// The real serial port: one round trip through QSerialPort over a pseudo-terminal, then
// the device lost: the tester simulator ends while the program waits for an answer, as
// when a USB adapter is pulled. The wait ends at once and the loss is reported once.
#include "e2e_support.h"

#include "core/app.h"
#include "shell/qt/qt_platform.h"
#include "tester/transport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

// The real platform, with message boxes recorded instead of shown.
class RecordingQtPlatform : public QtPlatform {
public:
    using QtPlatform::QtPlatform;
    int MsgBox(const QString& prompt, int, const QString& title) override
    {
        boxes << title + QLatin1Char('|') + prompt;
        return msgbox::kOk;
    }
    QStringList boxes;
};

TEST(PortLossEndToEnd, RoundTripThenTesterGoneWhileWaitingEndsTheWaitWithOneReport)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("com5"));
    QProcess sim;
    ChildGuard guard{sim};
    ASSERT_TRUE(StartTesterSim(sim, link, dir.filePath(QStringLiteral("tester.log"))));
    qputenv("CELVIO_COM5", link.toLocal8Bit());

    RecordingQtPlatform platform(dir.path());
    App app(platform, dir.path());
    SerialPort& port = platform.Comm1();
    ASSERT_EQ(port.SetCommPort(5), 0);
    ASSERT_EQ(port.SetSettings(QStringLiteral("19200,N,8,1")), 0);
    ASSERT_EQ(port.SetHandshaking(true), 0);
    ASSERT_EQ(port.Open(), 0);
    SendCommand(app, QStringLiteral("*IDN?"));
    EXPECT_EQ(ReadAnswer(app), QStringLiteral("Dalvora,7703S,1001234567,V3.20\r\n"));

    // A reset keeps the tester busy; the answer to the status query never comes.
    SendCommand(app, QStringLiteral("*RST;*STB?"));
    sim.kill();
    ASSERT_TRUE(sim.waitForFinished(5000));
    QElapsedTimer timer;
    timer.start();
    ReadAnswer(app);
    EXPECT_LT(timer.elapsed(), 10'000);
    EXPECT_FALSE(port.IsOpen());
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_TRUE(platform.boxes[0].startsWith(QStringLiteral("No connection to tester|")));
    EXPECT_TRUE(platform.boxes[0].contains(QStringLiteral("at COM 5 (") + link + QStringLiteral(") was lost")));

    // Further traffic neither waits nor reports again.
    timer.restart();
    SendCommand(app, QStringLiteral("*STB?"));
    ReadAnswer(app);
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(platform.boxes.size(), 1);
    qunsetenv("CELVIO_COM5");
}

}  // namespace
}  // namespace celvio::testing
