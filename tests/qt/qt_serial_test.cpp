// The real serial path: QtSerialPort and the transport over a pseudo-terminal.
#include "core/app.h"
#include "tester/transport.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/qt_serial_port.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace celvio::testing {
namespace {

// The far end of a pty, in raw mode, as a tester would sit on a serial line.
class PtyPeer {
public:
    PtyPeer()
    {
        if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0)
            return;
        termios tio{};
        tcgetattr(slave_, &tio);
        cfmakeraw(&tio);
        tcsetattr(slave_, TCSANOW, &tio);
        path_ = QString::fromLocal8Bit(ttyname(slave_));
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPeer()
    {
        if (master_ >= 0)
            close(master_);
        if (slave_ >= 0)
            close(slave_);
    }
    bool ok() const { return master_ >= 0; }
    QString path() const { return path_; }
    void Send(const QByteArray& bytes) { ASSERT_EQ(write(master_, bytes.constData(), bytes.size()), bytes.size()); }
    QByteArray Receive(int waitMs)
    {
        QByteArray got;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < waitMs) {
            char buf[256];
            const ssize_t n = read(master_, buf, sizeof buf);
            if (n > 0)
                got.append(buf, n);
            else if (got.endsWith('\n'))
                break;
            else
                QThread::msleep(5);
        }
        return got;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    QString path_;
};

TEST(QtSerialPortTest, DevicePathComesFromTheEnvironmentOrTheSystemDefault)
{
    QtSerialPort port;
    qunsetenv("CELVIO_COM4");
    EXPECT_EQ(port.DevicePath(4), QStringLiteral("/dev/ttyS3"));
    qputenv("CELVIO_COM4", "/tmp/tester-link");
    EXPECT_EQ(port.DevicePath(4), QStringLiteral("/tmp/tester-link"));
    qunsetenv("CELVIO_COM4");
}

TEST(QtSerialPortTest, PortErrorsMapToTheirNumbers)
{
    QTemporaryDir dir;
    qputenv("CELVIO_COM7", dir.filePath(QStringLiteral("nothing-here")).toLocal8Bit());
    QtSerialPort port;
    EXPECT_EQ(port.SetCommPort(7), 0);
    EXPECT_EQ(port.SetSettings(QStringLiteral("19200,X,8,1")), comm_error::kDefaultParametersInError);
    EXPECT_EQ(port.Open(), comm_error::kInvalidPortNumber);
    EXPECT_EQ(port.Output("x"), comm_error::kPortNotOpen);
    EXPECT_EQ(port.Close(), comm_error::kPortNotOpen);
    EXPECT_EQ(port.InBufferCount(), 0);
    qunsetenv("CELVIO_COM7");
}

TEST(QtSerialPortTest, SecondOpenOfTheSameDeviceIsHeldByAnotherProgram)
{
    PtyPeer peer;
    ASSERT_TRUE(peer.ok());
    qputenv("CELVIO_COM3", peer.path().toLocal8Bit());
    QtSerialPort first, second;
    first.SetCommPort(3);
    second.SetCommPort(3);
    ASSERT_EQ(first.Open(), 0);
    EXPECT_EQ(first.SetCommPort(4), comm_error::kOperationNotValidWhileOpen);
    EXPECT_EQ(second.Open(), comm_error::kHardwareNotAvailable);
    EXPECT_EQ(first.Open(), comm_error::kPortAlreadyOpen);
    qunsetenv("CELVIO_COM3");
}

TEST(QtSerialPortTest, CommandAndAnswerRoundTripOverAPseudoTerminal)
{
    PtyPeer peer;
    ASSERT_TRUE(peer.ok());
    qputenv("CELVIO_COM2", peer.path().toLocal8Bit());
    QTemporaryDir dir;
    QtPlatform platform(dir.path());
    App app(platform, dir.path());
    SerialPort& port = platform.Comm1();
    ASSERT_EQ(port.SetCommPort(2), 0);
    ASSERT_EQ(port.SetSettings(QStringLiteral("19200,N,8,1")), 0);
    ASSERT_EQ(port.SetHandshaking(true), 0);
    ASSERT_EQ(port.Open(), 0);

    SendCommand(app, QStringLiteral("*IDN?"));
    // Let the write leave the port, then answer it from the far end in two pieces.
    QByteArray received;
    for (int i = 0; i < 100 && !received.endsWith("\r\n"); ++i) {
        platform.ProcessEvents(10);
        received += peer.Receive(5);
    }
    EXPECT_EQ(received, QByteArray("*IDN?\r\n"));
    peer.Send("Dalvora,7703S,");
    peer.Send("1001234567,V3.20\r\n");
    EXPECT_EQ(ReadAnswer(app), QStringLiteral("Dalvora,7703S,1001234567,V3.20\r\n"));
    EXPECT_EQ(port.Close(), 0);
    qunsetenv("CELVIO_COM2");
}

}  // namespace
}  // namespace celvio::testing
