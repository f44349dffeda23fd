// The head office's tests run against a real PostgreSQL server: the throwaway cluster
// that CTest starts before them (pg-cluster.sh, its state file in the build folder, or
// the one CELVIO_TEST_PG_STATE names) and stops after them. Each test gets a database of its own,
// set up by `celvio-history server init`, and two counter roles with passwords.
#pragma once

#include "headoffice/headoffice_cli.h"
#include "headoffice/pg_connection.h"
#include "history/history_fixture.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace celvio::testing {

struct CliRun {
    int Code = -1;
    QString Out, Err;
};

// Runs celvio-history in this process.
inline CliRun RunCli(const QStringList& args)
{
    CliRun run;
    QTextStream out(&run.Out), err(&run.Err);
    run.Code = RunCelvioHistory(args, out, err);
    out.flush();
    err.flush();
    return run;
}

// The cluster of the test run.
struct PgCluster {
    QString Dir;  // the socket's folder
    int Port = 0;
    QString StateFile;

    static PgCluster FromEnvironment()
    {
        PgCluster c;
        c.StateFile = QProcessEnvironment::systemEnvironment().value(QStringLiteral("CELVIO_TEST_PG_STATE"),
                                                                     QStringLiteral(CELVIO_PG_STATE_FILE));
        QFile f(c.StateFile);
        if (!c.StateFile.isEmpty() && f.open(QIODevice::ReadOnly)) {
            const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
            c.Dir = lines.value(0);
            c.Port = lines.value(1).toInt();
        }
        return c;
    }
    // The owner, over the socket (trusted).
    QString AdminUri(const QString& db) const
    {
        return QStringLiteral("postgresql:///%1?host=%2&port=%3&user=celvio_admin").arg(db, Dir).arg(Port);
    }
    // A login over TCP (password from PGPASSFILE).
    QString TcpUri(const QString& role, const QString& db, const QString& extra = QString()) const
    {
        return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3%4").arg(role).arg(Port).arg(db, extra);
    }
    QString Server(const QString& role, const QString& db) const
    {
        return QStringLiteral("%1@127.0.0.1:%2/%3").arg(role).arg(Port).arg(db);
    }
};

// A statement as the cluster's owner; the rows as "a|b" lines.
inline QStringList AdminSql(const PgCluster& pg, const QString& database, const QString& sql)
{
    PgConnection c;
    ServerError error;
    ServerAddress address;
    QString why;
    EXPECT_TRUE(ServerFromUri(pg.AdminUri(database), address, &why)) << why.toStdString();
    if (!c.Connect(address, 10, error)) {
        ADD_FAILURE() << error.Message.toStdString();
        return {};
    }
    const auto r = c.Exec(sql, {}, error);
    EXPECT_TRUE(r.has_value()) << error.Message.toStdString();
    QStringList rows;
    for (int i = 0; r && i < r->Rows(); ++i) {
        QStringList cells;
        for (int col = 0; col < 32 && !r->IsNull(i, col); ++col)
            cells << r->Text(i, col);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// The password file of the counter PCs, as libpq reads it (mode 0600), in `dir`.
inline void WritePassFile(const PgCluster& pg, const QString& dir, const QList<QPair<QString, QString>>& logins)
{
    const QString path = dir + QStringLiteral("/pgpass");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const auto& [role, password] : logins)
        f.write(QStringLiteral("127.0.0.1:%1:*:%2:%3\n").arg(pg.Port).arg(role, password).toUtf8());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    qputenv("PGPASSFILE", path.toUtf8());
}

// A database of the test's own name, set up by `server init`, with the counters
// shop_a and shop_b (passwords in a password file in `passDir`).
inline void PrepareDatabase(const PgCluster& pg, QString& db, const QString& passDir)
{
    ASSERT_GT(pg.Port, 0) << "no PostgreSQL test cluster (" << pg.StateFile.toStdString() << ")";
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    db = (QStringLiteral("t_") + QString::fromLatin1(info->test_suite_name()) + QLatin1Char('_') +
          QString::fromLatin1(info->name()))
             .toLower()
             .left(60);
    AdminSql(pg, QStringLiteral("postgres"), QStringLiteral("DROP DATABASE IF EXISTS ") + db + QStringLiteral(" WITH (FORCE)"));
    const CliRun init = RunCli({QStringLiteral("--server"), pg.AdminUri(db), QStringLiteral("server"),
                                QStringLiteral("init")});
    ASSERT_EQ(init.Code, 0) << init.Err.toStdString();
    for (const char* role : {"shop_a", "shop_b"}) {
        const CliRun add = RunCli({QStringLiteral("--server"), pg.AdminUri(db), QStringLiteral("server"),
                                   QStringLiteral("add-counter"), QString::fromLatin1(role)});
        ASSERT_EQ(add.Code, 0) << add.Err.toStdString();
    }
    AdminSql(pg, db, QStringLiteral("ALTER ROLE shop_a PASSWORD 'secret-a'"));
    AdminSql(pg, db, QStringLiteral("ALTER ROLE shop_b PASSWORD 'secret-b'"));
    WritePassFile(pg, passDir, {{QStringLiteral("shop_a"), QStringLiteral("secret-a")},
                                {QStringLiteral("shop_b"), QStringLiteral("secret-b")}});
}

class HeadOfficeFixture : public HistoryFixture {
protected:
    void SetUp() override
    {
        pg = PgCluster::FromEnvironment();
        PrepareDatabase(pg, db, passDir.path());
    }

    void WritePassFile(const QList<QPair<QString, QString>>& logins) { celvio::testing::WritePassFile(pg, passDir.path(), logins); }
    QStringList Admin(const QString& database, const QString& sql) { return AdminSql(pg, database, sql); }
    QString AdminValue(const QString& sql) { return Admin(db, sql).value(0); }

    // A push of the station `station` as `role`.
    CliRun Push(const QString& station, const QString& role, const QString& counter,
                const QStringList& extra = {})
    {
        return RunCli(QStringList{QStringLiteral("--station"), station, QStringLiteral("--server"), pg.TcpUri(role, db),
                                  QStringLiteral("--counter"), counter, QStringLiteral("push")} +
                      extra);
    }

    // The shop's service point data (swap.dat).
    void ServicePoint(const QString& station, const QString& id, const QString& company)
    {
        QFile f(station + QStringLiteral("/swap.dat"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QStringLiteral("0,\"%1\",\"%2\",\"Street 1\",\"0431 1\",\"M. Berg\"\r\n").arg(id, company).toLatin1());
    }

    PgCluster pg;
    QString db;
    QTemporaryDir passDir;
};

}  // namespace celvio::testing
