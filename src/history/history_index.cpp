#include "history/history_index.h"

#include "history/index_files.h"
#include "history/index_folders.h"
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
constexpr int kAnalyzeAfter = 1000;
// From this many files to read on, a pass makes the questions' indexes afresh.
constexpr qsizetype kBulkFiles = 2000;

using index_folders::Folder;
using index_folders::IndexedNames;
using index_folders::MTime;
using index_folders::StationFolders;
using index_sql::Exec;
using index_sql::Fail;
using index_sql::Run;

// A file as the index last read it.
struct StoredFile {
    qint64 id = 0;
    qint64 size = 0;
    qint64 mtime = 0;
};

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
    // is read through its index rather than the whole table. A sample of each index is
    // enough for that choice; reading every row of each index took 0.14 s of a first
    // index of 100,000 files, the sample 0.01 s.
    if (counts.Read >= kAnalyzeAfter) {
        Exec(db_, QStringLiteral("PRAGMA analysis_limit = 1000"), nullptr);
        Exec(db_, QStringLiteral("ANALYZE"), nullptr);
    }
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

namespace {

// The time each folder had when the index last read it.
bool StoredFolderTimes(QSqlDatabase& db, QHash<QString, qint64>& known, QString* error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT path, mtime FROM folders")))
        return Fail(error, q.lastError().text());
    while (q.next())
        known.insert(q.value(0).toString(), q.value(1).toLongLong());
    return true;
}

// Stores a folder with its time once all its files are in.
class FolderTimeWriter {
public:
    explicit FolderTimeWriter(QSqlDatabase& db) : query_(db)
    {
        query_.prepare(QStringLiteral("INSERT OR REPLACE INTO folders (path, mtime) VALUES (?, ?)"));
    }
    bool Store(const QString& rel, qint64 mtime, QString* error)
    {
        query_.bindValue(0, rel);
        query_.bindValue(1, SettledTime(mtime));
        return Run(query_, error);
    }

private:
    QSqlQuery query_;
};

// What an update reads, folder by folder, and the folders that are there at all.
struct UpdatePlan {
    QSet<QString> present;
    QList<PlannedFile> files;
    QList<FolderWork> work;
};

// The time allowed to one pass; an update without a budget has all the time it needs.
struct PassClock {
    QElapsedTimer clock;
    qint64 budgetMs = 0;
    bool Over() const { return budgetMs > 0 && clock.elapsed() >= budgetMs; }
};

// The new and changed files of every folder that changed (or of every folder); the
// files that are gone go at once, and a folder with nothing to read is stored as read.
bool PlanUpdate(QSqlDatabase& db, const QString& stationDir, UpdateScope scope, const PassClock& pass,
                IndexWriter& writer, FolderTimeWriter& folderTimes, IndexCounts& counts, UpdatePlan& plan,
                QString* error)
{
    QHash<QString, qint64> known;
    if (!StoredFolderTimes(db, known, error))
        return false;
    for (const Folder& folder : StationFolders(stationDir)) {
        plan.present.insert(folder.rel);
        if (pass.Over()) {
            counts.Complete = false;
            continue;
        }
        const qint64 mtime = MTime(folder.info);
        if (scope == UpdateScope::ChangedFolders && known.value(folder.rel, -1) == mtime && mtime != 0)
            continue;
        const qsizetype first = plan.files.size();
        if (!PlanFolder(db, folder, plan.files, writer, counts, error))
            return false;
        if (plan.files.size() == first) {
            if (!folderTimes.Store(folder.rel, mtime, error))
                return false;
        } else {
            plan.work.append(FolderWork{folder.rel, mtime, first, plan.files.size()});
        }
    }
    return true;
}

// The files read on every core, written here in order; each folder is stored with its
// time once all its files are in. The time allowed ends the pass after a folder.
bool WritePlannedFiles(const UpdatePlan& plan, const ReadContext& context, const PassClock& pass,
                       IndexWriter& writer, FolderTimeWriter& folderTimes, IndexCounts& counts, QString* error)
{
    qsizetype done = 0;  // folders whose files are all in
    bool ok = true;
    ReadInParallel(plan.files, context, [&](const PlannedFile& file, ReadFile& read) {
        ok = (file.OldId < 0 || writer.Remove(file.OldId, error)) && writer.Add(read, error);
        if (!ok)
            return false;
        ++counts.Read;
        if (!read.Ok)
            ++counts.Skipped;
        const FolderWork& current = plan.work[done];
        if (&file - plan.files.constData() + 1 < current.end)
            return true;
        ok = folderTimes.Store(current.rel, current.mtime, error);
        ++done;
        if (ok && done < plan.work.size() && pass.Over()) {
            counts.Complete = false;
            return false;
        }
        return ok;
    });
    return ok;
}

// Folders that are gone, with their files.
bool RemoveGoneFolders(QSqlDatabase& db, const QSet<QString>& present, IndexCounts& counts, QString* error)
{
    QSqlQuery removeFiles(db), removeFolder(db);
    removeFiles.prepare(QStringLiteral("DELETE FROM files WHERE folder = ?"));
    removeFolder.prepare(QStringLiteral("DELETE FROM folders WHERE path = ?"));
    QSqlQuery orphans(db);
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
        QSqlQuery count(db);
        count.prepare(QStringLiteral("SELECT COUNT(*) FROM files WHERE folder = ?"));
        count.bindValue(0, folder);
        if (Run(count, error) && count.next())
            counts.Removed += count.value(0).toInt();
        removeFiles.bindValue(0, folder);
        removeFolder.bindValue(0, folder);
        if (!Run(removeFiles, error) || !Run(removeFolder, error))
            return false;
    }
    return true;
}

}  // namespace

bool HistoryIndex::Walk(UpdateScope scope, IndexCounts& counts, QString* error, qint64 budgetMs)
{
    PassClock pass;
    pass.clock.start();
    pass.budgetMs = budgetMs;
    IndexWriter writer(db_);
    RowTexts rowTexts;
    if (!writer.Prepare(error) || !writer.LoadRowTexts(rowTexts, error))
        return false;
    FolderTimeWriter folderTimes(db_);
    UpdatePlan plan;
    if (!PlanUpdate(db_, stationDir_, scope, pass, writer, folderTimes, counts, plan, error))
        return false;

    // Many files at once (a first index, a rebuild): the indexes that only questions
    // use are made afresh after the rows are in, which is quicker than keeping them up
    // to date row by row.
    const bool bulk = plan.files.size() >= kBulkFiles;
    if (bulk && !DropQueryIndexes(error))
        return false;
    if (!WritePlannedFiles(plan, ReadContext{dateOrder_, &rowTexts}, pass, writer, folderTimes, counts, error) ||
        !writer.AddRowTexts(rowTexts.TakeNew(), error) || (bulk && !CreateSchema(error)))
        return false;
    if (!RemoveGoneFolders(db_, plan.present, counts, error))
        return false;

    QSqlQuery skipped(db_);
    if (skipped.exec(QStringLiteral("SELECT COUNT(*) FROM files WHERE status = 'skipped'")) && skipped.next())
        counts.SkippedTotal = skipped.value(0).toInt();
    return true;
}

}  // namespace celvio
