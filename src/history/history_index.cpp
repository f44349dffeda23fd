#include "history/history_index.h"

#include "core/files.h"
#include "history/index_files.h"
#include "history/index_sql.h"
#include "history/index_writer.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <sys/stat.h>

namespace celvio {

namespace {

// A folder changed this recently may change again within the same tick of its clock:
// it is read again next time.
constexpr qint64 kSettleMs = 2000;
// How deep below RESULTS the files lie: RESULTS/<prefix>/, RESULTS/LOG/BACKUP<yy>/.
constexpr int kMaxDepth = 3;
constexpr int kAnalyzeAfter = 1000;
// From this many files to read on, a pass makes the questions' indexes afresh.
constexpr qsizetype kBulkFiles = 2000;

using index_sql::Exec;
using index_sql::Fail;
using index_sql::Run;

// The modification time in milliseconds since the epoch, straight from stat(): no
// time zone is involved, and a folder of thousands of files is compared in moments.
qint64 MTime(const QString& path)
{
    struct stat buf {};
    if (::stat(QFile::encodeName(path).constData(), &buf) != 0)
        return -1;
    return qint64(buf.st_mtim.tv_sec) * 1000 + buf.st_mtim.tv_nsec / 1000000;
}

qint64 MTime(const QFileInfo& info)
{
    return MTime(info.filePath());
}

// A record file; "TEMP.IWR" / "TEMP.IME" is the transient copy of a rewrite that a
// crash may leave beside the real file, with the same records: not indexed.
bool IsRecordName(const QString& name)
{
    return (name.endsWith(QLatin1String(".IWR"), Qt::CaseInsensitive) ||
            name.endsWith(QLatin1String(".IME"), Qt::CaseInsensitive)) &&
           name.left(name.size() - 4).compare(QLatin1String("TEMP"), Qt::CaseInsensitive) != 0;
}

// The files of a folder that the index reads. An archive that a crash or a kill broke
// off leaves records in hand-over files until the next start-up or archive finishes
// it: a claim ("<archive>.IN") holds records that the archive file does not, and a
// merged file whose claim is gone ("<archive>.OUT") holds the archive's records and the
// claimed ones, so it stands in for the archive file. Each record is counted once.
// Hand-over files exist only in the archive folders (`archive`).
QStringList IndexedNames(const QStringList& names, bool archive)
{
    QSet<QString> present;
    for (const QString& name : names)
        present.insert(name.toUpper());
    const auto mergedWithoutClaim = [&present](const QString& upper) {
        return present.contains(upper + QLatin1String(".OUT")) && !present.contains(upper + QLatin1String(".IN"));
    };
    QStringList indexed;
    for (const QString& name : names) {
        const QString upper = name.toUpper();
        if (IsResultName(name))
            indexed.append(name);
        else if (archive && upper.endsWith(QLatin1String(".IN")) && IsRecordName(upper.chopped(3)))
            indexed.append(name);
        else if (archive && upper.endsWith(QLatin1String(".OUT")) && IsRecordName(upper.chopped(4)) &&
                 mergedWithoutClaim(upper.chopped(4)))
            indexed.append(name);
        else if (IsRecordName(name) && !(archive && mergedWithoutClaim(upper)))
            indexed.append(name);
    }
    return indexed;
}

struct StoredFile {
    qint64 id = 0;
    qint64 size = 0;
    qint64 mtime = 0;
};

// The folders below RESULTS (RESULTS itself included), as station-relative paths.
struct Folder {
    QString rel;
    QFileInfo info;
};

void CollectFolders(const QFileInfo& dir, const QString& rel, int depth, QList<Folder>& out)
{
    out.append(Folder{rel, dir});
    // Only RESULTS and RESULTS/LOG hold folders: the folders of the IMEI prefixes
    // (thousands of files each) are not searched for more.
    if (depth >= kMaxDepth || (depth > 0 && dir.fileName().compare(QLatin1String("LOG"), Qt::CaseInsensitive) != 0))
        return;
    const QFileInfoList subdirs =
        QDir(dir.filePath()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& sub : subdirs)
        CollectFolders(sub, rel + QLatin1Char('/') + sub.fileName(), depth + 1, out);
}

// The folders of the station's RESULTS, named from the station directory whatever
// path leads to it ("RESULTS/351234" for "arc", "/abs/arc" and "../arc" alike).
QList<Folder> StationFolders(const QString& stationDir)
{
    QList<Folder> folders;
    const QFileInfo results(ResolvePath(stationDir, QStringLiteral("RESULTS")));
    if (results.isDir())
        CollectFolders(results, results.fileName(), 0, folders);
    return folders;
}

std::atomic<int> g_connections{0};

}  // namespace

HistoryIndex::HistoryIndex(QString stationDir, int busyMs, bool temporaryWhenUnwritable)
    : stationDir_(std::move(stationDir)), busyMs_(busyMs), temporaryWhenUnwritable_(temporaryWhenUnwritable),
      connection_(QStringLiteral("celvio-history-") + QString::number(++g_connections))
{
}

HistoryIndex::~HistoryIndex()
{
    Disconnect();
}

QStringList HistoryIndex::FolderKeys() const
{
    QStringList keys;
    for (const Folder& folder : StationFolders(stationDir_))
        keys.append(folder.rel);
    return keys;
}

bool HistoryIndex::Update(UpdateScope scope, IndexCounts* counts, QString* error, qint64 budgetMs)
{
    return InOneTransaction(counts, error,
                            [&](IndexCounts& c) { return Walk(scope, c, error, budgetMs); });
}

bool HistoryIndex::Rebuild(IndexCounts* counts, QString* error)
{
    return InOneTransaction(counts, error, [&](IndexCounts& c) {
        for (const char* table : {"marks", "readings", "reading_rows", "tests", "records", "files", "folders"}) {
            if (!Exec(db_, QStringLiteral("DELETE FROM ") + QString::fromLatin1(table), error))
                return false;
        }
        return Walk(UpdateScope::EveryFile, c, error);
    });
}

bool HistoryIndex::InOneTransaction(IndexCounts* counts, QString* error,
                                    const std::function<bool(IndexCounts&)>& work)
{
    // An update or rebuild is one transaction: a failure anywhere leaves the index as
    // it was, and a reader never sees half of it.
    IndexCounts local;
    IndexCounts& c = counts ? *counts : local;
    c = IndexCounts{};
    QElapsedTimer timer;
    timer.start();
    if (!open_ && !Open(error))
        return false;
    if (IsReadOnly())
        return Fail(error, QStringLiteral("the index ") + DatabasePath() + QStringLiteral(" cannot be written (") +
                               writeProblem_ + QLatin1Char(')'));
    // SQLite finds damage inside the file only when it reads the damaged part: an index
    // found damaged so is made anew (index_damage.cpp), and the work done once more.
    if (!RunTransaction(c, error, work)) {
        if (!MadeAnewIfDamaged(error))
            return false;
        c = IndexCounts{};
        if (!RunTransaction(c, error, work))
            return false;
    }
    Analyze(c);
    c.Ms = timer.elapsed();
    return true;
}

bool HistoryIndex::RunTransaction(IndexCounts& c, QString* error, const std::function<bool(IndexCounts&)>& work)
{
    if (!db_.transaction())
        return Fail(error, db_.lastError().text());
    if (!work(c)) {
        db_.rollback();
        return false;
    }
    if (!db_.commit()) {
        const QString why = db_.lastError().text();
        db_.rollback();
        return Fail(error, why);
    }
    return true;
}

void HistoryIndex::Analyze(const IndexCounts& counts)
{
    // After many new rows the query planner's figures are renewed, so that a date range
    // is read through its index rather than the whole table.
    if (counts.Read >= kAnalyzeAfter)
        Exec(db_, QStringLiteral("ANALYZE"), nullptr);
}

namespace {

// A folder of an update whose files are to be read: plan[first, end).
struct FolderWork {
    QString rel;
    qint64 mtime = 0;
    qsizetype first = 0;
    qsizetype end = 0;
};

// The time a folder is stored with: one written within the last moments may get
// another file in the same tick of its time stamp, so it is read again next time.
qint64 SettledTime(qint64 mtime)
{
    return QDateTime::currentMSecsSinceEpoch() - mtime < kSettleMs ? 0 : mtime;
}

}  // namespace

// Plans the reading of a folder: its new files and those whose size or time changed;
// the files gone from it are taken out of the index at once.
bool PlanFolder(QSqlDatabase& db, const Folder& folder, QList<PlannedFile>& plan, IndexWriter& writer,
                IndexCounts& counts, QString* error)
{
    QHash<QString, StoredFile> stored;
    QSqlQuery filesOf(db);
    filesOf.setForwardOnly(true);
    filesOf.prepare(QStringLiteral("SELECT id, name, size, mtime FROM files WHERE folder = ?"));
    filesOf.bindValue(0, folder.rel);
    if (!Run(filesOf, error))
        return false;
    while (filesOf.next())
        stored.insert(filesOf.value(1).toString(), StoredFile{filesOf.value(0).toLongLong(),
                                                              filesOf.value(2).toLongLong(), filesOf.value(3).toLongLong()});
    const QString folderPath = folder.info.filePath() + QLatin1Char('/');
    const QStringList names =
        IndexedNames(QDir(folder.info.filePath()).entryList(QDir::Files | QDir::NoDotAndDotDot),
                     folder.info.fileName().startsWith(QLatin1String("BACKUP"), Qt::CaseInsensitive));
    for (const QString& name : names) {
        const QString path = folderPath + name;
        qint64 oldId = -1;
        const auto it = stored.constFind(name);
        if (it != stored.constEnd()) {
            const StoredFile old = *it;
            stored.erase(it);
            struct stat buf {};
            if (::stat(QFile::encodeName(path).constData(), &buf) == 0 && old.size == qint64(buf.st_size) &&
                old.mtime == qint64(buf.st_mtim.tv_sec) * 1000 + buf.st_mtim.tv_nsec / 1000000) {
                ++counts.Unchanged;
                continue;
            }
            oldId = old.id;
        }
        plan.append(PlannedFile{folder.rel, name, path, oldId});
    }
    // Files gone from the folder.
    for (const StoredFile& gone : std::as_const(stored)) {
        if (!writer.Remove(gone.id, error))
            return false;
        ++counts.Removed;
    }
    return true;
}

bool HistoryIndex::Walk(UpdateScope scope, IndexCounts& counts, QString* error, qint64 budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    IndexWriter writer(db_);
    RowTexts rowTexts;
    if (!writer.Prepare(error) || !writer.LoadRowTexts(rowTexts, error))
        return false;

    QHash<QString, qint64> known;
    {
        QSqlQuery q(db_);
        if (!q.exec(QStringLiteral("SELECT path, mtime FROM folders")))
            return Fail(error, q.lastError().text());
        while (q.next())
            known.insert(q.value(0).toString(), q.value(1).toLongLong());
    }
    QSqlQuery setFolder(db_);
    setFolder.prepare(QStringLiteral("INSERT OR REPLACE INTO folders (path, mtime) VALUES (?, ?)"));
    auto folderRead = [&](const QString& rel, qint64 mtime) {
        setFolder.bindValue(0, rel);
        setFolder.bindValue(1, SettledTime(mtime));
        return Run(setFolder, error);
    };

    // What to read: the new and changed files of every folder that changed (or of
    // every folder), folder by folder; the files that are gone go at once.
    QSet<QString> present;
    QList<PlannedFile> plan;
    QList<FolderWork> work;
    for (const Folder& folder : StationFolders(stationDir_)) {
        present.insert(folder.rel);
        if (budgetMs > 0 && clock.elapsed() >= budgetMs) {
            counts.Complete = false;
            continue;
        }
        const qint64 mtime = MTime(folder.info);
        if (scope == UpdateScope::ChangedFolders && known.value(folder.rel, -1) == mtime && mtime != 0)
            continue;
        const qsizetype first = plan.size();
        if (!PlanFolder(db_, folder, plan, writer, counts, error))
            return false;
        if (plan.size() == first) {
            if (!folderRead(folder.rel, mtime))
                return false;
        } else {
            work.append(FolderWork{folder.rel, mtime, first, plan.size()});
        }
    }

    // Many files at once (a first index, a rebuild): the indexes that only questions
    // use are made afresh after the rows are in, which is quicker than keeping them up
    // to date row by row.
    const bool bulk = plan.size() >= kBulkFiles;
    if (bulk && !DropQueryIndexes(error))
        return false;

    // The files read on every core, written here in order; each folder is stored with
    // its time once all its files are in. The time allowed ends the pass after a folder.
    qsizetype done = 0;  // folders whose files are all in
    bool ok = true;
    ReadInParallel(plan, ReadContext{dateOrder_, &rowTexts}, [&](const PlannedFile& file, ReadFile& read) {
        ok = (file.OldId < 0 || writer.Remove(file.OldId, error)) && writer.Add(read, error);
        if (!ok)
            return false;
        ++counts.Read;
        if (!read.Ok)
            ++counts.Skipped;
        const FolderWork& current = work[done];
        if (&file - plan.constData() + 1 < current.end)
            return true;
        ok = folderRead(current.rel, current.mtime);
        ++done;
        if (ok && done < work.size() && budgetMs > 0 && clock.elapsed() >= budgetMs) {
            counts.Complete = false;
            return false;
        }
        return ok;
    });
    if (!ok || !writer.AddRowTexts(rowTexts.TakeNew(), error) || (bulk && !CreateSchema(error)))
        return false;

    // Folders that are gone, with their files.
    QSqlQuery removeFiles(db_), removeFolder(db_);
    removeFiles.prepare(QStringLiteral("DELETE FROM files WHERE folder = ?"));
    removeFolder.prepare(QStringLiteral("DELETE FROM folders WHERE path = ?"));
    QSqlQuery orphans(db_);
    if (!orphans.exec(QStringLiteral("SELECT path FROM folders")))
        return Fail(error, orphans.lastError().text());
    QStringList gone;
    while (orphans.next()) {
        const QString folder = orphans.value(0).toString();
        if (!present.contains(folder))
            gone.append(folder);
    }
    orphans.finish();
    for (const QString& folder : gone) {
        QSqlQuery count(db_);
        count.prepare(QStringLiteral("SELECT COUNT(*) FROM files WHERE folder = ?"));
        count.bindValue(0, folder);
        if (Run(count, error) && count.next())
            counts.Removed += count.value(0).toInt();
        removeFiles.bindValue(0, folder);
        removeFolder.bindValue(0, folder);
        if (!Run(removeFiles, error) || !Run(removeFolder, error))
            return false;
    }

    QSqlQuery skipped(db_);
    if (skipped.exec(QStringLiteral("SELECT COUNT(*) FROM files WHERE status = 'skipped'")) && skipped.next())
        counts.SkippedTotal = skipped.value(0).toInt();
    return true;
}

}  // namespace celvio
