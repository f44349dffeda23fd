// Loading a model block and the attenuation for a channel.
#include "models/model_database.h"
#include "support/station_fixture.h"

namespace celvio::testing {
namespace {

using Parts = std::array<float, 3>;

class ModelDatabaseTest : public StationFixture {
protected:
    void SetUp() override
    {
        app.ModelDbFileName = QStringLiteral("mp.dat");  // found without regard to case
        app.st.CouplerLabel = QStringLiteral("(K580)");
        app.st.DebugMode = kTrue;
    }
};

TEST_F(ModelDatabaseTest, OnlyTheSelectedCouplersAttenuationsAreTaken)
{
    WriteStationFile(QStringLiteral("MP.DAT"), QStringLiteral("[M1]\n"
                                                               "RX900=9,9,9\n"  // before any tag: skipped
                                                               "(K530)\nRX900=1.5,2,2.5\n"
                                                               "(K580)\nRX900=3,3,3\n"
                                                               "( K580 SB )\nTX900=7\n"
                                                               "(K580)\nrx 1800 = 1.25\n"
                                                               "(k580)\nTX1800=5\n"));    // not equal as written
    const struct {
        const char* coupler;
        Parts rx900, tx900, rx1800, tx1800;
    } cases[] = {
        {"(K580)", {3, 3, 3}, {}, {1.25f, 0, 0}, {}},  // one value: parts 1 and 2 are 0
        {"(K530)", {1.5f, 2, 2.5f}, {}, {}, {}},
        {"(K580SB)", {}, {7, 0, 0}, {}, {}},
        {"(K580SBK590)", {}, {}, {}, {}},  // no tag of its own
    };
    for (const auto& c : cases) {
        app.st.CouplerLabel = QString::fromLatin1(c.coupler);
        LoadModelData(app, QStringLiteral("M1"));
        EXPECT_EQ(app.Model.Rx[kBand900], c.rx900) << c.coupler;
        EXPECT_EQ(app.Model.Tx[kBand900], c.tx900) << c.coupler;
        EXPECT_EQ(app.Model.Rx[kBand1800], c.rx1800) << c.coupler;
        EXPECT_EQ(app.Model.Tx[kBand1800], c.tx1800) << c.coupler;
    }
}

TEST_F(ModelDatabaseTest, TheBlockIsFoundByItsNameWithoutBlanksAndCaseAndReadToItsEnd)
{
    WriteStationFile(QStringLiteral("MP.DAT"),
                     QStringLiteral("[Tavik T12 Pro]\nPOSITION=9\n"
                                    "see also [ tavik t12 ]\n"  // a header anywhere in the line
                                    "bands=450\nBands = 900, 1800, 900, e900, FOO\n"
                                    "UserInstruct = Open the flip, then wait\n"
                                    "NORMALPIC=Front.bmp\nPOSITION=4\nHOLDER=H2\n"
                                    "NOKEYBD=1\nAUDIO=0.5\nSMSTEST=0\nTESTEDGE=\nTESTGPRS=x\n"
                                    "; comment = not a key\n"
                                    "[NEXT]\nBANDS=800\n"
                                    "[Last One]\nHOLDER=X\nMAXPIC=M.bmp"));  // no LF at the end
    for (const char* key : {"TavikT12", "TAVIKT12"}) {
        LoadModelData(app, QString::fromLatin1(key));
        const ModelRecord& m = app.Model;
        EXPECT_EQ(m.BandMask, 1 | 2) << key;  // the last BANDS line, "e900" is no band
        EXPECT_EQ(m.UserInstruct, QStringLiteral("Opentheflip"));
        EXPECT_EQ(m.NormalPic, QStringLiteral("Front.bmp"));
        EXPECT_EQ(m.Position, QStringLiteral("4"));
        EXPECT_TRUE(m.NoKeybd && m.Audio);
        EXPECT_FALSE(m.SmsTest || m.TestEdge || m.TestGprs);
    }
    LoadModelData(app, QStringLiteral("lastone"));
    EXPECT_EQ(app.Model.MaxPic, QStringLiteral("M.bmp"));
}

TEST_F(ModelDatabaseTest, EveryLoadStartsFromAResetRecordButHolderStays)
{
    WriteStationFile(QStringLiteral("MP.DAT"), QStringLiteral("[A]\nBANDS=900\nHOLDER=H1\nPOSITION=2\nNOKEYBD=1\n"
                                                               "(K580)\nRX1800=5,5,5\n"
                                                               "[B]\nNORMALPIC=B.bmp\n"));
    LoadModelData(app, QStringLiteral("A"));
    LoadModelData(app, QStringLiteral("B"));
    const ModelRecord& m = app.Model;
    EXPECT_EQ(m.BandMask, 0);
    EXPECT_EQ(m.Rx[kBand1800], Parts{});
    EXPECT_TRUE(m.Position.isEmpty() && !m.NoKeybd);
    EXPECT_EQ(m.Holder, QStringLiteral("H1"));

    // Not found, stopped during the search, or no database at all: the record stays reset.
    LoadModelData(app, QStringLiteral("A"));
    LoadModelData(app, QStringLiteral("NOPE"));
    EXPECT_EQ(m.BandMask, 0);

    app.st.StopRequested = kTrue;
    LoadModelData(app, QStringLiteral("B"));
    EXPECT_TRUE(m.NormalPic.isEmpty());
    LoadModelData(app, QStringLiteral("A"));  // its header is the first line, read before the check
    EXPECT_EQ(m.BandMask, 1);
    app.st.StopRequested = kFalse;

    app.ModelDbFileName = QStringLiteral("GONE.DAT");
    LoadModelData(app, QStringLiteral("A"));
    EXPECT_EQ(m.BandMask, 0);
    EXPECT_EQ(Trace(), QStringList{QStringLiteral("Model database >GONE.DAT< not found.")});
}

TEST_F(ModelDatabaseTest, AttenuationForChannelPicksBandAndPart)
{
    // Every band and part has its own value: RX = band * 10 + part, TX = its negative.
    for (int band = 0; band < kModelBandCount; ++band) {
        for (int part = 0; part < 3; ++part) {
            app.Model.Rx[band][part] = float(band * 10 + part);
            app.Model.Tx[band][part] = -float(band * 10 + part);
        }
    }
    const struct {
        int channel;
        const char* system;
        int band, part;  // band -1: outputs unchanged
    } cases[] = {
        {-5, "GSM", kBand900, 0},   {41, "GSM", kBand900, 0},    {42, "GSM", kBand900, 1},
        {124, "GSM", kBand900, 2},  {125, "GSM", kBand850, 0},   {251, "GSM", kBand850, 2},
        {252, "GSM", kBand450, 0},  {294, "GSM", kBand800, 0},   {425, "GSM", kBand800, 2},
        {426, "PCN", kBand1800, 0}, {700, "PCN", kBand1800, 1},  {700, "GSM,PCN", kBand1800, 1},
        {885, "PCN", kBand1800, 2}, {886, "PCN", kBandR900, 0},  {700, "PCS", kBand1900, 1},
        {810, "PCS", kBand1900, 2}, {811, "PCS", kBandR900, 0},  {965, "GSM", kBandR900, 1},
        {974, "GSM", kBandR900, 2}, {975, "GSM", kBandE900, 0},  {1000, "GSM", kBandE900, 1},
        {1023, "GSM", kBandE900, 2}, {1024, "GSM", -1, 0},       {32767, "PCN", -1, 0},
    };
    for (const auto& c : cases) {
        float rx = 99, tx = 99;
        AttenuationForChannel(app, qint16(c.channel), QString::fromLatin1(c.system), rx, tx);
        const float expected = c.band < 0 ? 99 : float(c.band * 10 + c.part);
        EXPECT_EQ(rx, expected) << c.channel << " " << c.system;
        EXPECT_EQ(tx, c.band < 0 ? 99 : -expected) << c.channel << " " << c.system;
    }
}

}  // namespace
}  // namespace celvio::testing
