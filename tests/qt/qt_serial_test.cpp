// The real serial path: device paths, error numbers and a device held by another port.
#include "shell/qt/qt_serial_port.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

namespace celvio::testing {
namespace {

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

// (The round trip over a real pseudo-terminal is in the end-to-end tests.)
TEST(QtSerialPortTest, SecondOpenOfTheSameDeviceIsHeldByAnotherProgram)
{
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    qputenv("CELVIO_COM3", ttyname(slave));
    {
        QtSerialPort first, second;
        first.SetCommPort(3);
        second.SetCommPort(3);
        ASSERT_EQ(first.Open(), 0);
        EXPECT_EQ(first.SetCommPort(4), comm_error::kOperationNotValidWhileOpen);
        EXPECT_EQ(second.Open(), comm_error::kHardwareNotAvailable);
        EXPECT_EQ(first.Open(), comm_error::kPortAlreadyOpen);
    }
    qunsetenv("CELVIO_COM3");
    close(master);
    close(slave);
}

}  // namespace
}  // namespace celvio::testing
