// Whole TEST cycles of a station with a head office: the push runs beside the program,
// a server that is down costs the cycle nothing and the trace says so, and a server
// that is up has the cycle's test when the push ends.
#include "cycle/history_hooks.h"
#include "cycle/main.h"
#include "headoffice_fixture.h"
#include "support/station_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace celvio::testing {
namespace {

class HeadOfficeCycleTest : public StationFixture {
protected:
    void SetUp() override
    {
        WriteStationFile(QStringLiteral("CELVIO.INI"),
                         QStringLiteral("LANGUAGE    ENGLISH\nDIALNO      0123\nSEARCHCOM   0\nTOSEARCH    60\n") +
                             QLatin1String(kCycleStation));
        WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-7,MPN.DAT\n351234,Orvane Q7\n-9,STD\n"));
        WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[STD]\n[Orvane Q7]\nBANDS=900,1800,1900\n"));
        WriteStationFile(QStringLiteral("BADCHAN.DAT"), QStringLiteral("\" 5,\"\n"));
        WriteStationFile(QStringLiteral("DEBUGPM.INI"), QString());
        WriteStationBytes(QStringLiteral("Zoredudi.BMP"), "BM");
        app.HeadOffice.Program = QStringLiteral(CELVIO_HISTORY_PROGRAM);
        pg = PgCluster::FromEnvironment();
    }

    void HeadOfficeFile(int port)
    {
        WriteStationFile(QStringLiteral("HEADOFFICE.INI"),
                         QStringLiteral("HOST=127.0.0.1\nPORT=%1\nDATABASE=%2\nUSER=shop_a\nSSLMODE=disable\n"
                                        "COUNTER=Kasse 1\n")
                             .arg(port)
                             .arg(db));
    }

    // One failed TEST cycle of the simulated phone, ended with "New test".
    void FailedCycle()
    {
        AttachSimulator(1, QStringLiteral("phone.registration = 8\nphone.dial = 6\nphone.answer = 4\n"
                                          "fault.tx_power_offset = 6\nfault.tx_power_attempts = 1,2\n"));
        platform.Press(QStringLiteral("COM&1"));
        platform.Press(QStringLiteral("&Test"));
        platform.Press(QStringLiteral("GSM 900"));
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Audio Test"); },
                       QStringLiteral("the echo question"));
        platform.Press(QStringLiteral("&Yes"));
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Test Failed!"); },
                       QStringLiteral("the verdict"));
        platform.Press(QStringLiteral("&New test"));
        platform.Await(
            [](const App& a) { return a.Form1.Command2.Visible && a.Form1.Command2.Caption == QLatin1String("&Test"); },
            QStringLiteral("the mode dialog"));
        EXPECT_EQ(RunMain(app), -1);
    }

    // Waits for the push the cycle started, and lets its end be traced.
    QStringList HeadOfficeTrace()
    {
        if (app.HeadOffice.Running)
            app.HeadOffice.Running->waitForFinished(60000);
        QCoreApplication::processEvents();
        QStringList lines;
        for (const QString& line : Trace())
            if (line.startsWith(QLatin1String("Head office")))
                lines << line;
        return lines;
    }

    PgCluster pg;
    QString db = QStringLiteral("celvio");
    QTemporaryDir passDir;
};

TEST_F(HeadOfficeCycleTest, AServerThatIsDownCostsTheCycleNothing)
{
    HeadOfficeFile(1);  // nothing listens there
    QElapsedTimer clock;
    clock.start();
    FailedCycle();
    EXPECT_TRUE(QFileInfo::exists(StationFile(QStringLiteral("RESULTS/351234/0123457.TXT"))));
    const QStringList trace = HeadOfficeTrace();
    ASSERT_FALSE(trace.isEmpty());
    EXPECT_TRUE(trace.last().startsWith(QStringLiteral("Head office: push failed (shop_a@127.0.0.1:1/celvio:"
                                                       " server not reachable")))
        << trace.last().toStdString();
    EXPECT_TRUE(trace.last().endsWith(QStringLiteral("; the next push catches up"))) << trace.last().toStdString();
}

TEST_F(HeadOfficeCycleTest, TheCyclesTestReachesTheHeadOffice)
{
    PrepareDatabase(pg, db, passDir.path());
    HeadOfficeFile(pg.Port);
    FailedCycle();
    // The cycle's end may find the start-up's push still running: its index update then
    // gives up on the busy index, and its push is not started. The next cycle's update
    // and push catch up, as here.
    HeadOfficeTrace();
    UpdateHistoryIndex(app, false);
    const QStringList trace = HeadOfficeTrace();
    ASSERT_FALSE(trace.isEmpty());
    EXPECT_TRUE(trace.last().startsWith(QStringLiteral("Head office: Pushed to shop_a@127.0.0.1:")))
        << trace.last().toStdString();
    EXPECT_EQ(AdminSql(pg, db, QStringLiteral("SELECT imei, verdict, counter, path FROM celvio.tests")),
              QStringList{QStringLiteral("351234560123457|failed|Kasse 1|RESULTS/351234/0123457.TXT")});
}

}  // namespace
}  // namespace celvio::testing
