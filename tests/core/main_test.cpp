// Main as a whole on the scripted platform: start-up, the quit path, window actions
// run from the program's own waits.
#include "cycle/main.h"
#include "support/station_fixture.h"

#include <QDir>
#include <QFile>

namespace celvio::testing {
namespace {

class MainTest : public StationFixture {
protected:
    void SetUp() override
    {
        WriteMinimalStation(QStringLiteral("LANGUAGE    EN\nSEARCHCOM   0\n"));
        AttachSimulator(1);
        AttachSimulator(2);
        platform.Press(QStringLiteral("COM&1"));  // the port question at start-up
    }

    static bool AtModeDialog(const App& a) { return a.Form1.Command2.Visible && a.Form1.Command2.Caption == QLatin1String("&Test"); }
};

TEST_F(MainTest, StartsTracesAndEndsThroughTheQuitQuestion)
{
    platform.Answer(QStringLiteral("restart the test"), msgbox::kYes);
    platform.Do(UiAction::Quit, AtModeDialog);
    platform.Answer(QStringLiteral("Do you really want to quit the program?"), msgbox::kNo);
    platform.Do(UiAction::Quit, AtModeDialog);
    platform.Answer(QStringLiteral("Do you really want to quit the program?"), msgbox::kYes);

    EXPECT_EQ(RunMain(app), 0);
    EXPECT_EQ(app.st.Version, QStringLiteral("2.02"));
    EXPECT_TRUE(app.Form1.Visible);
    ASSERT_GE(Trace().size(), 0);  // the trace was saved and the buffer emptied at shutdown
    const QString log = QString::fromLatin1(ReadStationBytes(QStringLiteral("DEBUG.LOG")));
    EXPECT_TRUE(log.startsWith(QStringLiteral("12-07-2026 10:00:00 Program 2.02 started.\r\n") +
                               QString(61, QLatin1Char('-')) + QStringLiteral("\r\n")))
        << qPrintable(log.left(200));
    EXPECT_TRUE(log.contains(QStringLiteral("Button = ESCAPE\r\n")));
    EXPECT_TRUE(log.endsWith(QStringLiteral("Program terminated.\r\n") + QString(26, QLatin1Char('-')) +
                             QStringLiteral("\r\n")));
    // The first quit question was declined: the mode dialog went on waiting.
    int quitQuestions = 0;
    for (const BoxRecord& box : platform.boxes)
        quitQuestions += box.text == QLatin1String("Do you really want to quit the program?");
    EXPECT_EQ(quitQuestions, 2);
}

TEST_F(MainTest, WindowActionsQueuedWhileAnActionWaitsRunAfterIt)
{
    // STOP is disabled at the mode dialog: the request is ignored without a question.
    platform.Do(UiAction::Stop, AtModeDialog);
    platform.Do(UiAction::About, AtModeDialog);
    EXPECT_EQ(RunMain(app), -1);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].title, QStringLiteral("ABOUT CELVIO"));
}

// The start of a cycle clears everything of the cycle before, its customer's texts and
// phones included, and keeps what the run set up: the service point, the settings, the
// tester and the band attenuations that the run has taken.
TEST(CycleResetTest, CustomerAndCycleStartAfreshTheRunStays)
{
    StationState st;
    st.ServicePointId = QStringLiteral("AB123");
    st.TestedBy = QStringLiteral("Bo");
    st.SwapFile = 1;
    st.SystemChoice = 3;
    st.TesterBusy = kTrue;
    st.TesterPort = 2;
    st.GsmBandAttenuation.first = 1.5;
    st.ClubZavarNumber = QStringLiteral("4711471147");
    st.FaultDescription = QStringLiteral("Display flickers badly");
    st.SwapComment = QStringLiteral("Scratched case");
    st.OldImei = QStringLiteral("351234000000017");
    st.Imei = QStringLiteral("351234560123457");
    st.ModelName = QStringLiteral("Orvane Q7");
    st.Verdict = Verdict::Aborted;
    st.StopRequested = kTrue;
    st.Command4Pressed = kTrue;
    st.ResultFilePath = QStringLiteral("/station/RESULTS/351234/0123457.TXT");

    st.ResetForNewCycle();
    for (const QString* cleared : {&st.ClubZavarNumber, &st.FaultDescription, &st.SwapComment, &st.OldImei, &st.Imei,
                                   &st.ModelName, &st.ResultFilePath})
        EXPECT_TRUE(cleared->isEmpty()) << qPrintable(*cleared);
    EXPECT_EQ(st.Verdict, Verdict::Passed);
    EXPECT_EQ(st.StopRequested, kFalse);
    EXPECT_EQ(st.Command4Pressed, kFalse);
    EXPECT_EQ(st.ServicePointId, QStringLiteral("AB123"));
    EXPECT_EQ(st.TestedBy, QStringLiteral("Bo"));
    EXPECT_EQ(st.SwapFile, 1);
    EXPECT_EQ(st.SystemChoice, 3);
    EXPECT_EQ(st.TesterBusy, kTrue);
    EXPECT_EQ(st.TesterPort, 2);
    EXPECT_EQ(st.GsmBandAttenuation.first, 1.5);
}

// A kill in the middle of an Archive left the claimed records beside the archive file:
// the next start-up merges them before anything reads the records.
TEST_F(MainTest, StartUpFinishesAnArchiveThatWasBrokenOff)
{
    const QString archive = QStringLiteral("RESULTS/LOG/BACKUP26/AB123L06.IME");
    QDir().mkpath(StationFile(QStringLiteral("RESULTS/LOG/BACKUP26")));
    WriteStationBytes(archive, "IWRIMEI\tV1.0\tAB123\t20261206\r\n# Handy Shop Nord\r\n"
                               "IMEI\t100000000000001\t\t\t20261206\tPASS\r\nEND\t 1 \r\n");
    WriteStationBytes(archive + QStringLiteral(".IN"), "IWRIMEI\tV1.0\tAB123\t20261207\r\n# Handy Shop Nord\r\n"
                                                      "IMEI\t200000000000001\t\t\t20261207\tFAIL\r\nEND\t 1 \r\n");
    platform.Answer(QStringLiteral("Do you really want to quit the program?"), msgbox::kYes);
    platform.Do(UiAction::Quit, AtModeDialog);
    EXPECT_EQ(RunMain(app), 0);
    EXPECT_EQ(ReadStationBytes(archive), QByteArray("IWRIMEI\tV1.0\tAB123\t20261206\r\n# Handy Shop Nord\r\n"
                                                    "IMEI\t100000000000001\t\t\t20261206\tPASS\r\n"
                                                    "IMEI\t200000000000001\t\t\t20261207\tFAIL\r\nEND\t 2 \r\n"));
    EXPECT_EQ(QDir(StationFile(QStringLiteral("RESULTS/LOG/BACKUP26"))).entryList(QDir::Files),
              QStringList{QStringLiteral("AB123L06.IME")});
    EXPECT_TRUE(QString::fromLatin1(ReadStationBytes(QStringLiteral("DEBUG.LOG")))
                    .contains(QStringLiteral("Unfinished archive completed: ") + StationFile(archive)));
}

}  // namespace
}  // namespace celvio::testing
