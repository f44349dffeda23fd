// The command transport in virtual time: answers in pieces, several lines at once,
// odd line ends and a silent tester.
#include "core/station.h"
#include "support/station_fixture.h"
#include "tester/transport.h"

namespace celvio::testing {
namespace {

class TransportTest : public StationFixture {
protected:
    void SetUp() override
    {
        app.st.DebugMode = kTrue;
        device = AttachScriptedDevice(1);
        OpenPort(1);
    }
    std::shared_ptr<ScriptedDevice> device;
};

TEST_F(TransportTest, SendCommandAppendsCrLfAndTracesTheLine)
{
    SendCommand(app, QStringLiteral("*CLS"));
    SendCommand(app, QStringLiteral("SYST:COMM:REM:TEXT \" \" "));
    EXPECT_EQ(device->Written(), QByteArray("*CLS\r\nSYST:COMM:REM:TEXT \" \" \r\n"));
    ASSERT_EQ(Trace().size(), 2);
    EXPECT_EQ(Trace()[0], QStringLiteral("10:00:00--> *CLS"));
}

TEST_F(TransportTest, AnswerInPiecesIsAssembledUpToTheFirstLineEnd)
{
    device->Arrive(100, "7.2,2.1,");
    device->Arrive(900, "-38,553.1");
    device->Arrive(2500, ",33.2\r\n");
    SendCommand(app, QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3"));
    EXPECT_EQ(ReadAnswer(app), QStringLiteral("7.2,2.1,-38,553.1,33.2\r\n"));
    EXPECT_GE(platform.MonotonicMs(), 2500);
    EXPECT_LT(platform.MonotonicMs(), 2600);
    EXPECT_EQ(Trace().last(), QStringLiteral("10:00:02<-- 7.2,2.1,-38,553.1,33.2"));
}

TEST_F(TransportTest, TwoLinesArrivingTogetherAreReturnedTogether)
{
    device->Arrive(50, "1\r\n2\r\n");
    EXPECT_EQ(ReadAnswer(app), QStringLiteral("1\r\n2\r\n"));
    // Nothing of the second line is kept for the next call.
    device->Arrive(platform.MonotonicMs() + 50, "3\r\n");
    EXPECT_EQ(ReadAnswer(app), QStringLiteral("3\r\n"));
    EXPECT_EQ(Trace().last(), QStringLiteral("10:00:00<-- 3"));
}

TEST_F(TransportTest, AnswerEndingInLfWithoutCrIsReturnedButNotTraced)
{
    device->Arrive(20, "0123A\n");
    EXPECT_EQ(ReadAnswer(app), QStringLiteral("0123A\n"));
    EXPECT_TRUE(Trace().isEmpty());
    EXPECT_TRUE(platform.boxes.isEmpty());
}

// A tester that streams without a line end: after 64 KiB the answer counts as none,
// as soon as the stream has stopped, instead of growing for three minutes.
TEST_F(TransportTest, StreamWithoutLineEndIsCutOffAsNoAnswer)
{
    const QByteArray chunk(4096, 'x');
    for (int i = 0; i < 17; ++i)  // the 17th passes 64 KiB
        device->Arrive(10 + i * 10, chunk);
    device->Arrive(1000, "0\r\n");
    EXPECT_EQ(ReadAnswer(app), QString());
    EXPECT_LT(platform.MonotonicMs(), 1000);
    EXPECT_EQ(Boxes(), QStringList{Box(QStringLiteral("TESTER ERROR"),
                                       QStringLiteral("The answer of the tester was not readable:\r\n"
                                                      "more than 65536 characters without a line end.\r\n"
                                                      "Please check the cable and the speed set on the tester."),
                                       msgbox::kOkOnly | msgbox::kExclamation)});
    ASSERT_FALSE(Trace().isEmpty());
    EXPECT_TRUE(Trace().last().startsWith(
        QStringLiteral("10:00:00--- ERROR: Answer longer than  65536 characters without a line end, ignored: xxx")));
    // The next answer is read as usual; one of just under the cap is still an answer.
    EXPECT_EQ(ReadAnswer(app), QStringLiteral("0\r\n"));
    device->Arrive(platform.MonotonicMs() + 2000, QByteArray(60000, '1') + "\r\n");
    EXPECT_EQ(ReadAnswer(app).size(), 60002);
}

// A flood far longer than the cap, arriving in pieces with short gaps: all of it is
// thrown away, and the answer that follows it is read whole and in step.
TEST_F(TransportTest, TheRestOfAFloodIsDroppedSoTheNextAnswerIsReadInStep)
{
    const QByteArray chunk(32 * 1024, 'y');
    for (int i = 0; i < 32; ++i)  // 1 MiB, a piece every 100 ms
        device->Arrive(10 + i * 100, chunk);
    const qint64 floodEnd = 10 + 31 * 100;
    device->Arrive(floodEnd + 700, "001010123456789\r\n");
    EXPECT_EQ(ReadAnswer(app), QString());
    EXPECT_GE(platform.MonotonicMs(), floodEnd + 500);
    EXPECT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(ReadAnswer(app), QStringLiteral("001010123456789\r\n"));
    EXPECT_EQ(Trace().last(), QStringLiteral("10:00:03<-- 001010123456789"));

    // A stream that never stops ends at the answer's deadline, with its one box.
    for (int i = 0; i < 2000; ++i)
        device->Arrive(platform.MonotonicMs() + 10 + i * 100, chunk.left(100));
    const qint64 start = platform.MonotonicMs();
    EXPECT_EQ(ReadAnswer(app), QString());
    EXPECT_GE(platform.MonotonicMs() - start, 180'000);
    EXPECT_LE(platform.MonotonicMs() - start, 180'200);
    EXPECT_EQ(platform.boxes.size(), 2);
}

TEST_F(TransportTest, SilenceForThreeMinutesGivesOneBoxOneTraceLineAndAnEmptyAnswer)
{
    app.st.TesterBusy = 0;
    device->Arrive(179'000, "partial");
    const QString answer = ReadAnswer(app);
    EXPECT_EQ(answer, QStringLiteral("partial"));
    EXPECT_EQ(Boxes(), QStringList{Box(QStringLiteral("TIMEOUT ERROR"), QStringLiteral("No answer within 3 minutes."),
                                       msgbox::kOkOnly | msgbox::kExclamation)});
    ASSERT_EQ(Trace().size(), 1);
    EXPECT_EQ(Trace()[0], QStringLiteral("10:03:00--- ERROR: Timeout at input. "));
    EXPECT_EQ(app.st.TesterBusy, 0);
    EXPECT_GE(platform.MonotonicMs(), 180'000);
    EXPECT_LE(platform.MonotonicMs(), 180'100);

    // Nothing at all: an empty result, and the busy flag as it was.
    app.st.TesterBusy = kTrue;
    EXPECT_EQ(ReadAnswer(app), QString());
    EXPECT_EQ(app.st.TesterBusy, kTrue);
    EXPECT_EQ(platform.boxes.size(), 2);
}

TEST_F(TransportTest, DeadlineIsMeasuredAcrossMidnight)
{
    platform.watchdogMs = 24LL * 3600 * 1000;
    platform.Advance(14 * 3600 * 1000 - 60'000);  // 23:59:00
    device->Arrive(platform.MonotonicMs() + 120'000, "late\r\n");
    EXPECT_EQ(ReadAnswer(app), QStringLiteral("late\r\n"));
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(TransportTest, TesterIsBusyDuringTheWait)
{
    app.st.TesterBusy = 0;
    Flag seen = 0;
    platform.Await([&seen](const App& a) {
        seen = a.st.TesterBusy;
        return true;
    }, QStringLiteral("busy flag"));
    device->Arrive(500, "x\r\n");
    ReadAnswer(app);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(app.st.TesterBusy, 0);
}

}  // namespace
}  // namespace celvio::testing
