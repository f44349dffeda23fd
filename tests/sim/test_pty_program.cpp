// celvio-testersim end to end: a real pseudo-terminal, opened through its
// link with a serial port as the program opens it.
#include "e2e/e2e_support.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using celvio::testing::ChildGuard;

namespace {

const QString kProgram = QStringLiteral(CELVIO_TESTERSIM_PATH);

QByteArray readLine(QSerialPort& port, int timeoutMs)
{
    QByteArray got;
    QElapsedTimer timer;
    timer.start();
    while (!got.contains('\n') && timer.elapsed() < timeoutMs) {
        port.waitForReadyRead(50);
        got += port.readAll();
    }
    return got;
}

QByteArray exchange(QSerialPort& port, const QByteArray& command, int timeoutMs = 5000)
{
    port.write(command);
    port.waitForBytesWritten(1000);
    return readLine(port, timeoutMs);
}

}  // namespace

TEST(TesterSimProgram, ServesTheTesterOnAPseudoTerminal)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("ttySIM"));
    const QString log = dir.filePath(QStringLiteral("sim.log"));
    QProcess child;
    ChildGuard guard{child};
    ASSERT_TRUE(celvio::testing::StartTesterSim(
        child, link, log, {"--set", "phone.registration=1", "--set", "phone.dial=0.5", "--set", "tester.reset_ms=200"}));

    QSerialPort port(link);
    port.setBaudRate(19200);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::SoftwareControl);
    ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << port.errorString().toStdString();

    EXPECT_EQ(exchange(port, "\r*RST;*IDN?\r"), QByteArray("Dalvora,7703S,1001234567,V3.20\r\n"));
    port.write("SYST:COMM:SER:TIM  10\r\nSYST:COMM:SER:TIM:STAT ON\r\n");
    QElapsedTimer registration;
    registration.start();
    EXPECT_EQ(exchange(port, "CALL:LOC;*STB?\r\n"), QByteArray("0\r\n"));
    EXPECT_GE(registration.elapsed(), 900); // the phone registers after 1 s
    EXPECT_EQ(exchange(port, "STAT:QUES:EVEN?\r\n"), QByteArray("0\r\n"));
    EXPECT_EQ(exchange(port, "CALL:MSOR;*STB?\r\n"), QByteArray("0\r\n"));
    const QByteArray measured = exchange(port, "MEAS:ARR:RFTR:GRO:ALL:MAV? 3\r\n");
    EXPECT_EQ(measured.count(','), 4) << measured.constData();
    EXPECT_TRUE(measured.endsWith("\r\n"));
    port.close();

    child.terminate();
    ASSERT_TRUE(child.waitForFinished(5000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());

    const QString text = celvio::testing::FileText(log);
    const QRegularExpression stamped(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d host: CALL:LOC;\\*STB\\?$"),
                                     QRegularExpression::MultilineOption);
    EXPECT_TRUE(stamped.match(text).hasMatch()) << text.toStdString();
    for (const char* expected : {"host: *RST;*IDN?", "tester: Dalvora,7703S,1001234567,V3.20",
                                 "host: SYST:COMM:SER:TIM  10", "host: MEAS:ARR:RFTR:GRO:ALL:MAV? 3"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(expected))) << expected;
}

TEST(TesterSimProgram, RefusesBadArgumentsScenariosAndRegularFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("ttySIM"));
    const QString plain = dir.filePath(QStringLiteral("plain"));
    QFile(plain).open(QIODevice::WriteOnly);
    const QString endless = dir.filePath(QStringLiteral("endless.scn"));
    QFile endlessFile(endless);
    ASSERT_TRUE(endlessFile.open(QIODevice::WriteOnly));
    endlessFile.write("# a call that takes for ever\nphone.bands = GSM\nphone.answer = 1e308\n");
    endlessFile.close();
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{}, "--link is required"},
        {{"--link", link, "--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--link", link, "--set", "seed"}, "expected key=value"},
        {{"--link", link, "--scenario", "/nonexistent/x.scn"}, "/nonexistent/x.scn"},
        {{"--link", link, "--scenario", endless}, "line 3: phone.answer: a delay cannot be longer than 86400 s"},
        {{"--link", link, "--set", "phone.dial=nan"}, "phone.dial: 'nan' is not a finite number"},
        {{"--link", plain}, "not a symbolic link"},
    };
    for (const auto& c : cases) {
        QProcess child;
        ChildGuard guard{child};
        child.start(kProgram, c.args);
        ASSERT_TRUE(child.waitForFinished(5000)) << c.message;
        EXPECT_NE(child.exitCode(), 0) << c.message;
        EXPECT_TRUE(child.readAllStandardError().contains(c.message)) << c.message;
    }
    EXPECT_FALSE(QFileInfo(link).exists());
    EXPECT_TRUE(QFileInfo(plain).isFile());
}

// A device that vanishes halfway through an answer: the half arrives, then the program
// ends by itself, the link goes and the client's port reports the loss.
TEST(TesterSimProgram, VanishingDeviceEndsTheProgramAfterItsHalfAnswer)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("ttySIM"));
    const QString log = dir.filePath(QStringLiteral("sim.log"));
    QProcess child;
    ChildGuard guard{child};
    ASSERT_TRUE(celvio::testing::StartTesterSim(
        child, link, log, {"--set", "fault.vanish_at=*IDN?", "--set", "fault.vanish_mid_answer=on"}));

    QSerialPort port(link);
    port.setBaudRate(19200);
    ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << port.errorString().toStdString();
    bool lost = false;
    QObject::connect(&port, &QSerialPort::errorOccurred, [&lost](QSerialPort::SerialPortError e) {
        lost = lost || e == QSerialPort::ResourceError || e == QSerialPort::ReadError;
    });
    EXPECT_EQ(exchange(port, "*STB?\r\n"), QByteArray("0\r\n"));
    port.write("*IDN?\r\n");
    port.waitForBytesWritten(1000);
    QByteArray half;
    QElapsedTimer timer;
    timer.start();
    while (!lost && timer.elapsed() < 3000) {
        port.waitForReadyRead(50);
        half += port.readAll();
    }
    EXPECT_EQ(half, QByteArray("Dalvora,7703S,10")); // 16 of the 32 bytes
    EXPECT_TRUE(lost);
    ASSERT_TRUE(child.waitForFinished(5000));
    EXPECT_EQ(child.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(celvio::testing::FileText(log).contains(QStringLiteral("fault: the device vanished")));
}
