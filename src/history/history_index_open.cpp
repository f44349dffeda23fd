// Opening the history index: for writing where the station can be written (made anew
// when it is damaged or foreign, its folder names brought to the present layout), else
// read-only as it stands, else in memory.
#include "history/history_index.h"

#include "core/files.h"
#include "history/index_layout.h"
#include "history/index_sql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace celvio {

using index_sql::Exec;
using index_sql::Fail;
using index_sql::Run;

namespace {

// 3: every reading of a test is kept (readings, reading_rows). 2: folders are named
// from the station directory, and each file's content hash is kept (the head office's
// key); only the marked readings. 1: folders named from the current directory of the
// program that wrote them (a station given as a relative path), and no hash. An index
// of 1 or 2 is brought to 3 in place, and its result files are read again.
constexpr int kSchemaVersion = 3;
constexpr int kMarksOnly = 2;
constexpr int kCurrentDirKeys = 1;
constexpr int kForeignLayout = -2;

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS folders (path TEXT PRIMARY KEY, mtime INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS files (id INTEGER PRIMARY KEY, folder TEXT NOT NULL, name TEXT NOT NULL,"
    " size INTEGER NOT NULL, mtime INTEGER NOT NULL, kind TEXT NOT NULL, status TEXT NOT NULL, reason TEXT,"
    " hash BLOB, UNIQUE(folder, name))",
    "CREATE TABLE IF NOT EXISTS tests (id INTEGER PRIMARY KEY,"
    " file_id INTEGER NOT NULL REFERENCES files(id) ON DELETE CASCADE,"
    " kind TEXT NOT NULL, date TEXT, time TEXT, stamp TEXT, date_text TEXT, time_text TEXT,"
    " imei TEXT, old_imei TEXT, imsi TEXT, model TEXT, system TEXT, verdict TEXT, fault TEXT,"
    " tester TEXT, serial TEXT, firmware TEXT, coupler TEXT, version TEXT)",
    "CREATE TABLE IF NOT EXISTS marks (test_id INTEGER NOT NULL REFERENCES tests(id) ON DELETE CASCADE,"
    " quantity TEXT, row_name TEXT, channel INTEGER, band INTEGER, value TEXT, limit_text TEXT, mark TEXT)",
    "CREATE TABLE IF NOT EXISTS reading_rows (id INTEGER PRIMARY KEY, quantity TEXT, row_name TEXT,"
    " limit_text TEXT, UNIQUE(quantity, row_name, limit_text))",
    "CREATE TABLE IF NOT EXISTS readings (test_id INTEGER PRIMARY KEY REFERENCES tests(id) ON DELETE CASCADE,"
    " cells TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS records (id INTEGER PRIMARY KEY,"
    " file_id INTEGER NOT NULL REFERENCES files(id) ON DELETE CASCADE,"
    " line INTEGER, kind TEXT, old_imei TEXT, new_imei TEXT, club TEXT, date TEXT, result TEXT,"
    " service_point TEXT)",
    "CREATE INDEX IF NOT EXISTS files_folder ON files(folder)",
    "CREATE INDEX IF NOT EXISTS files_status ON files(status)",
    "CREATE INDEX IF NOT EXISTS tests_file ON tests(file_id)",
    "CREATE INDEX IF NOT EXISTS tests_imei ON tests(imei)",
    "CREATE INDEX IF NOT EXISTS tests_old_imei ON tests(old_imei)",
    "CREATE INDEX IF NOT EXISTS tests_stamp ON tests(stamp)",
    "CREATE INDEX IF NOT EXISTS tests_model ON tests(model)",
    "CREATE INDEX IF NOT EXISTS marks_test ON marks(test_id)",
    "CREATE INDEX IF NOT EXISTS records_file ON records(file_id)",
    "CREATE INDEX IF NOT EXISTS records_old ON records(old_imei)",
    "CREATE INDEX IF NOT EXISTS records_new ON records(new_imei)",
    "CREATE INDEX IF NOT EXISTS records_date ON records(date)",
};

// Why this process may not write `path` (the system's words), or empty when it may.
QString AccessProblem(const QString& path)
{
    if (::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0)
        return QString();
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Why the index at `path` cannot be written: SQLite writes the file itself, its
// companions "-wal" and "-shm", and creates them in the folder.
QString IndexWriteProblem(const QString& path)
{
    QString why = AccessProblem(QFileInfo(path).absolutePath());
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const QString file = path + QString::fromLatin1(suffix);
        if (why.isEmpty() && QFileInfo::exists(file))
            why = AccessProblem(file);
    }
    return why;
}

// The version of the layout (0: a new, empty file); -1 when the file cannot be read,
// with `damaged` set when SQLite calls it damaged (SQLITE_CORRUPT) or not a database
// (SQLITE_NOTADB), and `why` the reason. A file that names a layout (or names none, yet
// has tables: the present one) without its tables is foreign: kForeignLayout.
int LayoutVersion(QSqlDatabase& db, bool& damaged, QString& why)
{
    damaged = false;
    QSqlQuery version(db);
    if (version.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")) && version.next()) {
        const int objects = version.value(0).toInt();
        if (version.exec(QStringLiteral("PRAGMA user_version")) && version.next()) {
            const int found = version.value(0).toInt();
            version.finish();
            const int layout = found == 0 && objects > 0 ? kSchemaVersion : found;
            if (found < 0 || (layout >= kCurrentDirKeys && layout <= kSchemaVersion && !HasLayoutTables(db, layout)))
                return kForeignLayout;
            return found;
        }
    }
    const QString code = version.lastError().nativeErrorCode();
    damaged = code == QLatin1String("11") || code == QLatin1String("26");
    why = version.lastError().text();
    return -1;
}

// The folder an old name stands for: the longest of `present` that ends it ("arc/RESULTS/
// 351234" was named from the folder above the station); empty when the folder is gone.
QString PresentFolder(const QString& old, const QStringList& present)
{
    QString best;
    for (const QString& key : present) {
        if (key.size() > best.size() &&
            (old == key || (old.endsWith(key) && old.at(old.size() - key.size() - 1) == QLatin1Char('/'))))
            best = key;
    }
    return best;
}

}  // namespace

QString HistoryIndex::DatabasePath() const
{
    return ResolvePath(stationDir_, DatabaseName());
}

bool HistoryIndex::Connect(const QString& name, const QString& options, QString* why)
{
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db_.setDatabaseName(name);
    db_.setConnectOptions(options + QStringLiteral("QSQLITE_BUSY_TIMEOUT=") + QString::number(busyMs_));
    if (db_.open())
        return true;
    const QString reason = db_.lastError().text();
    Disconnect();
    return Fail(why, reason);
}

void HistoryIndex::Disconnect()
{
    if (db_.isValid())
        db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
    open_ = false;
    access_ = IndexAccess::Closed;
}

bool HistoryIndex::DropQueryIndexes(QString* error)
{
    // Those that the deletions of files (their foreign keys) and the update's own
    // lookups need stay.
    for (const char* name : {"files_status", "tests_imei", "tests_old_imei", "tests_stamp", "tests_model",
                             "records_old", "records_new", "records_date"}) {
        if (!Exec(db_, QStringLiteral("DROP INDEX IF EXISTS ") + QString::fromLatin1(name), error))
            return false;
    }
    return true;
}

bool HistoryIndex::CreateSchema(QString* error)
{
    for (const char* sql : kSchema) {
        if (!Exec(db_, QString::fromLatin1(sql), error))
            return false;
    }
    return Exec(db_, QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion), error);
}

bool HistoryIndex::Open(QString* error)
{
    if (open_)
        return true;
    if (!QDir(stationDir_).exists())
        return Fail(error, QStringLiteral("no station directory ") + stationDir_);
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return Fail(error, QStringLiteral("the SQLite driver of Qt SQL is not installed"));
    const QString path = DatabasePath();
    // SQLite would write through a link at the index's name, and would remove one at the
    // name of its journal files: refused, as every write through a link is.
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        const QString file = path + QString::fromLatin1(suffix);
        if (IsSymLink(file))
            return Fail(error, QStringLiteral("cannot open ") + file + QStringLiteral(": ") + SymLinkRefusal());
    }
    writeProblem_ = IndexWriteProblem(path);
    if (writeProblem_.isEmpty())
        return OpenForWriting(path, error);
    if (QFileInfo::exists(path) && OpenForReading(path, error))
        return true;
    if (temporaryWhenUnwritable_)
        return OpenTemporary(error);
    if (!QFileInfo::exists(path))
        return Fail(error, QStringLiteral("no index ") + path + QStringLiteral(", and it cannot be made (") +
                               writeProblem_ + QLatin1Char(')'));
    return false;
}

bool HistoryIndex::OpenForWriting(const QString& path, QString* error)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        QString why;
        if (!Connect(path, QString(), &why))
            return Fail(error, QStringLiteral("cannot open ") + path + QStringLiteral(": ") + why);
        bool damaged = false;
        const int found = LayoutVersion(db_, damaged, why);
        if (found == -1 && !damaged) {
            // Busy or unreadable: left alone, never replaced.
            Disconnect();
            return Fail(error, QStringLiteral("cannot read ") + path + QStringLiteral(": ") + why);
        }
        if (found == 0 || found == kSchemaVersion || found == kMarksOnly || found == kCurrentDirKeys) {
            // A new file (0) gets the tables, in pages of 16 KiB (fewer writes); an existing one keeps its rows.
            if ((found == 0 && !Exec(db_, QStringLiteral("PRAGMA page_size = 16384"), &why)) ||
                !Exec(db_, QStringLiteral("PRAGMA journal_mode = WAL"), &why) ||
                !Exec(db_, QStringLiteral("PRAGMA synchronous = NORMAL"), &why) ||
                !Exec(db_, QStringLiteral("PRAGMA foreign_keys = ON"), &why) || (found == 0 && !CreateSchema(&why)) ||
                (found == kCurrentDirKeys && !MigrateFolderKeys(&why)) ||
                ((found == kCurrentDirKeys || found == kMarksOnly) && !MigrateToReadings(&why))) {
                // Damaged inside (a migration reads every page): made anew below.
                const bool damagedInside = FoundDamaged();
                Disconnect();
                if (!damagedInside)
                    return Fail(error, QStringLiteral("cannot prepare ") + path + QStringLiteral(": ") + why);
            } else {
                open_ = true;
                access_ = IndexAccess::ReadWrite;
                return true;
            }
        }
        // Damaged, foreign or of a layout this program does not know: the index is
        // only a copy of what the files say, so it is made anew.
        Disconnect();
        if (!RemoveFiles(path, error))
            return false;
    }
    return Fail(error, QStringLiteral("cannot create the index ") + path);
}

bool HistoryIndex::OpenForReading(const QString& path, QString* error)
{
    // Read-only, SQLite still needs the companion "-shm" file of a database in WAL mode:
    // a writer that runs has it, and then the reader sees what the writer committed.
    // Where there is none, the file alone is read: a reader that may not write the
    // index leaves no files of its own beside it (they would stand in its writer's way).
    const QString uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
                        QStringLiteral("?immutable=1");
    const struct {
        IndexAccess access;
        QString name, options;
    } ways[] = {
        {IndexAccess::ReadOnly, path, QStringLiteral("QSQLITE_OPEN_READONLY;")},
        {IndexAccess::Immutable, uri, QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI;")},
    };
    const bool writerRuns = QFileInfo::exists(path + QStringLiteral("-shm"));
    QString why;
    for (const auto& way : ways) {
        if ((way.access == IndexAccess::ReadOnly && !writerRuns) || !Connect(way.name, way.options, &why))
            continue;
        bool damaged = false;
        const int found = LayoutVersion(db_, damaged, why);
        if (found == kSchemaVersion || found == kMarksOnly || found == kCurrentDirKeys) {
            Exec(db_, QStringLiteral("PRAGMA query_only = ON"), nullptr);
            open_ = true;
            access_ = way.access;
            return true;
        }
        Disconnect();
        if (found != -1 || damaged) {
            why = QStringLiteral("not an index of this program");
            break;
        }
    }
    return Fail(error, QStringLiteral("cannot read ") + path + QStringLiteral(": ") + why);
}

bool HistoryIndex::OpenTemporary(QString* error)
{
    if (!Connect(QStringLiteral(":memory:"), QString(), error))
        return false;
    QString why;
    if (!Exec(db_, QStringLiteral("PRAGMA foreign_keys = ON"), &why) || !CreateSchema(&why)) {
        Disconnect();
        return Fail(error, QStringLiteral("cannot make an index in memory: ") + why);
    }
    open_ = true;
    access_ = IndexAccess::Temporary;
    return true;
}

namespace {

// True when `table` has a column of that name.
bool HasColumn(QSqlDatabase& db, const QString& table, const QString& column)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA table_info(") + table + QLatin1Char(')')))
        return false;
    while (q.next()) {
        if (q.value(1).toString() == column)
            return true;
    }
    return false;
}

}  // namespace

bool HistoryIndex::MigrateFolderKeys(QString* error)
{
    // The older layout named folders from the current directory of the program that
    // wrote them: "arc/RESULTS/351234" for a station given as "arc". Each name becomes
    // the station's folder it ends with, so that nothing is read again; the rows of a
    // folder that is gone, or named twice, go (the next update reads what is missing).
    const QStringList present = FolderKeys();
    QStringList old;
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("SELECT path FROM folders UNION SELECT folder FROM files")))
        return Fail(error, q.lastError().text());
    while (q.next())
        old.append(q.value(0).toString());
    q.finish();
    // Names already right first: they keep their rows over a stale copy.
    std::stable_sort(old.begin(), old.end(),
                     [&](const QString& a, const QString& b) { return present.contains(a) > present.contains(b); });
    if (!db_.transaction())
        return Fail(error, db_.lastError().text());
    QSet<QString> taken;
    QSqlQuery renameFiles(db_), renameFolder(db_), dropFiles(db_), dropFolder(db_);
    renameFiles.prepare(QStringLiteral("UPDATE files SET folder = ? WHERE folder = ?"));
    renameFolder.prepare(QStringLiteral("UPDATE folders SET path = ? WHERE path = ?"));
    dropFiles.prepare(QStringLiteral("DELETE FROM files WHERE folder = ?"));
    dropFolder.prepare(QStringLiteral("DELETE FROM folders WHERE path = ?"));
    bool ok = true;
    for (const QString& name : std::as_const(old)) {
        const QString now = PresentFolder(name, present);
        if (!now.isEmpty() && !taken.contains(now)) {
            taken.insert(now);
            if (now == name)
                continue;
            for (QSqlQuery* rename : {&renameFiles, &renameFolder}) {
                rename->bindValue(0, now);
                rename->bindValue(1, name);
                ok = ok && Run(*rename, error);
            }
            continue;
        }
        for (QSqlQuery* drop : {&dropFiles, &dropFolder}) {
            drop->bindValue(0, name);
            ok = ok && Run(*drop, error);
        }
    }
    // The older layout kept no hash: the upload hashes such a file when it sends it.
    ok = ok && (HasColumn(db_, QStringLiteral("files"), QStringLiteral("hash")) ||
                Exec(db_, QStringLiteral("ALTER TABLE files ADD COLUMN hash BLOB"), error));
    ok = ok && Exec(db_, QStringLiteral("PRAGMA user_version = %1").arg(kMarksOnly), error);
    if (ok && db_.commit())
        return true;
    if (ok)
        Fail(error, db_.lastError().text());
    db_.rollback();
    return false;
}

bool HistoryIndex::MigrateToReadings(QString* error)
{
    // The older layouts kept only the marked readings. The tables of every reading are
    // added, and every result file is read again at the next update: its folder and its
    // time count as changed. The records, the files and what the head office
    // acknowledged stay as they are.
    if (!db_.transaction())
        return Fail(error, db_.lastError().text());
    bool ok = true;
    for (const char* sql : kSchema)
        ok = ok && Exec(db_, QString::fromLatin1(sql), error);
    ok = ok && Exec(db_, QStringLiteral("UPDATE folders SET mtime = 0"), error) &&
         Exec(db_, QStringLiteral("UPDATE files SET mtime = -1 WHERE kind = 'result'"), error) &&
         Exec(db_, QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion), error);
    if (ok && db_.commit())
        return true;
    if (ok)
        Fail(error, db_.lastError().text());
    db_.rollback();
    return false;
}

}  // namespace celvio
