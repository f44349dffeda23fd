// Finding and identifying the tester as the start-up does it, through the real Main,
// with the settings file deciding between the search and the port question.
#include "support/station_fixture.h"

#include "sim/tester.h"

namespace celvio::testing {
namespace {

class StartupLinkTest : public StationFixture {
protected:
    void WriteStation(const QString& settings)
    {
        WriteStationFile(QStringLiteral("CELVIO.INI"), settings);
        WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-9,STD\n"));
        WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[STD]\n"));
        WriteStationFile(QStringLiteral("BADCHAN.DAT"), QStringLiteral("\" 30,\"\n"));
        WriteStationBytes(QStringLiteral("DEBUGPM.INI"), QByteArray());
        WriteStationBytes(QStringLiteral("Zoredudi.BMP"), "BM");
    }
};

TEST_F(StartupLinkTest, SearchWithoutComSpeedFindsTheTesterAt19200AndReachesTheModeDialog)
{
    WriteStation(QStringLiteral("LANGUAGE    EN\nSEARCHCOM   1\n"));
    auto tester = AttachSimulator(4);
    QString screen;
    platform.Await(
        [&screen](const App& a) {
            screen = a.Form1.Label3.Caption;
            return a.Form1.Command1.Caption == QLatin1String("&Done");
        },
        QStringLiteral("the search screen"));
    platform.Press(QStringLiteral("&Done"));

    EXPECT_EQ(RunMain(app), -1);
    EXPECT_TRUE(screen.contains(QStringLiteral("7703S menu : Baudrate : 19200,\r\n"))) << qPrintable(screen);
    EXPECT_EQ(platform.serial.Settings(), QStringLiteral("19200,N,8,1"));
    EXPECT_EQ(app.st.TesterPort, 4);
    EXPECT_EQ(tester->receivedLines(), (QStringList{QStringLiteral("*RST;*IDN?"), QStringLiteral("SYST:COMM:LOC"),
                                                    QStringLiteral("*IDN?"), QStringLiteral("*CLS")}));
    EXPECT_EQ(app.Form3.TesterModel.Caption, QStringLiteral("7703S"));
    for (const BoxRecord& box : platform.boxes)
        ADD_FAILURE() << qPrintable(box.title + QLatin1Char('|') + box.text);
}

}  // namespace
}  // namespace celvio::testing
