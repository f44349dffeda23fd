// The call from the phone, the call to the phone and the speech loop-back question, in
// the cases that whole cycles do not reach.
#include "procedure_fixture.h"
#include "procedures/audio_test.h"
#include "procedures/call_tests.h"
#include "results/verdict.h"
#include "sim/tester.h"
#include "tester/transport.h"

namespace celvio::testing {
namespace {

class CallTest : public ProcedureTest {
protected:
    void SetUp() override { SetUpPages(); }

    // A simulator whose phone has registered.
    std::shared_ptr<sim::Tester> Registered(const QString& scenario = QString())
    {
        auto tester = Simulator(QStringLiteral("phone.registration = 1\n") + scenario);
        SendCommand(app, QStringLiteral("CALL:LOC;*STB?"));
        ReadAnswer(app);
        tester->clearReceived();
        return tester;
    }
};

TEST_F(CallTest, KeypadCallNotMadeTimesOutWithTheBarColours)
{
    auto tester = Registered(QStringLiteral("phone.dial = never"));
    app.st.MsCallTimeout = 20;
    platform.Await(BarAt(10, kYellow), QStringLiteral("yellow at 10"));
    platform.Await(BarAt(15, kRed), QStringLiteral("red at 15"));
    Keep(KeypadCallTest(app, CycleMode::Test));
    EXPECT_EQ(platform.StepsLeft(), 0);
    EXPECT_EQ(app.Form1.Progress.Value, 19);
    EXPECT_EQ(app.st.Verdict, Verdict::Aborted);
    EXPECT_EQ(CellsOf(app.Form3, RowId::MobileCall)[1], (Cell{QStringLiteral("* Failed"), kRed}));
    EXPECT_EQ(CellsOf(app.Form3, RowId::DialledNumber)[1].Caption, QStringLiteral("Not tested"));
    EXPECT_EQ(app.st.SummaryLines[1], QStringLiteral("Keypad Test: Failed "));
    EXPECT_FALSE(tester->receivedLines().contains(QStringLiteral("CALL:MSIN:NUMB?")));
}

TEST_F(CallTest, SwapCallWritesNoCellAndHashIsDecoded)
{
    Registered(QStringLiteral("phone.digits = 12#"));
    app.st.DialNumber = QStringLiteral("12#");
    Keep(KeypadCallTest(app, CycleMode::Swap));
    EXPECT_EQ(app.st.Verdict, Verdict::Passed);
    EXPECT_EQ(CellsOf(app.Form3, RowId::MobileCall)[1].Caption, QStringLiteral("Not tested"));
    EXPECT_TRUE(app.st.SummaryLines[1].isEmpty());
}

TEST_F(CallTest, StopDuringTheCallResetsTheTesterAndTouchesNoCell)
{
    auto tester = Registered(QStringLiteral("phone.dial = never"));
    app.Form1.MStop.Enabled = true;
    platform.Answer(QStringLiteral("restart the test"), msgbox::kYes);
    platform.Do(UiAction::Stop, [](const App& a) { return a.Form1.Progress.Value == 2; });
    Keep(KeypadCallTest(app, CycleMode::Test));
    EXPECT_TRUE(tester->receivedLines().contains(QStringLiteral("*RST")));
    EXPECT_FALSE(tester->receivedLines().contains(QStringLiteral("STAT:QUES:EVEN?")));
    EXPECT_EQ(CellsOf(app.Form3, RowId::MobileCall)[1].Caption, QStringLiteral("Not tested"));
}

TEST_F(CallTest, NoEchoAbortsEvenAfterAFailureAndIsTracedInGerman)
{
    Simulator();
    app.st.Language = 2;
    app.st.DebugMode = kTrue;
    app.st.Verdict = Verdict::Failed;
    app.Form1.Command3.Enabled = false;  // as an earlier dialog left it
    platform.Press(QStringLiteral("&Nein"));
    Keep(AudioTest(app, QStringLiteral(" 50")));
    EXPECT_EQ(app.st.Verdict, Verdict::Aborted);
    EXPECT_EQ(app.st.SummaryLines[4], QStringLiteral("Mikrofon / Lautsprecher: Fehler"));
    EXPECT_EQ(CellsOf(app.Form3, RowId::SpeechLoopback)[1], (Cell{QStringLiteral("* Fehler"), kRed}));
    EXPECT_TRUE(Trace().contains(QStringLiteral("Button = Audio NOT ok")));
    EXPECT_FALSE(app.Form1.Command2.Visible);
}

TEST_F(CallTest, ImpossibleRxLevelCountsAsNoWithoutAskingTheTester)
{
    auto tester = Simulator();
    Keep(AudioTest(app, QStringLiteral(" 64")));
    EXPECT_TRUE(tester->receivedLines().isEmpty());
    EXPECT_EQ(app.st.Verdict, Verdict::Aborted);
    EXPECT_EQ(CellsOf(app.Form3, RowId::SpeechLoopback)[1].Caption, QStringLiteral("* Failed"));
}

TEST_F(CallTest, StopAtTheEchoQuestionLeavesTheLoopBackOnAndTheCellUntouched)
{
    auto tester = Simulator();
    app.Form1.MStop.Enabled = true;
    platform.Answer(QStringLiteral("restart the test"), msgbox::kYes);
    platform.Do(UiAction::Stop, [](const App& a) { return a.Form1.Command2.Visible; });
    Keep(AudioTest(app, QStringLiteral(" 50")));
    EXPECT_FALSE(tester->receivedLines().contains(QStringLiteral("CONF:GSM:AUD:LOOP OFF")));
    EXPECT_EQ(CellsOf(app.Form3, RowId::SpeechLoopback)[1].Caption, QStringLiteral("Not tested"));
    EXPECT_TRUE(app.st.SummaryLines[4].isEmpty());
}

}  // namespace
}  // namespace celvio::testing
