// The result pages at the start of a cycle: row names, limits, identity rows and the
// initial state of the cells.
#include "procedure_fixture.h"
#include "results/result_grid.h"
#include "results/result_pages.h"
#include "results/verdict.h"

namespace celvio::testing {
namespace {

class ResultGridTest : public ProcedureTest {
protected:
    void SetUp() override
    {
        app.st.TrafficChannels = {0, 20, 62, 100, 512, 698, 884};
        app.st.ShowLimits = kTrue;
    }
};

TEST_F(ResultGridTest, EveryCellWaitsForItsTestAndCellsNeverFilledSaySo)
{
    app.Form3.MSPower1[2] = Cell{QStringLiteral("* 40 dBm"), kRed};  // left from the last cycle
    SetUpResultPages(app);
    const Cell notTested{QStringLiteral("Not tested"), kYellow};
    const Cell notNeeded{QStringLiteral("Not needed"), kYellow};
    for (const ResultPage* page : {&app.Form3, &app.Form4}) {
        const ResultPage& p = *page;
        for (int c = 1; c <= 3; ++c) {
            for (const CellArray* cells : {&p.MSPower1, &p.Label51, &p.Label52, &p.Label53, &p.Label54, &p.Label55})
                EXPECT_EQ((*cells)[c], notTested);
            EXPECT_EQ(p.MSPower2[c], notNeeded);  // no step of either band measures power slot 2
            EXPECT_EQ(p.MSPower3[c], c == 3 ? notTested : notNeeded);
            EXPECT_EQ(p.Label56[c], c == 2 ? notNeeded : notTested);
            EXPECT_EQ(p.Label57[c], c == 2 ? notNeeded : notTested);
        }
        for (const Cell* cell : {&p.MobileOriginatedCall, &p.DialledNumber, &p.BaseOriginatedCall, &p.SpeechLoopback})
            EXPECT_EQ(*cell, notTested);
        EXPECT_EQ(p.Imei.Caption, QStringLiteral("Not tested"));
        EXPECT_EQ(p.Channel[0].Caption, QStringLiteral("TCH:"));
    }
    EXPECT_EQ(app.Form3.Channel[2].Caption, QStringLiteral("62"));
    EXPECT_EQ(app.Form4.Channel[2].Caption, QStringLiteral("698"));
}

TEST_F(ResultGridTest, RowNamesAndLimitsOfBothPages)
{
    SetUpResultPages(app);
    const ResultPage& p = app.Form3;
    const std::tuple<int, const char*, const char*> rows[] = {
        {kRowTxPower1, "TX Power 5 (33 dBm)", " 31 - 35 dBm"}, {kRowTxPower3, "TX Power 15 (13 dBm)", " 11 - 15 dBm"},
        {kRowPhaseRms, "Phase Error RMS", "0 - 5 deg"},        {kRowPhasePeak, "Phase Error Peak", "0 - 20 deg"},
        {kRowFrequency, "Frequency Error", "+/- 90 Hz"},      {kRowBurstLength, "Burst Length", " 552 - 554 µsec"},
        {kRowTemplate, "Power-Time Template", ""},            {kRowRxQuality, "RX Quality", "0 - 2"},
        {kRowBaseOriginatedCall, "Base Originated Call", ""}};
    for (const auto& [row, name, limit] : rows) {
        EXPECT_EQ(p.RowName[row].Caption, QString::fromLatin1(name));
        EXPECT_EQ(p.Limit[row].Caption, QString::fromUtf8(limit));
    }
    // The second page: the second band's power levels and frequency limit.
    const ResultPage& q = app.Form4;
    EXPECT_EQ(q.RowName[kRowTxPower1].Caption, QStringLiteral("TX Power 0 (30 dBm)"));
    EXPECT_EQ(q.Limit[kRowTxPower1].Caption, QStringLiteral(" 28 - 32 dBm"));
    EXPECT_EQ(q.Limit[kRowFrequency].Caption, QStringLiteral("+/- 180 Hz"));
    EXPECT_EQ(q.RowName[kRowBaseOriginatedCall].Caption, QStringLiteral("Mobile Terminated Call"));

    qint32 lo = 0, hi = 0;
    ASSERT_TRUE(PowerRange(app, QStringLiteral("PCS"), 6, lo, hi));
    EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(8, 12));
    EXPECT_FALSE(PowerRange(app, QStringLiteral("XYZ"), 1, lo, hi));
}

TEST_F(ResultGridTest, GermanPageAndASingleHighBand)
{
    app.st.Language = 2;
    app.st.SystemCode = QStringLiteral("PCS");
    SetUpResultPages(app);
    const ResultPage& p = app.Form3;
    EXPECT_EQ(p.Title.Caption, QStringLiteral("TESTBERICHT"));
    EXPECT_EQ(p.DateName.Caption, QStringLiteral("Datum:"));
    EXPECT_EQ(p.RowName[kRowTxPower1].Caption, QStringLiteral("MS Leistung 5 (20 dBm)"));
    EXPECT_EQ(p.Limit[kRowBurstLength].Caption, QStringLiteral(" 552 - 554 µsek"));
}

}  // namespace
}  // namespace celvio::testing
