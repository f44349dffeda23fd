// celvio-history through its entry function: text tables, JSON, the CSV export, the
// filters and the exit codes.
#include "history/cli_options.h"
#include "history/history_cli.h"
#include "history/history_query.h"
#include "history_fixture.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QJsonDocument>
#include <QJsonObject>

namespace celvio::testing {
namespace {

class HistoryCliTest : public HistoryFixture {
protected:
    void SetUp() override { HandWrittenStation(); }

    int Run(QStringList args)
    {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        args.prepend(dir.path());
        args.prepend(QStringLiteral("--station"));
        return RunHistoryCli(args, o, e);
    }

    QString out, err;
};

TEST_F(HistoryCliTest, FindPrintsTestsAndRecordsNewestFirst)
{
    EXPECT_EQ(Run({"find", "490154-203237-518"}), kHistoryOk);
    // Each file with its full path.
    const QString root = dir.path() + QLatin1Char('/');
    EXPECT_EQ(out,
              "DATE        TIME      IMEI                                MODEL       SYSTEM  VERDICT  FAILED"
              "                          FILE\n"
              "2026-12-08  09:40:12  490154203237518 -> 490154209999991                      swap"
              "                                     " + root + "RESULTS/490154/9999991.TXT\n"
              "2026-12-08  09:15:00  490154203237518                     Kestrel 20  GSM900  aborted"
              "  Call From Base Station: Failed  " + root + "RESULTS/490154/3237518.TXT\n"
              "\n"
              "DATE        RECORD  OLD IMEI         NEW IMEI         CLUB        RESULT  FILE\n"
              "2026-12-08  IMEI    490154203237518  490154209999991  0123456789  SWAP    " + root +
              "RESULTS/LOG/AB123ACT.IME:4\n"
              "2026-12-08  SWAP    490154203237518  490154209999991  0123456789          " + root +
              "RESULTS/LOG/AB123ACT.IWR:3\n");
    EXPECT_EQ(err, "celvio-history: 4 damaged or foreign files skipped\n");

    EXPECT_EQ(Run({"--json", "find", "351234570543215"}), kHistoryOk);
    const QJsonObject found = QJsonDocument::fromJson(out.toUtf8()).object();
    const QJsonArray tests = found[QStringLiteral("tests")].toArray();
    ASSERT_EQ(tests.size(), 1);
    EXPECT_EQ(tests[0][QStringLiteral("verdict")].toString(), QStringLiteral("failed"));
    EXPECT_EQ(tests[0][QStringLiteral("failed")].toArray().size(), 5);
    EXPECT_EQ(found[QStringLiteral("records")].toArray()[0][QStringLiteral("result")].toString(),
              QStringLiteral("FAIL"));

    // An unknown phone: said so, and exit code 1 for scripts.
    EXPECT_EQ(Run({"find", "111111111111111"}), kHistoryNothingFound);
    EXPECT_EQ(out, "No test and no swap record of 111111111111111.\n");
}

TEST_F(HistoryCliTest, ListStatsAndExport)
{
    EXPECT_EQ(Run({"list", "--verdict", "passed", "--no-update"}), kHistoryNothingFound);  // index still empty
    EXPECT_EQ(Run({"list", "--model", "orvane", "--since", "2026-12-07", "--until", "2026-12-07"}), kHistoryOk);
    EXPECT_EQ(out.count(QLatin1Char('\n')), 3);
    EXPECT_TRUE(out.contains(QStringLiteral("RESULTS/351234/0543215.TXT")));
    EXPECT_EQ(Run({"list", "--since", "2027-01-01"}), kHistoryNothingFound);

    EXPECT_EQ(Run({"stats", "--by", "model"}), kHistoryOk);
    EXPECT_EQ(out, "MODEL       TESTS  PASSED  FAILED  ABORTED  PASS RATE  SWAPS\n"
                   "Kestrel 20  1      0       0       1        0.0%       1\n"
                   "Orvane Q7   2      1       1       0        50.0%      0\n");
    EXPECT_EQ(Run({"stats", "--json"}), kHistoryOk);
    const QJsonObject all = QJsonDocument::fromJson(out.toUtf8()).array()[0].toObject();
    EXPECT_EQ(all[QStringLiteral("tests")].toInt(), 3);
    EXPECT_EQ(all[QStringLiteral("swaps")].toInt(), 1);
    EXPECT_EQ(Run({"stats", "--by", "quantity", "--model", "Orvane"}), kHistoryOk);
    EXPECT_TRUE(out.startsWith(QStringLiteral("QUANTITY             FAILED TESTS  FAILED VALUES  PASSED ON REPETITION\n"
                                              "TX Power             1             1              1\n")))
        << qPrintable(out);

    // One row per test (not the direct swap); a comma in a text is quoted.
    const QString csv = dir.path() + QStringLiteral("/export.csv");
    EXPECT_EQ(Run({"export", "--csv", csv, "--verdict", "failed"}), kHistoryOk);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              "date,time,imei,imsi,model,system,verdict,failed,fault,tester_serial,firmware,file\r\n"
              "2026-12-07,14:35:02,351234570543215,001010123456789,Orvane Q7,\"GSM900,1800\",failed,"
              "Dialled Number: 0124; TX Power [100]: 16.2; RX Level [100]: 40; Frequency Error [884]: -190; "
              "Power-Time Template [884]: Template failed,Display flickers when the phone rings and then dies,"
              "100123,V3.10,RESULTS/351234/0543215.TXT\r\n");
    EXPECT_EQ(Run({"export", "--csv", "-"}), kHistoryOk);
    EXPECT_EQ(out.count(QStringLiteral("\r\n")), 4);
    // Texts a spreadsheet would run as formulas are written as plain text; a dash or an
    // equals sign inside a text is left alone.
    TestRow typed;
    typed.Date = QStringLiteral("2026-12-07");
    typed.Model = QStringLiteral("-Q7");
    typed.Fault = QStringLiteral("=HYPERLINK(\"http://x\",\"call me\")");
    typed.Firmware = QStringLiteral("@V3");
    typed.TesterSerial = QStringLiteral("+100123");
    typed.File = QStringLiteral("RESULTS/351234/a=b-c.TXT");
    EXPECT_EQ(CsvRow(typed), "2026-12-07,,,,'-Q7,,,,\"'=HYPERLINK(\"\"http://x\"\",\"\"call me\"\")\",'+100123,'@V3,"
                             "RESULTS/351234/a=b-c.TXT\r\n");
}

TEST_F(HistoryCliTest, ExitCodesForScripts)
{
    struct Case {
        QStringList args;
        int code;
        const char* message;  // part of what goes to standard error
    } cases[] = {
        {{}, kHistoryUsage, "no command"},
        {{"frobnicate"}, kHistoryUsage, "unknown command frobnicate"},
        {{"frob\nnicate"}, kHistoryUsage, "unknown command frob?nicate. Try"},
        {{"list", "--verdict", "good"}, kHistoryUsage, "--verdict takes"},
        {{"list", "--since", "7.12.2026"}, kHistoryUsage, "--since needs a date"},
        {{"stats", "--by", "colour"}, kHistoryUsage, "--by takes"},
        {{"find"}, kHistoryUsage, "find needs one IMEI"},
        {{"export"}, kHistoryUsage, "export needs --csv"},
        {{"list", "--frobnicate"}, kHistoryUsage, "unknown option '--frobnicate'"},
        {{"list", "--limit"}, kHistoryUsage, "missing value after '--limit'"},
        {{"list", "--station="}, kHistoryUsage, "--station needs a directory"},
        {{"list", "--limit=-1"}, kHistoryUsage, "--limit needs a number"},
        {{"export", "--csv", "/nonexistent-folder/x.csv"}, kHistoryWriteError, "cannot write"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), c.code) << qPrintable(c.args.join(QLatin1Char(' ')));
        EXPECT_TRUE(err.contains(QString::fromLatin1(c.message))) << qPrintable(err);
    }
    EXPECT_EQ(Run({"--help"}), kHistoryOk);
    EXPECT_TRUE(out.contains(QStringLiteral("Exit codes:")));
    EXPECT_EQ(Run({"--version"}), kHistoryOk);
    EXPECT_EQ(out, QStringLiteral("celvio-history 2.02\n"));
    // Both spellings of a value, anywhere on the line, and an IMEI after "--".
    EXPECT_EQ(Run({"list", "--verdict=failed", "--limit", "1"}), kHistoryOk);
    const QString failed = out;
    EXPECT_EQ(Run({"--limit=1", "list", "--verdict", "failed"}), kHistoryOk);
    EXPECT_EQ(out, failed);
    EXPECT_EQ(Run({"--", "find", "490154-203237-518"}), kHistoryOk);

    QTextStream o(&out), e(&err);
    EXPECT_EQ(RunHistoryCli({"--station", dir.path() + QStringLiteral("/nowhere"), "list"}, o, e), kHistoryIndexError);

    EXPECT_EQ(Run({"rebuild"}), kHistoryOk);
    EXPECT_TRUE(out.startsWith(QStringLiteral("11 files read, 0 unchanged, 0 removed, 4 skipped (damaged or foreign)")));
    EXPECT_TRUE(out.contains(QStringLiteral("skipped: ") + dir.path() +
                             QStringLiteral("/RESULTS/LOG/NOTES.IME: not a record file\n")));
}

// Without --station: $CELVIO_STATION, else ~/CELVIO, else the current folder when it is a
// station; a folder that is none gets no index and the answer "no station here".
TEST_F(HistoryCliTest, DefaultStationAndNoStationHere)
{
    QTemporaryDir home, elsewhere;
    const QString station = dir.path();
    struct Case {
        QString environment, home, current, expected;
    } cases[] = {
        {QStringLiteral("/srv/shop"), home.path(), station, QStringLiteral("/srv/shop")},
        {QString(), home.path(), station, station},
        {QString(), home.path(), elsewhere.path(), QString()},
        {QString(), QString(), elsewhere.path(), QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DefaultStation(c.environment, c.home, c.current), c.expected) << qPrintable(c.current);
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("CELVIO")));
    EXPECT_EQ(DefaultStation(QString(), home.path(), station), home.filePath(QStringLiteral("CELVIO")));

    // A settings file alone, in any case, makes a station; a folder of other files does not.
    EXPECT_TRUE(IsStation(station));
    EXPECT_FALSE(IsStation(elsewhere.path()));
    QFile(elsewhere.filePath(QStringLiteral("results"))).open(QIODevice::WriteOnly);
    EXPECT_FALSE(IsStation(elsewhere.path()));  // a file named so is no RESULTS folder
    QFile(elsewhere.filePath(QStringLiteral("celvio.ini"))).open(QIODevice::WriteOnly);
    EXPECT_TRUE(IsStation(elsewhere.path()));

    QTemporaryDir empty;
    QTextStream o(&out), e(&err);
    for (const char* command : {"list", "rebuild"}) {
        err.clear();
        EXPECT_EQ(RunHistoryCli({"--station", empty.path(), command}, o, e), kHistoryIndexError);
        EXPECT_TRUE(err.contains(QStringLiteral("no station here"))) << qPrintable(err);
    }
    EXPECT_TRUE(QDir(empty.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
}

}  // namespace
}  // namespace celvio::testing
