#include "headoffice/server_address.h"

#include "core/files.h"

#include <QFileInfo>
#include <libpq-fe.h>

namespace celvio {

namespace {

bool Refuse(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

QString Value(const QList<QPair<QString, QString>>& keywords, const char* key)
{
    for (const auto& [k, v] : keywords) {
        if (k == QLatin1String(key))
            return v;
    }
    return {};
}

// "user@host:port/database", from what libpq would use; absent parts are left out.
QString Describe(const QList<QPair<QString, QString>>& keywords)
{
    const QString user = Value(keywords, "user");
    QString host = Value(keywords, "host");
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    const QString port = Value(keywords, "port");
    return (user.isEmpty() ? QString() : user + QLatin1Char('@')) + host +
           (port.isEmpty() ? QString() : QLatin1Char(':') + port) + QLatin1Char('/') + Value(keywords, "dbname");
}

}  // namespace

bool HasHeadOfficeFile(const QString& stationDir)
{
    return QFileInfo(ResolvePath(stationDir, HeadOfficeFileName())).isFile();
}

bool ReadHeadOfficeFile(const QString& stationDir, ServerAddress& out, QString* error)
{
    out = ServerAddress{};
    const QString path = ResolvePath(stationDir, HeadOfficeFileName());
    QStringList lines;
    if (!QFileInfo(path).isFile() || !ReadTextLines(path, lines))
        return Refuse(error, QStringLiteral("no head office: ") + path + QStringLiteral(" cannot be read"));
    static const QList<QPair<QString, const char*>> known{
        {QStringLiteral("HOST"), "host"},         {QStringLiteral("PORT"), "port"},
        {QStringLiteral("DATABASE"), "dbname"},   {QStringLiteral("USER"), "user"},
        {QStringLiteral("SSLMODE"), "sslmode"},
    };
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char('[')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return Refuse(error, path + QStringLiteral(": not a KEY=VALUE line: ") + line);
        const QString key = line.left(eq).trimmed().toUpper();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("PASSWORD"))
            return Refuse(error, path + QStringLiteral(": a password does not belong here; put it in the password file"
                                                     " (~/.pgpass, mode 0600, or PGPASSFILE)"));
        if (key == QLatin1String("COUNTER")) {
            out.Counter = value;
            continue;
        }
        for (const auto& [name, keyword] : known) {
            if (key == name && !value.isEmpty())
                out.Keywords.append({QString::fromLatin1(keyword), value});
        }
    }
    if (Value(out.Keywords, "dbname").isEmpty())
        return Refuse(error, path + QStringLiteral(": no DATABASE line"));
    out.Description = Describe(out.Keywords);
    return true;
}

bool ServerFromUri(const QString& uri, ServerAddress& out, QString* error)
{
    out = ServerAddress{};
    char* why = nullptr;
    PQconninfoOption* options = PQconninfoParse(uri.toUtf8().constData(), &why);
    if (!options) {
        const QString text = why ? QString::fromUtf8(why).trimmed() : QStringLiteral("out of memory");
        PQfreemem(why);
        return Refuse(error, QStringLiteral("not a connection URI: ") + text);
    }
    QList<QPair<QString, QString>> parsed;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        if (o->val && *o->val)
            parsed.append({QString::fromUtf8(o->keyword), QString::fromUtf8(o->val)});
    }
    PQconninfoFree(options);
    if (!Value(parsed, "password").isEmpty())
        return Refuse(error, QStringLiteral("a password does not belong on the command line; put it in the password"
                                          " file (~/.pgpass, mode 0600, or PGPASSFILE)"));
    out.Keywords = parsed;
    out.Description = Describe(parsed);
    return true;
}

}  // namespace celvio
