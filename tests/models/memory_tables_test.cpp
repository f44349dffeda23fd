// The TAC walk and the model database read from bytes (the fuzz targets' way in) give
// what the station's files give: the same model, block, warnings, boxes and recorded
// assignments.
#include "core/line_reader.h"
#include "models/model_database.h"
#include "models/tac_lookup.h"
#include "support/station_fixture.h"

#include <QFile>

namespace celvio::testing {
namespace {

class MemoryTablesTest : public StationFixture {
protected:
    // Lays the files out in the station, or forgets those not given.
    void Lay(const QHash<QString, QByteArray>& files)
    {
        for (const char* name : {"TAC6N.DAT", "USERTAC.DAT", "MPN.DAT", "MORE.TAC"})
            QFile::remove(StationFile(QString::fromLatin1(name)));
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            WriteStationBytes(it.key(), it.value());
    }

    struct Outcome {
        bool found = false;
        QString name;
        QString position;
        std::array<float, 3> rx900{};
        QStringList warnings;
        QStringList boxes;
    };

    Outcome Run(bool fromFiles, QHash<QString, QByteArray>& files, const QString& imei)
    {
        app.TacFileName = QStringLiteral("TAC6N.DAT");
        app.ModelDbFileName = QStringLiteral("MPN.DAT");
        app.st.CouplerLabel = QStringLiteral("(K580)");
        platform.boxes.clear();
        platform.form5Choices = {1};
        Outcome o;
        o.found = fromFiles ? LookupPhoneModel(app, imei) : LookupPhoneModelInTables(app, imei, files);
        o.name = app.Model.Name;
        o.position = app.Model.Position;
        o.rx900 = app.Model.Rx[kBand900];
        o.warnings = app.Model.DataWarnings;
        for (const BoxRecord& box : platform.boxes)
            o.boxes << box.text;
        return o;
    }
};

TEST_F(MemoryTablesTest, TheWalkInMemoryIsTheWalkOnDisk)
{
    const QByteArray mpn = "[REMARKS]\r\n[ANT]\r\nPOSITION=1\r\n[STD]\r\nPOSITION=2\r\n[TavikT12]\r\nPOSITION=4\r\n"
                           "(K580)\r\nRX900=1.5,x,2\r\n[Orvane 310]\r\nPOSITION=5\r\n";
    const struct {
        const char* what;
        QHash<QString, QByteArray> files;
        const char* imei;
    } cases[] = {
        {"a match, attenuations, an unreadable value",
         {{"TAC6N.DAT", "-7,MPN.DAT\r\n351234,Tavik T12\r\n-9,STD"}, {"MPN.DAT", mpn}}, "351234560123457"},
        {"user file with 8 digits, then a -1 table",
         {{"TAC6N.DAT", "-2,USERTAC.DAT\r\n-1,MORE.TAC\r\n-9,STD\r\n"},
          {"USERTAC.DAT", "35123455,STD\r\n"},
          {"MORE.TAC", "-8\n35123456,Orvane 310\n"},
          {"MPN.DAT", mpn}},
         "351234560123457"},
        {"a loop of -1 lines is cut", {{"TAC6N.DAT", "-1,MORE.TAC\n-9,STD\n"}, {"MORE.TAC", "-1,TAC6N.DAT\n"}, {"MPN.DAT", mpn}},
         "351234560123457"},
        {"the operator assigns a model, recorded after a last line without its end",
         {{"TAC6N.DAT", "-2,USERTAC.DAT\n-9,ANT\n"}, {"USERTAC.DAT", "35000000,STD"}, {"MPN.DAT", mpn}},
         "359876540000001"},
        {"a last line ending in a lone CR is ended too",
         {{"TAC6N.DAT", "-2,USERTAC.DAT\n-9,ANT\n"}, {"USERTAC.DAT", "35000000,STD\r"}, {"MPN.DAT", mpn}},
         "359876540000001"},
        {"no database, no table", {{"TAC6N.DAT", "351234,Tavik T12\n"}}, "351234560123457"},
        {"no TAC table", {}, "351234560123457"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QHash<QString, QByteArray> onDisk = c.files;
        Lay(onDisk);
        const Outcome disk = Run(true, onDisk, QString::fromLatin1(c.imei));
        QHash<QString, QByteArray> inMemory = c.files;
        const Outcome memory = Run(false, inMemory, QString::fromLatin1(c.imei));
        EXPECT_EQ(memory.found, disk.found);
        EXPECT_EQ(memory.name, disk.name);
        EXPECT_EQ(memory.position, disk.position);
        EXPECT_EQ(memory.rx900, disk.rx900);
        EXPECT_EQ(memory.warnings, disk.warnings);
        EXPECT_EQ(memory.boxes, disk.boxes);
        EXPECT_EQ(inMemory.value(QStringLiteral("USERTAC.DAT")), ReadStationBytes(QStringLiteral("USERTAC.DAT")));
    }
}

TEST_F(MemoryTablesTest, TheOperatorsAssignmentIsAppendedAsAWholeLine)
{
    QHash<QString, QByteArray> files{{QStringLiteral("TAC6N.DAT"), "-9,ANT\n"},
                                     {QStringLiteral("USERTAC.DAT"), "35000000,STD"},
                                     {QStringLiteral("MPN.DAT"), "[ANT]\n[Orvane 310]\n"}};
    app.TacFileName = QStringLiteral("TAC6N.DAT");
    app.ModelDbFileName = QStringLiteral("MPN.DAT");
    platform.form5Choices = {1};
    EXPECT_TRUE(LookupPhoneModelInTables(app, QStringLiteral("359876540000001"), files));
    EXPECT_EQ(app.Model.Name, QStringLiteral("Orvane 310"));
    EXPECT_EQ(files.value(QStringLiteral("USERTAC.DAT")), QByteArray("35000000,STD\r\n35987654,Orvane 310\r\n"));
}

// Lines from memory end where lines from a file end: at LF, CRs dropped, a last line
// without LF still a line (a lone CR ends none); the reader can be opened again on a
// file afterwards.
TEST_F(MemoryTablesTest, LinesFromBytesAreLinesFromAFile)
{
    const QByteArray bytes("one\r\ntw\ro\n\n\rthree");
    WriteStationBytes(QStringLiteral("LINES.DAT"), bytes);
    LfLineReader fromFile(4);  // a small buffer: lines cross its refills
    ASSERT_TRUE(fromFile.Open(StationFile(QStringLiteral("LINES.DAT"))));
    LfLineReader fromBytes(4);
    fromBytes.OpenBytes(bytes);
    QList<QByteArray> a;
    QList<QByteArray> b;
    QByteArray line;
    while (fromFile.Next(line))
        a << line;
    while (fromBytes.Next(line))
        b << line;
    EXPECT_EQ(a, (QList<QByteArray>{"one", "two", "", "three"}));
    EXPECT_EQ(b, a);
    EXPECT_FALSE(fromBytes.Next(line));

    ASSERT_TRUE(fromBytes.Open(StationFile(QStringLiteral("LINES.DAT"))));
    QList<QByteArray> again;
    while (fromBytes.Next(line))
        again << line;
    EXPECT_EQ(again, a);
}

}  // namespace
}  // namespace celvio::testing
