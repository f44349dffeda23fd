// Whole TEST cycles through the real Main, in virtual time, with the tester simulator
// and the scripted operator: the cells, the verdict, the summary lines and the command
// lines sent.
#include "cycle/main.h"
#include "procedure_fixture.h"
#include "results/result_pages.h"
#include "sim/tester.h"

namespace celvio::testing {
namespace {

const QString kSettings = QStringLiteral("LANGUAGE    ENGLISH\nDIALNO      0123 (dialled by the customer)\nSEARCHCOM   0\n"
    "TESTDETAIL  1\nSHOWLIMITS  1\nTOSEARCH    60\n") + QLatin1String(kCycleStation);

// What the screens showed when the verdict was up.
struct AtVerdict {
    bool seen = false;
    QString title;
    StationState st;
    ResultPage form3, form4;
    QString label5;
};

class CycleTest : public StationFixture {
protected:
    void SetUp() override
    {
        WriteStationFile(QStringLiteral("CELVIO.INI"), kSettings);
        WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-7,MPN.DAT\n351234,Orvane Q7\n-9,STD\n"));
        WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[STD]\n"
                                                                   "[Orvane Q7]\n"
                                                                   "BANDS=900,1800,1900\n"
                                                                   "(K530)\n"
                                                                   "RX900=1.5,2.5,3.5\n"
                                                                   "TX900=2,3,4\n"
                                                                   "RX1800=4.25,5,6\n"
                                                                   "TX1800=4.5,5.5,6.5\n"
                                                                   "RX1900=7,7.5,8\n"
                                                                   "TX1900=7,7.5,8\n"));
        // A blocked channel that none of the settings uses.
        WriteStationFile(QStringLiteral("BADCHAN.DAT"), QStringLiteral("\" 5,\"\n"));
    }

    // The simulator with a phone of the scenario, the port question answered with COM1.
    void Start(const QString& scenario = QString())
    {
        tester = AttachSimulator(1, QStringLiteral("phone.registration = 8\nphone.dial = 6\nphone.answer = 4\n") +
                                        scenario);
        platform.Press(QStringLiteral("COM&1"));
    }

    // A TEST cycle of `system` ("GSM 900", "GSM 900/1800", ...).
    void Test(const QString& system)
    {
        platform.Press(QStringLiteral("&Test"));
        platform.Press(system);
    }

    // Answers the echo question.
    void Echo(const char* caption)
    {
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Audio Test"); },
                       QStringLiteral("the echo question"));
        platform.Press(QString::fromLatin1(caption));
    }

    // Follows the measurement progress bar (maximum `maximum`) until the network call
    // starts, which takes the bar over for its own countdown.
    void FollowProgress(int maximum)
    {
        platform.Await(
            [this, maximum](const App& a) {
                if (a.Form1.Progress.Visible && a.Form1.Progress.Max == maximum)
                    progressReached = std::max(progressReached, a.Form1.Progress.Value);
                return a.Form1.Label4.Caption == QLatin1String("Testing Call Receive");
            },
            QStringLiteral("the measurements"));
    }

    // Takes a picture of the verdict screen, then starts a new test.
    void Verdict()
    {
        platform.Await(
            [this](const App& a) {
                if (!a.Form1.Command3.Visible || a.Form1.Command3.Caption != QLatin1String("&New test"))
                    return false;
                verdict = AtVerdict{true, a.Form1.Label4.Caption, a.st, a.Form3, a.Form4, a.Form1.Label5.Caption};
                verdicts << verdict;
                return true;
            },
            QStringLiteral("the verdict"));
        platform.Press(QStringLiteral("&New test"));
    }

    // The lines of the first TEST cycle, from its "*CLS" on.
    QStringList CycleLines() const
    {
        const QStringList all = tester->receivedLines();
        return all.mid(all.indexOf(QStringLiteral("*CLS")));
    }

    static bool InOrder(const QStringList& lines, const QStringList& wanted)
    {
        qsizetype at = 0;
        for (const QString& w : wanted) {
            at = lines.indexOf(w, at);
            if (at < 0)
                return false;
            ++at;
        }
        return true;
    }

    // One cycle of `system` on a phone of the scenario, to its verdict: `barMax` follows
    // the measurement bar of that maximum, `echo` answers the echo question (if asked).
    void RunCycle(const QString& scenario = QString(), const char* system = "GSM 900", int barMax = 0,
                  const char* echo = "&Yes")
    {
        Start(scenario);
        Test(QString::fromLatin1(system));
        if (barMax)
            FollowProgress(barMax);
        if (echo)
            Echo(echo);
        Verdict();
        EXPECT_EQ(RunMain(app), -1);
        ASSERT_TRUE(verdict.seen);
    }

    std::shared_ptr<sim::Tester> tester;
    AtVerdict verdict;            // the last verdict screen
    QList<AtVerdict> verdicts;  // every verdict screen
    int progressReached = -1;
};

QStringList TxStep(int step, const QString& channelLines, const QString& attenuation, int level, bool tmpl)
{
    QStringList l{QStringLiteral("SYST:COMM:REM:TEXT \"TX Test %1.Chan\"").arg(step)};
    if (!channelLines.isEmpty())
        l << channelLines << QStringLiteral("*STB?") << attenuation;
    l << QStringLiteral("CONF:GSM:MS:TCH:PLEV  %1").arg(level) << QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3");
    if (tmpl)
        l << QStringLiteral("MEAS:RFTR:TEMP?");
    return l;
}

TEST_F(CycleTest, SingleBandGsmPhonePasses)
{
    RunCycle(QString(), "GSM 900", 5);
    ExpectNoBoxes();

    QStringList expected{
        QStringLiteral("*CLS"),
        // Band configuration.
        QStringLiteral("*CLS;*ESR?"), QStringLiteral("SYST:COMM:REM:TEXT \"Initialize...\""),
        QStringLiteral("CONF:CSYS GSM;*STB?"), QStringLiteral("CONF:GSM:BS:CCH:ARFC  30"),
        QStringLiteral("CONF:GSM:BS:TCH:ARFC  20"), QStringLiteral("CONF:GSM:MS:CCH:PLEV  5"),
        QStringLiteral("CONF:GSM:MS:TCH:PLEV  5"), QStringLiteral("SYST:SETT:PATT:LEV 20,15"),
        QStringLiteral("RFG:GSM:LEV -60;*STB?"),
        // Network search.
        QStringLiteral("CONF:GSM:BS:TCH:ARFC  30"), QStringLiteral("RFG:GSM:LEV -60"),
        QStringLiteral("SYST:COMM:REM:TEXT \"Search Network...\""), QStringLiteral("SYST:COMM:SER:TIM  60"),
        QStringLiteral("SYST:COMM:SER:TIM:STAT ON"), QStringLiteral("CALL:LOC;*STB?"), QStringLiteral("STAT:QUES:EVEN?"),
        QStringLiteral("*CLS;SYST:COMM:SER:TIM:STAT OFF"),
        // Generator level, keypad call.
        QStringLiteral("RFG:GSM:LEV -60"), QStringLiteral("*STB?"), QStringLiteral("SYST:ERR?"),
        QStringLiteral("SYST:COMM:REM:TEXT \"MS Call...\""), QStringLiteral("SYST:COMM:SER:TIM  60"),
        QStringLiteral("SYST:COMM:SER:TIM:STAT ON"), QStringLiteral("CALL:MSOR;*STB?"), QStringLiteral("STAT:QUES:EVEN?"),
        QStringLiteral("*CLS"), QStringLiteral("SYST:COMM:SER:TIM:STAT OFF"),
        QStringLiteral("SYST:COMM:REM:TEXT \"Call active...\""), QStringLiteral("SYST:ERR?"),
        QStringLiteral("CALL:MSIN:NUMB?"),
        // Identification, receiver set-up.
        QStringLiteral("SYST:COMM:REM:TEXT \"Identify Mobile\""), QStringLiteral("CALL:MSIN:IMEI?"),
        QStringLiteral("CALL:MSIN:RLEV?"), QStringLiteral("CALL:MSIN:IMSI?"), QStringLiteral("RFG:GSM:LEV -60;*ESR?")};
    // T1 .. T6.
    expected << TxStep(1, QStringLiteral("CONF:GSM:BS:TCH:ARFC  20"), QStringLiteral("CONF:GSM:PATT:LEV  1.5, 2"), 5, true)
             << QStringLiteral("CALL:MSIN:RXL?") << QStringLiteral("CALL:MSIN:RXQ?")
             << TxStep(2, QStringLiteral("CONF:GSM:BS:TCH:ARFC  62"), QStringLiteral("CONF:GSM:PATT:LEV  2.5, 3"), 5, true)
             << TxStep(3, QStringLiteral("CONF:GSM:BS:TCH:ARFC  100"), QStringLiteral("CONF:GSM:PATT:LEV  3.5, 4"), 5, false)
             << QStringLiteral("CALL:MSIN:RXL?") << QStringLiteral("CALL:MSIN:RXQ?")
             << TxStep(3, QString(), QString(), 15, true);
    const QStringList release{QStringLiteral("SYST:COMM:REM:TEXT \"BS Clear\""), QStringLiteral("CALL:BSR;*ESR?"),
                              QStringLiteral("SYST:COMM:REM:TEXT \" \"")};
    expected << release
             << QStringList{QStringLiteral("SYST:COMM:REM:TEXT \"BS Call\""), QStringLiteral("SYST:COMM:SER:TIM  30"),
                            QStringLiteral("SYST:COMM:SER:TIM:STAT ON"), QStringLiteral("CALL:BSOR;*STB?"),
                            QStringLiteral("STAT:QUES:EVEN?"), QStringLiteral("*CLS"),
                            QStringLiteral("SYST:COMM:SER:TIM:STAT OFF"),
                            QStringLiteral("SYST:COMM:REM:TEXT \"Call active...\""), QStringLiteral("SYST:ERR?"),
                            QStringLiteral("SYST:COMM:REM:TEXT \"Speech Loopback\""), QStringLiteral("RFG:GSM:LEV -55"),
                            QStringLiteral("CONF:GSM:AUD:LOOP ON"), QStringLiteral("*STB?"),
                            QStringLiteral("CONF:GSM:AUD:LOOP OFF"), QStringLiteral("*STB?")}
             << release
             // The light reset before the verdict, then the next cycle.
             << QStringLiteral("SYST:COMM:LOC") << QStringLiteral("*CLS");
    EXPECT_EQ(CycleLines(), expected);

    EXPECT_EQ(verdict.title, QStringLiteral("Test Passed!"));
    EXPECT_EQ(verdict.st.Verdict, Verdict::Passed);
    EXPECT_EQ(verdict.st.SummaryLines[1], QStringLiteral("Keypad Test: Passed"));
    EXPECT_EQ(verdict.st.SummaryLines[2], QStringLiteral("Transmitter Test: Passed"));
    EXPECT_EQ(verdict.st.SummaryLines[3], QStringLiteral("Receiver Test: Passed"));
    EXPECT_EQ(verdict.st.SummaryLines[4], QStringLiteral("Microphone / Speaker Test: Passed"));
    EXPECT_EQ(progressReached, 4);
    EXPECT_EQ(verdict.label5, QStringLiteral("Testing Orvane Q7"));

    const ResultPage& p = verdict.form3;
    EXPECT_EQ(p.Mobile.Caption, QStringLiteral("Orvane Q7"));
    EXPECT_EQ(p.Imei.Caption, QStringLiteral("351234560123457"));
    EXPECT_EQ(p.Imsi.Caption, QStringLiteral("001010123456789"));
    EXPECT_EQ(p.RowName[int(RowId::RxLevel)].Caption, QStringLiteral("RX Level (50)"));
    // Every cell that the plan fills passed at once; the others say why they are empty.
    for (int c = 1; c <= 3; ++c) {
        for (const CellArray* cells : {&CellsOf(p, RowId::TxPower1), &CellsOf(p, RowId::PhaseRms), &CellsOf(p, RowId::PhasePeak), &CellsOf(p, RowId::Frequency), &CellsOf(p, RowId::BurstLength), &CellsOf(p, RowId::Template)}) {
            EXPECT_EQ((*cells)[c].ForeColor, kGreen) << c << qPrintable((*cells)[c].Caption);
            EXPECT_FALSE((*cells)[c].Caption.startsWith(QLatin1Char('*')));
        }
        if (c != 2) {
            EXPECT_EQ(CellsOf(p, RowId::RxLevel)[c].ForeColor, kGreen);
            EXPECT_EQ(CellsOf(p, RowId::RxQuality)[c].Caption, QStringLiteral(" 0"));
        }
    }
    EXPECT_TRUE(CellsOf(p, RowId::TxPower1)[1].Caption.endsWith(QLatin1String(" dBm")));
    EXPECT_EQ(CellsOf(p, RowId::TxPower3)[3].ForeColor, kGreen);
    EXPECT_EQ(CellsOf(p, RowId::TxPower3)[1].Caption, QStringLiteral("Not needed"));
    EXPECT_EQ(CellsOf(p, RowId::RxLevel)[2].Caption, QStringLiteral("Not needed"));
    for (const Cell* cell : {&CellsOf(p, RowId::MobileCall)[1], &CellsOf(p, RowId::BaseCall)[1], &CellsOf(p, RowId::SpeechLoopback)[1]})
        EXPECT_EQ(*cell, (Cell{QStringLiteral("Passed"), kGreen}));
    EXPECT_EQ(CellsOf(p, RowId::DialledNumber)[1], (Cell{QStringLiteral("0123"), kGreen}));
    // The second page was not used.
    EXPECT_EQ(CellsOf(verdict.form4, RowId::TxPower1)[1].Caption, QStringLiteral("Not tested"));
}

TEST_F(CycleTest, DualBandPhonePassesOnBothPages)
{
    RunCycle(QStringLiteral("phone.bands = GSM,PCN\nphone.imei = 351234570543215"), "GSM 900/1800", 8);
    ExpectNoBoxes();

    const QStringList lines = CycleLines();
    EXPECT_TRUE(lines.contains(QStringLiteral("CONF:CSYS GSM,PCN;*STB?")));
    const QStringList secondBand{
        QStringLiteral("CONF:PCN:PATT:LEV  2.5, 2.5"), QStringLiteral("CONF:PCN:MS:TCH:PLEV 4"),
        QStringLiteral("RFG:PCN:LEV -60;*STB?"),
        // D1
        QStringLiteral("SYST:COMM:REM:TEXT \"Dual Test 4.Chan\""), QStringLiteral("CONF:PCN:BS:TCH:ARFC  512;*STB?"),
        QStringLiteral("CONF:PCN:PATT:LEV  4.25, 4.5"), QStringLiteral("CONF:PCN:MS:TCH:PLEV  0"),
        QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3"), QStringLiteral("MEAS:RFTR:TEMP?"),
        // D2
        QStringLiteral("CALL:MSIN:RXL?"), QStringLiteral("CALL:MSIN:RXQ?"),
        // D3
        QStringLiteral("SYST:COMM:REM:TEXT \"Dual Test 5.Chan\""), QStringLiteral("CONF:PCN:BS:TCH:ARFC  698;*STB?"),
        QStringLiteral("CONF:PCN:PATT:LEV  5, 5.5"), QStringLiteral("CONF:PCN:MS:TCH:PLEV  0"),
        QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3"), QStringLiteral("MEAS:RFTR:TEMP?"),
        // D4, D5
        QStringLiteral("SYST:COMM:REM:TEXT \"Dual Test 6.Chan\""), QStringLiteral("CONF:PCN:BS:TCH:ARFC  884;*STB?"),
        QStringLiteral("CONF:PCN:PATT:LEV  6, 6.5"), QStringLiteral("CONF:PCN:MS:TCH:PLEV  0"),
        QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3"), QStringLiteral("CALL:MSIN:RXL?"), QStringLiteral("CALL:MSIN:RXQ?"),
        // D6: power slot 3 of the second band, the channel already set.
        QStringLiteral("SYST:COMM:REM:TEXT \"Dual Test 6.Chan\""), QStringLiteral("CONF:PCN:MS:TCH:PLEV  10"),
        QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3"), QStringLiteral("MEAS:RFTR:TEMP?"),
        QStringLiteral("SYST:COMM:REM:TEXT \"BS Clear\"")};
    const qsizetype start = lines.indexOf(secondBand.first());
    ASSERT_GE(start, 0);
    EXPECT_EQ(lines.mid(start, secondBand.size()), secondBand);

    EXPECT_EQ(verdict.title, QStringLiteral("Test Passed!"));
    EXPECT_EQ(verdict.st.Verdict, Verdict::Passed);
    EXPECT_EQ(progressReached, 7);
    EXPECT_EQ(verdict.st.SummaryLines[3], QStringLiteral("Receiver Test: Passed"));
    EXPECT_TRUE(verdict.st.SummaryLines[6].isEmpty());
    const ResultPage& q = verdict.form4;
    for (int c = 1; c <= 3; ++c)
        EXPECT_EQ(CellsOf(q, RowId::TxPower1)[c].ForeColor, kGreen) << qPrintable(CellsOf(q, RowId::TxPower1)[c].Caption);
    EXPECT_EQ(CellsOf(q, RowId::TxPower3)[3].ForeColor, kGreen);
    EXPECT_EQ(CellsOf(q, RowId::RxLevel)[3].ForeColor, kGreen);
    EXPECT_EQ(CellsOf(q, RowId::Template)[3].Caption, QStringLiteral(" Passed"));
    EXPECT_EQ(q.Channel[1].Caption, QStringLiteral("512"));
    EXPECT_EQ(q.Imei.Caption, QStringLiteral("351234570543215"));
    EXPECT_EQ(CellsOf(verdict.form3, RowId::Template)[3].Caption, QStringLiteral(" Passed"));
}

// Cycles that fail one measurement and go on to the end.
struct OutcomeCase {
    const char* name;
    const char* scenario;
    const char* dialNumber;  // a DIALNO line added to the settings, or null
    int verdict;
    int summaryLine;
    const char* summary;
    const Cell& (*cell)(const ResultPage&);
    const char* cellStart;
    Colour colour;
};
void PrintTo(const OutcomeCase& c, std::ostream* os)
{
    *os << c.name;
}

class OutcomeCycleTest : public CycleTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(OutcomeCycleTest, FailureIsMarkedInItsCellAndSummaryAndTheCycleGoesOn)
{
    const OutcomeCase c = GetParam();
    if (c.dialNumber)
        WriteStationFile(QStringLiteral("CELVIO.INI"), kSettings + QLatin1String(c.dialNumber));
    RunCycle(QString::fromLatin1(c.scenario));
    const Cell& cell = c.cell(verdict.form3);
    EXPECT_TRUE(cell.Caption.startsWith(QLatin1String(c.cellStart))) << qPrintable(cell.Caption);
    EXPECT_EQ(cell.ForeColor, c.colour);
    EXPECT_EQ(verdict.st.Verdict, celvio::Verdict(c.verdict));
    EXPECT_EQ(verdict.title, c.verdict ? QStringLiteral("Test Failed!") : QStringLiteral("Test Passed!"));
    EXPECT_EQ(verdict.st.SummaryLines[c.summaryLine], QString::fromLatin1(c.summary));
    // The calls ran and passed; an earlier failure stays in the verdict.
    for (const Cell* call : {&CellsOf(verdict.form3, RowId::MobileCall)[1], &CellsOf(verdict.form3, RowId::BaseCall)[1],
                             &CellsOf(verdict.form3, RowId::SpeechLoopback)[1]})
        EXPECT_EQ(*call, (Cell{QStringLiteral("Passed"), kGreen}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutcomeCycleTest,
    ::testing::Values(
        // A power failure at the first step that recovers on repetition, and one that does not.
        OutcomeCase{"power recovers", "fault.tx_power_offset = 6\nfault.tx_power_attempts = 1", nullptr, 1, 2,
                    "Transmitter Test: Passed", [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::TxPower1)[1]; }, "!",
                    kRepeatGreen},
        OutcomeCase{"power stays bad", "fault.tx_power_offset = 6\nfault.tx_power_attempts = 1,2", nullptr, 1, 2,
                    "Transmitter Test: Failed", [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::TxPower1)[1]; }, "*",
                    kRed},
        // The receiver's failure stands in the summary after the network call.
        OutcomeCase{"rx level", "fault.rxlev_offset = -10\nfault.rxlev_attempts = 1,2", nullptr, 1, 3,
                    "Receiver Test: Failed", [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::RxLevel)[1]; }, "* ",
                    kRed},
        OutcomeCase{"wrong digits", "phone.digits = 0124", nullptr, 1, 1, "Keypad Test: Failed",
                    [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::DialledNumber)[1]; }, "* 0124", kRed},
        // The tester reports a frequency error of 1E19 Hz: no reading, so it fails.
        OutcomeCase{"frequency 1E19", "fault.garbage_prefix = MEAS:ARR:RFTR\nfault.garbage_text = 7,2,1E19,553,33",
                    nullptr, 1, 2, "Transmitter Test: Failed",
                    [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::Frequency)[1]; }, "* 1E19 Hz", kRed},
        // The instrument's "not a number" in every field.
        OutcomeCase{"not a number",
                    "fault.garbage_prefix = MEAS:ARR:RFTR\nfault.garbage_text = 9.91E37,9.91E37,9.91E37,553,33", nullptr,
                    1, 2, "Transmitter Test: Failed", [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::PhasePeak)[1]; },
                    "* 9.91E37 deg", kRed},
        OutcomeCase{"rx level NAN", "fault.garbage_prefix = CALL:MSIN:RXL\nfault.garbage_text = NAN", nullptr, 1, 3,
                    "Receiver Test: Failed", [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::RxLevel)[1]; }, "* NAN",
                    kRed},
        // "*" is reported as "A" and matches the DIALNO's "*".
        OutcomeCase{"star dialled", "phone.digits = 0123*", "DIALNO      0123* \n", 0, 1, "Keypad Test: Passed",
                    [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::DialledNumber)[1]; }, "0123*", kGreen}));

// A model whose block says NOKEYBD: the dialled digits do not count, so wrong digits
// do not fail the phone; a keypad call that never came up still does.
TEST_F(CycleTest, ModelWithoutKeypadTestIsNotFailedByTheDialledDigits)
{
    WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[STD]\n[Orvane Q7]\nBANDS=900\nNOKEYBD=1\n(K530)\n"
                                                               "RX900=1.5,2.5,3.5\nTX900=2,3,4\n"));
    RunCycle(QStringLiteral("phone.digits = 0124"));
    EXPECT_EQ(verdict.title, QStringLiteral("Test Passed!"));
    EXPECT_EQ(verdict.st.Verdict, Verdict::Passed);
    EXPECT_EQ(CellsOf(verdict.form3, RowId::DialledNumber)[1], (Cell{QStringLiteral("Not needed"), kYellow}));
    EXPECT_EQ(CellsOf(verdict.form3, RowId::MobileCall)[1], (Cell{QStringLiteral("Passed"), kGreen}));
    EXPECT_TRUE(verdict.st.SummaryLines[1].isEmpty());
}

TEST_F(CycleTest, NoRegistrationIsRetriedOnYes)
{
    // The phone takes longer to register than the first search allows.
    Start(QStringLiteral("phone.registration = 15"));
    WriteStationFile(QStringLiteral("CELVIO.INI"),
                     kSettings + QStringLiteral("TOSEARCH    12\n"));
    Test(QStringLiteral("GSM 900"));
    QString question;
    platform.Await(
        [&](const App& a) {
            question = a.Form1.Label3.Caption;
            if (!a.Form1.Command2.Visible || a.Form1.Command2.Caption != QLatin1String("&Yes"))
                return false;
            app.st.SearchTimeout = 30;  // the operator lets the retry wait longer
            return true;
        },
        QStringLiteral("question 4"));
    platform.Press(QStringLiteral("&Yes"));
    Echo("&Yes");
    Verdict();
    try {
        EXPECT_EQ(RunMain(app), -1);
    } catch (const ScriptStuck& stuck) {
        FAIL() << qPrintable(stuck.what);
    }
    ExpectNoBoxes();
    ASSERT_TRUE(verdict.seen);
    EXPECT_EQ(question, QStringLiteral("Network search failed!\r\nRetry ?"));
    EXPECT_EQ(verdict.st.Verdict, Verdict::Passed);
    EXPECT_EQ(verdict.title, QStringLiteral("Test Passed!"));
    const QStringList lines = CycleLines();
    EXPECT_EQ(lines.count(QStringLiteral("CALL:LOC;*STB?")), 2);
    EXPECT_TRUE(InOrder(lines, {QStringLiteral("CALL:LOC;*STB?"), QStringLiteral("SYST:COMM:SER:TIM 1"),
                                QStringLiteral("CALL:MSOR;*ESR?"), QStringLiteral("*CLS;SYST:COMM:SER:TIM:STAT OFF"),
                                QStringLiteral("SYST:COMM:SER:TIM  30"), QStringLiteral("CALL:LOC;*STB?"),
                                QStringLiteral("CALL:MSIN:IMEI?")}));
}

TEST_F(CycleTest, NoRegistrationAnsweredNoEndsTheCycleWithTheLightReset)
{
    Start(QStringLiteral("phone.registration = never"));
    Test(QStringLiteral("GSM 900"));
    platform.Press(QStringLiteral("&No"));
    EXPECT_EQ(RunMain(app), -1);
    ExpectNoBoxes();
    const QStringList lines = CycleLines();
    const qsizetype end = lines.indexOf(QStringLiteral("*CLS;SYST:COMM:SER:TIM:STAT OFF"));
    ASSERT_GE(end, 0);
    EXPECT_EQ(lines.mid(end), (QStringList{QStringLiteral("*CLS;SYST:COMM:SER:TIM:STAT OFF"),
                                           QStringLiteral("SYST:COMM:LOC"), QStringLiteral("*CLS")}));
    EXPECT_FALSE(lines.contains(QStringLiteral("CALL:MSIN:IMEI?")));
}

TEST_F(CycleTest, NetworkCallNotAnsweredAbortsStraightToTheVerdict)
{
    RunCycle(QStringLiteral("phone.answer = never"), "GSM 900", 0, nullptr);
    EXPECT_EQ(verdict.st.Verdict, Verdict::Aborted);
    EXPECT_EQ(verdict.title, QStringLiteral("Test Aborted!"));
    EXPECT_EQ(CellsOf(verdict.form3, RowId::BaseCall)[1], (Cell{QStringLiteral("* Failed"), kRed}));
    EXPECT_EQ(CellsOf(verdict.form3, RowId::SpeechLoopback)[1].Caption, QStringLiteral("Not tested"));
    EXPECT_EQ(verdict.st.SummaryLines[3], QStringLiteral("Receiver Test: Not Tested"));
    const QStringList lines = CycleLines();
    EXPECT_FALSE(lines.contains(QStringLiteral("SYST:COMM:REM:TEXT \"Speech Loopback\"")));
    EXPECT_EQ(lines.count(QStringLiteral("SYST:COMM:REM:TEXT \"BS Clear\"")), 1);
    // The call attempt may still be running: the full reset.
    EXPECT_TRUE(InOrder(lines, {QStringLiteral("CALL:BSOR;*STB?"), QStringLiteral("STAT:QUES:EVEN?"),
                                QStringLiteral("*CLS"), QStringLiteral("*RST")}));
}

TEST_F(CycleTest, NoEchoAbortsButTheCallIsStillReleased)
{
    RunCycle(QString(), "GSM 900", 0, "&No");
    EXPECT_EQ(verdict.st.Verdict, Verdict::Aborted);
    EXPECT_EQ(verdict.title, QStringLiteral("Test Aborted!"));
    EXPECT_EQ(CellsOf(verdict.form3, RowId::SpeechLoopback)[1], (Cell{QStringLiteral("* Failed"), kRed}));
    EXPECT_EQ(verdict.st.SummaryLines[4], QStringLiteral("Microphone / Speaker Test: Failed"));
    EXPECT_TRUE(InOrder(CycleLines(),
                        {QStringLiteral("CONF:GSM:AUD:LOOP OFF"), QStringLiteral("*STB?"),
                         QStringLiteral("SYST:COMM:REM:TEXT \"BS Clear\""), QStringLiteral("CALL:BSR;*ESR?"),
                         QStringLiteral("SYST:COMM:REM:TEXT \" \""), QStringLiteral("SYST:COMM:LOC")}));
}

TEST_F(CycleTest, StopDuringTheNetworkSearchResetsTheTesterWithoutAVerdict)
{
    Start(QStringLiteral("phone.registration = never"));
    Test(QStringLiteral("GSM 900"));
    platform.Answer(QStringLiteral("Do you really want to restart the test?"), msgbox::kYes);
    platform.Do(UiAction::Stop, [](const App& a) { return a.Form1.Progress.Visible && a.Form1.Progress.Value == 3; });
    bool verdictShown = false;
    platform.Await(
        [&](const App& a) {
            const QString title = a.Form1.Label4.Caption;
            verdictShown = verdictShown || title == QLatin1String("Test Passed!") ||
                           title == QLatin1String("Test Failed!") || title == QLatin1String("Test Aborted!");
            return a.Form1.Command2.Visible && a.Form1.Command2.Caption == QLatin1String("&Test");
        },
        QStringLiteral("the mode dialog"));
    EXPECT_EQ(RunMain(app), -1);
    EXPECT_FALSE(verdictShown);
    const QStringList lines = CycleLines();
    const qsizetype search = lines.indexOf(QStringLiteral("CALL:LOC;*STB?"));
    ASSERT_GE(search, 0);
    EXPECT_EQ(lines.mid(search), (QStringList{QStringLiteral("CALL:LOC;*STB?"), QStringLiteral("*RST"),
                                              QStringLiteral("SYST:COMM:LOC"), QStringLiteral("*CLS")}));
    ASSERT_EQ(platform.boxes.size(), 1);
}

TEST_F(CycleTest, SinglePcsCycleUsesTheSecondBandsPowerLevelsForOneCycleOnly)
{
    Start(QStringLiteral("phone.bands = GSM,PCS"));
    Test(QStringLiteral("GSM 1900"));
    Echo("&Yes");
    Verdict();
    Test(QStringLiteral("GSM 900"));
    Echo("&Yes");
    Verdict();
    EXPECT_EQ(RunMain(app), -1);
    ExpectNoBoxes();
    const QStringList lines = CycleLines();
    const qsizetype second = lines.indexOf(QStringLiteral("CONF:CSYS GSM;*STB?"));
    ASSERT_GT(second, 0);
    const QStringList pcs = lines.mid(0, second);
    const QStringList gsm = lines.mid(second);
    // MSPOWLEV4..6 = 0, 5, 10 on PCS; MSPOWLEV1..3 = 5, 10, 15 again on GSM.
    EXPECT_EQ(pcs.count(QStringLiteral("CONF:PCS:MS:TCH:PLEV  0")), 3);
    EXPECT_TRUE(pcs.contains(QStringLiteral("CONF:PCS:MS:TCH:PLEV  10")));
    EXPECT_EQ(gsm.count(QStringLiteral("CONF:GSM:MS:TCH:PLEV  5")), 4);  // the band set-up and T1..T4
    EXPECT_TRUE(gsm.contains(QStringLiteral("CONF:GSM:MS:TCH:PLEV  15")));
    EXPECT_EQ(app.st.MsPowerLevels[1], 5);
    ASSERT_EQ(verdicts.size(), 2);
    EXPECT_EQ(verdicts[0].st.Verdict, Verdict::Passed);
    EXPECT_EQ(verdicts[0].st.MsPowerLevels[1], 0);
    EXPECT_EQ(verdicts[0].form3.RowName[int(RowId::TxPower1)].Caption, QStringLiteral("TX Power 0 (30 dBm)"));
    EXPECT_EQ(CellsOf(verdicts[0].form3, RowId::TxPower1)[1].ForeColor, kGreen);
    EXPECT_EQ(verdicts[1].st.Verdict, Verdict::Passed);
    EXPECT_EQ(verdicts[1].form3.RowName[int(RowId::TxPower1)].Caption, QStringLiteral("TX Power 5 (33 dBm)"));
}

}  // namespace
}  // namespace celvio::testing
