// The band configuration: the band's values in the station state, the generator level
// limit and the second band's path attenuation kept for the run.
#include "procedure_fixture.h"
#include "procedures/band_config.h"

namespace celvio::testing {
namespace {

class BandConfigTest : public ProcedureTest {};

TEST_F(BandConfigTest, BandValuesComeFromTheFirstBandsSettings)
{
    Replies();
    app.st.SystemCode = QStringLiteral("GSM,PCS");
    ConfigureBand(app);
    EXPECT_EQ(app.st.ControlChannel, 30);
    EXPECT_EQ(app.st.TrafficChannels, (std::array<qint16, 7>{0, 20, 62, 100, 513, 661, 809}));
    // The record takes the channels, and the second band's page shows its third.
    SetUpPages();
    EXPECT_EQ(record.TrafficChannels[6], 809);
    EXPECT_EQ(app.Form4.Channel[3].Caption, QStringLiteral("809"));

    app.st.SystemCode = QStringLiteral("PCN");
    ConfigureBand(app);
    EXPECT_EQ(app.st.ControlChannel, 700);
    EXPECT_EQ(app.st.GeneratorLevel, -65);
    EXPECT_EQ(app.st.TrafficChannels[1], 512);

    // Another band text keeps what the last configuration loaded.
    app.st.SystemCode = QStringLiteral("XYZ");
    ConfigureBand(app);
    EXPECT_EQ(app.st.ControlChannel, 700);
}

TEST_F(BandConfigTest, AdjustRxLevelLimitsTheGeneratorLevelByThePathAttenuation)
{
    const struct {
        const char* system;
        qint16 level;
        double attenuation;  // first value of the band's pair
        qint16 expected;
    } cases[] = {{"GSM", -40, 0, -46}, {"GSM", -60, 0, -60},    {"GSM", -45, 0, -45},
                 {"GSM", -44, 1.5, -47}, {"GSM", -40, -1.5, -44},  // Int rounds down: -2
                 {"GSM,PCN", -40, 0, -46}, {"PCN", -48, 2.5, -53}, {"PCS", -49, 0, -51}, {"PCS", -50, 0, -50}};
    auto tester = Replies();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.system) + " " + std::to_string(c.level) + " " + std::to_string(c.attenuation));
        tester->lines.clear();
        app.st.SystemCode = QString::fromLatin1(c.system);
        app.st.GeneratorLevel = c.level;
        app.st.GsmBandAttenuation.first = app.st.PcnBandAttenuation.first = app.st.PcsBandAttenuation.first =
            c.attenuation;
        AdjustRxLevel(app);
        EXPECT_EQ(app.st.GeneratorLevel, c.expected);
        EXPECT_EQ(tester->lines, QStringList{QStringLiteral("RFG:%1:LEV %2;*ESR?")
                                                 .arg(app.st.SystemCode.left(3), Str(qint64(c.expected)))});
    }
}

TEST_F(BandConfigTest, SecondBandAttenuationIsTakenFromTheSettingsOnceAndKeptForTheRun)
{
    auto tester = Replies();
    app.st.SystemCode = QStringLiteral("GSM,PCN");
    app.st.GeneratorLevel = -60;
    ConfigureSecondBand(app);
    EXPECT_EQ(tester->lines, (QStringList{QStringLiteral("CONF:PCN:PATT:LEV  2.5, 2.5"),
                                          QStringLiteral("CONF:PCN:MS:TCH:PLEV 4"),
                                          QStringLiteral("RFG:PCN:LEV -60;*STB?")}));

    // A changed setting does not replace a pair that is no longer 0, and a single PCN
    // cycle afterwards limits its level with the kept value.
    tester->lines.clear();
    app.st.PcnAttenuation = 7;
    ConfigureSecondBand(app);
    EXPECT_EQ(tester->lines.value(0), QStringLiteral("CONF:PCN:PATT:LEV  2.5, 2.5"));
    app.st.SystemCode = QStringLiteral("PCN");
    app.st.GeneratorLevel = -48;
    AdjustRxLevel(app);
    EXPECT_EQ(app.st.GeneratorLevel, -53);

    tester->lines.clear();
    app.st.SystemCode = QStringLiteral("GSM,PCS");
    app.st.PcsBandAttenuation.second = 1.25;  // only the 0 value is replaced
    ConfigureSecondBand(app);
    EXPECT_EQ(tester->lines.value(0), QStringLiteral("CONF:PCS:PATT:LEV  3, 1.25"));
}

}  // namespace
}  // namespace celvio::testing
