// The automatic port search in virtual time: which ports it probes, what it traces,
// which devices it rejects, the box after two fruitless passes, and the search as the
// start-up runs it through the real Main.
#include "core/settings.h"
#include "support/station_fixture.h"
#include "tester/port_search.h"
#include "tester_test_devices.h"

#include "sim/tester.h"

#include <functional>

namespace celvio::testing {
namespace {

class PortSearchTest : public StationFixture {
protected:
    void SetUp() override
    {
        app.st.DebugMode = kTrue;
        app.st.TesterSpeed = 2;
        WriteStationBytes(QStringLiteral("Zoredudi.BMP"), "BM");
    }

    // The trace lines that contain `part`.
    QStringList TraceWith(const QString& part) const { return Trace().filter(part); }

    // Back at the set-up screen after the box, the operator takes away what `unplug`
    // removes, connects the tester to `port` and presses Done again.
    void ConnectTesterAfterTheBox(int port, const std::function<void()>& unplug = {})
    {
        platform.Await(
            [this, port, unplug](const App& a) {
                if (!a.Form1.Command1.Visible || platform.boxes.isEmpty())
                    return false;
                if (unplug)
                    unplug();
                AttachSimulator(port);
                return true;
            },
            QStringLiteral("the set-up screen after the box"));
        platform.Press(QStringLiteral("&Done"));
    }
};

TEST_F(PortSearchTest, FindsTheTesterBehindPortsThatFailEchoOrAnswerSomethingElse)
{
    // COM1 does not exist, COM2 echoes, COM3 answers but is no tester, COM4 is silent;
    // the tester is on COM5, beyond the COM1 - COM4 of the instructions.
    platform.serial.devices[2] = std::make_shared<EchoDevice>();
    auto other = std::make_shared<AnsweringDevice>(QByteArray("MODEM READY\r\n"));
    platform.serial.devices[3] = other;
    AttachScriptedDevice(4);
    auto tester = AttachSimulator(5);
    auto spare = AttachSimulator(6);
    platform.Press(QStringLiteral("&Done"));

    EXPECT_EQ(SearchTesterPort(app), 5);
    EXPECT_TRUE(platform.serial.IsOpen());
    EXPECT_EQ(platform.serial.Settings(), QStringLiteral("19200,N,8,1"));
    EXPECT_TRUE(platform.serial.Handshaking());
    EXPECT_EQ(tester->receivedLines(), QStringList{QStringLiteral("*RST;*IDN?")});
    EXPECT_TRUE(spare->receivedLines().isEmpty());
    EXPECT_EQ(other->Written(), QByteArray("\r*RST;*IDN?\r"));
    EXPECT_TRUE(platform.boxes.isEmpty());

    const QStringList trace = Trace();
    ASSERT_GE(trace.size(), 4);
    EXPECT_EQ(trace[0], QStringLiteral("Button = Done"));
    EXPECT_EQ(trace[1], QStringLiteral("10:00:00--> Preset COM  1 19200,N,8,1"));
    EXPECT_EQ(trace[2], QStringLiteral("10:00:00--> Open COM 1"));
    EXPECT_EQ(trace[3], QStringLiteral("10:00:00 COM 1 Error =  8002 = Invalid Port Number"));
    // The echo: rejected with 999 once the count is looked at, 3 seconds after the probe.
    EXPECT_EQ(TraceWith(QStringLiteral(" COM 2 Error")),
              QStringList{QStringLiteral("10:00:03 COM 2 Error =  999 = Answer = Query. IR Port ?")});
    EXPECT_EQ(TraceWith(QStringLiteral("Close COM  2")).size(), 1);
    // Something that is no tester is skipped without an error line.
    EXPECT_TRUE(TraceWith(QStringLiteral(" COM 3 Error")).isEmpty());
    EXPECT_EQ(TraceWith(QStringLiteral(" COM 4 Error")),
              QStringList{QStringLiteral("10:00:13 COM 4 Error =  1000 = Timeout or NO response")});
    EXPECT_EQ(trace.last(), QStringLiteral("10:00:16--> Dalvora device found at COM 5"));
    EXPECT_EQ(app.Form1.Label3.Caption, QStringLiteral("\r\n\r\nSearching for tester at COM 5:"));
}

// A port this account may not open is named in the box with the dialout hint, once,
// however many passes tried it.
TEST_F(PortSearchTest, APortTheAccountMayNotOpenIsNamedInTheBox)
{
    auto forbidden = std::make_shared<ScriptedDevice>(platform.Clock());
    forbidden->forbidden = true;
    platform.serial.devices[3] = forbidden;
    platform.Press(QStringLiteral("&Done"));
    ConnectTesterAfterTheBox(2);

    EXPECT_EQ(SearchTesterPort(app), 2);
    EXPECT_EQ(Boxes(), QStringList{Box(QStringLiteral("No connection to tester"),
                                       QStringLiteral("No COM port is  connected to a Dalvora tester!\r\n"
                                                      "Please connect the tester to the PC\r\n"
                                                      "and select the right settings.\r\n\r\n"
                                                      "No permission to open /dev/ttyS2: add the operator to the "
                                                      "group dialout"),
                                       msgbox::kOkOnly | msgbox::kExclamation)});
}

TEST_F(PortSearchTest, TwoFruitlessPassesEndInOneBoxAndTheScreenAgain)
{
    auto other = std::make_shared<AnsweringDevice>(QByteArray("Acme,X500,1234567890,1.0\r\n"));
    platform.serial.devices[1] = other;
    platform.Press(QStringLiteral("&Done"));
    // Back at the screen after the box, the operator connects the tester to COM2.
    ConnectTesterAfterTheBox(2, [this] { platform.serial.devices.erase(1); });

    EXPECT_EQ(SearchTesterPort(app), 2);
    EXPECT_EQ(Boxes(), QStringList{Box(QStringLiteral("No connection to tester"),
                                       QStringLiteral("No COM port is  connected to a Dalvora tester!\r\n"
                                                      "Please connect the tester to the PC\r\nand select the right settings."),
                                       msgbox::kOkOnly | msgbox::kExclamation)});
    // Probed once per pass, never traced as an error.
    EXPECT_EQ(other->Written(), QByteArray("\r*RST;*IDN?\r\r*RST;*IDN?\r"));
    EXPECT_EQ(TraceWith(QStringLiteral(" COM 1 Error")).size(), 1);  // only once it was gone
    EXPECT_EQ(TraceWith(QStringLiteral(" COM 1 Error =  8002")).size(), 1);
    EXPECT_EQ(TraceWith(QStringLiteral(" COM 8 Error =  8002")).size(), 2);
}

TEST_F(PortSearchTest, InstructionsAndPortUseOneSpeedAlsoForAnOutOfRangeSetting)
{
    const struct {
        int speed;
        const char* text;
    } cases[] = {{0, "4800"}, {3, "38400"}, {4, "19200"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speed);
        platform.serial.Close();
        app.st.TesterSpeed = quint8(c.speed);
        AttachSimulator(1);
        QString screen;
        platform.Await(
            [&screen](const App& a) {
                screen = a.Form1.Label3.Caption;
                return a.Form1.Command1.Visible;
            },
            QStringLiteral("the set-up screen"));
        platform.Press(QStringLiteral("&Done"));
        ASSERT_EQ(SearchTesterPort(app), 1);
        EXPECT_EQ(app.Form1.Label4.Caption, QStringLiteral("Setup Serial Port"));
        EXPECT_EQ(screen, QStringLiteral("Please connect the tester to your PC\r\nat port COM1 - COM4:\r\n\r\n"
                                         "Switch 7703S on and select from the \r\n7703S menu : Baudrate : ") +
                              QLatin1String(c.text) +
                              QStringLiteral(",\r\nRxTx lines : Normal\r\nProtocol : X-On/X-Off."));
        EXPECT_EQ(platform.serial.Settings(), QLatin1String(c.text) + QStringLiteral(",N,8,1"));
    }
}

// Start-up through the real Main with SEARCHCOM on.
using StartupLinkTest = StationFixture;

TEST_F(StartupLinkTest, SearchWithoutComSpeedFindsTheTesterAt19200AndReachesTheModeDialog)
{
    WriteMinimalStation(QStringLiteral("LANGUAGE    EN\nSEARCHCOM   1\n"));
    auto tester = AttachSimulator(4);
    QString screen;
    platform.Await(
        [&screen](const App& a) {
            screen = a.Form1.Label3.Caption;
            return a.Form1.Command1.Caption == QLatin1String("&Done");
        },
        QStringLiteral("the search screen"));
    platform.Press(QStringLiteral("&Done"));

    EXPECT_EQ(RunMain(app), -1);
    EXPECT_TRUE(screen.contains(QStringLiteral("7703S menu : Baudrate : 19200,\r\n"))) << qPrintable(screen);
    EXPECT_EQ(platform.serial.Settings(), QStringLiteral("19200,N,8,1"));
    EXPECT_EQ(app.st.TesterPort, 4);
    EXPECT_EQ(tester->receivedLines(), (QStringList{QStringLiteral("*RST;*IDN?"), QStringLiteral("SYST:COMM:LOC"),
                                                    QStringLiteral("*IDN?"), QStringLiteral("*CLS")}));
    EXPECT_EQ(app.Form3.TesterModel.Caption, QStringLiteral("7703S"));
    ExpectNoBoxes();
}

// A German station: the search screen's port button stays "&Port...", as it always was,
// and the list it opens speaks German.
TEST_F(PortSearchTest, InGermanThePortButtonKeepsItsNameAndItsListSpeaksGerman)
{
    ReadSettingsBytes(app, "LANGUAGE    DEUTSCH\r\n");
    ASSERT_EQ(app.st.Language, 2);
    platform.serialDevices = {{QStringLiteral("/dev/ttyUSB0"), QString()}};
    AttachSimulator(1);
    platform.Press(QStringLiteral("&Port..."));  // the list is cancelled
    platform.Press(QStringLiteral("&Done"), 100);

    EXPECT_EQ(SearchTesterPort(app), 1);
    ASSERT_EQ(platform.lists.size(), 1);
    EXPECT_EQ(platform.lists[0],
              (QStringList{QStringLiteral("Serielle Schnittstelle des Testers"),
                           QStringLiteral("An welcher Schnittstelle ist der Tester angeschlossen? Sie wird COM1."),
                           QStringLiteral("/dev/ttyUSB0")}));
}

}  // namespace
}  // namespace celvio::testing
