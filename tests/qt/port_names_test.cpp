// Which device a port number names (option, PORTS.INI, environment, default), and the
// plain-words message for a device the operator's account may not open.
#include "shell/qt/port_names.h"
#include "shell/qt/serial_devices.h"
#include "shell/qt/qt_serial_port.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(PortNamesTest, OptionBeatsPortsFileBeatsEnvironmentBeatsDefault)
{
    QTemporaryDir dir;
    const QString ports = dir.filePath(u"PORTS.INI"_s);
    WriteFile(ports, "; the tester's adapter\r\n"
                     "COM1=/dev/serial/by-id/usb-adapter-A\r\n"
                     "  com2 = /dev/ttyUSB1  \r\n"
                     "\r\n"
                     "# COM3=/dev/remark\r\n"
                     "COM3 /dev/ttyUSB9\r\n"
                     "COM17=/dev/ttyUSB3\r\n"
                     "COM4=\r\n");
    qputenv("CELVIO_COM1", "/dev/from-env-1");
    qputenv("CELVIO_COM2", "/dev/from-env-2");
    qputenv("CELVIO_COM3", "/dev/from-env-3");
    qunsetenv("CELVIO_COM4");

    PortNames names;
    QString problem;
    ASSERT_TRUE(names.AddOption(u"COM1=/dev/ttyUSB0"_s, problem));
    QStringList problems;
    names.ReadPortsFile(ports, problems);

    struct Case {
        int number;
        QString device;
        QString source;
    };
    const Case cases[] = {
        {1, u"/dev/ttyUSB0"_s, u"option"_s},
        {2, u"/dev/ttyUSB1"_s, u"PORTS.INI"_s},
        {3, u"/dev/from-env-3"_s, u"CELVIO_COM3"_s},
        {4, u"/dev/ttyS3"_s, u"default"_s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(names.Device(c.number), c.device) << c.number;
        EXPECT_EQ(names.Source(c.number), c.source) << c.number;
    }
    // The three lines that are not COMn=DEVICE are reported with their line numbers.
    ASSERT_EQ(problems.size(), 3);
    EXPECT_TRUE(problems[0].contains(u"line 6"_s)) << qPrintable(problems[0]);
    EXPECT_TRUE(problems[1].contains(u"line 7"_s)) << qPrintable(problems[1]);
    EXPECT_TRUE(problems[2].contains(u"line 8"_s)) << qPrintable(problems[2]);

    // The real port opens what the names say.
    QtSerialPort port;
    port.SetPortNames(names);
    EXPECT_EQ(port.DevicePath(1), u"/dev/ttyUSB0"_s);
    EXPECT_EQ(port.DevicePath(2), u"/dev/ttyUSB1"_s);
    for (const char* name : {"CELVIO_COM1", "CELVIO_COM2", "CELVIO_COM3"})
        qunsetenv(name);
}

TEST(PortNamesTest, MalformedOptionsAreRefusedWithTheirReason)
{
    PortNames names;
    for (const QString& option : {u"COM0=/dev/x"_s, u"COM17=/dev/x"_s, u"COM1"_s, u"COM1="_s, u"/dev/ttyUSB0"_s}) {
        QString problem;
        EXPECT_FALSE(names.AddOption(option, problem)) << qPrintable(option);
        EXPECT_TRUE(problem.contains(u"COMn=DEVICE"_s)) << qPrintable(problem);
    }
    QString problem;
    EXPECT_TRUE(names.AddOption(u"com16=/dev/ttyACM0"_s, problem));
    EXPECT_EQ(names.Device(16), u"/dev/ttyACM0"_s);
}

// Opens the device of COM 1 as an account without rights to it and returns what the
// port says: the error number in the exit status, the message on the pipe.
std::pair<int, QString> OpenWithoutRights(const QString& device)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {-1, QString()};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        // Root may open anything: become "nobody" first.
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        PortNames names;
        QString problem;
        names.AddOption(u"COM1="_s + device, problem);
        QtSerialPort port;
        port.SetPortNames(names);
        port.SetCommPort(1);
        const int error = port.Open();
        const QByteArray text = port.OpenProblem().toUtf8();
        if (write(pipeEnds[1], text.constData(), size_t(text.size())) < 0)
            _exit(101);
        _exit(error == 0 ? 0 : 1);
    }
    close(pipeEnds[1]);
    QByteArray text;
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, got);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, QString::fromUtf8(text)};
}

TEST(PortNamesTest, ADeviceTheAccountMayNotOpenIsNamedInPlainWords)
{
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const QString device = QString::fromLocal8Bit(ttyname(slave));
    ASSERT_EQ(chmod(ttyname(slave), 0), 0);
    const auto [status, problem] = OpenWithoutRights(device);
    if (status == 100)
        GTEST_SKIP() << "cannot change to an unprivileged account here";
    EXPECT_EQ(status, 1);
    EXPECT_EQ(problem, u"No permission to open "_s + device + u": add the operator to the group dialout"_s);

    // With the rights back, the same device opens and no problem is reported.
    chmod(ttyname(slave), 0666);
    const auto [statusOpen, problemOpen] = OpenWithoutRights(device);
    EXPECT_EQ(statusOpen, 0);
    EXPECT_TRUE(problemOpen.isEmpty()) << qPrintable(problemOpen);
    close(master);
    close(slave);
}

// The device list of the port choice and of --list-ports: devices named by an option or
// PORTS.INI that the system does not list come last, with their port, where they lead
// and whether they can be opened; the choice on screen wins over an option.
TEST(PortNamesTest, TheDeviceListAddsWhatTheStationNamesAndTheChoiceWins)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(u"ttyTESTER"_s);
    ASSERT_TRUE(QFile::link(u"/dev/null"_s, link));
    const QString missing = dir.filePath(u"ttyGONE"_s);
    PortNames names;
    QString problem;
    ASSERT_TRUE(names.AddOption(u"COM9="_s + link, problem));
    ASSERT_TRUE(names.AddOption(u"COM10="_s + missing, problem));
    const QList<SerialDeviceRow> rows = ListSerialDeviceRows(names);
    ASSERT_GE(rows.size(), 2);
    const SerialDeviceRow& named = rows[rows.size() - 2];
    EXPECT_EQ(named.path, link);
    EXPECT_EQ(named.target, u"/dev/null"_s);
    EXPECT_EQ(named.port, u"COM9"_s);
    EXPECT_EQ(named.namedBy, u"option"_s);
    EXPECT_EQ(named.openProblem, QString());
    EXPECT_EQ(rows.last().path, missing);
    EXPECT_EQ(rows.last().openProblem, u"the device does not exist"_s);
    const QList<SerialDeviceInfo> infos = ToDeviceInfos(rows);
    EXPECT_EQ(infos[rows.size() - 2].description, u"/dev/null, now COM9"_s);

    names.Choose(9, u"/dev/ttyUSB4"_s);
    EXPECT_EQ(names.Device(9), u"/dev/ttyUSB4"_s);
    EXPECT_EQ(names.Source(9), u"PORTS.INI"_s);
}

}  // namespace
}  // namespace celvio::testing
