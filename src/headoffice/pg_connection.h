// A connection to the head office's PostgreSQL server through libpq: every value is
// sent as a parameter, bulk rows through COPY. A failure keeps its kind, so that the
// command line can give each its own exit code and message.
#pragma once

#include "headoffice/server_address.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

struct pg_conn;
struct pg_result;

namespace celvio {

// Why the server could not be used.
enum class ServerFault {
    None,
    Down,         // nothing answers at the address (refused, no route, timed out)
    Login,        // the server refused the login (password, unknown role, pg_hba)
    NoDatabase,   // the server has no database of that name
    TlsRequired,  // TLS was required, the server does not offer it
    Schema,       // the database has no head-office schema, or a newer one than this program
    Failed,       // a statement failed (a lost connection in the middle included)
};

struct ServerError {
    ServerFault Fault = ServerFault::None;
    QString Message;  // names the server and the reason
};

// One result of a statement: rows of text values (NULL is a null QString).
class PgResult {
public:
    PgResult() = default;
    explicit PgResult(pg_result* result);
    ~PgResult();
    PgResult(PgResult&& other) noexcept;
    PgResult& operator=(PgResult&& other) noexcept;
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;

    int Rows() const;
    QString Text(int row, int column) const;
    qint64 Number(int row, int column) const { return Text(row, column).toLongLong(); }
    bool IsNull(int row, int column) const;
    // Rows a command touched (INSERT n).
    qint64 Affected() const;

private:
    pg_result* result_ = nullptr;
};

class PgConnection {
public:
    PgConnection() = default;
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Connects, giving up after `timeoutS` seconds. The session's search path is the
    // head office's schema.
    bool Connect(const ServerAddress& server, int timeoutS, ServerError& error);
    void Close();
    bool IsOpen() const { return conn_ != nullptr; }
    const QString& Server() const { return server_; }

    // Runs `sql` with `params` bound as $1, $2 ... (a null QVariant is NULL; lists go
    // as PostgreSQL array texts). Returns nothing and fills `error` on failure.
    std::optional<PgResult> Exec(const QString& sql, const QVariantList& params, ServerError& error);
    bool Run(const QString& sql, ServerError& error, const QVariantList& params = {});
    // Runs a script of several statements without parameters (the migrations).
    bool RunScript(const QByteArray& sql, ServerError& error);
    // Sends a script of several statements without parameters and returns at once; the
    // caller does other work, then Collect() waits for every statement's result (the
    // rows each touched, in order).
    bool SendScript(const QByteArray& sql, ServerError& error);
    bool Collect(QList<qint64>& affected, ServerError& error);
    // COPY ... FROM STDIN with rows in COPY's text format.
    bool CopyIn(const QString& sql, const QByteArray& rows, ServerError& error);

    pg_conn* Handle() const { return conn_; }

private:
    bool Fail(ServerError& error, ServerFault fault, const QString& what);
    // Failed, or Down when the connection is gone.
    ServerFault Broken() const;

    pg_conn* conn_ = nullptr;
    QString server_;
};

// A value in COPY's text format: backslash, tab, line ends escaped; \N for NULL.
void AppendCopyField(QByteArray& row, const QString& text, bool isNull = false);
// A PostgreSQL array literal of texts, each quoted ("{\"a\",NULL}"); a null element
// stays NULL.
QString ArrayLiteral(const QStringList& items);

}  // namespace celvio
