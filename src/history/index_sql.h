// Small helpers shared by the files of the history index: an error text handed back,
// a statement run with its error caught.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

namespace celvio::index_sql {

inline bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

inline bool Fail(QString* error, const QSqlQuery& query)
{
    return Fail(error, query.lastError().text());
}

inline bool Exec(QSqlDatabase& db, const QString& sql, QString* error)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        return Fail(error, query.lastError().text());
    return true;
}

inline bool Run(QSqlQuery& query, QString* error)
{
    if (!query.exec())
        return Fail(error, query.lastError().text());
    return true;
}

}  // namespace celvio::index_sql
