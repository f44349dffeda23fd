// Whole training cycles through the real Main, in virtual time: every phone of the
// Training menu chosen before its cycle, put in the simulated tester's coupler when
// the cycle's mode is chosen, and the verdict its description promises.
#include "core/files.h"
#include "core/training_mark.h"
#include "sim/tester.h"
#include "training/training_choices.h"
#include "training_fixture.h"

#include <QDir>
#include <QFile>

namespace celvio::testing {
namespace {

class TrainingCycleTest : public TrainingFixture {
protected:
    // Starts the program on a training station, the port search screen left with
    // "&Done", and `choice` chosen for the first cycle.
    void Start(int choice, const QString& settings = QString())
    {
        Boot(settings);
        platform.Press(QStringLiteral("&Done"));
        session->Choose(choice);
    }

    // The summary of the one cycle, as lines.
    QStringList Summary() const
    {
        EXPECT_EQ(session->Summaries().size(), 1);
        QByteArray bytes;
        ReadFileBytes(session->Summaries().value(0), bytes);
        return QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    }

    QString SummaryLine(const char* key) const
    {
        for (const QString& line : Summary())
            if (line.startsWith(QLatin1String(key)))
                return line.mid(qsizetype(qstrlen(key)));
        return QStringLiteral("(no line %1)").arg(QLatin1String(key));
    }

    // The result file of the cycle, relative to the training station.
    QByteArray ResultFile(const char* name) const { return TrainingBytes(QStringLiteral("RESULTS/") + QLatin1String(name)); }

    QString LastBoxText() const { return platform.boxes.isEmpty() ? QString() : platform.boxes.last().text; }
};

const QString kServicePoint = QStringLiteral("SWAPFILE    1\n");

const QByteArray kMarkLine = "TRAINING - not a test certificate\r\n";

TEST_F(TrainingCycleTest, GoodPhonePasses)
{
    Start(0);
    TestCycle();
    Verdict();
    ASSERT_TRUE(Run());
    EXPECT_EQ(verdicts, QStringList{QStringLiteral("Test Passed!")});
    const QByteArray file = ResultFile("351234/0123457.TXT");
    EXPECT_TRUE(file.startsWith(kMarkLine + "TEST REPORT - CELVIO : 2.02\r\n")) << file.left(80).constData();
    EXPECT_TRUE(file.contains("OVERALL TEST RESULT: Passed"));
    EXPECT_EQ(phoneChanges, 0);  // the good phone is in the coupler from the start
    EXPECT_EQ(SummaryLine("Simulated phone: "), QStringLiteral("A good phone"));
    EXPECT_EQ(SummaryLine("Verdict: "), QStringLiteral("Passed (result file written)"));
}

// The summary kept after a cycle: the phone, what the trainee should have seen, the
// verdict, and how long each screen waited for the trainee (here: the script's pauses).
TEST_F(TrainingCycleTest, SummaryTellsHowLongEachStepWaited)
{
    Start(6);
    platform.Press(QStringLiteral("&Test"), 4000);
    platform.Press(QStringLiteral("GSM 900"), 2500);
    platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("User Instruction"); },
                   QStringLiteral("the positioning instruction"));
    platform.Press(QStringLiteral("&Done"), 12000);
    platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Audio Test"); },
                   QStringLiteral("the echo question"));
    platform.Press(QStringLiteral("&Yes"), 3000);
    platform.Await([](const App& a) { return a.Form1.Command3.Caption == QLatin1String("&New test"); },
                   QStringLiteral("the verdict"));
    platform.Press(QStringLiteral("&New test"), 65000);
    ASSERT_TRUE(Run());
    const QStringList expected{
        "TRAINING - not a test certificate",
        "CELVIO training cycle",
        "Date: 07.12.2026  Time: 10:00:07",
        "Mode: TEST",
        "Simulated phone: Wrong digits dialled",
        "The trainee should see: The phone dials 0124 instead of 0123, the digits are marked: \"Test Failed!\".",
        "Verdict: Failed (result file written)",
        "Result file: RESULTS/351234/0678906.TXT",
        "",
        "Waits for the trainee:",
        "      0.0 s  Setup Serial Port",
        "      4.0 s  Select mode",
        "      2.5 s  Test Your Mobile phone!",
        "     12.0 s  User Instruction",
        "      3.0 s  Audio Test",
        "     65.0 s  Test Failed!",
        "Total: 86.6 s",
        "",
        "The program's trace of the cycle: DEBUG.LOG",
        ""};
    EXPECT_EQ(Summary(), expected);
    // The cycle's trace is in DEBUG.LOG already, not only when the program ends.
    const QByteArray trace = TrainingBytes(QStringLiteral("DEBUG.LOG"));
    EXPECT_TRUE(trace.contains("Training: simulated phone: Wrong digits dialled\r\n")) << trace.right(300).constData();
    EXPECT_TRUE(trace.contains("Result file written: ")) << trace.right(300).constData();
}

TEST_F(TrainingCycleTest, DualBandPhonePassesBothBands)
{
    Start(1);
    TestCycle("GSM 900/1800");
    Verdict();
    ASSERT_TRUE(Run());
    EXPECT_EQ(verdicts, QStringList{QStringLiteral("Test Passed!")});
    EXPECT_EQ(phoneChanges, 1);
    const QByteArray file = ResultFile("351234/0543215.TXT");
    EXPECT_TRUE(file.startsWith(kMarkLine));
    EXPECT_TRUE(file.contains("OVERALL TEST RESULT: Passed"));
    EXPECT_TRUE(file.contains("Cellular System: GSM900,1800"));
    EXPECT_TRUE(file.contains("Traffic Channel        :  882 \r\nTX Power 0 (30 dBm)    :  3"));
}

TEST_F(TrainingCycleTest, WeakTransmitterFails)
{
    Start(2);
    TestCycle();
    Verdict();
    ASSERT_TRUE(Run());
    EXPECT_EQ(verdicts, QStringList{QStringLiteral("Test Failed!")});
    const QByteArray file = ResultFile("351234/0234569.TXT");
    EXPECT_TRUE(file.contains("OVERALL TEST RESULT: Failed"));
    EXPECT_TRUE(file.contains("TX Power 5 (33 dBm)    : * 25 dBm       ( 30 - 36 dBm )"));
    EXPECT_EQ(SummaryLine("Verdict: "), QStringLiteral("Failed (result file written)"));
}

TEST_F(TrainingCycleTest, DeafReceiverFails)
{
    Start(3);
    TestCycle();
    Verdict();
    ASSERT_TRUE(Run());
    EXPECT_EQ(verdicts, QStringList{QStringLiteral("Test Failed!")});
    const QByteArray file = ResultFile("351234/0345670.TXT");
    EXPECT_TRUE(file.contains("OVERALL TEST RESULT: Failed"));
    EXPECT_TRUE(file.contains("RX Level")) << file.constData();
}

TEST_F(TrainingCycleTest, PhoneThatDoesNotRegister)
{
    Start(4);
    platform.Press(QStringLiteral("&Test"));
    platform.Press(QStringLiteral("GSM 900"));
    platform.Await([](const App& a) { return a.Form1.Label3.Caption.contains(QLatin1String("Network search failed!")); },
                   QStringLiteral("the retry question"));
    platform.Press(QStringLiteral("&No"));
    platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Select mode"); },
                   QStringLiteral("the mode dialog of the next cycle"));
    ASSERT_TRUE(Run());
    EXPECT_TRUE(verdicts.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(TrainingFile(QStringLiteral("RESULTS/351234"))));
    EXPECT_EQ(SummaryLine("Verdict: "), QStringLiteral("No verdict; the cycle ended early at: Network Search"));
}

TEST_F(TrainingCycleTest, CallNeverAnswered)
{
    Start(5);
    TestCycle("GSM 900", false);
    Verdict();
    ASSERT_TRUE(Run());
    EXPECT_EQ(verdicts, QStringList{QStringLiteral("Test Aborted!")});
    const QByteArray file = ResultFile("351234/0567893.TXT");
    EXPECT_TRUE(file.contains("Call From Base Station : * Failed\r\nSpeech Loopback        : Not tested")) << file.constData();
}

TEST_F(TrainingCycleTest, WrongDigitsDialled)
{
    Start(6);
    TestCycle();
    Verdict();
    ASSERT_TRUE(Run());
    EXPECT_EQ(verdicts, QStringList{QStringLiteral("Test Failed!")});
    EXPECT_TRUE(ResultFile("351234/0678906.TXT").contains("Dialled Number         : * 0124         ( 0123 )"));
}

TEST_F(TrainingCycleTest, UnreadableImeiIsTyped)
{
    Start(7);
    TestCycle();
    Verdict();
    ASSERT_TRUE(Run());
    EXPECT_EQ(verdicts, QStringList{QStringLiteral("Test Passed!")});
    const QByteArray file = ResultFile("999999/0000006.TXT");
    EXPECT_TRUE(file.startsWith(kMarkLine));
    EXPECT_TRUE(file.contains("IMEI: 999999000000006")) << file.left(600).constData();
}

TEST_F(TrainingCycleTest, SecondPhoneForASwap)
{
    ServicePoint();
    Start(8, kServicePoint);
    Swap("351234560123457");
    ASSERT_TRUE(Run());
    const QString iwr = QString::fromLatin1(TrainingBytes(QStringLiteral("RESULTS/LOG/AB123ACT.IWR")));
    EXPECT_TRUE(iwr.contains(QStringLiteral("SWAP\t351234560123457\t351234569876543\t*\t20261207\r\n"))) << qPrintable(iwr);
    // The customer's swap report, every page marked.
    ASSERT_EQ(platform.printer.documents.size(), 1);
    for (const QStringList& page : platform.printer.documents[0].pages)
        EXPECT_EQ(page.value(0), QStringLiteral("TRAINING - not a test certificate"));
    EXPECT_EQ(SummaryLine("Mode: "), QStringLiteral("SWAP"));
}

TEST_F(TrainingCycleTest, ScanBlocksTwoBusyChannelsAndStopsAtInterference)
{
    Start(9);
    platform.Press(QStringLiteral("&Scan"));
    platform.Press(QStringLiteral("&One Scan"));
    platform.Press(QStringLiteral("&Search more"));
    platform.Press(QStringLiteral("GSM 900"));
    QString headline;
    platform.Await(
        [&headline](const App& a) {
            if (!a.Form1.Command2.Visible || a.Form1.Command2.Caption != QLatin1String("&Done"))
                return false;
            headline = a.Form1.Label4.Caption;
            return true;
        },
        QStringLiteral("the end of the scan"));
    platform.Press(QStringLiteral("&Done"));
    ASSERT_TRUE(Run());
    EXPECT_EQ(headline, QStringLiteral("Scan interrupted"));
    EXPECT_EQ(TrainingBytes(QStringLiteral("BADCHAN.DAT")), QByteArray("\" 3, 8, 12,\"\r\n"));
    EXPECT_EQ(SummaryLine("Verdict: "), QStringLiteral("Scan ended: Scan interrupted"));
}

}  // namespace
}  // namespace celvio::testing
