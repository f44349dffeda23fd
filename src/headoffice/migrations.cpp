#include "headoffice/migrations.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace celvio {

namespace {

// Any number: the lock that keeps two migrations of one database from running at once.
constexpr qint64 kMigrationLock = 7395012;

const QString kBootstrap = QStringLiteral(
    "CREATE SCHEMA IF NOT EXISTS celvio;"
    "CREATE TABLE IF NOT EXISTS celvio.schema_version (version integer PRIMARY KEY, name text NOT NULL,"
    " applied_at timestamptz NOT NULL DEFAULT now())");

}  // namespace

QList<Migration> KnownMigrations()
{
    QList<Migration> out;
    static const QRegularExpression name(QStringLiteral("^(\\d{4})_[A-Za-z0-9_]+\\.sql$"));
    const QDir dir(QStringLiteral(":/headoffice/migrations"));
    for (const QString& file : dir.entryList(QDir::Files, QDir::Name)) {
        const auto match = name.match(file);
        if (!match.hasMatch())
            continue;
        QFile f(dir.filePath(file));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        out.append(Migration{match.captured(1).toInt(), file, f.readAll()});
    }
    return out;
}

int CurrentSchemaVersion()
{
    const QList<Migration> all = KnownMigrations();
    return all.isEmpty() ? 0 : all.last().Version;
}

bool SchemaVersion(PgConnection& db, int& version, ServerError& error)
{
    version = 0;
    const auto r = db.Exec(QStringLiteral("SELECT to_regclass('celvio.schema_version') IS NOT NULL"), {}, error);
    if (!r)
        return false;
    if (r->Text(0, 0) != QLatin1String("t"))
        return true;
    const auto v = db.Exec(QStringLiteral("SELECT coalesce(max(version), 0) FROM celvio.schema_version"), {}, error);
    if (!v)
        return false;
    version = int(v->Number(0, 0));
    return true;
}

bool Migrate(PgConnection& db, QStringList& applied, ServerError& error)
{
    applied.clear();
    if (!db.Run(QStringLiteral("BEGIN"), error) ||
        !db.Run(QStringLiteral("SELECT pg_advisory_xact_lock($1)"), error, {kMigrationLock}) ||
        !db.RunScript(kBootstrap.toUtf8(), error))
        return db.Run(QStringLiteral("ROLLBACK"), error), false;
    int version = 0;
    if (!SchemaVersion(db, version, error))
        return db.Run(QStringLiteral("ROLLBACK"), error), false;
    if (version > CurrentSchemaVersion()) {
        db.Run(QStringLiteral("ROLLBACK"), error);
        error.Fault = ServerFault::Schema;
        error.Message = db.Server() + QStringLiteral(": the database has schema version %1, newer than this"
                                                     " program's %2")
                                          .arg(version)
                                          .arg(CurrentSchemaVersion());
        return false;
    }
    // One transaction for all pending files: a failure in any leaves the schema as it was.
    for (const Migration& m : KnownMigrations()) {
        if (m.Version <= version)
            continue;
        if (!db.RunScript(m.Sql, error) ||
            !db.Run(QStringLiteral("INSERT INTO celvio.schema_version (version, name) VALUES ($1, $2)"), error,
                    {m.Version, m.Name})) {
            const ServerError why = error;
            ServerError ignored;
            db.Run(QStringLiteral("ROLLBACK"), ignored);
            error = why;
            error.Message = db.Server() + QStringLiteral(": migration ") + m.Name + QStringLiteral(" failed: ") +
                            why.Message.mid(db.Server().size() + 2);
            return false;
        }
        applied << m.Name;
    }
    return db.Run(QStringLiteral("COMMIT"), error);
}

}  // namespace celvio
