// The head office's schema: ordered SQL migration files (data/headoffice/migrations,
// built into the program and installed beside it for reading), applied one by one in a
// transaction each, the version recorded in celvio.schema_version.
#pragma once

#include "headoffice/pg_connection.h"

#include <QList>
#include <QString>

namespace celvio {

struct Migration {
    int Version = 0;   // from the file name: 0001_tables.sql is 1
    QString Name;      // the file name
    QByteArray Sql;
};

// The migrations this program knows, in order.
QList<Migration> KnownMigrations();

// The newest version applied to the database; 0 for a database without the schema.
bool SchemaVersion(PgConnection& db, int& version, ServerError& error);

// Applies every migration newer than the database's version (an advisory lock keeps
// two at once from racing). `applied` gets the names applied now.
bool Migrate(PgConnection& db, QStringList& applied, ServerError& error);

// The version this program writes and reads; a database with a newer one is refused.
int CurrentSchemaVersion();

}  // namespace celvio
