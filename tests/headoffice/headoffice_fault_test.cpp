// The head office under faults, against a real PostgreSQL server: what a counter's
// role may not do, pushes at the same time, a server killed in the middle of a push,
// and the failures of a connection, each with its message and exit code.
#include "headoffice_fixture.h"

#include <QElapsedTimer>
#include <QThread>

namespace celvio::testing {
namespace {

class HeadOfficeFaultTest : public HeadOfficeFixture {
protected:
    // `count` copies of the passed test under different names, and the service point.
    void ManyFiles(const QString& station, int count, const QString& servicePoint)
    {
        const QByteArray bytes = HandWritten(kPassedGsmFile);
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("RESULTS/35%1/%2.TXT").arg(1000 + i / 500).arg(i, 7, 10, QLatin1Char('0'));
            QDir().mkpath(QFileInfo(station + QLatin1Char('/') + name).path());
            QFile f(station + QLatin1Char('/') + name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        ServicePoint(station, servicePoint, QStringLiteral("Shop ") + servicePoint);
    }

    // celvio-history as its own process, as the program and the timer start it.
    QProcess* Start(const QString& station, const QString& role, const QStringList& extra = {})
    {
        auto* p = new QProcess;
        processes.emplace_back(p);
        p->start(QStringLiteral(CELVIO_HISTORY_PROGRAM),
                 QStringList{QStringLiteral("--station"), station, QStringLiteral("--server"), pg.TcpUri(role, db),
                             QStringLiteral("--counter"), role, QStringLiteral("push")} +
                     extra);
        return p;
    }

    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(HeadOfficeFaultTest, ACountersRoleAddsButNeverChangesOrReadsAnotherShop)
{
    HandWrittenStation();
    ASSERT_EQ(Push(dir.path(), QStringLiteral("shop_a"), QStringLiteral("A")).Code, 0);
    QTemporaryDir other;
    ManyFiles(other.path(), 3, QStringLiteral("CD456"));
    ASSERT_EQ(Push(other.path(), QStringLiteral("shop_b"), QStringLiteral("B")).Code, 0);

    ServerAddress asA;
    ASSERT_TRUE(ServerFromUri(pg.TcpUri(QStringLiteral("shop_a"), db), asA, nullptr));
    PgConnection a;
    ServerError error;
    ASSERT_TRUE(a.Connect(asA, 10, error)) << error.Message.toStdString();
    struct Attempt {
        const char* sql;
        bool allowed;
    };
    const Attempt attempts[] = {
        {"UPDATE celvio.tests SET verdict = 'passed'", false},
        {"UPDATE celvio.tests SET model = 'x' WHERE station = 'shop_b'", false},
        {"DELETE FROM celvio.tests", false},
        {"DELETE FROM celvio.swap_records", false},
        {"TRUNCATE celvio.skipped_files", false},
        {"DELETE FROM celvio.pushes", false},
        {"DROP TABLE celvio.tests", false},
        // Rows in another counter's name.
        {"INSERT INTO celvio.tests (station, counter, path, content_hash, kind, test_date, verdict)"
         " VALUES ('shop_b', 'B', 'x', '\\x00', 'test', '2026-12-07', 'passed')", false},
        {"INSERT INTO celvio.pushes (station, counter, tests, records, skipped, pending)"
         " VALUES ('shop_b', 'B', 0, 0, 0, 0)", false},
        {"SELECT * FROM celvio.counters", false},
        {"SELECT 1 FROM celvio.tests", true},
    };
    for (const Attempt& attempt : attempts) {
        ServerError why;
        EXPECT_EQ(a.Run(QString::fromLatin1(attempt.sql), why), attempt.allowed) << attempt.sql;
    }
    // What A reads is its own.
    for (const char* table : {"tests", "swap_records", "skipped_files", "pushes"}) {
        const auto rows = a.Exec(QStringLiteral("SELECT count(*) FILTER (WHERE station <> current_user), count(*) FROM"
                                                " celvio.") + QString::fromLatin1(table), {}, error);
        ASSERT_TRUE(rows.has_value()) << error.Message.toStdString();
        EXPECT_EQ(rows->Text(0, 0), QStringLiteral("0")) << table;
        EXPECT_NE(rows->Text(0, 1), QStringLiteral("0")) << table;
    }
    EXPECT_EQ(AdminValue(QStringLiteral("SELECT count(*) FROM celvio.tests WHERE station = 'shop_b'")), QStringLiteral("3"));
    // One phone in its hands it may look up across the chain, without the other shop's
    // subscriber data; no listing by a part of the number.
    const auto phone = a.Exec(QStringLiteral("SELECT service_point, imsi FROM celvio.find_phone_tests($1)"
                                             " ORDER BY service_point"),
                              {QStringLiteral("351234000000017")}, error);
    ASSERT_TRUE(phone.has_value()) << error.Message.toStdString();
    ASSERT_EQ(phone->Rows(), 4);
    EXPECT_EQ(phone->Text(0, 0) + QLatin1Char('/') + phone->Text(0, 1), QStringLiteral("/001010123456789"));
    EXPECT_EQ(phone->Text(1, 0) + QLatin1Char('/') + phone->Text(1, 1), QStringLiteral("CD456/"));
    EXPECT_EQ(a.Exec(QStringLiteral("SELECT * FROM celvio.find_phone_tests('3512%')"), {}, error)->Rows(), 0);
    EXPECT_EQ(AdminValue(QStringLiteral("SELECT count(DISTINCT verdict) FROM celvio.tests")), QStringLiteral("4"));
}

TEST_F(HeadOfficeFaultTest, PushesAtTheSameTimeKeepEveryRowOnce)
{
    QTemporaryDir stationA, stationB;
    ManyFiles(stationA.path(), 1500, QStringLiteral("AB123"));
    ManyFiles(stationB.path(), 1500, QStringLiteral("CD456"));
    // Two counters, and one counter twice, at once; small batches, so that they interleave.
    const QStringList batches{QStringLiteral("--batch-files"), QStringLiteral("100")};
    QProcess* a1 = Start(stationA.path(), QStringLiteral("shop_a"), batches);
    QProcess* a2 = Start(stationA.path(), QStringLiteral("shop_a"), batches);
    QProcess* b = Start(stationB.path(), QStringLiteral("shop_b"), batches);
    for (QProcess* p : {a1, a2, b}) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    EXPECT_EQ(Admin(db, QStringLiteral("SELECT station, count(*), count(DISTINCT path) FROM celvio.tests GROUP BY 1"
                                       " ORDER BY 1")),
              (QStringList{QStringLiteral("shop_a|1500|1500"), QStringLiteral("shop_b|1500|1500")}));
    const CliRun status = RunCli({QStringLiteral("--station"), stationA.path(), QStringLiteral("--server"),
                                  pg.TcpUri(QStringLiteral("shop_a"), db), QStringLiteral("status")});
    EXPECT_TRUE(status.Out.contains(QStringLiteral("Pending: 0 files"))) << status.Out.toStdString();
}

TEST_F(HeadOfficeFaultTest, AServerKilledInTheMiddleOfAPushLosesAndDoublesNothing)
{
    QTemporaryDir station;
    ManyFiles(station.path(), 4000, QStringLiteral("AB123"));
    // The index first, so that the push spends its time on the server.
    ASSERT_EQ(RunCli({QStringLiteral("--station"), station.path(), QStringLiteral("update")}).Code, 0);
    QProcess* push = Start(station.path(), QStringLiteral("shop_a"), {QStringLiteral("--batch-files"),
                                                                       QStringLiteral("50")});
    // Killed once some batches are in, others not.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000 &&
           AdminValue(QStringLiteral("SELECT count(*) FROM celvio.tests")).toInt() < 200)
        QThread::msleep(5);
    ASSERT_EQ(QProcess::execute(QStringLiteral("bash"), {QStringLiteral(CELVIO_PG_CLUSTER_SCRIPT), QStringLiteral("kill"),
                                                         pg.StateFile}),
              0);
    ASSERT_TRUE(push->waitForFinished(60000));
    const QString message = QString::fromUtf8(push->readAllStandardError());
    if (push->exitCode() != 0) {
        EXPECT_EQ(push->exitCode(), kHistoryServerDown) << message.toStdString();
        EXPECT_TRUE(message.contains(pg.Server(QStringLiteral("shop_a"), db))) << message.toStdString();
    }
    ASSERT_EQ(QProcess::execute(QStringLiteral("bash"), {QStringLiteral(CELVIO_PG_CLUSTER_SCRIPT),
                                                         QStringLiteral("restart"), pg.StateFile}),
              0);
    const CliRun next = Push(station.path(), QStringLiteral("shop_a"), QStringLiteral("shop_a"));
    ASSERT_EQ(next.Code, 0) << next.Err.toStdString();
    EXPECT_TRUE(next.Out.endsWith(QStringLiteral("; 0 files pending\n"))) << next.Out.toStdString();
    EXPECT_EQ(AdminValue(QStringLiteral("SELECT count(*) || '/' || count(DISTINCT path) FROM celvio.tests")),
              QStringLiteral("4000/4000"));
}

TEST_F(HeadOfficeFaultTest, EachFailureOfTheConnectionHasItsMessageAndExitCode)
{
    HandWrittenStation();
    WritePassFile({{QStringLiteral("shop_a"), QStringLiteral("not-the-password")}});
    struct Case {
        QString uri, server, reason;
        int code;
    };
    const Case cases[] = {
        {QStringLiteral("postgresql://shop_a@127.0.0.1:1/") + db, QStringLiteral("shop_a@127.0.0.1:1/") + db,
         QStringLiteral("server not reachable"), kHistoryServerDown},
        {pg.TcpUri(QStringLiteral("shop_a"), db), pg.Server(QStringLiteral("shop_a"), db),
         QStringLiteral("login refused"), kHistoryLoginRefused},
        {pg.AdminUri(QStringLiteral("no_such_db")), QStringLiteral("celvio_admin@") + pg.Dir + QLatin1Char(':') +
                                                        QString::number(pg.Port) + QStringLiteral("/no_such_db"),
         QStringLiteral("no such database"), kHistoryNoDatabase},
        {pg.TcpUri(QStringLiteral("shop_a"), db, QStringLiteral("?sslmode=require")),
         pg.Server(QStringLiteral("shop_a"), db), QStringLiteral("TLS required but not offered"), kHistoryTlsRequired},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli({QStringLiteral("--station"), dir.path(), QStringLiteral("--server"), c.uri,
                                   QStringLiteral("--timeout"), QStringLiteral("3"), QStringLiteral("push")});
        EXPECT_EQ(run.Code, c.code) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.startsWith(QStringLiteral("celvio-history: ") + c.server + QStringLiteral(": ") + c.reason))
            << run.Err.toStdString();
        // The station keeps what failed, for the status and the window.
        const CliRun status = RunCli({QStringLiteral("--station"), dir.path(), QStringLiteral("--server"), c.uri,
                                      QStringLiteral("status")});
        EXPECT_TRUE(status.Out.contains(QStringLiteral("Last push: never\nLast attempt: "))) << status.Out.toStdString();
        EXPECT_TRUE(status.Out.contains(c.reason)) << status.Out.toStdString();
    }
    // A password in the URI or in HEADOFFICE.INI is refused: it belongs in the password file.
    EXPECT_EQ(RunCli({QStringLiteral("--server"), QStringLiteral("postgresql://a:pw@127.0.0.1/x"), QStringLiteral("push")})
                  .Code,
              kHistoryUsage);
}

}  // namespace
}  // namespace celvio::testing
