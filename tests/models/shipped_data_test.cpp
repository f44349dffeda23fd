// The TAC table and the model database shipped in data/station work together.
#include "core/files.h"
#include "core/line_reader.h"
#include "core/text.h"
#include "models/model_database.h"
#include "models/tac_lookup.h"
#include "support/station_fixture.h"

#include <QDir>
#include <QFile>

namespace celvio::testing {
namespace {

class ShippedDataTest : public StationFixture {
protected:
    void SetUp() override
    {
        const QDir data(QStringLiteral(CELVIO_STATION_DATA));
        for (const QString& name : data.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(data.filePath(name), StationFile(name))) << qPrintable(name);
        app.st.DebugMode = kTrue;
    }

    bool Lookup(const QString& imei)
    {
        app.TacFileName = QStringLiteral("TAC6N.dat");
        app.ModelDbFileName = QStringLiteral("MP.DAT");
        return LookupPhoneModel(app, imei);
    }
};

TEST_F(ShippedDataTest, EveryTacEntryFindsItsModelWithAttenuationsForEveryCoupler)
{
    for (const char* name : {"TAC6N.DAT", "MPN.DAT"}) {
        const QByteArray bytes = ReadStationBytes(QString::fromLatin1(name));
        EXPECT_TRUE(bytes.endsWith("\r\n") && bytes.count('\n') == bytes.count("\r\n")) << name;
    }
    LfLineReader tacFile;
    ASSERT_TRUE(tacFile.Open(StationFile(QStringLiteral("TAC6N.DAT"))));
    int entries = 0;
    for (QString line; ReadLfLine(tacFile, line);) {
        const std::optional<qint32> tac = LeadingInteger(line);
        if (!tac || *tac <= 0)
            continue;
        ++entries;
        const QString imei = (QString::number(*tac) + QString(15, QLatin1Char('0'))).left(15);
        for (const char* coupler : {"(K530)", "(K580)", "(K580SB)"}) {
            app.st.CouplerLabel = QString::fromLatin1(coupler);
            app.Model.Holder.clear();  // every block names its holder, or keeps the last phone's
            ASSERT_TRUE(Lookup(imei)) << qPrintable(line);
            const ModelRecord& m = app.Model;
            EXPECT_EQ(m.Name, ValuePart(line));
            EXPECT_FALSE(m.Holder.isEmpty()) << qPrintable(line);
            EXPECT_TRUE(FileExists(app, m.NormalPic)) << qPrintable(line);
            EXPECT_TRUE(FileExists(app, QStringLiteral("NK580") + m.Position + QStringLiteral(".bmp")))
                << qPrintable(line);
            // Every band of the model has its attenuations, for every part of it.
            const std::pair<int, ModelBand> bands[] = {{1, kBand900}, {2, kBand1800}, {4, kBand1900}, {8, kBand850}};
            for (const auto& [bit, band] : bands) {
                for (int part = 0; part < 3 && (m.BandMask & bit); ++part) {
                    EXPECT_GT(m.Rx[band][part], 0) << qPrintable(line) << coupler << bit;
                    EXPECT_GT(m.Tx[band][part], 0) << qPrintable(line) << coupler << bit;
                }
            }
        }
    }
    EXPECT_GE(entries, 10);
    EXPECT_TRUE(Trace().isEmpty()) << qPrintable(Trace().join(QLatin1Char('\n')));
}

// The instructions with the K530 coupler read as sentences on the screen: the reader
// removes every blank, so the sample station sets words apart with no-break spaces.
TEST_F(ShippedDataTest, InstructionsReadAsSentences)
{
    const QStringList lines = SplitTextLines(ReadStationBytes(QStringLiteral("MPN.DAT")));
    int instructions = 0;
    for (const QString& line : lines) {
        if (!line.startsWith(QLatin1String("USERINSTRUCT=")))
            continue;
        ++instructions;
        const QString text = ValuePart(StripSpaces(line));
        EXPECT_FALSE(text.contains(QLatin1Char('-'))) << qPrintable(text);
        EXPECT_TRUE(text.contains(QChar(0xA0))) << qPrintable(text);
        EXPECT_TRUE(text.front().isUpper() && text.endsWith(QLatin1Char('.'))) << qPrintable(text);
    }
    EXPECT_GE(instructions, 10);

    app.st.CouplerLabel = QStringLiteral("(K530)");
    app.ModelDbFileName = QStringLiteral("MPN.DAT");
    LoadModelData(app, QStringLiteral("Tavik T12"));
    QString shown = app.Model.UserInstruct;
    EXPECT_EQ(shown.replace(QChar(0xA0), QLatin1Char(' ')), QStringLiteral("Display up and top end against the stop."));
}

TEST_F(ShippedDataTest, TheSimulatedPhonesShareSixDigitsAndDifferInEight)
{
    EXPECT_TRUE(Lookup(QStringLiteral("351234560123457")));
    EXPECT_EQ(app.Model.Name, QStringLiteral("Tavik T12"));
    EXPECT_TRUE(Lookup(QStringLiteral("351234570543215")));
    EXPECT_EQ(app.Model.Name, QStringLiteral("Tavik T20 Duo"));
}

}  // namespace
}  // namespace celvio::testing
