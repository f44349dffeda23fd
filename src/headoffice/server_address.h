// Where the head office's database is: HEADOFFICE.INI in the station, or a connection
// URI given on the command line. The password never comes from here: libpq takes it
// from the user's password file (~/.pgpass of mode 0600, or the file PGPASSFILE names)
// as PostgreSQL's own clients do.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace celvio {

struct ServerAddress {
    // libpq's connection keywords and values (host, port, dbname, user, sslmode), or
    // one "dbname" holding a URI.
    QList<QPair<QString, QString>> Keywords;
    QString Counter;      // the counter's name shown at the head office
    QString Description;  // "user@host:port/database" for messages; never a password

    bool IsEmpty() const { return Keywords.isEmpty(); }
    // The text that tells one server from another in the station's acknowledgements.
    QString Key() const { return Description; }
};

// The connection file's name in the station directory.
inline QString HeadOfficeFileName() { return QStringLiteral("HEADOFFICE.INI"); }

// True when the station has a connection file (names matched without regard to case).
bool HasHeadOfficeFile(const QString& stationDir);

// Reads HEADOFFICE.INI: lines KEY=VALUE (HOST, PORT, DATABASE, USER, SSLMODE, COUNTER;
// keys in any case, "[...]" and ";" lines ignored). False, with `error`, when the file
// is missing or names no database. A PASSWORD line is refused: the password belongs in
// the password file.
bool ReadHeadOfficeFile(const QString& stationDir, ServerAddress& out, QString* error);

// A connection URI "postgresql://user@host:port/database?sslmode=..." (or a libpq
// keyword string). False, with `error`, when libpq cannot read it.
bool ServerFromUri(const QString& uri, ServerAddress& out, QString* error);

}  // namespace celvio
