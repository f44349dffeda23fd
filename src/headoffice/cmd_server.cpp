// celvio-history server init | migrate | add-counter ROLE | add-reader ROLE: setting up
// the head office's database, run by its owner (a role that may create roles).
#include "headoffice/cli_common.h"
#include "headoffice/migrations.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cstdio>
#include <libpq-fe.h>

namespace celvio {

namespace {

// Runs a statement that the server itself quotes: format() with %I and %L takes the
// names and texts as parameters, so nothing typed is pasted into SQL by this program.
bool RunQuoted(PgConnection& db, const QString& format, const QVariantList& params, ServerError& error)
{
    const auto sql = db.Exec(QStringLiteral("SELECT format(") + format + QStringLiteral(")"), params, error);
    return sql && db.Run(sql->Text(0, 0), error);
}

// A missing database is created through the server's maintenance database.
bool CreateDatabase(const ServerAddress& server, int timeoutS, ServerError& error)
{
    ServerAddress maintenance = server;
    QString name;
    for (auto& [key, value] : maintenance.Keywords) {
        if (key == QLatin1String("dbname")) {
            name = value;
            value = QStringLiteral("postgres");
        }
    }
    PgConnection db;
    return db.Connect(maintenance, timeoutS, error) &&
           RunQuoted(db, QStringLiteral("'CREATE DATABASE %I', $1::text"), {name}, error);
}

int Migrate(PgConnection& db, const HeadOfficeArgs& a, QTextStream& out, QTextStream& err)
{
    QStringList applied;
    ServerError error;
    int version = 0;
    if (!Migrate(db, applied, error) || !SchemaVersion(db, version, error))
        return ReportServerError(error, err);
    if (a.Json) {
        QJsonObject x;
        x[QStringLiteral("server")] = db.Server();
        x[QStringLiteral("schema_version")] = version;
        x[QStringLiteral("applied")] = QJsonArray::fromStringList(applied);
        PrintHistoryJson(out, x);
    } else if (applied.isEmpty()) {
        out << db.Server() << ": schema version " << version << ", nothing to apply\n";
    } else {
        out << db.Server() << ": applied " << applied.join(QStringLiteral(", ")) << "; schema version " << version
            << '\n';
    }
    return kHistoryOk;
}

int AddRole(PgConnection& db, const HeadOfficeArgs& a, bool counter, QTextStream& out, QTextStream& err)
{
    if (a.Positional.size() != 2) {
        err << "celvio-history: server " << a.Positional.value(0) << " needs one role name\n";
        return kHistoryUsage;
    }
    const QString role = a.Positional[1];
    const QString group = counter ? QStringLiteral("celvio_counter") : QStringLiteral("celvio_office");
    ServerError error;
    const auto exists = db.Exec(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = $1"), {role}, error);
    if (!exists)
        return ReportServerError(error, err);
    if (!db.Run(QStringLiteral("BEGIN"), error) ||
        (exists->Rows() == 0 && !RunQuoted(db, QStringLiteral("'CREATE ROLE %I LOGIN', $1::text"), {role}, error)) ||
        !RunQuoted(db, QStringLiteral("'GRANT %I TO %I', $1::text, $2::text"), {group, role}, error) ||
        (counter && !db.Run(QStringLiteral("INSERT INTO celvio.counters (station) VALUES ($1) ON CONFLICT DO NOTHING"),
                            error, {role})))
        return ReportServerError(error, err);
    if (a.PasswordStdin) {
        QTextStream in(stdin);
        const QString password = in.readLine();
        // The server stores the SCRAM verifier made here: the password itself is never sent.
        char* verifier = PQencryptPasswordConn(db.Handle(), password.toUtf8().constData(), role.toUtf8().constData(),
                                               nullptr);
        if (!verifier) {
            error.Fault = ServerFault::Failed;
            error.Message = db.Server() + QStringLiteral(": the password could not be encrypted");
            return ReportServerError(error, err);
        }
        const QString text = QString::fromUtf8(verifier);
        PQfreemem(verifier);
        if (!RunQuoted(db, QStringLiteral("'ALTER ROLE %I PASSWORD %L', $1::text, $2::text"), {role, text}, error))
            return ReportServerError(error, err);
    }
    if (!db.Run(QStringLiteral("COMMIT"), error))
        return ReportServerError(error, err);
    out << db.Server() << ": role " << role << " is a " << (counter ? "counter" : "head-office reader") << '\n';
    return kHistoryOk;
}

}  // namespace

int RunServerCommand(const HeadOfficeArgs& a, QTextStream& out, QTextStream& err)
{
    const QString what = a.Positional.value(0);
    static const QStringList known{QStringLiteral("init"), QStringLiteral("migrate"), QStringLiteral("add-counter"),
                                   QStringLiteral("add-reader")};
    if (!known.contains(what)) {
        err << "celvio-history: server takes init, migrate, add-counter ROLE or add-reader ROLE\n";
        return kHistoryUsage;
    }
    ServerAddress server;
    if (const int code = ResolveServer(a, server, err); code >= 0)
        return code;
    PgConnection db;
    ServerError error;
    if (!db.Connect(server, a.TimeoutS, error)) {
        if (what != QLatin1String("init") || error.Fault != ServerFault::NoDatabase)
            return ReportServerError(error, err);
        if (!CreateDatabase(server, a.TimeoutS, error) || !db.Connect(server, a.TimeoutS, error))
            return ReportServerError(error, err);
        if (!a.Json)
            out << server.Description << ": database created\n";
    }
    if (what == QLatin1String("init") || what == QLatin1String("migrate"))
        return Migrate(db, a, out, err);
    return AddRole(db, a, what == QLatin1String("add-counter"), out, err);
}

}  // namespace celvio
