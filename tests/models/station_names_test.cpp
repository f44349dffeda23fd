// Names of files taken from the data files stay inside the station directory: TAC
// directives -1, -2 and -7 and picture names that climb out are refused and traced;
// plain names and sub-folders of the station still work.
#include "core/helpers.h"
#include "core/station_names.h"
#include "models/tac_lookup.h"
#include "support/station_fixture.h"

#include <QDir>
#include <QFile>

namespace celvio::testing {
namespace {

const QString kImei = QStringLiteral("351234560123457");

class StationNamesTest : public StationFixture {
protected:
    void SetUp() override
    {
        app.st.DebugMode = kTrue;
        // The station is a folder of the test directory; the files beside it are
        // "outside" and would be found by a name that climbs out.
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("station/sub")));
        app.StationDir = dir.filePath(QStringLiteral("station"));
        Put(QStringLiteral("outside.tac"), "351234,Evil\r\n");
        Put(QStringLiteral("outside.usr"), "35123456,Evil\r\n");
        Put(QStringLiteral("evil.dat"), "[Evil]\r\nPOSITION=9\r\n[Tavik T12]\r\nPOSITION=9\r\n");
        Put(QStringLiteral("evil.bmp"), "BM");
        Put(QStringLiteral("station/MPN.DAT"), "[STD]\r\nPOSITION=2\r\n[Tavik T12]\r\nPOSITION=4\r\n");
        Put(QStringLiteral("station/sub/inner.tac"), "351234,Tavik T12\r\n");
        Put(QStringLiteral("station/sub/pic.bmp"), "BM");
    }

    void Put(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    bool Lookup(const QByteArray& table)
    {
        Put(QStringLiteral("station/TAC6N.DAT"), table);
        app.TacFileName = QStringLiteral("TAC6N.DAT");
        app.ModelDbFileName = QStringLiteral("MPN.DAT");
        return LookupPhoneModel(app, kImei);
    }
};

TEST_F(StationNamesTest, NamesThatClimbOutOfTheStationAreRefused)
{
    const struct {
        const char* name;
        bool inside;
    } cases[] = {
        {"MPN.DAT", true},        {"sub/inner.tac", true},     {"sub\\inner.tac", true},   {"a..b.dat", true},
        {"../outside.tac", false}, {"..\\outside.tac", false}, {"sub/../../x", false},     {"sub\\..\\..\\x", false},
        {"/etc/passwd", false},    {"\\x", false},              {"C:\\x.dat", false},        {"c:x", false},
        {"//server/x", false},     {"..", false},              {"", false},                 {" .. /x", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsInsideStation(QString::fromLatin1(c.name)), c.inside) << c.name;
}

TEST_F(StationNamesTest, TacDirectivesWithOutsideNamesAreRefusedAndTraced)
{
    const struct {
        const char* table;
        const char* traced;  // the refusal, or null when the name is accepted
        const char* model;   // the model the walk ends with
        const char* position;
    } cases[] = {
        {"-1,../outside.tac\r\n-9,STD\r\n", "TAC file >../outside.tac< refused: outside the station directory.",
         "Unknown", "2"},
        {"-1,..\\outside.tac\r\n-9,STD\r\n", "TAC file >..\\outside.tac< refused: outside the station directory.",
         "Unknown", "2"},
        {"-2,../outside.usr\r\n-9,STD\r\n", "User TAC file >../outside.usr< refused: outside the station directory.",
         "Unknown", "2"},
        {"-7,../evil.dat\r\n351234,Tavik T12\r\n", "Model database >../evil.dat< refused: outside the station directory.",
         "Tavik T12", "4"},
        {"-1,sub/inner.tac\r\n-9,STD\r\n", nullptr, "Tavik T12", "4"},  // a sub-folder of the station
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        platform.boxes.clear();
        app.DebugFrm.DebugFeld.clear();
        ASSERT_TRUE(Lookup(c.table));
        EXPECT_EQ(app.Model.Name, QString::fromLatin1(c.model));
        EXPECT_EQ(app.Model.Position, QString::fromLatin1(c.position));
        if (c.traced)
            EXPECT_TRUE(Trace().contains(QString::fromLatin1(c.traced))) << qPrintable(Trace().join(u'\n'));
        else
            EXPECT_FALSE(Trace().join(u'\n').contains(QStringLiteral("refused")));
    }
}

TEST_F(StationNamesTest, PicturesOutsideTheStationAreNotShown)
{
    const struct {
        const char* name;
        bool shown;
    } cases[] = {{"../evil.bmp", false}, {"..\\evil.bmp", false}, {"sub/pic.bmp", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.Form1.Picture1.File.clear();
        ShowPicture(app, QStringLiteral("Transmit.BMP"), QString::fromLatin1(c.name));
        EXPECT_EQ(!app.Form1.Picture1.File.isEmpty(), c.shown);
    }
    EXPECT_TRUE(Trace().contains(QStringLiteral("Picture >../evil.bmp< refused: outside the station directory.")));
}

}  // namespace
}  // namespace celvio::testing
