// The transmitter tests of both bands: the split and rounding of the answer, the
// limits, the repeat rule with its marks and colours, the template check and the
// break-off on a malformed answer.
#include "procedure_fixture.h"
#include "procedures/dual_band_test.h"
#include "procedures/receiver_test.h"
#include "procedures/transmitter_core.h"
#include "procedures/transmitter_test.h"
#include "results/verdict.h"

namespace celvio::testing {
namespace {

const QString kMeasure = QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3");
const QString kTemplate = QStringLiteral("MEAS:RFTR:TEMP?");

class TxTest : public ReplyCaseTest {
protected:
    // Also run again between cases: a fresh page and device, no verdict.
    void SetUp() override
    {
        NextCase();
        app.st.TrafficChannels = {0, 20, 62, 100, 512, 698, 884};
        app.st.CurrentTrafficChannel = 20;  // the channel is set
        app.Model.Rx[kBand1800] = {4.25f, 5.0f, 6.0f};
        app.Model.Tx[kBand1800] = {4.5f, 5.5f, 6.5f};
        SetUpPages();
        app.st.SummaryLines[2] = QStringLiteral("Transmitter Test: Passed");
    }

    // Step 1 on GSM at power level 5 (33 dBm nominal) with these transmitter answers.
    void Measure(const QStringList& answers, bool modulation = true)
    {
        device->On(kMeasure, answers);
        Keep(TransmitterTest(app, QStringLiteral("GSM"), 1, modulation, false));
    }

    int Measurements() const { return int(device->lines.count(kMeasure)); }
};

TEST_F(TxTest, AnswerFillsEveryCellOfTheColumn)
{
    device->On(kTemplate, {QStringLiteral("0,0,0,0,0")});
    device->On(kMeasure, {QStringLiteral("7.2,2.1,-38,553.1,33.2")});
    Keep(TransmitterTest(app, QStringLiteral("GSM"), 1, true, true));
    const ResultPage& p = app.Form3;
    const std::pair<const Cell*, const char*> expected[] = {
        {&CellsOf(p, RowId::TxPower1)[1], " 33 dBm"}, {&CellsOf(p, RowId::PhaseRms)[1], " 2 deg"},       {&CellsOf(p, RowId::PhasePeak)[1], " 7 deg"},
        {&CellsOf(p, RowId::Frequency)[1], " -38 Hz"},  {&CellsOf(p, RowId::BurstLength)[1], " 553.1 µsec"}, {&CellsOf(p, RowId::Template)[1], " Passed"}};
    for (const auto& [cell, text] : expected)
        EXPECT_EQ(*cell, (Cell{QString::fromUtf8(text), kGreen}));
    EXPECT_EQ(CellsOf(p, RowId::TxPower1)[2].Caption, QStringLiteral("Not tested"));
    EXPECT_EQ(app.st.Verdict, Verdict::Passed);
    EXPECT_EQ(app.Form1.Label3.Caption, QStringLiteral("\r\n 1. Traffic Channel:  20  Checked"));
}

// Limits: RFLEVEL 2 around 33 dBm, PHASERMS 5, FREQUENCY 90, BURSTLEN 1.
TEST_F(TxTest, RoundsHalvesUpwardsAndPassesTheBounds)
{
    const struct {
        const char* answer;
        const char* power;  // cell texts after the first measurement, without the mark
        const char* rms;
        const char* frequency;
        const char* burst;
        const char* failing;  // P power, R RMS phase, F frequency, B burst
        int tolerance = 2;    // RFLEVEL
    } cases[] = {{"7,2,-38,553,35.4", " 35 dBm", " 2 deg", " -38 Hz", " 553 µsec", ""},
                 {"7,2,-38,553,35.5", " 36 dBm", " 2 deg", " -38 Hz", " 553 µsec", "P"},
                 {"7,2,-38,553,30.5", " 31 dBm", " 2 deg", " -38 Hz", " 553 µsec", ""},
                 {"7,2,-38,553,30.4", " 30 dBm", " 2 deg", " -38 Hz", " 553 µsec", "P"},
                 {"7,-5.4,90,554,33", " 33 dBm", " -5 deg", " 90 Hz", " 554 µsec", ""},
                 {"7,-5.5,-90.5,554.1,33", " 33 dBm", " -5 deg", " -90 Hz", " 554.1 µsec", "RFB"},
                 {" 7 , 2.5 , 0 , 551.9 , 33", " 33 dBm", " 3 deg", " 0 Hz", " 551.9 µsec", "B"},
                 // Without tolerance half a decibel above nominal fails.
                 {"7,2,-38,553,33.5", " 34 dBm", " 2 deg", " -38 Hz", " 553 µsec", "P", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        SetUp();
        app.st.LimitTxPower = c.tolerance;
        Measure({QString::fromLatin1(c.answer)});
        const QString failing = QString::fromLatin1(c.failing);
        const ResultPage& p = app.Form3;
        const std::tuple<const Cell&, const char*, char> cells[] = {{CellsOf(p, RowId::TxPower1)[1], c.power, 'P'},
                                                                    {CellsOf(p, RowId::PhaseRms)[1], c.rms, 'R'},
                                                                    {CellsOf(p, RowId::Frequency)[1], c.frequency, 'F'},
                                                                    {CellsOf(p, RowId::BurstLength)[1], c.burst, 'B'}};
        for (const auto& [cell, text, key] : cells) {
            const bool fails = failing.contains(QLatin1Char(key));
            EXPECT_EQ(cell, (Cell{(fails ? QStringLiteral("*") : QString()) + QString::fromUtf8(text),
                                  fails ? kRed : kGreen}));
        }
        EXPECT_EQ(app.st.Verdict, failing.isEmpty() ? Verdict::Passed : Verdict::Failed);
        EXPECT_EQ(Measurements(), failing.isEmpty() ? 1 : 2);  // a standing failure is measured twice
    }
}

TEST_F(TxTest, FailureIsMeasuredAgainAndMustPassTwice)
{
    const struct {
        QStringList powers;
        Cell cell;
        int measurements;
        const char* summary;
    } cases[] = {{{"33"}, {" 33 dBm", kGreen}, 1, "Transmitter Test: Passed"},
                 {{"40", "33", "34"}, {"! 34 dBm", kRepeatGreen}, 3, "Transmitter Test: Passed"},
                 {{"40", "33", "40"}, {"* 40 dBm", kRed}, 3, "Transmitter Test: Failed"},
                 {{"40", "40", "33"}, {"* 40 dBm", kRed}, 2, "Transmitter Test: Failed"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.powers.join(QLatin1Char('/')).toStdString());
        SetUp();
        QStringList answers;
        for (const QString& power : c.powers)
            answers << QStringLiteral("7,2,-38,553,") + power;
        Measure(answers, false);
        EXPECT_EQ(CellsOf(app.Form3, RowId::TxPower1)[1], c.cell);
        EXPECT_EQ(Measurements(), c.measurements);
        EXPECT_EQ(app.st.SummaryLines[2], QString::fromLatin1(c.summary));
        EXPECT_EQ(app.st.Verdict, c.measurements == 1 ? Verdict::Passed : Verdict::Failed);
    }
}

TEST_F(TxTest, RecoveryOfOneQuantityDoesNotHideAnotherStandingFailure)
{
    // First attempt: power and RMS phase fail. Second: power fails again, phase passes.
    Measure({QStringLiteral("7,9,-38,553,40"), QStringLiteral("7,2,-38,553,40")});
    EXPECT_EQ(Measurements(), 2);
    EXPECT_EQ(CellsOf(app.Form3, RowId::TxPower1)[1], (Cell{QStringLiteral("* 40 dBm"), kRed}));
    EXPECT_EQ(CellsOf(app.Form3, RowId::PhaseRms)[1], (Cell{QStringLiteral("! 2 deg"), kRepeatGreen}));
    EXPECT_EQ(app.st.SummaryLines[2], QStringLiteral("Transmitter Test: Failed"));
}

TEST_F(TxTest, TemplateChecksTheFirstFiveFields)
{
    device->On(kMeasure, {QStringLiteral("7,2,-38,553,33")});
    struct Case {
        QStringList answers;
        Cell cell;
        int queries;
    };
    const Case cases[] = {
        {{QStringLiteral("0,0,0,0,0,3,1")}, {QStringLiteral(" Passed"), kGreen}, 1},
        {{QStringLiteral("0,0,1,0,0")}, {QStringLiteral("* Failed"), kRed}, 2},
        {{QString()}, {QStringLiteral("* Failed"), kRed}, 2},  // no answer
        {{QStringLiteral("0,0,1,0,0"), QStringLiteral("0,0,0,0,0")}, {QStringLiteral("! Passed"), kRepeatGreen}, 3},
    };
    for (const Case& c : cases) {
        SetUp();
        device->On(kTemplate, c.answers);
        Keep(TransmitterTest(app, QStringLiteral("GSM"), 1, false, true));
        EXPECT_EQ(CellsOf(app.Form3, RowId::Template)[1], c.cell) << qPrintable(c.answers.join('|'));
        EXPECT_EQ(device->lines.count(kTemplate), c.queries);
    }
}

TEST_F(TxTest, AnswerWithoutFourCommasBreaksTheTestOff)
{
    device->On(kTemplate, {QStringLiteral("0,0,0,0,0")});
    Measure({QStringLiteral("33.2")});
    EXPECT_EQ(app.st.Verdict, Verdict::Aborted);
    EXPECT_EQ(app.st.SummaryLines[2], QStringLiteral("Transmitter Test: Failed"));
    EXPECT_FALSE(device->lines.contains(kTemplate));

    double f[5];
    EXPECT_FALSE(SplitTransmitterAnswer(QStringLiteral("1,2,3,4,"), f));  // the last character is not searched
    ASSERT_TRUE(SplitTransmitterAnswer(QStringLiteral("-1.5,NAN,3e1,4,5,6"), f));
    EXPECT_EQ((std::vector<double>(f, f + 5)), (std::vector<double>{-1.5, 0, 30, 4, 5}));
}

TEST_F(TxTest, SecondBandStepOfTheFirstBandsTestUsesTheSecondPage)
{
    app.st.TxStep = 5;
    device->On(kMeasure, {QStringLiteral("7,2,-38,553,20")});  // PCN level 5: 20 dBm
    Keep(TransmitterTest(app, QStringLiteral("PCN"), 1, false, false));
    EXPECT_EQ(app.st.TxStep, 2);
    EXPECT_EQ(CellsOf(app.Form4, RowId::TxPower1)[2].Caption, QStringLiteral(" 20 dBm"));
    EXPECT_TRUE(device->lines.contains(QStringLiteral("CONF:PCN:PATT:LEV  5, 5.5")));
}

TEST_F(TxTest, SecondBandHasItsOwnLevelsFrequencyLimitAndFailureLine)
{
    app.st.SystemCode = QStringLiteral("GSM,PCN");
    app.st.TxStep = 6;
    app.st.CurrentTrafficChannel = 884;
    // 181 Hz fails the second band's 180 Hz; slot 3 is MSPOWLEV6 = 10: 10 dBm.
    device->On(kMeasure, {QStringLiteral("7,2,181,553,10")});
    Keep(DualBandTransmitterTest(app, QStringLiteral("PCN"), 3, true, false));
    EXPECT_EQ(CellsOf(app.Form4, RowId::Frequency)[3].Caption, QStringLiteral("* 181 Hz"));
    EXPECT_EQ(CellsOf(app.Form4, RowId::TxPower3)[3], (Cell{QStringLiteral(" 10 dBm"), kGreen}));
    EXPECT_EQ(app.st.TxStep, 6);
    EXPECT_EQ(app.Form1.Label4.Caption, QStringLiteral("Transmitter Test "));

    device->On(kMeasure, {QStringLiteral("7,2,150,553,30")});
    app.st.TxStep = 4;
    Keep(DualBandTransmitterTest(app, QStringLiteral("PCN"), 1, true, false));
    EXPECT_EQ(CellsOf(app.Form4, RowId::Frequency)[1], (Cell{QStringLiteral(" 150 Hz"), kGreen}));

    device->On(kMeasure, {QStringLiteral("garbage")});
    Keep(DualBandTransmitterTest(app, QStringLiteral("PCN"), 1, true, false));
    EXPECT_EQ(app.st.Verdict, Verdict::Aborted);
    EXPECT_EQ(app.st.SummaryLines[6], QStringLiteral("Transmitter Test: Failed"));
    EXPECT_EQ(app.st.SummaryLines[2], QStringLiteral("Transmitter Test: Failed"));  // from the 181 Hz
}

}  // namespace
}  // namespace celvio::testing
