#include "headoffice/pg_connection.h"

#include <QStringList>
#include <libpq-fe.h>

namespace celvio {

namespace {

QString ErrorText(pg_conn* conn)
{
    return QString::fromUtf8(PQerrorMessage(conn)).trimmed().replace(QLatin1Char('\n'), QStringLiteral("; "));
}

// The kind of a failed connection, from libpq's and the server's messages (English:
// the program runs libpq with its messages untranslated), and for anything else from
// whether a server answers at all.
ServerFault ConnectFault(const QString& text, bool sslRequired, const QList<QPair<QString, QString>>& keywords)
{
    if (text.contains(QLatin1String("does not support SSL")) || (sslRequired && text.contains(QLatin1String("SSL off"))))
        return ServerFault::TlsRequired;
    if (text.contains(QLatin1String("password authentication failed")) ||
        text.contains(QLatin1String("no password supplied")) || text.contains(QLatin1String("pg_hba.conf")) ||
        text.contains(QLatin1String("authentication failed")) ||
        (text.contains(QLatin1String("role \"")) && text.contains(QLatin1String("does not exist"))))
        return ServerFault::Login;
    if (text.contains(QLatin1String("database \"")) && text.contains(QLatin1String("does not exist")))
        return ServerFault::NoDatabase;
    QList<QByteArray> keys, values;
    for (const auto& [k, v] : keywords) {
        keys << k.toUtf8();
        values << v.toUtf8();
    }
    QList<const char*> k, v;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        k << keys[i].constData();
        v << values[i].constData();
    }
    k << nullptr;
    v << nullptr;
    return PQpingParams(k.constData(), v.constData(), 1) == PQPING_OK ? ServerFault::Login : ServerFault::Down;
}

}  // namespace

PgResult::PgResult(pg_result* result) : result_(result) {}

PgResult::~PgResult()
{
    if (result_)
        PQclear(result_);
}

PgResult::PgResult(PgResult&& other) noexcept : result_(other.result_)
{
    other.result_ = nullptr;
}

PgResult& PgResult::operator=(PgResult&& other) noexcept
{
    std::swap(result_, other.result_);
    return *this;
}

int PgResult::Rows() const
{
    return result_ ? PQntuples(result_) : 0;
}

QString PgResult::Text(int row, int column) const
{
    if (!result_ || PQgetisnull(result_, row, column))
        return {};
    return QString::fromUtf8(PQgetvalue(result_, row, column), PQgetlength(result_, row, column));
}

bool PgResult::IsNull(int row, int column) const
{
    return !result_ || PQgetisnull(result_, row, column);
}

qint64 PgResult::Affected() const
{
    return result_ ? QByteArray(PQcmdTuples(result_)).toLongLong() : 0;
}

PgConnection::~PgConnection()
{
    Close();
}

void PgConnection::Close()
{
    if (conn_)
        PQfinish(conn_);
    conn_ = nullptr;
}

bool PgConnection::Fail(ServerError& error, ServerFault fault, const QString& what)
{
    error.Fault = fault;
    error.Message = server_ + QStringLiteral(": ") + what;
    return false;
}

bool PgConnection::Connect(const ServerAddress& server, int timeoutS, ServerError& error)
{
    Close();
    server_ = server.Description;
    auto keywords = server.Keywords;
    keywords.append({QStringLiteral("connect_timeout"), QString::number(std::max(timeoutS, 2))});
    keywords.append({QStringLiteral("application_name"), QStringLiteral("celvio-history")});
    keywords.append({QStringLiteral("client_encoding"), QStringLiteral("UTF8")});
    keywords.append({QStringLiteral("options"), QStringLiteral("-c search_path=celvio -c client_min_messages=warning")});
    QList<QByteArray> keys, values;
    for (const auto& [k, v] : keywords) {
        keys << k.toUtf8();
        values << v.toUtf8();
    }
    QList<const char*> k, v;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        k << keys[i].constData();
        v << values[i].constData();
    }
    k << nullptr;
    v << nullptr;
    conn_ = PQconnectdbParams(k.constData(), v.constData(), 1);
    if (conn_ && PQstatus(conn_) == CONNECTION_OK)
        return true;
    const QString text = conn_ ? ErrorText(conn_) : QStringLiteral("out of memory");
    Close();
    QString sslmode;
    for (const auto& [key, value] : server.Keywords) {
        if (key == QLatin1String("sslmode"))
            sslmode = value;
    }
    const bool sslRequired = sslmode.startsWith(QLatin1String("require")) || sslmode.startsWith(QLatin1String("verify"));
    const ServerFault fault = ConnectFault(text, sslRequired, server.Keywords);
    const QString reason = fault == ServerFault::Down       ? QStringLiteral("server not reachable")
                           : fault == ServerFault::Login    ? QStringLiteral("login refused")
                           : fault == ServerFault::NoDatabase ? QStringLiteral("no such database")
                                                              : QStringLiteral("TLS required but not offered");
    return Fail(error, fault, reason + QStringLiteral(" (") + text + QLatin1Char(')'));
}

std::optional<PgResult> PgConnection::Exec(const QString& sql, const QVariantList& params, ServerError& error)
{
    if (!conn_) {
        Fail(error, ServerFault::Failed, QStringLiteral("not connected"));
        return std::nullopt;
    }
    QList<QByteArray> texts;
    QList<const char*> values;
    texts.reserve(params.size());
    for (const QVariant& p : params) {
        if (p.isNull()) {
            texts << QByteArray();
            continue;
        }
        if (p.typeId() == QMetaType::QStringList)
            texts << ArrayLiteral(p.toStringList()).toUtf8();
        else if (p.typeId() == QMetaType::Bool)
            texts << (p.toBool() ? "true" : "false");
        else
            texts << p.toString().toUtf8();
    }
    for (qsizetype i = 0; i < params.size(); ++i)
        values << (params[i].isNull() ? nullptr : texts[i].constData());
    pg_result* raw = PQexecParams(conn_, sql.toUtf8().constData(), int(values.size()), nullptr, values.constData(),
                                  nullptr, nullptr, 0);
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        QString why = raw ? QString::fromUtf8(PQresultErrorMessage(raw)).trimmed() : ErrorText(conn_);
        if (why.isEmpty())
            why = ErrorText(conn_);
        const QByteArray state = raw ? QByteArray(PQresultErrorField(raw, PG_DIAG_SQLSTATE)) : QByteArray();
        if (raw)
            PQclear(raw);
        // A missing table or schema: the database was never set up for the head office.
        if (state == "42P01" || state == "3F000")
            Fail(error, ServerFault::Schema,
                 QStringLiteral("the database has no head-office tables (celvio-history server init sets them up): ") +
                     why);
        else if (PQstatus(conn_) == CONNECTION_BAD)
            Fail(error, ServerFault::Down, QStringLiteral("connection lost (") + why + QLatin1Char(')'));
        else
            Fail(error, ServerFault::Failed, why);
        return std::nullopt;
    }
    return PgResult(raw);
}

bool PgConnection::Run(const QString& sql, ServerError& error, const QVariantList& params)
{
    return Exec(sql, params, error).has_value();
}

bool PgConnection::RunScript(const QByteArray& sql, ServerError& error)
{
    // The simple protocol: every statement of the script, up to the first that fails.
    QList<qint64> affected;
    return SendScript(sql, error) && Collect(affected, error);
}

bool PgConnection::SendScript(const QByteArray& sql, ServerError& error)
{
    if (!conn_)
        return Fail(error, ServerFault::Failed, QStringLiteral("not connected"));
    return PQsendQuery(conn_, sql.constData()) == 1 || Fail(error, Broken(), ErrorText(conn_));
}

bool PgConnection::Collect(QList<qint64>& affected, ServerError& error)
{
    affected.clear();
    bool ok = true;
    QString why;
    while (pg_result* r = PQgetResult(conn_)) {
        const ExecStatusType status = PQresultStatus(r);
        if (ok && status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            ok = false;
            why = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
        }
        affected << QByteArray(PQcmdTuples(r)).toLongLong();
        PQclear(r);
    }
    if (ok && PQstatus(conn_) == CONNECTION_BAD)
        return Fail(error, ServerFault::Down, QStringLiteral("connection lost (") + ErrorText(conn_) + QLatin1Char(')'));
    return ok || Fail(error, Broken(), why.isEmpty() ? ErrorText(conn_) : why);
}

ServerFault PgConnection::Broken() const
{
    return conn_ && PQstatus(conn_) == CONNECTION_BAD ? ServerFault::Down : ServerFault::Failed;
}

bool PgConnection::CopyIn(const QString& sql, const QByteArray& rows, ServerError& error)
{
    pg_result* start = PQexec(conn_, sql.toUtf8().constData());
    const bool ready = start && PQresultStatus(start) == PGRES_COPY_IN;
    if (start)
        PQclear(start);
    if (!ready)
        return Fail(error, Broken(), ErrorText(conn_));
    if (PQputCopyData(conn_, rows.constData(), int(rows.size())) != 1 || PQputCopyEnd(conn_, nullptr) != 1)
        return Fail(error, Broken(), ErrorText(conn_));
    bool ok = true;
    QString why;
    while (pg_result* r = PQgetResult(conn_)) {
        if (PQresultStatus(r) != PGRES_COMMAND_OK) {
            ok = false;
            why = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
        }
        PQclear(r);
    }
    return ok || Fail(error, Broken(), why);
}

void AppendCopyField(QByteArray& row, const QString& text, bool isNull)
{
    if (isNull) {
        row += "\\N";
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    row.reserve(row.size() + utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '\\': row += "\\\\"; break;
        case '\t': row += "\\t"; break;
        case '\n': row += "\\n"; break;
        case '\r': row += "\\r"; break;
        default: row += c;
        }
    }
}

QString ArrayLiteral(const QStringList& items)
{
    QString out = QStringLiteral("{");
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i)
            out += QLatin1Char(',');
        if (items[i].isNull()) {
            out += QStringLiteral("NULL");
            continue;
        }
        QString item = items[i];
        item.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
        out += QLatin1Char('"') + item + QLatin1Char('"');
    }
    return out + QLatin1Char('}');
}

}  // namespace celvio
