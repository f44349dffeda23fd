// A whole training session that tests and prints, swaps, scans (blocking channels) and,
// after a second start, archives the swap records: everything lands in the training
// station, and the real station is the same byte for byte.
#include "core/files.h"
#include "training_fixture.h"

#include <QFile>

namespace celvio::testing {
namespace {

class TrainingRun : public TrainingFixture {
protected:
    // The first start's cycles: a TEST of a weak transmitter with its report printed,
    // a SWAP to the second phone (its report printed), a SCAN that blocks channels.
    void Script()
    {
        platform.Press(QStringLiteral("&Done"));
        // TEST of a weak transmitter, customer screen left empty, report printed.
        session->Choose(2);
        platform.Press(QStringLiteral("&Test"));
        platform.Await([](const App& a) { return a.Form1.Text6.Visible; }, QStringLiteral("the customer screen"));
        platform.Press(QStringLiteral("&OK"));
        platform.Press(QStringLiteral("GSM 900"));
        Position();
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Audio Test"); },
                       QStringLiteral("the echo question"));
        platform.Press(QStringLiteral("&Yes"));
        platform.Press(QStringLiteral("&Test Report"));
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Test Report"); },
                       QStringLiteral("the test report screen"));
        platform.Press(QStringLiteral("&New test"));  // the stored result file is printed
        platform.Press(QStringLiteral("&Don't SWAP"));
        // SWAP to the second phone.
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Select mode"); },
                       QStringLiteral("the mode dialog"));
        platform.Do(UiAction::About, [this](const App&) {
            session->Choose(8);
            return true;
        });
        platform.Press(QStringLiteral("S&wap"));
        platform.Await([](const App& a) { return a.Form1.Text6.Visible; }, QStringLiteral("the customer screen"));
        platform.Press(QStringLiteral("&OK"));
        platform.Press(QStringLiteral("GSM 900"));
        platform.Await([](const App& a) { return a.Form1.Label3.Caption.contains(QLatin1String("IMEI Number")); },
                       QStringLiteral("the IMEI entry"));
        platform.Type(1, QStringLiteral("351234560234569"));
        platform.Press(QStringLiteral("&OK"));
        // SCAN with two busy channels.
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Select mode"); },
                       QStringLiteral("the mode dialog"));
        platform.Do(UiAction::About, [this](const App&) {
            session->Choose(9);
            return true;
        });
        platform.Press(QStringLiteral("&Scan"));
        platform.Press(QStringLiteral("&One Scan"));
        platform.Press(QStringLiteral("&Search more"));
        platform.Press(QStringLiteral("GSM 900"));
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Scan interrupted"); },
                       QStringLiteral("the end of the scan"));
        platform.Press(QStringLiteral("&Done"));
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Select mode"); },
                       QStringLiteral("the mode dialog"));
    }
};

TEST_F(TrainingRun, RealStationUnchangedAfterTestSwapScanPrintAndArchive)
{
    ServicePoint();
    // A head office in the real station: training never uses it.
    {
        QFile file(real.filePath(QStringLiteral("HEADOFFICE.INI")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("HOST=db.chain.example\r\nDATABASE=celvio\r\nUSER=kiel_1\r\n");
    }
    // The test report printed when the result screen closes; a service point.
    Boot(QStringLiteral("TESTPRINT   1\nSWAPFILE    1\n"));
    QMap<QString, QByteArray> before = TreeBytes(real.path());
    for (auto it = before.begin(); it != before.end();)
        it = it.key().startsWith(QLatin1String("TRAINING/")) ? before.erase(it) : std::next(it);

    Script();
    ASSERT_TRUE(Run());
    EXPECT_TRUE(TrainingBytes(QStringLiteral("RESULTS/351234/0234569.TXT")).contains("OVERALL TEST RESULT: Failed"));
    // The scan's blocked channels are the training station's; the next start takes the
    // real station's list again.
    EXPECT_EQ(TrainingBytes(QStringLiteral("BADCHAN.DAT")), QByteArray("\" 3, 8, 12,\"\r\n"));

    // A second start archives the swap records from the port search screen.
    StartProgram();
    platform.Press(QStringLiteral("&Archive"));
    platform.Await([this](const App&) { return !platform.boxes.isEmpty() && platform.boxes.last().title == "Archive successful."; },
                   QStringLiteral("the archive's message"));
    platform.Press(QStringLiteral("&Done"));
    platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Select mode"); },
                   QStringLiteral("the mode dialog"));
    ASSERT_TRUE(Run());

    QMap<QString, QByteArray> after = TreeBytes(real.path());
    QStringList trained;
    for (auto it = after.begin(); it != after.end();) {
        if (it.key().startsWith(QLatin1String("TRAINING/"))) {
            trained << it.key().mid(9);
            it = after.erase(it);
        } else {
            ++it;
        }
    }
    EXPECT_EQ(after, before);
    // What the session wrote, in the training station.
    const QStringList wanted{QStringLiteral("RESULTS/351234/0234569.TXT"), QStringLiteral("DEBUG.LOG"),
                             QStringLiteral("scan.log"), QStringLiteral("HISTORY.DB")};
    for (const QString& name : wanted)
        EXPECT_TRUE(trained.contains(name)) << qPrintable(name) << "\n" << qPrintable(trained.join(u'\n'));
    EXPECT_TRUE(std::any_of(trained.begin(), trained.end(),
                            [](const QString& n) { return n.startsWith(QLatin1String("RESULTS/LOG/BACKUP")); }))
        << qPrintable(trained.join(u'\n'));
    EXPECT_EQ(trained.filter(QStringLiteral("SUMMARIES/")).size(), 3);
    EXPECT_FALSE(trained.contains(QStringLiteral("HEADOFFICE.INI")));
    // Two documents printed (the test report and the swap report), every page marked.
    ASSERT_EQ(platform.printer.documents.size(), 2);
    for (const auto& document : platform.printer.documents)
        for (const QStringList& page : document.pages)
            EXPECT_EQ(page.value(0), QStringLiteral("TRAINING - not a test certificate"));
    EXPECT_EQ(app->HeadOffice.Running, nullptr);  // nothing pushed
}

}  // namespace
}  // namespace celvio::testing
