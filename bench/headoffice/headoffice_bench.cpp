// The head office's benchmarks against a real PostgreSQL server (a throwaway cluster
// started by scripts/bench.sh with tests/headoffice/pg-cluster.sh):
//   - the first push of a generated station of 100,000 result files into an empty server
//     (the index holds the marked values, as today), and the same 100,000 tests with 45
//     readings each sent through the uploader (what a push carries once the index keeps
//     every reading);
//   - an incremental push of one new test (the index update of its folder included);
//   - on a generated server of 1,000,000 tests of 1,000 counters: find IMEI and stats
//     --by model, as celvio-history asks them.
// Prints FIGURE lines for scripts/bench.sh.
//
//   bench_headoffice STATE_FILE WORKDIR [--tests N] [--server-tests M (0: none)] [--no-full-readings]
//                    [--reuse-server: only the queries, on the server generated before]
#include "../history/history_station.h"
#include "headoffice/chain_source.h"
#include "headoffice/headoffice_cli.h"
#include "headoffice/uploader.h"
#include "history/history_index.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QThread>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>

using namespace celvio;

namespace {

struct Cluster {
    QString dir;
    int port = 0;
    QString Admin(const QString& db) const
    {
        return QStringLiteral("postgresql:///%1?host=%2&port=%3&user=celvio_admin").arg(db, dir).arg(port);
    }
    QString Counter(const QString& db) const
    {
        return QStringLiteral("postgresql://bench_counter@127.0.0.1:%1/%2").arg(port).arg(db);
    }
};

int Cli(const QStringList& args, QString* output = nullptr)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    const int code = RunCelvioHistory(args, o, e);
    o.flush();
    e.flush();
    if (code != 0)
        std::fprintf(stderr, "celvio-history %s: %s\n", qPrintable(args.join(QLatin1Char(' '))), qPrintable(err));
    if (output)
        *output = out;
    return code;
}

bool Connect(PgConnection& db, const QString& uri)
{
    ServerAddress address;
    ServerError error;
    if (ServerFromUri(uri, address, nullptr) && db.Connect(address, 10, error))
        return true;
    std::fprintf(stderr, "connect: %s\n", qPrintable(error.Message));
    return false;
}

bool Sql(const Cluster& c, const QString& db, const QString& sql)
{
    PgConnection conn;
    ServerError error;
    if (!Connect(conn, c.Admin(db)))
        return false;
    if (conn.RunScript(sql.toUtf8(), error))
        return true;
    std::fprintf(stderr, "sql: %s\n", qPrintable(error.Message));
    return false;
}

// A fresh database with the schema and the counter role bench_counter.
bool FreshDatabase(const Cluster& c, const QString& db, const QString& passFile)
{
    if (!Sql(c, QStringLiteral("postgres"), QStringLiteral("DROP DATABASE IF EXISTS ") + db + QStringLiteral(" WITH (FORCE)")) ||
        Cli({QStringLiteral("--server"), c.Admin(db), QStringLiteral("server"), QStringLiteral("init")}) != 0 ||
        Cli({QStringLiteral("--server"), c.Admin(db), QStringLiteral("server"), QStringLiteral("add-counter"),
             QStringLiteral("bench_counter")}) != 0 ||
        !Sql(c, db, QStringLiteral("ALTER ROLE bench_counter PASSWORD 'bench'")))
        return false;
    QFile f(passFile);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    f.write(QStringLiteral("127.0.0.1:%1:*:bench_counter:bench\n").arg(c.port).toUtf8());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    qputenv("PGPASSFILE", passFile.toUtf8());
    return true;
}

// One batch of `count` tests from `first`, each with 45 readings.
QList<UploadFile> ReadingsBatch(int first, int count)
{
    const char* quantities[] = {"TX Power", "Phase Error RMS", "Phase Error Peak", "Frequency Error", "Burst Length",
                                "RX Level", "RX Quality", "Power-Time Template", "Dialled Number"};
    QList<UploadFile> batch;
    for (int i = first; i < first + count; ++i) {
        UploadFile f;
        f.File.Folder = QStringLiteral("RESULTS/%1").arg(351000 + i / 1000);
        f.File.Name = QStringLiteral("%1.TXT").arg(i, 7, 10, QLatin1Char('0'));
        f.Hash = QCryptographicHash::hash(QByteArray::number(i), QCryptographicHash::Sha256);
        UploadTest t;
        t.Kind = QStringLiteral("test");
        t.Date = QDate(2026, 1, 1).addDays(i % 365);
        t.Time = QStringLiteral("10:04:09");
        t.Imei = QStringLiteral("35%1").arg(qint64(i) * 7919 % 10000000000000LL, 13, 10, QLatin1Char('0'));
        t.Model = QStringLiteral("Orvane Q%1").arg(i % 60);
        t.System = QStringLiteral("GSM900,1800");
        t.Verdict = i % 10 ? QStringLiteral("passed") : QStringLiteral("failed");
        for (int r = 0; r < 45; ++r) {
            UploadReading x;
            x.Quantity = QString::fromLatin1(quantities[r % 9]);
            x.Label = x.Quantity + QStringLiteral(" 5 (33 dBm)");
            x.Band = 1 + r / 23;
            x.Channel = 20 + (r / 9) * 40;
            x.Number = 33.0 + (r % 7) * 0.1;
            x.Value = QString::number(*x.Number, 'f', 1);
            x.Limit = QStringLiteral("31 - 35 dBm");
            x.Low = 31;
            x.High = 35;
            x.Outcome = (i % 10 == 0 && r == i % 45) ? ReadingOutcome::Failed : ReadingOutcome::Passed;
            x.Attempts = 1;
            t.Readings << x;
        }
        f.Test = t;
        batch << f;
    }
    return batch;
}

// 100,000 tests with 45 readings each, sent through the uploader in the push's batches,
// the next batch made while the server inserts the last, as a push does.
double FullReadingsPush(const Cluster& c, int tests)
{
    PgConnection db;
    if (!Connect(db, c.Counter(QStringLiteral("bench_full"))))
        return -1;
    StationIdentity who{QStringLiteral("Bench"), QStringLiteral("AB123"), QStringLiteral("Chain")};
    QElapsedTimer clock, making;
    clock.start();
    SentCounts counts;
    BatchSender sender(db, who);
    QList<UploadFile> batch = ReadingsBatch(0, std::min(tests, 5000));
    qint64 madeMs = 0;
    for (int first = 0; first < tests; first += 5000) {
        ServerError error;
        if (!sender.Start(batch, nullptr, error)) {
            std::fprintf(stderr, "full readings: %s\n", qPrintable(error.Message));
            return -1;
        }
        making.restart();
        batch = first + 5000 < tests ? ReadingsBatch(first + 5000, std::min(5000, tests - first - 5000))
                                     : QList<UploadFile>();
        madeMs += making.elapsed();
        if (!sender.Finish(counts, error)) {
            std::fprintf(stderr, "full readings: %s\n", qPrintable(error.Message));
            return -1;
        }
    }
    std::printf("(making the batches on the counter's side: %.1f s of it)\n", madeMs / 1000.0);
    return clock.elapsed() / 1000.0;
}

// The chain's server: 1,000,000 tests of 1,000 counters over five years (45 readings
// each, every tenth failed on one of three quantities) and 50,000 swaps.
const char* const kGenerate = R"SQL(
INSERT INTO celvio.tests (station, counter, service_point, company, path, content_hash, kind, test_date, test_time,
    imei, model, system, verdict, r_quantity, r_label, r_band, r_channel, r_value, r_number, r_limit, r_low, r_high,
    r_outcome, r_attempts, failed_quantities, repeated_quantities)
SELECT 'counter_' || (i % 1000), 'Counter ' || (i % 1000), 'SP' || lpad((i % 1000)::text, 4, '0'), 'Chain',
    'RESULTS/' || i || '.TXT', sha256(i::text::bytea), 'test', date '2021-01-01' + (i % 1825),
    time '08:00' + (i % 600) * interval '1 minute', (350000000000000 + (i::bigint * 7919) % 99999999999999)::text,
    'Model ' || (i % 200), 'GSM900', CASE WHEN i % 10 = 0 THEN 'failed' WHEN i % 37 = 0 THEN 'aborted' ELSE 'passed' END,
    q.quantity, q.label, q.band, q.channel, q.value, q.number, q.lim, q.low, q.high,
    CASE i % 30 WHEN 0 THEN q.f1 WHEN 10 THEN q.f2 WHEN 20 THEN q.f3 ELSE q.passed END, q.attempts,
    CASE i % 30 WHEN 0 THEN '{TX Power}'::text[] WHEN 10 THEN '{Burst Length}' WHEN 20 THEN '{Phase Error Peak}' ELSE '{}' END,
    CASE i % 30 WHEN 20 THEN '{Phase Error Peak}'::text[] ELSE '{}' END
FROM generate_series(1, %1) i,
    (SELECT array_agg((ARRAY['TX Power','Phase Error RMS','Phase Error Peak','Frequency Error','Burst Length',
                             'RX Level','RX Quality','Power-Time Template','Dialled Number'])[1 + r % 9] ORDER BY r) quantity,
            array_agg('Row ' || r ORDER BY r) label, array_agg((1 + r / 23)::smallint ORDER BY r) band,
            array_agg(20 + (r / 9) * 40 ORDER BY r) channel, array_agg((33 + r % 7 * 0.1)::text ORDER BY r) value,
            array_agg(33 + r % 7 * 0.1::float8 ORDER BY r) number, array_agg('31 - 35 dBm'::text ORDER BY r) lim,
            array_agg(31::float8 ORDER BY r) low, array_agg(35::float8 ORDER BY r) high,
            array_agg('P'::text ORDER BY r) passed,
            array_agg(CASE WHEN r = 0 THEN 'F' ELSE 'P' END ORDER BY r) f1,
            array_agg(CASE WHEN r = 4 THEN 'F' ELSE 'P' END ORDER BY r) f2,
            array_agg(CASE WHEN r = 10 THEN 'F' WHEN r = 11 THEN 'R' ELSE 'P' END ORDER BY r) f3,
            array_agg(1::smallint ORDER BY r) attempts
     FROM generate_series(0, 44) r) q;
INSERT INTO celvio.swap_records (station, counter, service_point, path, line, line_hash, kind, old_imei, new_imei,
    record_date, date_text, result)
SELECT 'counter_' || (i % 1000), 'Counter ' || (i % 1000), 'SP' || lpad((i % 1000)::text, 4, '0'),
    'RESULTS/LOG/X.IWR', i, sha256(('swap' || i)::bytea), 'SWAP',
    (350000000000000 + (i::bigint * 20 * 7919) % 99999999999999)::text, (490000000000000 + i)::text,
    date '2021-01-01' + (i % 1825), '', ''
FROM generate_series(1, %2) i;
)SQL";

QString ImeiOf(qint64 i)
{
    return QString::number(350000000000000LL + (i * 7919) % 99999999999999LL);
}

void ChainQueries(const Cluster& c, int serverTests, bool reuse)
{
    QElapsedTimer clock;
    clock.start();
    if ((!reuse && !Sql(c, QStringLiteral("bench_chain"), QString::fromLatin1(kGenerate).arg(serverTests).arg(serverTests / 20))) ||
        !Sql(c, QStringLiteral("bench_chain"), QStringLiteral("VACUUM ANALYZE")))
        return;
    // What one test costs the server, its indexes included.
    PgConnection sizes;
    ServerError why;
    if (Connect(sizes, c.Admin(QStringLiteral("bench_chain")))) {
        const auto r = sizes.Exec(QStringLiteral("SELECT pg_table_size('celvio.tests') / count(*),"
                                                 " pg_indexes_size('celvio.tests') / count(*) FROM celvio.tests"),
                                  {}, why);
        if (r)
            std::printf("server bytes per test: %s in the table (with its readings), %s in its indexes\n",
                        qPrintable(r->Text(0, 0)), qPrintable(r->Text(0, 1)));
    }
    if (!reuse)
        std::printf("generated server of %d tests in %.1f s\n", serverTests, clock.elapsed() / 1000.0);
    PgConnection db;
    if (!Connect(db, c.Admin(QStringLiteral("bench_chain"))))
        return;
    ChainHistorySource chain(db);
    QList<double> finds;
    for (int n = -5; n < 50; ++n) {
        QList<TestRow> tests;
        QList<RecordRow> records;
        clock.restart();
        const QString imei = ImeiOf(1 + (qint64(n + 5) * 19997) % serverTests);
        if (!chain.FindTests(imei, tests, nullptr) || !chain.FindRecords(imei, records, nullptr) || tests.isEmpty()) {
            std::fprintf(stderr, "find %s: nothing\n", qPrintable(imei));
            return;
        }
        if (n >= 0)  // the first few warm the connection's plans and the caches
            finds << clock.nsecsElapsed() / 1e6;
    }
    std::sort(finds.begin(), finds.end());
    std::printf("find IMEI (tests and records) on %d tests: median %.2f ms, slowest %.2f ms\n", serverTests,
                finds[finds.size() / 2], finds.last());
    std::printf("FIGURE headoffice_find_ms %.2f\n", finds.last());
    // The whole command as a script runs it: connection, query, table.
    clock.restart();
    Cli({QStringLiteral("--server"), c.Admin(QStringLiteral("bench_chain")), QStringLiteral("find"), ImeiOf(12345)});
    std::printf("celvio-history --server ... find IMEI, whole command: %.1f ms\n", clock.nsecsElapsed() / 1e6);
    QList<double> stats;
    for (int n = 0; n < 3; ++n) {
        QList<StatsRow> rows;
        clock.restart();
        if (!chain.Stats(StatsBy::Model, TestFilter{}, rows, nullptr))
            return;
        stats << clock.elapsed() / 1000.0;
    }
    std::sort(stats.begin(), stats.end());
    std::printf("stats --by model on %d tests: best %.2f s, slowest %.2f s\n", serverTests, stats.first(), stats.last());
    std::printf("FIGURE headoffice_stats_model_s %.2f\n", stats.last());
    clock.restart();
    QList<QuantityStatsRow> quantities;
    chain.QuantityStats(TestFilter{}, quantities, nullptr);
    std::printf("stats --by quantity on %d tests: %.2f s\n", serverTests, clock.elapsed() / 1000.0);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_headoffice STATE_FILE WORKDIR [--tests N] [--server-tests M]\n");
        return 2;
    }
    Cluster c;
    QFile state(args[1]);
    if (!state.open(QIODevice::ReadOnly))
        return 2;
    const QStringList lines = QString::fromUtf8(state.readAll()).split(QLatin1Char('\n'));
    c.dir = lines.value(0);
    c.port = lines.value(1).toInt();
    const QString work = args[2];
    const int tests = args.contains(QStringLiteral("--tests")) ? args[args.indexOf(QStringLiteral("--tests")) + 1].toInt()
                                                               : 100000;
    const int serverTests = args.contains(QStringLiteral("--server-tests"))
                                ? args[args.indexOf(QStringLiteral("--server-tests")) + 1].toInt()
                                : 1000000;
    QDir().mkpath(work);
    const QString passFile = work + QStringLiteral("/pgpass");
    const QString station = work + QStringLiteral("/station-%1").arg(tests);

    if (args.contains(QStringLiteral("--reuse-server"))) {
        ChainQueries(c, serverTests, true);
        return 0;
    }
    // The station and its index (not timed: the history benchmark measures those).
    if (!QFileInfo::exists(station + QStringLiteral("/HISTORY.DB"))) {
        QDir().mkpath(station);
        GenerateHistoryStation(station, tests, QDate::currentDate());
        HistoryIndex index(station);
        if (!index.Update(UpdateScope::EveryFile))
            return 1;
    }
    {
        HistoryIndex index(station);
        index.Open();
        QSqlQuery(index.Database()).exec(QStringLiteral("DELETE FROM headoffice_acks"));
    }
    if (!FreshDatabase(c, QStringLiteral("bench_push"), passFile))
        return 1;
    const QStringList push{QStringLiteral("--station"), station, QStringLiteral("--server"),
                           c.Counter(QStringLiteral("bench_push")), QStringLiteral("push")};
    QElapsedTimer clock;
    clock.start();
    QString out;
    if (Cli(push, &out) != 0)
        return 1;
    const double first = clock.elapsed() / 1000.0;
    std::printf("%sfirst push of %d result files into an empty server: %.2f s\n", qPrintable(out), tests, first);
    std::printf("FIGURE headoffice_first_push_s %.2f\n", first);

    // One new test at a time, as after a cycle.
    QList<double> increments;
    const QString folder = station + QStringLiteral("/RESULTS/490154");
    QDir().mkpath(folder);
    const QStringList some = QDir(station + QStringLiteral("/RESULTS")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QString sample;
    for (const QString& d : some) {
        const QStringList files = QDir(station + QStringLiteral("/RESULTS/") + d).entryList({QStringLiteral("*.TXT")});
        if (!files.isEmpty()) {
            sample = station + QStringLiteral("/RESULTS/") + d + QLatin1Char('/') + files.first();
            break;
        }
    }
    for (int n = 0; n < 7; ++n) {
        QFile::remove(folder + QStringLiteral("/BENCH%1.TXT").arg(n));
        QFile::copy(sample, folder + QStringLiteral("/BENCH%1.TXT").arg(n));
        QFile extra(folder + QStringLiteral("/BENCH%1.TXT").arg(n));
        extra.open(QIODevice::Append);
        extra.write(QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + "\r\n");
        extra.close();
        QThread::msleep(2100);  // past the index's settling time of a folder
        clock.restart();
        if (Cli(push, &out) != 0 || !out.contains(QStringLiteral(": 1 tests,")))
            std::fprintf(stderr, "incremental push: %s", qPrintable(out));
        increments << clock.nsecsElapsed() / 1e6;
    }
    std::sort(increments.begin(), increments.end());
    std::printf("incremental push of one new test (index update included): median %.1f ms, slowest %.1f ms\n",
                increments[increments.size() / 2], increments.last());
    std::printf("FIGURE headoffice_incremental_push_ms %.1f\n", increments[increments.size() / 2]);

    if (!FreshDatabase(c, QStringLiteral("bench_full"), passFile))
        return 1;
    const double full = args.contains(QStringLiteral("--no-full-readings")) ? 0 : FullReadingsPush(c, tests);
    std::printf("%d tests with 45 readings each through the uploader: %.2f s\n", tests, full);
    std::printf("FIGURE headoffice_full_readings_push_s %.2f\n", full);

    if (serverTests <= 0)
        return 0;
    if (!args.contains(QStringLiteral("--reuse-server")) && !FreshDatabase(c, QStringLiteral("bench_chain"), passFile))
        return 1;
    ChainQueries(c, serverTests, args.contains(QStringLiteral("--reuse-server")));
    return 0;
}
