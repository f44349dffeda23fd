// Pushes of hand-written stations into a real PostgreSQL server: every file once, a
// push repeated after a lost acknowledgement adds nothing, skipped files are listed and
// never half uploaded, typed texts arrive unchanged, and the chain's queries answer in
// the station's shapes.
#include "headoffice_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>

namespace celvio::testing {
namespace {

class HeadOfficePushTest : public HeadOfficeFixture {
protected:
    // Shop AB123 (this fixture's hand-written station) and shop CD456 (one passed test of
    // a phone that AB123 also tested).
    void TwoShops()
    {
        HandWrittenStation();
        ServicePoint(dir.path(), QStringLiteral("AB123"), QStringLiteral("Handy Shop Nord"));
        ASSERT_TRUE(second.isValid());
        PutAt(second.path() + QStringLiteral("/RESULTS/351234/0000017.TXT"), HandWritten(kPassedGsmFile));
        ServicePoint(second.path(), QStringLiteral("CD456"), QStringLiteral("Handy Shop S\xfc" "d"));
    }

    QTemporaryDir second;
};

TEST_F(HeadOfficePushTest, EveryFileOnceAndARepeatedPushAddsNothing)
{
    TwoShops();
    const CliRun first = Push(dir.path(), QStringLiteral("shop_a"), QStringLiteral("Kasse 1"));
    ASSERT_EQ(first.Code, 0) << first.Err.toStdString();
    // Four result files (three tests and a direct swap), four lines of the record files
    // (the archive's damaged line is not one) and the four damaged or foreign files.
    EXPECT_TRUE(first.Out.startsWith(QStringLiteral("Pushed to ") + pg.Server(QStringLiteral("shop_a"), db) +
                                     QStringLiteral(": 4 tests, 4 swap record lines, 4 skipped files (12 new on the"
                                                    " server) in ")))
        << first.Out.toStdString();
    EXPECT_TRUE(first.Out.endsWith(QStringLiteral("; 0 files pending\n"))) << first.Out.toStdString();
    EXPECT_EQ(AdminValue(QStringLiteral("SELECT count(*) FROM celvio.tests")), QStringLiteral("4"));
    EXPECT_EQ(AdminValue(QStringLiteral("SELECT count(*) FROM celvio.swap_records")), QStringLiteral("4"));
    EXPECT_EQ(Admin(db, QStringLiteral("SELECT path, reason <> '' FROM celvio.skipped_files ORDER BY path")),
              (QStringList{QStringLiteral("RESULTS/351234/0000017A.TXT|t"), QStringLiteral("RESULTS/351234/0000017B.TXT|t"),
                           QStringLiteral("RESULTS/490154/HUGE.TXT|t"), QStringLiteral("RESULTS/LOG/NOTES.IME|t")}));
    // Rows carry the counter, its shop and its login.
    EXPECT_EQ(Admin(db, QStringLiteral("SELECT DISTINCT station, counter, service_point, company FROM celvio.tests")),
              QStringList{QStringLiteral("shop_a|Kasse 1|AB123|Handy Shop Nord")});

    // Nothing new: nothing sent.
    const CliRun again = Push(dir.path(), QStringLiteral("shop_a"), QStringLiteral("Kasse 1"));
    ASSERT_EQ(again.Code, 0) << again.Err.toStdString();
    EXPECT_TRUE(again.Out.contains(QStringLiteral(": 0 tests, 0 swap record lines, 0 skipped files (0 new")));

    // The acknowledgements lost (as when the answer to a commit never arrived): all is
    // sent again, and the server keeps every row once.
    {
        HistoryIndex index(dir.path());
        ASSERT_TRUE(index.Open());
        QSqlQuery q(index.Database());
        ASSERT_TRUE(q.exec(QStringLiteral("DELETE FROM headoffice_acks")));
    }
    const CliRun lost = Push(dir.path(), QStringLiteral("shop_a"), QStringLiteral("Kasse 1"));
    ASSERT_EQ(lost.Code, 0) << lost.Err.toStdString();
    EXPECT_TRUE(lost.Out.contains(QStringLiteral(": 4 tests, 4 swap record lines, 4 skipped files (0 new")))
        << lost.Out.toStdString();
    EXPECT_EQ(AdminValue(QStringLiteral("SELECT count(*) || '/' || (SELECT count(*) FROM celvio.swap_records) || '/' ||"
                                        " (SELECT count(*) FROM celvio.skipped_files) FROM celvio.tests")),
              QStringLiteral("4/4/4"));

    // The status, from the station alone.
    const CliRun status = RunCli({QStringLiteral("--station"), dir.path(), QStringLiteral("--server"),
                                  pg.TcpUri(QStringLiteral("shop_a"), db), QStringLiteral("status")});
    ASSERT_EQ(status.Code, 0);
    EXPECT_TRUE(status.Out.startsWith(QStringLiteral("Head office: ") + pg.Server(QStringLiteral("shop_a"), db) +
                                      QStringLiteral("\nPending: 0 files (0 result files, 0 record files, 0 skipped"
                                                     " files)\nLast push: ")))
        << status.Out.toStdString();
    EXPECT_FALSE(status.Out.contains(QStringLiteral("never")));
}

TEST_F(HeadOfficePushTest, TheChainAnswersInTheStationsShapes)
{
    TwoShops();
    ASSERT_EQ(Push(dir.path(), QStringLiteral("shop_a"), QStringLiteral("Kasse 1")).Code, 0);
    ASSERT_EQ(Push(second.path(), QStringLiteral("shop_b"), QStringLiteral("Tresen")).Code, 0);
    const QStringList office{QStringLiteral("--server"), pg.AdminUri(db)};

    const CliRun shops = RunCli(office + QStringList{QStringLiteral("stats"), QStringLiteral("--by"),
                                                     QStringLiteral("shop")});
    ASSERT_EQ(shops.Code, 0) << shops.Err.toStdString();
    EXPECT_EQ(shops.Out, QStringLiteral("SHOP   TESTS  PASSED  FAILED  ABORTED  PASS RATE  SWAPS\n"
                                        "AB123  3      1       1       1        33.3%      1\n"
                                        "CD456  1      1       0       0        100.0%     0\n"));

    // A phone tested in both shops: both tests, each with its shop, and the record
    // of the shop that keeps one.
    const CliRun both = RunCli(office + QStringList{QStringLiteral("find"), QStringLiteral("351234000000017")});
    ASSERT_EQ(both.Code, 0) << both.Err.toStdString();
    EXPECT_EQ(both.Out,
              QStringLiteral(
                  "DATE        TIME      IMEI             MODEL      SYSTEM  VERDICT  FAILED  FILE                    "
                  "    SHOP   COUNTER\n"
                  "2026-12-07  10:04:09  351234000000017  Orvane Q7  GSM900  passed           "
                  "RESULTS/351234/0000017.TXT  CD456  Tresen\n"
                  "2026-12-07  10:04:09  351234000000017  Orvane Q7  GSM900  passed           "
                  "RESULTS/351234/0000017.TXT  AB123  Kasse 1\n"
                  "\n"
                  "DATE        RECORD  OLD IMEI         NEW IMEI  CLUB  RESULT  FILE                              "
                  "   SHOP   COUNTER\n"
                  "2026-12-06  IMEI    351234000000017            *     PASS    "
                  "RESULTS/LOG/BACKUP26/AB123L06.IME:3  AB123  Kasse 1\n"));

    // The same JSON as the station's own, with the shop and the counter added.
    const CliRun local = RunCli({QStringLiteral("--station"), dir.path(), QStringLiteral("--json"), QStringLiteral("find"),
                                 QStringLiteral("490154203237518")});
    const CliRun chain = RunCli(office + QStringList{QStringLiteral("--json"), QStringLiteral("find"),
                                                     QStringLiteral("490154203237518")});
    ASSERT_EQ(local.Code, 0);
    ASSERT_EQ(chain.Code, 0) << chain.Err.toStdString();
    QJsonObject fromChain = QJsonDocument::fromJson(chain.Out.toUtf8()).object();
    for (const QString& list : {QStringLiteral("tests"), QStringLiteral("records")}) {
        QJsonArray rows = fromChain[list].toArray();
        ASSERT_FALSE(rows.isEmpty());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QJsonObject row = rows[i].toObject();
            EXPECT_EQ(row.take(QStringLiteral("shop")).toString(), QStringLiteral("AB123"));
            EXPECT_EQ(row.take(QStringLiteral("counter")).toString(), QStringLiteral("Kasse 1"));
            rows[i] = row;
        }
        fromChain[list] = rows;
    }
    // The station names its files by their full path, the chain from the station's folder.
    QJsonObject fromStation = QJsonDocument::fromJson(local.Out.toUtf8()).object();
    for (const QString& list : {QStringLiteral("tests"), QStringLiteral("records")}) {
        QJsonArray rows = fromStation[list].toArray();
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QJsonObject row = rows[i].toObject();
            const QString file = row[QStringLiteral("file")].toString();
            EXPECT_TRUE(file.startsWith(dir.path() + QLatin1Char('/'))) << file.toStdString();
            row[QStringLiteral("file")] = file.mid(dir.path().size() + 1);
            rows[i] = row;
        }
        fromStation[list] = rows;
    }
    EXPECT_EQ(fromChain, fromStation);

    // Which quantity fails: the German dual-band test's marks.
    const CliRun quantity = RunCli(office + QStringList{QStringLiteral("stats"), QStringLiteral("--by"),
                                                        QStringLiteral("quantity")});
    const CliRun localQuantity = RunCli({QStringLiteral("--station"), dir.path(), QStringLiteral("stats"),
                                         QStringLiteral("--by"), QStringLiteral("quantity")});
    ASSERT_EQ(quantity.Code, 0) << quantity.Err.toStdString();
    EXPECT_EQ(quantity.Out, localQuantity.Out);

    // Scripts see the same exit codes: nothing found is 1, the station's own commands
    // are refused for the chain.
    EXPECT_EQ(RunCli(office + QStringList{QStringLiteral("find"), QStringLiteral("111111111111111")}).Code, 1);
    EXPECT_EQ(RunCli(office + QStringList{QStringLiteral("rebuild")}).Code, 2);
    EXPECT_EQ(RunCli({QStringLiteral("--station"), dir.path(), QStringLiteral("stats"), QStringLiteral("--by"),
                      QStringLiteral("shop")})
                  .Code,
              2);

    const CliRun counters = RunCli(office + QStringList{QStringLiteral("counters")});
    ASSERT_EQ(counters.Code, 0) << counters.Err.toStdString();
    EXPECT_TRUE(counters.Out.startsWith(QStringLiteral("ROLE    COUNTER  SHOP   COMPANY          LAST PUSH")))
        << counters.Out.toStdString();
    EXPECT_TRUE(counters.Out.contains(QStringLiteral("shop_b  Tresen   CD456  Handy Shop S\u00fcd")));
}

TEST_F(HeadOfficePushTest, TypedTextsArriveUnchanged)
{
    // A model name from USERTAC.DAT and a fault text with what quoting gets wrong.
    const QString model = QStringLiteral("O'Rvane \"Q7\"; DROP TABLE x; \\N");
    const QString fault = QStringLiteral("It's \"dead\"; C:\\temp\\n \\\\ {a,b} \u00e4\u00df");
    QByteArray file = HandWritten(kFailedDualBandGermanFile);
    file.replace("Orvane Q7", model.toLatin1());
    file.replace("Display flickers when the phone rings and then die\r\ns", fault.toLatin1());
    const QString counter = QStringLiteral("It's; \\ \"counter\"");
    // One file goes row by row with parameters; thirty go through COPY.
    for (const int files : {1, 30}) {
        QTemporaryDir station;
        for (int i = 0; i < files; ++i) {
            const QString path = station.path() + QStringLiteral("/RESULTS/351234/%1.TXT").arg(i, 7, 10, QLatin1Char('0'));
            QDir().mkpath(QFileInfo(path).path());
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(file);
        }
        const CliRun push = Push(station.path(), files == 1 ? QStringLiteral("shop_a") : QStringLiteral("shop_b"), counter);
        ASSERT_EQ(push.Code, 0) << push.Err.toStdString();
    }
    EXPECT_EQ(Admin(db, QStringLiteral("SELECT DISTINCT model, fault, counter FROM celvio.tests")),
              QStringList{model + QLatin1Char('|') + fault + QLatin1Char('|') + counter});
    EXPECT_EQ(AdminValue(QStringLiteral("SELECT count(*) FROM celvio.tests")), QStringLiteral("31"));
    // The readings' texts too, through the arrays: every reading goes, the first failed
    // one is the dialled number's.
    EXPECT_EQ(Admin(db, QStringLiteral("SELECT DISTINCT r_value[f] || '|' || r_limit[f] || '|' || r_outcome[f] ||"
                                       " '|' || r_quantity[f] || '|' || array_to_string(failed_quantities, ',')"
                                       " FROM (SELECT *, array_position(r_outcome, 'F') AS f FROM celvio.tests) t")),
              QStringList{QStringLiteral("0124|0123|F|Dialled Number|Dialled Number,TX Power,RX Level,Frequency Error,"
                                          "Power-Time Template")});
    // A reading without a limit ("Call From Mobile") arrives as an empty text either way.
    EXPECT_EQ(Admin(db, QStringLiteral("SELECT DISTINCT array_position(r_limit, NULL) IS NULL FROM celvio.tests")),
              QStringList{QStringLiteral("t")});
}

TEST_F(HeadOfficePushTest, AFileChangedSinceTheIndexReadItWaits)
{
    HandWrittenStation();
    {
        HistoryIndex index(dir.path());
        ASSERT_TRUE(index.Update(UpdateScope::EveryFile));
    }
    // Grown after the index read it: its row would not be what the file says.
    QFile grown(Path(QStringLiteral("RESULTS/351234/0000017.TXT")));
    ASSERT_TRUE(grown.open(QIODevice::Append));
    grown.write("\r\n");
    grown.close();
    const CliRun push = Push(dir.path(), QStringLiteral("shop_a"), QStringLiteral("Kasse 1"),
                             {QStringLiteral("--no-update")});
    ASSERT_EQ(push.Code, 0) << push.Err.toStdString();
    EXPECT_TRUE(push.Out.contains(QStringLiteral(": 3 tests,"))) << push.Out.toStdString();
    EXPECT_TRUE(push.Out.endsWith(QStringLiteral("; 1 files pending\n"))) << push.Out.toStdString();
    // Read again by the index, it goes with the next push.
    const CliRun next = Push(dir.path(), QStringLiteral("shop_a"), QStringLiteral("Kasse 1"));
    EXPECT_TRUE(next.Out.contains(QStringLiteral(": 1 tests,"))) << next.Out.toStdString();
    EXPECT_EQ(AdminValue(QStringLiteral("SELECT count(*) FROM celvio.tests")), QStringLiteral("4"));
}

TEST_F(HeadOfficePushTest, TheSchemaKnowsItsVersion)
{
    const CliRun again = RunCli({QStringLiteral("--server"), pg.AdminUri(db), QStringLiteral("server"),
                                 QStringLiteral("migrate")});
    ASSERT_EQ(again.Code, 0) << again.Err.toStdString();
    EXPECT_TRUE(again.Out.endsWith(QStringLiteral(": schema version 3, nothing to apply\n"))) << again.Out.toStdString();
    EXPECT_EQ(Admin(db, QStringLiteral("SELECT version, name FROM celvio.schema_version ORDER BY 1")),
              (QStringList{QStringLiteral("1|0001_tables.sql"), QStringLiteral("2|0002_roles.sql"),
                           QStringLiteral("3|0003_phone_lookup.sql")}));
    // A database from a newer program is not written into.
    Admin(db, QStringLiteral("INSERT INTO celvio.schema_version (version, name) VALUES (99, '0099_future.sql')"));
    const CliRun newer = RunCli({QStringLiteral("--server"), pg.AdminUri(db), QStringLiteral("server"),
                                 QStringLiteral("migrate")});
    EXPECT_EQ(newer.Code, kHistoryServerError);
    EXPECT_TRUE(newer.Err.contains(QStringLiteral("schema version 99, newer than this program's 3"))) << newer.Err.toStdString();
    // A database never set up: the push says so.
    Admin(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE ") + db + QStringLiteral("_empty"));
    HandWrittenStation();
    const CliRun bare = RunCli({QStringLiteral("--station"), dir.path(), QStringLiteral("--server"),
                                pg.AdminUri(db + QStringLiteral("_empty")), QStringLiteral("push")});
    EXPECT_EQ(bare.Code, kHistoryServerError);
    EXPECT_TRUE(bare.Err.contains(QStringLiteral("no head-office tables"))) << bare.Err.toStdString();
    Admin(QStringLiteral("postgres"), QStringLiteral("DROP DATABASE ") + db + QStringLiteral("_empty"));
}

TEST_F(HeadOfficePushTest, AcknowledgementsOfAnOlderLayoutAreMadeAnew)
{
    HandWrittenStation();
    {
        HistoryIndex index(dir.path());
        ASSERT_TRUE(index.Open());
        QSqlQuery q(index.Database());
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE headoffice_acks (server TEXT, folder TEXT, name TEXT, size INTEGER,"
                                          " mtime INTEGER, acked_at INTEGER)")));
    }
    const CliRun first = Push(dir.path(), QStringLiteral("shop_a"), QStringLiteral("Kasse 1"));
    ASSERT_EQ(first.Code, 0) << first.Err.toStdString();
    EXPECT_TRUE(first.Err.isEmpty()) << first.Err.toStdString();
    // Kept this time: the next push has nothing to send.
    EXPECT_TRUE(Push(dir.path(), QStringLiteral("shop_a"), QStringLiteral("Kasse 1"))
                    .Out.contains(QStringLiteral(": 0 tests, 0 swap record lines, 0 skipped files")));
    // --all sends everything again (a server restored from a backup), nothing doubles.
    const CliRun all = Push(dir.path(), QStringLiteral("shop_a"), QStringLiteral("Kasse 1"), {QStringLiteral("--all")});
    EXPECT_TRUE(all.Out.contains(QStringLiteral(": 4 tests, 4 swap record lines, 4 skipped files (0 new")))
        << all.Out.toStdString();
}

}  // namespace
}  // namespace celvio::testing
