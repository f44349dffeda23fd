// The port question in virtual time: the probe, the identity taken from the answer,
// and the three explanations after which the question comes back.
#include "core/files.h"
#include "core/settings.h"
#include "support/station_fixture.h"
#include "tester/port_select.h"
#include "tester_test_devices.h"

#include "sim/tester.h"

#include <QFile>

namespace celvio::testing {
namespace {

class PortSelectTest : public StationFixture {
protected:
    void SetUp() override
    {
        app.st.Language = 1;
        app.st.TesterSpeed = 2;
    }
};

TEST_F(PortSelectTest, OpensTheChosenPortAndRecordsTheTestersIdentity)
{
    auto tester = AttachSimulator(2, QStringLiteral("tester.serial = 0427703151\ntester.firmware = V4.01"));
    QString screen;
    platform.Await(
        [&screen](const App& a) {
            screen = a.Form1.Label3.Caption;
            return a.Form1.Command1.Visible;
        },
        QStringLiteral("the port question"));
    platform.Press(QStringLiteral("COM&2"));
    SelectTesterPort(app);

    EXPECT_EQ(screen, QStringLiteral("Please switch 7703S on and\r\nselect from 7703S setup menu :\r\n"
                                     "Baudrate  : 19200\r\nRxTx lines: Normal\r\nProtocol  : X-On/X-Off \r\n\r\n"
                                     "Which serial port will you use?\r\n"
                                     "COM1 \u2013 /dev/ttyS0\r\nCOM2 \u2013 /dev/ttyS1"));
    EXPECT_EQ(app.st.TesterPort, 2);
    EXPECT_TRUE(platform.serial.IsOpen());
    EXPECT_EQ(platform.serial.CommPort(), 2);
    EXPECT_EQ(platform.serial.Settings(), QStringLiteral("19200,N,8,1"));
    // The tester answered the first probe: nothing else was sent.
    EXPECT_EQ(tester->receivedLines(), QStringList{QStringLiteral("*IDN?")});
    EXPECT_EQ(app.st.TesterModel, QStringLiteral("7703S"));
    EXPECT_EQ(app.st.TesterSerial, QStringLiteral("7703151"));
    EXPECT_EQ(app.st.TesterFirmware, QStringLiteral("V4.01"));
    EXPECT_EQ(app.Form4.TesterSerial.Caption, QStringLiteral("7703151"));
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(PortSelectTest, EachFailureIsExplainedAndTheQuestionAskedAgain)
{
    const QString noTester = QStringLiteral("This COM port is not connected to a Dalvora Tester!\r\n"
                                            "Please connect the tester to the PC\r\nand select the right COM port.");
    const QString noAnswer = QStringLiteral("COM port might be not connected\r\nor the tester is switched off!\r\n"
                                            "Please switch on the tester and\r\ncheck settings of serial port.");
    const QString held = QStringLiteral("This COM port is already used!\r\nPlease select an other one.");
    auto scripted = [this](bool heldByOther) {
        auto d = std::make_shared<ScriptedDevice>(platform.Clock());
        d->heldByOther = heldByOther;
        return d;
    };
    const struct {
        const char* name;
        std::shared_ptr<SerialDevice> device;
        QString text;
        int probes;  // how often the probe went out per attempt
    } cases[] = {
        {"held by another program", scripted(true), held, 0},
        {"silent", scripted(false), noAnswer, 3},
        {"no such port", nullptr, noTester, 0},
        {"not a tester", std::make_shared<AnsweringDevice>("OK\r\n"), noTester, 1},
        {"model outside the family", std::make_shared<AnsweringDevice>("Dalvora,7702S,1001234567,V1\r\n"), noTester,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform.boxes.clear();
        platform.serial.devices.clear();
        const auto& device = c.device;
        if (device)
            platform.serial.devices[2] = device;
        AttachSimulator(1);
        // The failed port is chosen twice: the question comes back each time.
        platform.Press(QStringLiteral("COM&2"));
        platform.Press(QStringLiteral("COM&2"), 100);
        platform.Press(QStringLiteral("COM&1"), 100);
        SelectTesterPort(app);

        EXPECT_EQ(app.st.TesterPort, 1);
        EXPECT_EQ(platform.serial.CommPort(), 1);
        EXPECT_EQ(Boxes(), QStringList(2, Box(QStringLiteral("No connection to tester"), c.text,
                                              msgbox::kOkOnly | msgbox::kExclamation)));
        QByteArray written;
        if (auto answering = std::dynamic_pointer_cast<AnsweringDevice>(device))
            written = answering->Written();
        else if (auto silent = std::dynamic_pointer_cast<ScriptedDevice>(device))
            written = silent->Written();
        EXPECT_EQ(written, QByteArray("\r*IDN?\r").repeated(2 * c.probes));
        platform.serial.Close();
    }
}

TEST_F(PortSelectTest, ADeviceTheAccountMayNotOpenIsNamedInTheBoxAndTheTrace)
{
    auto forbidden = std::make_shared<ScriptedDevice>(platform.Clock());
    forbidden->forbidden = true;
    app.st.DebugMode = kTrue;
    platform.serial.devices[2] = forbidden;
    AttachSimulator(1);
    platform.Press(QStringLiteral("COM&2"));
    platform.Press(QStringLiteral("COM&1"), 100);
    SelectTesterPort(app);

    const QString problem = QStringLiteral("No permission to open /dev/ttyS1: add the operator to the group dialout");
    EXPECT_EQ(Boxes(), QStringList{Box(QStringLiteral("No connection to tester"), problem,
                                       msgbox::kOkOnly | msgbox::kExclamation)});
    EXPECT_TRUE(Trace().contains(problem));
    EXPECT_EQ(app.st.TesterPort, 1);
}

// The port button: the system's devices in a list, the one chosen written to PORTS.INI
// as COM1 (the file's other lines kept) and checked at once; a cancelled list or a file
// that cannot be written leaves COM1 as it was.
TEST_F(PortSelectTest, ThePortChosenFromTheListIsWrittenToThePortsFileAndChecked)
{
    const QString byId = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");
    platform.serialDevices = {{byId, QStringLiteral("/dev/ttyUSB0, FT232R USB UART")},
                              {QStringLiteral("/dev/ttyS0"), QString()}};
    WriteStationBytes(QStringLiteral("ports.ini"), "; the counter by the door\r\ncom1 = /dev/ttyUSB9\r\n"
                                                   "COM3=/dev/ttyS7\r\nCOM1=/dev/old\r\n");
    AttachSimulator(1);
    int answers = 0;
    // First the operator cancels the list; the second time the by-id device is chosen.
    platform.chooseRow = [&answers](const QStringList&) { return answers++ == 0 ? -1 : 0; };
    platform.Press(QStringLiteral("&Port..."));
    platform.Press(QStringLiteral("&Port..."), 100);
    SelectTesterPort(app);

    ASSERT_EQ(platform.lists.size(), 2);
    EXPECT_EQ(platform.lists[1],
              (QStringList{QStringLiteral("Serial port of the tester"),
                           QStringLiteral("Which device is the tester connected to? It becomes COM1."),
                           byId + QStringLiteral("  (/dev/ttyUSB0, FT232R USB UART)"), QStringLiteral("/dev/ttyS0")}));
    // The same name in any case is the same file; its remark and other port stay.
    EXPECT_EQ(ReadStationBytes(QStringLiteral("ports.ini")),
              "; the counter by the door\r\nCOM1=" + byId.toLatin1() + "\r\nCOM3=/dev/ttyS7\r\n");
    EXPECT_EQ(platform.serial.DevicePath(1), byId);
    EXPECT_EQ(app.st.TesterPort, 1);
    EXPECT_TRUE(platform.serial.IsOpen());
    EXPECT_TRUE(platform.boxes.isEmpty());

    // A ports file that cannot be written (a link at its name): told, and nothing renamed.
    platform.serial.Close();
    platform.serial.names.clear();
    QFile::remove(StationPath(app, QStringLiteral("ports.ini")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), StationPath(app, QStringLiteral("PORTS.INI"))));
    platform.Press(QStringLiteral("&Port..."));
    platform.Press(QStringLiteral("COM&1"), 100);
    SelectTesterPort(app);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_TRUE(platform.boxes[0].text.startsWith(QStringLiteral("File PORTS.INI not accessible !"))) << qPrintable(platform.boxes[0].text);
    EXPECT_EQ(platform.serial.DevicePath(1), QStringLiteral("/dev/ttyS0"));
}

// A German station: the question, the port button and its box speak German (the
// German texts as the station has always shown them, CR LF line ends included), while
// the COM buttons keep their names.
TEST_F(PortSelectTest, InGermanTheQuestionAndThePortButtonSpeakGerman)
{
    ReadSettingsBytes(app, "LANGUAGE    DEUTSCH\r\n");
    ASSERT_EQ(app.st.Language, 2);
    AttachSimulator(1);
    QString screen, portButton;
    platform.Await(
        [&](const App& a) {
            screen = a.Form1.Label3.Caption;
            portButton = a.Form1.Command4.Caption;
            return a.Form1.Command1.Visible;
        },
        QStringLiteral("the port question"));
    platform.Press(QStringLiteral("&Schnittstelle..."));
    platform.Press(QStringLiteral("COM&1"), 100);
    SelectTesterPort(app);

    EXPECT_EQ(app.Form1.Label4.Caption, QStringLiteral("Serielle Schnittstelle vorbereiten"));
    EXPECT_EQ(screen, QStringLiteral("Bitte schalten Sie den Tester ein und\r\nsetzen Sie die Baudrate auf 19200 Bd,\r\n"
                                     "RXTX-Leitungen normal, X-on/X-off.\r\n\r\n"
                                     "Welche serielle Schnittstelle w\u00e4hlen Sie?\r\n"
                                     "COM1 \u2013 /dev/ttyS0\r\nCOM2 \u2013 /dev/ttyS1"));
    EXPECT_EQ(portButton, QStringLiteral("&Schnittstelle..."));
    // The system has no serial device to list.
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_EQ(Boxes()[0], Box(QStringLiteral("Serielle Schnittstelle des Testers"),
                              QStringLiteral("Keine serielle Schnittstelle gefunden.\r\n"
                                             "Bitte verbinden Sie das Kabel des Testers mit dem PC."),
                              msgbox::kOkOnly | msgbox::kExclamation));
    EXPECT_EQ(app.st.TesterPort, 1);
}

}  // namespace
}  // namespace celvio::testing
