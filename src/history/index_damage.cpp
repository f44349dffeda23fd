// An index found damaged inside: the file is only a copy of what the station's files
// say, so it is replaced by a new one, which the next pass fills.
#include "history/history_index.h"

#include "history/index_sql.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace celvio {

bool HistoryIndex::RemoveFiles(const QString& path, QString* error)
{
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const QString file = path + QString::fromLatin1(suffix);
        if (QFileInfo::exists(file) && !QFile::remove(file))
            return index_sql::Fail(error, QStringLiteral("cannot replace the damaged index ") + file);
    }
    return true;
}

bool HistoryIndex::FoundDamaged()
{
    // A pass fails for many reasons (a busy index, a full disk): only SQLite's own check
    // of the file's structure tells damage, or an error that says so.
    QSqlQuery check(db_);
    if (check.exec(QStringLiteral("PRAGMA integrity_check(1)")))
        return check.next() && check.value(0).toString() != QLatin1String("ok");
    const QString code = check.lastError().nativeErrorCode();
    return code == QLatin1String("11") || code == QLatin1String("26");
}

bool HistoryIndex::MadeAnewIfDamaged(QString* error)
{
    if (access_ != IndexAccess::ReadWrite || !FoundDamaged())
        return false;
    const QString path = DatabasePath();
    Disconnect();
    QString why;
    if (!RemoveFiles(path, &why) || !Open(&why))
        return index_sql::Fail(error, QStringLiteral("the index ") + path + QStringLiteral(" was damaged: ") + why);
    return true;
}

}  // namespace celvio
