// The walk through the TAC tables, the unknown-phone dialog and USERTAC.DAT.
#include "models/tac_lookup.h"
#include "support/station_fixture.h"

#include <QDir>
#include <QFile>

namespace celvio::testing {
namespace {

const QString kLookedUpImei = QStringLiteral("351234560123457");
const QString kUnknownImei = QStringLiteral("359876540000001");

class TacLookupTest : public StationFixture {
protected:
    void SetUp() override
    {
        app.st.DebugMode = kTrue;
        // The position tells which block was loaded.
        WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[REMARKS]\nfree text\n[ANT]\nPOSITION=1\n"
                                                                    "[STD]\nPOSITION=2\n[DBG]\nPOSITION=3\n"
                                                                    "[Tavik T12]\nPOSITION=4\n"
                                                                    "[Orvane 310]\nPOSITION=5\n"));
        WriteStationFile(QStringLiteral("MP.DAT"), QStringLiteral("[DBG]\nPOSITION=8\n"));
        WriteStationFile(QStringLiteral("More.tac"), QStringLiteral("351234,Orvane 310\n"));
    }

    // A lookup as the sequencer runs it.
    bool Lookup(const QString& imei = kLookedUpImei)
    {
        app.TacFileName = QStringLiteral("TAC6N.dat");
        app.ModelDbFileName = QStringLiteral("MP.DAT");
        return LookupPhoneModel(app, imei);
    }

    static QString AntTable() { return QStringLiteral("-7,MPN.DAT\n-2,USERTAC.DAT\n-6\n351234,Tavik T12\n-9,ANT\n"); }
};

TEST_F(TacLookupTest, TheWalkFindsTheModel)
{
    const struct {
        const char* what;
        const char* tac;
        const char* user;  // USERTAC.DAT, null for none
        const char* imei;
        const char* name;
        const char* position;
    } cases[] = {
        {"name as written, block without blanks", "-7,MPN.DAT\n350000,Orvane 310\n351234, Tavik T12\n-9,ANT",
         nullptr, "351234560123457", " Tavik T12", "4"},
        {"user file first, with 8 digits; its directives do nothing",
         "-7,MPN.DAT\n-2,USERTAC.DAT\n-6\n351234,Tavik T12\n-9,STD", "35123455,DBG\n-6\n35123456,Orvane 310",
         "351234560123457", "Orvane 310", "5"},
        {"8 digits stay after a fruitless user search", "-7,MPN.DAT\n-2,USERTAC.DAT\n351234,Tavik T12\n-9,STD",
         "11111111,DBG", "351234560123457", "Unknown", "2"},
        {"until a -6 line", "-7,MPN.DAT\n-2,USERTAC.DAT\n351234,DBG\n-6\n351234,Tavik T12\n-9,STD", "11111111,DBG",
         "351234560123457", "Tavik T12", "4"},
        {"missing user file: key unchanged", "-7,MPN.DAT\n-2,NOFILE.DAT\n351234,Tavik T12\n-9,STD", nullptr,
         "351234560123457", "Tavik T12", "4"},
        {"-8", "-7,MPN.DAT\n-8\n351234,STD\n35123456,Orvane 310\n-9,STD", nullptr, "351234560123457", "Orvane 310",
         "5"},
        {"IMEI not read: 999999", "-7,MPN.DAT\n999999,Orvane 310\n-9,STD", nullptr, "", "Orvane 310", "5"},
        {"IMEI not read, no 999999", "-7,MPN.DAT\n351234,Tavik T12\n-9,STD", nullptr, "", "Unknown", "2"},
        {"key 0 after -6 matches no blank or comment line", "-7,MPN.DAT\n-6\n\n# Tavik T12\n0,Orvane 310\n-9,DBG",
         nullptr, "", "DBG", "3"},
        {"-3 to -5 ignored, DBG", "-7,MPN.DAT\n-3,x\n-4\n-5\n-9,DBG", nullptr, "351234560123457", "DBG", "3"},
        {"other -9 argument", "-7,MPN.DAT\n-9, Tavik T12", nullptr, "351234560123457", " Tavik T12", "4"},
        {"-9 keywords are case-sensitive", "-7,MPN.DAT\n-9,std", nullptr, "351234560123457", "std", "2"},
        {"missing -7 file keeps MP.DAT", "-7,NOFILE.DAT\n-9,DBG", nullptr, "351234560123457", "DBG", "8"},
        {"-1 with a blank, names in any case", "-7, mpn.dat\n-1,NOFILE.TAC\n-1, more.TAC\n351234,DBG", nullptr,
         "351234560123457", "Orvane 310", "5"},
        {"numbers beyond 32 bits never match",
         "-7,MPN.DAT\n99999999999999999999,DBG\n-99999999999,STD\n351234,Tavik T12", nullptr, "351234560123457",
         "Tavik T12", "4"},
    };
    for (const auto& c : cases) {
        // Written without a final LF: the last line is read all the same.
        WriteStationFile(QStringLiteral("TAC6N.DAT"), QString::fromLatin1(c.tac));
        QFile::remove(StationFile(QStringLiteral("USERTAC.DAT")));
        if (c.user)
            WriteStationFile(QStringLiteral("USERTAC.DAT"), QString::fromLatin1(c.user) + QLatin1Char('\n'));
        app.Model.Name.clear();
        EXPECT_TRUE(Lookup(QString::fromLatin1(c.imei))) << c.what;
        EXPECT_EQ(app.Model.Name, QString::fromLatin1(c.name)) << c.what;
        EXPECT_EQ(app.Model.Position, QString::fromLatin1(c.position)) << c.what;
    }
    EXPECT_TRUE(platform.form5Lists.isEmpty());
    // Only the missing -7 database is worth a word to the operator.
    EXPECT_EQ(Trace(), QStringList{QStringLiteral(
                           "Model data: Model database NOFILE.DAT named in TAC6N.dat not found: MP.DAT used.")});
    EXPECT_EQ(platform.boxes.size(), 1);
}

// The previous phone's model never carries over: without a match the phone is measured
// without path attenuation, and the operator is told why.
TEST_F(TacLookupTest, NoMatchClearsThePreviousModelAndWarns)
{
    const struct {
        const char* tac;  // null: no TAC file
        const char* warning;
    } cases[] = {
        {nullptr, "TAC6N.dat not found: no path attenuation used."},
        {"-7,MPN.DAT\n351235,Tavik T12\n",
         "No entry for the IMEI 351234560123457 in TAC6N.dat and no default line: no path attenuation used."},
        {"-7,MPN.DAT\n351234,Nokla 99\n", "Block [Nokla99] not found in MPN.DAT: no path attenuation used."},
        {"-7,MPN.DAT\n-9,STD\n-7,NONE.DAT\n", nullptr},  // the -9 line ends the walk first
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tac ? c.tac : "(no file)");
        QFile::remove(StationFile(QStringLiteral("TAC6N.DAT")));
        if (c.tac)
            WriteStationFile(QStringLiteral("TAC6N.DAT"), QString::fromLatin1(c.tac));
        app.Model.Name = QStringLiteral("previous");
        app.Model.Position = QStringLiteral("6");
        app.Model.Rx[kBand900] = {9, 9, 9};
        platform.boxes.clear();
        Lookup();
        EXPECT_NE(app.Model.Name, QStringLiteral("previous"));
        EXPECT_NE(app.Model.Position, QStringLiteral("6"));
        EXPECT_EQ(app.Model.Rx[kBand900][0], 0.0f);
        if (!c.warning) {
            EXPECT_TRUE(platform.boxes.isEmpty());
            continue;
        }
        ASSERT_EQ(platform.boxes.size(), 1);
        EXPECT_EQ(platform.boxes[0].title, QStringLiteral("Phone model data"));
        EXPECT_EQ(platform.boxes[0].text, QStringLiteral("The phone model data is incomplete:\r\n") +
                                              QLatin1String(c.warning) +
                                              QStringLiteral("\r\nThe measurements may be inaccurate."));
    }
}

TEST_F(TacLookupTest, UnreadableAttenuationsAndOverlongNamesAreReported)
{
    WriteStationFile(QStringLiteral("TAC6N.DAT"),
                     QStringLiteral("-7,MPN.DAT\n351234,Tavik T12\n-9,") + QString(100, QLatin1Char('X')) + u'\n');
    WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[Tavik T12]\n(K530)\nRX900=1.5,abc,2\nTX900=2,,1E300\n"));
    app.st.CouplerLabel = QStringLiteral("(K530)");
    EXPECT_TRUE(Lookup());
    EXPECT_EQ(app.Model.Rx[kBand900], (std::array<float, 3>{1.5f, 0, 2}));
    EXPECT_EQ(app.Model.Tx[kBand900], (std::array<float, 3>{2, 0, 0}));  // a blank slot is 0 dB, silently
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_TRUE(platform.boxes[0].text.contains(
        QStringLiteral("MPN.DAT, block [Tavik T12]: unreadable value in \"RX900=1.5,abc,2\", 0 dB used.")));
    EXPECT_TRUE(platform.boxes[0].text.contains(QStringLiteral("TX900=2,,1E300")));

    // A default name of 100 characters is cut to 64.
    platform.boxes.clear();
    EXPECT_TRUE(Lookup(QStringLiteral("350000000000000")));
    EXPECT_EQ(app.Model.Name, QString(64, QLatin1Char('X')));
}

TEST_F(TacLookupTest, TheUnknownPhoneDialogAssignsTheTacOrFallsBackToAnt)
{
    WriteStationFile(QStringLiteral("TAC6N.DAT"), AntTable());
    WriteStationFile(QStringLiteral("USERTAC.DAT"), QStringLiteral("12345678,DBG\n"));
    platform.form5Choices = {4, -1};
    EXPECT_TRUE(Lookup(kUnknownImei));
    // Block names in file order, blanks kept, REMARKS left out.
    ASSERT_EQ(platform.form5Lists.size(), 1);
    EXPECT_EQ(platform.form5Lists[0], (QStringList{QStringLiteral("ANT"), QStringLiteral("STD"), QStringLiteral("DBG"),
                                                   QStringLiteral("Tavik T12"), QStringLiteral("Orvane 310")}));
    EXPECT_EQ(app.Model.Name, QStringLiteral("Orvane 310"));
    EXPECT_EQ(app.Model.Position, QStringLiteral("5"));
    EXPECT_EQ(ReadStationBytes(QStringLiteral("USERTAC.DAT")), QByteArray("12345678,DBG\r\n35987654,Orvane 310\r\n"));

    // The next phone of this type is found in USERTAC.DAT without a question.
    EXPECT_TRUE(Lookup(QStringLiteral("359876549999999")));
    EXPECT_EQ(app.Model.Name, QStringLiteral("Orvane 310"));
    EXPECT_EQ(platform.form5Lists.size(), 1);

    // CANCEL: "Unknown" with the settings of the ANT block, nothing recorded.
    EXPECT_TRUE(Lookup(QStringLiteral("350000000000000")));
    EXPECT_EQ(platform.form5Lists.size(), 2);
    EXPECT_EQ(app.Model.Name, QStringLiteral("Unknown"));
    EXPECT_EQ(app.Model.Position, QStringLiteral("1"));
    EXPECT_EQ(ReadStationBytes(QStringLiteral("USERTAC.DAT")).count('\n'), 2);
}

TEST_F(TacLookupTest, AChoiceThatCannotBeRecordedIsStillUsed)
{
    WriteStationFile(QStringLiteral("TAC6N.DAT"), AntTable());
    // A directory in USERTAC.DAT's place: no -2 search, and no append.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("USERTAC.DAT")));
    platform.form5Choices = {3, 3};
    EXPECT_TRUE(Lookup(kUnknownImei));
    EXPECT_EQ(app.Model.Name, QStringLiteral("Tavik T12"));
    EXPECT_EQ(app.Model.Position, QStringLiteral("4"));
    const QString path = dir.filePath(QStringLiteral("USERTAC.DAT"));
    EXPECT_EQ(Trace(), (QStringList{QStringLiteral("USERTAC.DAT could not be written: 35987654,Tavik T12"),
                                    QStringLiteral("File USERTAC.DAT could not be written: ") + path +
                                        QStringLiteral(" (Is a directory)")}));
    EXPECT_EQ(Boxes(), QStringList{Box(QString(), QStringLiteral("File USERTAC.DAT not accessible !\r\n") + path +
                                                      QStringLiteral("\r\nIs a directory"),
                                       msgbox::kOkOnly | msgbox::kCritical)});

    // An IMEI without digits would give a line that is never found again.
    EXPECT_TRUE(Lookup(QString()));
    EXPECT_EQ(app.Model.Name, QStringLiteral("Tavik T12"));
    EXPECT_EQ(Trace().last(), QStringLiteral("USERTAC.DAT not written, IMEI >< has no TAC."));
}

TEST_F(TacLookupTest, FilesThatLeadBackIntoEachOtherEndTheWalk)
{
    WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-1,B.TAC\n"));
    WriteStationFile(QStringLiteral("B.TAC"), QStringLiteral("-1,tac6n.dat\n"));
    EXPECT_FALSE(Lookup());
    EXPECT_EQ(Trace().first(), QStringLiteral("TAC file loop: -1,tac6n.dat ignored."));

    // Entering a file again with another key is no loop.
    WriteStationFile(QStringLiteral("B.TAC"), QStringLiteral("35123456,DBG\n-8\n-1,TAC6N.DAT\n"));
    EXPECT_TRUE(Lookup());
    EXPECT_EQ(app.Model.Name, QStringLiteral("DBG"));
}

TEST_F(TacLookupTest, StopDuringTheWalkEndsItWithoutAModel)
{
    app.Model.Name = QStringLiteral("previous");
    WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-7,MPN.DAT\n111111,DBG\n351234,Tavik T12\n"));
    app.Form1.MStop.Enabled = true;
    platform.Answer(QStringLiteral("restart the test"), msgbox::kYes);
    app.PendingActions.push_back(UiAction::Stop);  // the STOP menu, run at the first event turn
    EXPECT_FALSE(Lookup());
    EXPECT_TRUE(app.Model.Name.isEmpty());  // not the previous phone's
    EXPECT_TRUE(app.Model.Position.isEmpty());
    EXPECT_TRUE(platform.boxes.size() == 1 && platform.boxes[0].text.contains(QStringLiteral("restart")));
}

}  // namespace
}  // namespace celvio::testing
