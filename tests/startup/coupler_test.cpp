// The coupler choice: the menu's radio group, "CPLCONN.INI", and the start-up steps
// that restore it, let the operator change it and fix it for the run.
#include "cycle/coupler.h"
#include "cycle/main.h"
#include "support/station_fixture.h"

#include <QDir>
#include <QFile>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

class CouplerTest : public StationFixture {
protected:
    std::array<bool, 4> Marks() const
    {
        const Form1& f = app.Form1;
        return {f.Mnu_CoupOld.Checked, f.Mnu_CoupNew.Checked, f.Mnu_CoupSBox.Checked, f.Mnu_CoupSBoxK590.Checked};
    }
};

TEST_F(CouplerTest, StoredNumberIsTheNumericValueOfTheFirstLine)
{
    EXPECT_EQ(ReadCouplerChoice(app), 1);  // no file: K530
    const std::pair<QByteArray, short> cases[] = {{" 3\r\n", 3},   {"4", 4},         {"2.5\r\n", 2}, {"abc\r\n", 0},
                                                  {"", 0},         {"\r\n 3\r\n", 0}, {"99999", 0},   {"-1\r\n", -1}};
    for (const auto& [bytes, expected] : cases) {
        WriteStationBytes(u"cplconn.ini"_s, bytes);
        EXPECT_EQ(ReadCouplerChoice(app), expected) << bytes.constData();
    }
}

TEST_F(CouplerTest, SaveWritesOneLineUnderTheFilesOwnSpellingButNotOverAReadOnlyFile)
{
    SaveCouplerChoice(app, 2);
    EXPECT_EQ(ReadStationBytes(u"CPLCONN.INI"_s), " 2\r\n");
    SaveCouplerChoice(app, -1);
    EXPECT_EQ(ReadStationBytes(u"CPLCONN.INI"_s), "-1\r\n");

    QFile::rename(StationFile(u"CPLCONN.INI"_s), StationFile(u"cplconn.ini"_s));
    SaveCouplerChoice(app, 3);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"cplconn.ini"_s});
    EXPECT_EQ(ReadStationBytes(u"cplconn.ini"_s), " 3\r\n");

    QFile::setPermissions(StationFile(u"cplconn.ini"_s), QFile::ReadOwner);
    SaveCouplerChoice(app, 4);
    EXPECT_EQ(ReadStationBytes(u"cplconn.ini"_s), " 3\r\n");
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(CouplerTest, MenuEntriesAreARadioGroupUntilDisabled)
{
    Mnu_CoupSbox_Click(app);
    EXPECT_EQ(Marks(), (std::array{false, false, true, false}));
    Mnu_CoupSboxK590_Click(app);
    EXPECT_EQ(Marks(), (std::array{false, false, false, true}));
    Mnu_CoupNew_Click(app);
    Mnu_CoupNew_Click(app);
    EXPECT_EQ(Marks(), (std::array{false, true, false, false}));
    app.Form1.Mnu_CoupOld.Enabled = false;  // a click still queued when the coupler was fixed
    Mnu_CoupOld_Click(app);
    EXPECT_EQ(Marks(), (std::array{false, true, false, false}));
}

// ---- start-up ------------------------------------------------------------------------

class CouplerStartupTest : public CouplerTest {
protected:
    void SetUp() override
    {
        WriteMinimalStation(u"LANGUAGE    EN\nSEARCHCOM   1\n"_s);
        AttachSimulator(1);
        platform.Press(u"&Done"_s);  // the operator starts the port search
    }
    // Runs Main through the start-up up to the mode dialog; checks the result.
    void StartUp(const QByteArray& stored, std::array<bool, 4> marks, const QString& label)
    {
        if (!stored.isNull())
            WriteStationBytes(u"CPLCONN.INI"_s, stored);
        try {
            EXPECT_EQ(RunMain(app), -1);
        } catch (const ScriptStuck& stuck) {
            FAIL() << qPrintable(stuck.what);
        }
        EXPECT_EQ(Marks(), marks);
        EXPECT_EQ(app.st.CouplerLabel, label);
        EXPECT_TRUE(Trace().contains(u"Coupler type = "_s + label));
        const Form1& f = app.Form1;
        EXPECT_FALSE(f.Mnu_CoupOld.Enabled || f.Mnu_CoupNew.Enabled || f.Mnu_CoupSBox.Enabled ||
                     f.Mnu_CoupSBoxK590.Enabled);
    }
};

TEST_F(CouplerStartupTest, FirstStartChoosesK530AndStoresIt)
{
    StartUp(QByteArray(), {true, false, false, false}, u"(K530)"_s);
    EXPECT_EQ(ReadStationBytes(u"CPLCONN.INI"_s), " 1\r\n");
}

TEST_F(CouplerStartupTest, StoredChoiceIsRestored)
{
    StartUp(" 3\r\n", {false, false, true, false}, u"(K580SB)"_s);
}

TEST_F(CouplerStartupTest, OperatorMayChangeTheCouplerUntilTheTesterIsIdentified)
{
    platform.Do(UiAction::CoupNew, [](const App& a) { return a.Form1.Visible; });
    platform.Do(UiAction::CoupOld, [](const App& a) { return a.Form1.Command2.Caption == u"&Test"_s; });
    StartUp(" 4\r\n", {false, true, false, false}, u"(K580)"_s);
    EXPECT_EQ(ReadStationBytes(u"CPLCONN.INI"_s), " 2\r\n");
}

TEST_F(CouplerStartupTest, NumberOutsideOneToFourChoosesNothingAndIsWrittenBack)
{
    StartUp(" 7\r\n", {false, false, false, false}, QString());
    EXPECT_EQ(ReadStationBytes(u"CPLCONN.INI"_s), " 7\r\n");
}

}  // namespace
}  // namespace celvio::testing
