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
    CellsOf(app.Form3, RowId::TxPower1)[2] = Cell{QStringLiteral("* 40 dBm"), kRed};  // left from the last cycle
    SetUpPages();
    const Cell notTested{QStringLiteral("Not tested"), kYellow};
    const Cell notNeeded{QStringLiteral("Not needed"), kYellow};
    for (const ResultPage* page : {&app.Form3, &app.Form4}) {
        const ResultPage& p = *page;
        for (int c = 1; c <= 3; ++c) {
            for (const CellArray* cells : {&CellsOf(p, RowId::TxPower1), &CellsOf(p, RowId::PhaseRms), &CellsOf(p, RowId::PhasePeak), &CellsOf(p, RowId::Frequency), &CellsOf(p, RowId::BurstLength), &CellsOf(p, RowId::Template)})
                EXPECT_EQ((*cells)[c], notTested);
            EXPECT_EQ(CellsOf(p, RowId::TxPower2)[c], notNeeded);  // no step of either band measures power slot 2
            EXPECT_EQ(CellsOf(p, RowId::TxPower3)[c], c == 3 ? notTested : notNeeded);
            EXPECT_EQ(CellsOf(p, RowId::RxLevel)[c], c == 2 ? notNeeded : notTested);
            EXPECT_EQ(CellsOf(p, RowId::RxQuality)[c], c == 2 ? notNeeded : notTested);
        }
        for (const Cell* cell : {&CellsOf(p, RowId::MobileCall)[1], &CellsOf(p, RowId::DialledNumber)[1], &CellsOf(p, RowId::BaseCall)[1], &CellsOf(p, RowId::SpeechLoopback)[1]})
            EXPECT_EQ(*cell, notTested);
        EXPECT_EQ(p.Imei.Caption, QStringLiteral("Not tested"));
        EXPECT_EQ(p.Channel[0].Caption, QStringLiteral("TCH:"));
    }
    EXPECT_EQ(app.Form3.Channel[2].Caption, QStringLiteral("62"));
    EXPECT_EQ(app.Form4.Channel[2].Caption, QStringLiteral("698"));
}

TEST_F(ResultGridTest, RowNamesAndLimitsOfBothPages)
{
    SetUpPages();
    const ResultPage& p = app.Form3;
    const std::tuple<int, const char*, const char*> rows[] = {
        {int(RowId::TxPower1), "TX Power 5 (33 dBm)", " 31 - 35 dBm"}, {int(RowId::TxPower3), "TX Power 15 (13 dBm)", " 11 - 15 dBm"},
        {int(RowId::PhaseRms), "Phase Error RMS", "0 - 5 deg"},        {int(RowId::PhasePeak), "Phase Error Peak", "0 - 20 deg"},
        {int(RowId::Frequency), "Frequency Error", "+/- 90 Hz"},      {int(RowId::BurstLength), "Burst Length", " 552 - 554 µsec"},
        {int(RowId::Template), "Power-Time Template", ""},            {int(RowId::RxQuality), "RX Quality", "0 - 2"},
        {int(RowId::BaseCall), "Base Originated Call", ""}};
    for (const auto& [row, name, limit] : rows) {
        EXPECT_EQ(p.RowName[row].Caption, QString::fromLatin1(name));
        EXPECT_EQ(p.Limit[row].Caption, QString::fromUtf8(limit));
    }
    // The second page: the second band's power levels and frequency limit.
    const ResultPage& q = app.Form4;
    EXPECT_EQ(q.RowName[int(RowId::TxPower1)].Caption, QStringLiteral("TX Power 0 (30 dBm)"));
    EXPECT_EQ(q.Limit[int(RowId::TxPower1)].Caption, QStringLiteral(" 28 - 32 dBm"));
    EXPECT_EQ(q.Limit[int(RowId::Frequency)].Caption, QStringLiteral("+/- 180 Hz"));
    EXPECT_EQ(q.RowName[int(RowId::BaseCall)].Caption, QStringLiteral("Mobile Terminated Call"));

    // The record keeps the bounds of a power range.
    app.st.SystemCode = QStringLiteral("GSM,PCS");
    TakeStationFacts(record, app.st);
    const ReadingLimits& slotSix = record.At(2, RowId::TxPower3, 3).Limits;
    EXPECT_EQ(std::make_pair(slotSix.Low, slotSix.High), std::make_pair(std::optional(8.0), std::optional(12.0)));
}

TEST_F(ResultGridTest, GermanPageAndASingleHighBand)
{
    app.st.Language = 2;
    app.st.SystemCode = QStringLiteral("PCS");
    SetUpPages();
    const ResultPage& p = app.Form3;
    EXPECT_EQ(p.Title.Caption, QStringLiteral("TESTBERICHT"));
    EXPECT_EQ(p.DateName.Caption, QStringLiteral("Datum:"));
    EXPECT_EQ(p.RowName[int(RowId::TxPower1)].Caption, QStringLiteral("MS Leistung 5 (20 dBm)"));
    EXPECT_EQ(p.Limit[int(RowId::BurstLength)].Caption, QStringLiteral(" 552 - 554 µsek"));
}

}  // namespace
}  // namespace celvio::testing
