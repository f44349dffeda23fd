// Answers that are no measurement: the instrument's "not a number" 9.91E37, values far
// beyond anything physical, NAN, INF and empty fields, through the real transmitter,
// receiver, network-search and call procedures. None of them may pass.
#include "procedure_fixture.h"
#include "procedures/call_tests.h"
#include "procedures/dual_band_test.h"
#include "procedures/receiver_test.h"
#include "procedures/transmitter_test.h"
#include "procedures/network_search.h"
#include "results/verdict.h"

namespace celvio::testing {
namespace {

const char* const kBadValues[] = {"9.91E37", "-9.91E37", "1E19", "1E400", "NAN", "INF", "", "1E30", "33abc"};

// What a failed cell shows: the value as read, "?" for an empty field.
QString AsRead(const char* value)
{
    return *value ? QString::fromLatin1(value) : QStringLiteral("?");
}

class BadAnswerTest : public ReplyCaseTest {
protected:
    void SetUp() override { Fresh(); }

    void Fresh()
    {
        NextCase();
        app.st.TrafficChannels = {0, 20, 62, 100, 512, 698, 884};
        app.st.CurrentTrafficChannel = 20;
        app.st.GeneratorLevel = -60;
        SetUpPages();
        app.st.SummaryLines[2] = QStringLiteral("Transmitter Test: Passed");
        app.st.SummaryLines[3] = QStringLiteral("Receiver Test: Not Tested");
    }
};

TEST_F(BadAnswerTest, TransmitterFieldThatIsNoMeasurementFailsItsCell)
{
    // The good answer is "7,2,-38,553,33" (GSM level 5: 33 dBm nominal); one field at a
    // time is replaced.
    const struct {
        int field;  // position in the answer
        const Cell& (*cell)(const ResultPage&);
        const char* unit;
    } fields[] = {
        {4, [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::TxPower1)[1]; }, " dBm"},
        {1, [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::PhaseRms)[1]; }, " deg"},
        {0, [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::PhasePeak)[1]; }, " deg"},
        {2, [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::Frequency)[1]; }, " Hz"},
        {3, [](const ResultPage& p) -> const Cell& { return CellsOf(p, RowId::BurstLength)[1]; }, " µsec"},
    };
    for (const auto& f : fields) {
        for (const char* bad : kBadValues) {
            SCOPED_TRACE(std::string("field ") + std::to_string(f.field) + " = \"" + bad + '"');
            Fresh();
            QStringList parts = {"7", "2", "-38", "553", "33"};
            parts[f.field] = QString::fromLatin1(bad);
            const QString answer = parts.join(QLatin1Char(','));
            device->On(QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3"), {answer});
            Keep(TransmitterTest(app, QStringLiteral("GSM"), 1, true, false));
            const Cell& cell = f.cell(app.Form3);
            EXPECT_EQ(cell, (Cell{QStringLiteral("* ") + AsRead(bad) + QString::fromUtf8(f.unit), kRed}));
            EXPECT_EQ(app.st.Verdict, Verdict::Failed);
            EXPECT_EQ(app.st.SummaryLines[2], QStringLiteral("Transmitter Test: Failed"));
        }
    }
}

TEST_F(BadAnswerTest, ReceiverReportThatIsNoMeasurementFails)
{
    for (const char* query : {"CALL:MSIN:RXL?", "CALL:MSIN:RXQ?"}) {
        for (const char* bad : kBadValues) {
            SCOPED_TRACE(std::string(query) + " = \"" + bad + '"');
            Fresh();
            device->On(QStringLiteral("CALL:MSIN:RXL?"), {QStringLiteral("50")});
            device->On(QStringLiteral("CALL:MSIN:RXQ?"), {QStringLiteral("0")});
            device->On(QString::fromLatin1(query), {QString::fromLatin1(bad)});
            Keep(ReceiverTest(app));
            const bool level = QLatin1String(query) == QLatin1String("CALL:MSIN:RXL?");
            EXPECT_EQ(level ? CellsOf(app.Form3, RowId::RxLevel)[1] : CellsOf(app.Form3, RowId::RxQuality)[1],
                      (Cell{QStringLiteral("* ") + AsRead(bad), kRed}));
            // The other quantity is read and passes as usual.
            EXPECT_EQ(level ? CellsOf(app.Form3, RowId::RxQuality)[1] : CellsOf(app.Form3, RowId::RxLevel)[1],
                      (Cell{level ? QStringLiteral(" 0") : QStringLiteral(" 50"), kGreen}));
            EXPECT_EQ(app.st.Verdict, Verdict::Failed);
            EXPECT_EQ(app.st.SummaryLines[3], QStringLiteral("Receiver Test: Failed"));
        }
    }
}

// Status words of the network search and of both calls: bit 9 set means failure; a
// word that is not a whole number 0..65535 is no proof of success either.
TEST_F(BadAnswerTest, StatusWordThatIsNoNumberCountsAsNoSuccess)
{
    QStringList words;
    for (const char* bad : kBadValues)
        words << QString::fromLatin1(bad);
    words << QStringLiteral("65536") << QStringLiteral("-1") << QStringLiteral("512.5") << QStringLiteral("516");
    const struct {
        const char* name;
        const char* waitQuery;  // answered when the registration or call is over
        void (*run)(App&);
    } procedures[] = {
        {"network search", "CALL:LOC;*STB?", [](App& a) { NetworkSearch(a, CycleMode::Test); }},
        {"keypad call", "CALL:MSOR;*STB?", [](App& a) { KeypadCallTest(a, CycleMode::Test); }},
        {"network call", "CALL:BSOR;*STB?", [](App& a) { BaseCallTest(a); }},
    };
    for (const auto& p : procedures) {
        for (const QString& word : words + QStringList{QStringLiteral("0"), QStringLiteral(" 4 ")}) {
            SCOPED_TRACE(std::string(p.name) + " status \"" + word.toStdString() + '"');
            Fresh();
            const bool good = word == QLatin1String("0") || word == QLatin1String(" 4 ");
            device->On(QString::fromLatin1(p.waitQuery), {QStringLiteral("8")}, 2000);
            device->On(QStringLiteral("STAT:QUES:EVEN?"), {word});
            device->On(QStringLiteral("CALL:MSIN:NUMB?"), {QStringLiteral("0123")});
            p.run(app);
            EXPECT_EQ(app.st.Verdict, good ? Verdict::Passed : Verdict::Aborted);
        }
    }
}

// Limits at the ends of the 32-bit range are computed without overflow: a sound
// reading is judged against them, an unusable one still fails.
TEST_F(BadAnswerTest, ExtremeLimitsDoNotOverflow)
{
    const struct {
        qint32 limit;
        const char* answer;
        Verdict verdict;
    } cases[] = {
        {2147483647, "7,2,-38,553,33", Verdict::Passed},
        {2147483647, "7,2,-38,553,9.91E37", Verdict::Failed},
        {-2147483647 - 1, "7,2,-38,553,33", Verdict::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.limit) + " " + c.answer);
        Fresh();
        app.st.LimitTxPower = app.st.LimitBurstLength = app.st.LimitRxLevel = c.limit;
        device->On(QStringLiteral("MEAS:ARR:RFTR:GRO:ALL:MAV? 3"), {QString::fromLatin1(c.answer)});
        Keep(TransmitterTest(app, QStringLiteral("GSM"), 1, true, false));
        EXPECT_EQ(app.st.Verdict, c.verdict);
        device->On(QStringLiteral("CALL:MSIN:RXL?"), {QStringLiteral("50")});
        Keep(ReceiverTest(app));
        EXPECT_EQ(CellsOf(app.Form3, RowId::RxLevel)[1].ForeColor, c.limit >= 0 ? kGreen : kRed);
    }
}

}  // namespace
}  // namespace celvio::testing
