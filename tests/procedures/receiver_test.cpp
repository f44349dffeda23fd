// The receiver tests: the reported RX level and quality against their limits, the repeat
// rule, and the second band's page, column and failure text.
#include "procedure_fixture.h"
#include "procedures/receiver_test.h"
#include "results/verdict.h"

namespace celvio::testing {
namespace {

const QString kLevel = QStringLiteral("CALL:MSIN:RXL?");
const QString kQuality = QStringLiteral("CALL:MSIN:RXQ?");

class RxTest : public ReplyCaseTest {
protected:
    // Also run again between cases: a fresh page and device, no verdict.
    void SetUp() override
    {
        NextCase();
        app.st.GeneratorLevel = -60;  // expected RX level 50; RXLEV 3, RXQUAL 2
        SetUpPages();
        app.st.SummaryLines[3] = QStringLiteral("Receiver Test: Not Tested");
    }
};

TEST_F(RxTest, BoundsPassAndOneBeyondFails)
{
    const struct {
        const char* level;
        const char* quality;
        bool levelFails;
        bool qualityFails;
    } cases[] = {{"47", "2", false, false}, {"53", "0", false, false}, {"46", "0", true, false},
                 {"54", "0", true, false},  {"50", "3", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("level ") + c.level + " quality " + c.quality);
        SetUp();
        device->On(kLevel, {QString::fromLatin1(c.level)});
        device->On(kQuality, {QString::fromLatin1(c.quality)});
        Keep(ReceiverTest(app));
        EXPECT_EQ(CellsOf(app.Form3, RowId::RxLevel)[1], (Cell{(c.levelFails ? QStringLiteral("* ") : QStringLiteral(" ")) +
                                                  QString::fromLatin1(c.level),
                                              c.levelFails ? kRed : kGreen}));
        EXPECT_EQ(CellsOf(app.Form3, RowId::RxQuality)[1].ForeColor, c.qualityFails ? kRed : kGreen);
        EXPECT_EQ(device->lines.count(kLevel), c.levelFails ? 2 : 1);
        const bool fails = c.levelFails || c.qualityFails;
        EXPECT_EQ(app.st.Verdict, fails ? Verdict::Failed : Verdict::Passed);
        EXPECT_EQ(app.st.SummaryLines[3],
                  fails ? QStringLiteral("Receiver Test: Failed") : QStringLiteral("Receiver Test: Not Tested"));
    }
}

TEST_F(RxTest, LevelThatRecoversStandsInRepeatGreenButTheVerdictKeepsTheFailure)
{
    device->On(kLevel, {QStringLiteral("46"), QStringLiteral("50"), QStringLiteral("51")});
    device->On(kQuality, {QStringLiteral("0")});
    Keep(ReceiverTest(app));
    EXPECT_EQ(CellsOf(app.Form3, RowId::RxLevel)[1], (Cell{QStringLiteral("! 51"), kRepeatGreen}));
    EXPECT_EQ(CellsOf(app.Form3, RowId::RxQuality)[1], (Cell{QStringLiteral(" 0"), kGreen}));
    EXPECT_EQ(app.st.SummaryLines[3], QStringLiteral("Receiver Test: Not Tested"));
    EXPECT_EQ(app.st.Verdict, Verdict::Failed);
}

TEST_F(RxTest, SecondBandWritesTheSecondPageInItsOwnLanguage)
{
    app.st.Language = 2;
    app.st.TxStep = 6;
    device->On(kLevel, {QStringLiteral("40")});
    Keep(ReceiverTestSecondBand(app, QStringLiteral("PCN")));
    EXPECT_EQ(app.st.TxStep, 3);
    EXPECT_EQ(CellsOf(app.Form4, RowId::RxLevel)[3].Caption, QStringLiteral("* 40"));
    EXPECT_EQ(CellsOf(app.Form3, RowId::RxLevel)[3].Caption, QStringLiteral("Not tested"));
    EXPECT_EQ(app.st.SummaryLines[3], QStringLiteral("Empfängertest: Fehler"));

    // The first band's failure text is English in every language.
    Keep(ReceiverTest(app));
    EXPECT_EQ(app.st.SummaryLines[3], QStringLiteral("Receiver Test: Failed"));
}

}  // namespace
}  // namespace celvio::testing
