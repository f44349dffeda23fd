// Identification, resets, shutdown and a lost port of the tester in virtual time.
#include "support/station_fixture.h"
#include "tester/tester_control.h"
#include "tester/transport.h"
#include "tester_test_devices.h"

#include "sim/tester.h"

namespace celvio::testing {
namespace {

class TesterControlTest : public StationFixture {
protected:
    void SetUp() override
    {
        app.st.DebugMode = kTrue;
        app.st.Language = 1;
    }

    // The tester simulator on COM3, port open; `identity` replaces its "*IDN?" answer.
    std::shared_ptr<sim::Tester> Tester(const char* identity = "")
    {
        platform.serial.Close();
        auto tester = AttachSimulator(3, *identity ? QStringLiteral("tester.identity = ") + QLatin1String(identity)
                                                   : QString());
        OpenPort(3);
        return tester;
    }

    // Runs IdentifyTester; the exit code when it ended the program, else -1.
    int Identify()
    {
        try {
            IdentifyTester(app, kTrue);
        } catch (const ProgramEnd& end) {
            return end.exitCode;
        }
        return -1;
    }
};

TEST_F(TesterControlTest, IdentityIsTakenApartByPosition)
{
    const struct {
        const char* answer;
        const char* model;
        const char* serial;
        const char* firmware;
    } cases[] = {
        {"", "7703S", "1234567", "V3.20"},  // the simulator's own: Dalvora,7703S,1001234567,V3.20
        {"Dalvora,7703s,ABC7654321,FW 1.0,b", "7703s", "7654321", "FW 1.0,b"},
        {"Dalvora,770X,XYZ1234567", "770X", "1234567", ""},
        // Short or missing serial and firmware fields: the model decides, the rest is
        // kept as far as it goes.
        {"Dalvora,7703S,100123", "7703S", "123", ""},
        {"Dalvora,7806S,", "7806S", "", ""},
        {"Dalvora,7804S", "7804S", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        auto tester = Tester(c.answer);
        ASSERT_EQ(Identify(), -1);
        EXPECT_EQ(tester->receivedLines(), QStringList{QStringLiteral("*IDN?")});
        EXPECT_EQ(app.st.TesterModel + u'|' + app.st.TesterSerial + u'|' + app.st.TesterFirmware,
                  QStringLiteral("%1|%2|%3").arg(QLatin1String(c.model), QLatin1String(c.serial),
                                                 QLatin1String(c.firmware)));
        for (const ResultPage* page : {&app.Form3, &app.Form4}) {
            EXPECT_EQ(page->TesterSerial.Caption, QLatin1String(c.serial));
            EXPECT_EQ(page->Firmware.Caption, QLatin1String(c.firmware));
            EXPECT_EQ(page->TesterModel.ForeColor, kGreen);
        }
    }
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(TesterControlTest, ModelOutsideTheFamilyOrAMalformedAnswerEndsTheProgram)
{
    const struct {
        const char* answer;
        const char* modelLine;  // the second line of the message: the model that answered
    } cases[] = {
        {"Dalvora,7702S,1001234567,V3.20", "Model connected: 7702S"},   // not in the list
        {"Dalvora,7703SX,1001234567,V3.20", "Model connected: 7703SX"},  // longer than a listed model
        {"Dalvora,,1001234567,V3.20", "The tester gave no model."},      // empty model
        {"Dalvora,7703S 1001234567 V3.20", "Model connected: 7703S 1001234567 V3.20"},  // one comma
        {"Dalvora 7703S", "The tester gave no model."},                  // no comma at all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        platform.boxes.clear();
        auto tester = Tester(c.answer);
        EXPECT_EQ(Identify(), 1);
        EXPECT_EQ(Boxes(), QStringList{Box(QStringLiteral("ERROR"),
                                           QStringLiteral("WRONG MODEL CONNECTED.\r\n") + QLatin1String(c.modelLine) +
                                               QStringLiteral("\r\nPlease use model 7703S.\r\n"
                                                              "Unable to continue,\r\nConnect right model and restart."),
                                           msgbox::kOkOnly | msgbox::kCritical)});
        EXPECT_TRUE(platform.serial.IsOpen());  // the tester is left as it is
    }
    EXPECT_TRUE(app.st.TesterModel.isEmpty());
    // The trace of the run is kept for the service.
    EXPECT_TRUE(ReadStationBytes(QStringLiteral("DEBUG.LOG")).contains("--> *IDN?"));
}

TEST_F(TesterControlTest, ReleaseOfAnIdleTesterSendsOnlyLocal)
{
    auto tester = Tester();
    ReleaseTester(app, 0);
    EXPECT_EQ(tester->receivedLines(), QStringList{QStringLiteral("SYST:COMM:LOC")});
    EXPECT_EQ(platform.MonotonicMs(), 0);
}

TEST_F(TesterControlTest, ReleaseOfABusyTesterResetsAndWaitsForItsIdentity)
{
    auto tester = Tester();
    app.st.TesterBusy = kTrue;
    bool flowControlOff = false;
    platform.Await([&](const App&) { return flowControlOff = !platform.serial.Handshaking(); },
                   QStringLiteral("flow control off"));
    ReleaseTester(app, 0);
    EXPECT_EQ(tester->receivedLines(), QStringList{QStringLiteral("*RST;*IDN?")});
    EXPECT_TRUE(flowControlOff);
    EXPECT_TRUE(platform.serial.Handshaking());
    EXPECT_EQ(app.st.TesterBusy, 0);
    EXPECT_TRUE(platform.boxes.isEmpty());
}

// Every model of the family is accepted after its reset as at start-up: no false
// time-out for a 7804S or 7806S.
TEST_F(TesterControlTest, ReleaseAcceptsEveryModelOfTheFamily)
{
    const struct {
        const char* answer;
        bool accepted;
    } cases[] = {
        {"Dalvora,7703S,1001234567,V3.20\r\n", true}, {"Dalvora,7703M,1001234567,V3.20\r\n", true},
        {"Dalvora,770X,1001234567,V3.20\r\n", true},  {"Dalvora,7804S,1001234567,V3.20\r\n", true},
        {"Dalvora,7806S,100123\r\n", true},           {"Dalvora,7702S,1001234567,V3.20\r\n", false},
        {"Other,1234,7703S,V1\r\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        platform.boxes.clear();
        platform.serial.Close();
        platform.serial.devices[1] = std::make_shared<AnsweringDevice>(QByteArray(c.answer));
        OpenPort(1);
        app.st.TesterBusy = kTrue;
        const qint64 start = platform.MonotonicMs();
        ReleaseTester(app, 0);
        EXPECT_EQ(app.st.TesterBusy, c.accepted ? 0 : kTrue);
        EXPECT_EQ(platform.boxes.isEmpty(), c.accepted);
        if (c.accepted) {
            EXPECT_LT(platform.MonotonicMs() - start, 3000);
        }
    }
}

// A tester that goes away while it identifies itself: the loss is reported, and no
// "wrong model" follows it.
TEST_F(TesterControlTest, ConnectionLostDuringIdentificationIsNotAWrongModel)
{
    AttachScriptedDevice(3);
    OpenPort(3);
    platform.Await(
        [this](const App&) {
            if (platform.MonotonicMs() < 1000)
                return false;
            platform.serial.Lose();
            return true;
        },
        QStringLiteral("the adapter pulled"));
    EXPECT_EQ(Identify(), 1);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].title, QStringLiteral("No connection to tester"));
    EXPECT_EQ(Trace().last(), QStringLiteral("10:00:01--- ERROR: Connection lost during the tester identification."));
    EXPECT_TRUE(app.st.TesterModel.isEmpty());
}

TEST_F(TesterControlTest, ReleaseGivesUpOnATesterThatDoesNotIdentifyItself)
{
    platform.serial.devices[1] = std::make_shared<AnsweringDevice>(QByteArray("0\r\n"));
    OpenPort(1);
    app.st.TesterBusy = kTrue;
    ReleaseTester(app, 0);
    EXPECT_LE(platform.MonotonicMs(), 16'000);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_TRUE(platform.boxes[0].text.startsWith(QStringLiteral("The tester did not answer after its reset.")));
    EXPECT_EQ(Trace().last(), QStringLiteral("10:00:11--- ERROR: No answer to *RST;*IDN?. "));
    // Still marked busy, so that the end of the next cycle resets it again.
    EXPECT_EQ(app.st.TesterBusy, kTrue);
    EXPECT_TRUE(platform.serial.Handshaking());
}

TEST_F(TesterControlTest, ResetSendsRstWithoutFlowControlAndWaitsThreeSeconds)
{
    app.st.Language = 2;
    auto tester = Tester();
    app.st.TesterBusy = kTrue;
    bool flowControlOff = false;
    platform.Await([&](const App&) { return flowControlOff = !platform.serial.Handshaking(); },
                   QStringLiteral("flow control off"));
    ResetTester(app);
    EXPECT_EQ(tester->receivedLines(), QStringList{QStringLiteral("*RST")});
    EXPECT_TRUE(flowControlOff);
    EXPECT_TRUE(platform.serial.Handshaking());
    EXPECT_EQ(app.st.TesterBusy, 0);
    EXPECT_EQ(platform.MonotonicMs(), 3000);
    EXPECT_EQ(app.Form1.Label4.Caption, QStringLiteral("Zurücksetzen..."));
}

TEST_F(TesterControlTest, CloseTracesThePortAndEnds)
{
    EXPECT_THROW(CloseTester(app), ProgramEnd);
    EXPECT_EQ(QString::fromLatin1(ReadStationBytes(QStringLiteral("DEBUG.LOG"))),
              QStringLiteral("-> 10:00:00\r\n-> NO COM Port open.\r\nProgram terminated.\r\n") +
                  QString(26, QLatin1Char('-')) + QStringLiteral("\r\n"));

    app.DebugFrm.DebugFeld.clear();
    auto tester = Tester();
    EXPECT_THROW(CloseTester(app), ProgramEnd);
    EXPECT_EQ(tester->receivedLines(), QStringList{QStringLiteral("*RST")});
    EXPECT_FALSE(platform.serial.IsOpen());
    EXPECT_EQ(Trace().mid(1, 2), (QStringList{QStringLiteral("-> 10:00:01"), QStringLiteral("-> Close COM  3")}));
}

// A port that goes away under the program (a USB adapter pulled): reported once,
// and neither the transport nor its callers wait for it or spin.
using PortLossTest = StationFixture;

TEST_F(PortLossTest, LostWhileWaitingIsReportedOnceAndEndsEveryWait)
{
    app.st.DebugMode = kTrue;
    AttachScriptedDevice(3);
    OpenPort(3);
    platform.Await(
        [this](const App&) {
            if (platform.MonotonicMs() < 2000)
                return false;
            platform.serial.Lose();
            return true;
        },
        QStringLiteral("the adapter pulled"));
    SendCommand(app, QStringLiteral("*STB?"));
    EXPECT_EQ(ReadAnswer(app), QString());
    EXPECT_LT(platform.MonotonicMs(), 2100);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].title, QStringLiteral("No connection to tester"));
    EXPECT_EQ(platform.boxes[0].text,
              QStringLiteral("The connection to the tester at COM 3 (/dev/ttyS2) was lost:\r\n"
                             "Error reading comm device.\r\n\r\n"
                             "Please check the cable and the tester,\r\nthen quit and restart the program."));
    EXPECT_EQ(Trace().last(), QStringLiteral("10:00:02--- ERROR: Connection lost at COM 3 (/dev/ttyS2) "
                                             "Error =  8020 = Error reading comm device"));

    // Later commands and reads on the dead port: no further box, no wait, no spin.
    for (int i = 0; i < 100; ++i) {
        SendCommand(app, QStringLiteral("STAT:QUES:EVEN?"));
        EXPECT_EQ(ReadAnswer(app), QString());
    }
    EXPECT_LT(platform.MonotonicMs(), 2100 + 100 * 50);
    EXPECT_EQ(platform.boxes.size(), 1);
}

}  // namespace
}  // namespace celvio::testing
