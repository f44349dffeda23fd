#include "history/history_index.h"

#include "core/files.h"
#include "history/index_sql.h"
#include "history/record_parser.h"
#include "history/result_parser.h"

#include <QCryptographicHash>
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
// A result file has some dozens of lines and a record file one line per phone handled:
// anything far larger is not one, and is not read into memory.
constexpr qint64 kLargestResultFile = qint64(1) << 20;
constexpr qint64 kLargestRecordFile = qint64(64) << 20;

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

bool IsResultName(const QString& name)
{
    return name.endsWith(QLatin1String(".TXT"), Qt::CaseInsensitive);
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

// The statements of one pass, prepared once.
struct Statements {
    explicit Statements(QSqlDatabase& db)
        : insertFile(db), insertTest(db), insertMark(db), insertRecord(db), deleteFile(db), filesOf(db)
    {
    }
    bool Prepare()
    {
        return insertFile.prepare(QStringLiteral(
                   "INSERT INTO files (folder, name, size, mtime, kind, status, reason, hash) VALUES (?,?,?,?,?,?,?,?)")) &&
               insertTest.prepare(QStringLiteral(
                   "INSERT INTO tests (file_id, kind, date, time, stamp, date_text, time_text, imei, old_imei,"
                   " imsi, model, system, verdict, fault, tester, serial, firmware, coupler, version)"
                   " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")) &&
               insertMark.prepare(QStringLiteral(
                   "INSERT INTO marks (test_id, quantity, row_name, channel, band, value, limit_text, mark)"
                   " VALUES (?,?,?,?,?,?,?,?)")) &&
               insertRecord.prepare(QStringLiteral(
                   "INSERT INTO records (file_id, line, kind, old_imei, new_imei, club, date, result, service_point)"
                   " VALUES (?,?,?,?,?,?,?,?,?)")) &&
               deleteFile.prepare(QStringLiteral("DELETE FROM files WHERE id = ?")) &&
               filesOf.prepare(QStringLiteral("SELECT id, name, size, mtime FROM files WHERE folder = ?"));
    }
    QSqlQuery insertFile, insertTest, insertMark, insertRecord, deleteFile, filesOf;
    DateOrder dateOrder = DateOrder::DayFirst;  // of the result files' dates
};

// Adds one file (already read) to the index. False only on a database error: a file
// that cannot be read or parsed is stored as skipped, with the reason.
bool AddFile(Statements& s, const QString& folder, const QFileInfo& info, IndexCounts& counts, QString* error)
{
    const QString name = info.fileName();
    const bool result = IsResultName(name);
    QByteArray bytes;
    QString reason;
    ParsedResult test;
    ParsedRecords records;
    bool ok = false;
    QFile file(info.filePath());
    if (info.size() > (result ? kLargestResultFile : kLargestRecordFile)) {
        reason = QStringLiteral("too large for its kind (%1 bytes)").arg(info.size());
    } else if (!file.open(QIODevice::ReadOnly)) {
        reason = QStringLiteral("cannot be read: ") + file.errorString();
    } else {
        bytes = file.readAll();
        ok = result ? ParseResultFile(bytes, info.lastModified().date(), test, &reason, s.dateOrder)
                    : ParseHistoryRecords(bytes, records, &reason);
    }
    ++counts.Read;
    if (!ok)
        ++counts.Skipped;

    QSqlQuery& f = s.insertFile;
    f.bindValue(0, folder);
    f.bindValue(1, name);
    f.bindValue(2, info.size());
    f.bindValue(3, MTime(info));
    f.bindValue(4, result ? QStringLiteral("result") : QStringLiteral("records"));
    f.bindValue(5, ok ? QStringLiteral("ok") : QStringLiteral("skipped"));
    f.bindValue(6, ok ? QVariant() : QVariant(reason));
    // The SHA-256 of the bytes read: the file's key at the chain's head office.
    f.bindValue(7, bytes.isNull() ? QVariant() : QVariant(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256)));
    if (!Run(f, error))
        return false;
    if (!ok)
        return true;
    const qint64 fileId = f.lastInsertId().toLongLong();

    if (result) {
        const QDate date = test.Date.isValid() ? test.Date : info.lastModified().date();
        const QString day = date.toString(Qt::ISODate);
        const QString time = test.Time.isValid() ? test.Time.toString(QStringLiteral("hh:mm:ss")) : QString();
        QSqlQuery& t = s.insertTest;
        int n = 0;
        t.bindValue(n++, fileId);
        t.bindValue(n++, test.Kind == ResultKind::Test ? QStringLiteral("test") : QStringLiteral("direct swap"));
        t.bindValue(n++, day);
        t.bindValue(n++, time);
        t.bindValue(n++, day + QLatin1Char(' ') + time);
        t.bindValue(n++, test.DateText);
        t.bindValue(n++, test.TimeText);
        t.bindValue(n++, test.Imei);
        t.bindValue(n++, test.OldImei);
        t.bindValue(n++, test.Imsi);
        t.bindValue(n++, test.Model);
        t.bindValue(n++, test.System);
        t.bindValue(n++, QString::fromLatin1(VerdictName(test.Verdict)));
        t.bindValue(n++, test.FaultDescription);
        t.bindValue(n++, test.TesterModel);
        t.bindValue(n++, test.TesterSerial);
        t.bindValue(n++, test.Firmware);
        t.bindValue(n++, test.Coupler);
        t.bindValue(n++, test.Version);
        if (!Run(t, error))
            return false;
        const qint64 testId = t.lastInsertId().toLongLong();
        for (const MarkedValue& mark : test.Marks) {
            QSqlQuery& m = s.insertMark;
            m.bindValue(0, testId);
            m.bindValue(1, mark.Quantity);
            m.bindValue(2, mark.RowName);
            m.bindValue(3, mark.Channel);
            m.bindValue(4, mark.Band);
            m.bindValue(5, mark.Value);
            m.bindValue(6, mark.Limit);
            m.bindValue(7, QString(mark.Mark));
            if (!Run(m, error))
                return false;
        }
        return true;
    }
    for (const SwapRecord& record : records.Records) {
        QSqlQuery& r = s.insertRecord;
        r.bindValue(0, fileId);
        r.bindValue(1, record.Line);
        r.bindValue(2, record.SwapFile ? QStringLiteral("SWAP") : QStringLiteral("IMEI"));
        r.bindValue(3, record.OldImei);
        r.bindValue(4, record.NewImei);
        r.bindValue(5, record.ClubNumber);
        r.bindValue(6, record.Date.isValid() ? record.Date.toString(Qt::ISODate) : record.DateText);
        r.bindValue(7, record.Result);
        r.bindValue(8, records.ServicePointId);
        if (!Run(r, error))
            return false;
    }
    return true;
}

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
        for (const char* table : {"marks", "tests", "records", "files", "folders"}) {
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
    Analyze(c);
    c.Ms = timer.elapsed();
    return true;
}

void HistoryIndex::Analyze(const IndexCounts& counts)
{
    // After many new rows the query planner's figures are renewed, so that a date range
    // is read through its index rather than the whole table.
    if (counts.Read >= kAnalyzeAfter)
        Exec(db_, QStringLiteral("ANALYZE"), nullptr);
}

bool HistoryIndex::Walk(UpdateScope scope, IndexCounts& counts, QString* error, qint64 budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    Statements s(db_);
    if (!s.Prepare())
        return Fail(error, s.insertFile.lastError().text() + s.filesOf.lastError().text());
    s.dateOrder = dateOrder_;

    QHash<QString, qint64> known;
    {
        QSqlQuery q(db_);
        if (!q.exec(QStringLiteral("SELECT path, mtime FROM folders")))
            return Fail(error, q.lastError().text());
        while (q.next())
            known.insert(q.value(0).toString(), q.value(1).toLongLong());
    }

    const QList<Folder> folders = StationFolders(stationDir_);

    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QSqlQuery setFolder(db_);
    setFolder.prepare(QStringLiteral("INSERT OR REPLACE INTO folders (path, mtime) VALUES (?, ?)"));
    QSet<QString> present;
    for (const Folder& folder : folders) {
        present.insert(folder.rel);
        if (budgetMs > 0 && clock.elapsed() >= budgetMs) {
            counts.Complete = false;
            continue;
        }
        const qint64 mtime = MTime(folder.info);
        if (scope == UpdateScope::ChangedFolders && known.value(folder.rel, -1) == mtime && mtime != 0)
            continue;

        QHash<QString, StoredFile> stored;
        s.filesOf.bindValue(0, folder.rel);
        if (!Run(s.filesOf, error))
            return false;
        while (s.filesOf.next())
            stored.insert(s.filesOf.value(1).toString(),
                          StoredFile{s.filesOf.value(0).toLongLong(), s.filesOf.value(2).toLongLong(),
                                     s.filesOf.value(3).toLongLong()});
        s.filesOf.finish();

        const QString folderPath = folder.info.filePath() + QLatin1Char('/');
        const QStringList names =
            IndexedNames(QDir(folder.info.filePath()).entryList(QDir::Files | QDir::NoDotAndDotDot),
                         folder.info.fileName().startsWith(QLatin1String("BACKUP"), Qt::CaseInsensitive));
        for (const QString& name : names) {
            const QString path = folderPath + name;
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
                s.deleteFile.bindValue(0, old.id);
                if (!Run(s.deleteFile, error))
                    return false;
            }
            if (!AddFile(s, folder.rel, QFileInfo(path), counts, error))
                return false;
        }
        for (const StoredFile& gone : std::as_const(stored)) {
            s.deleteFile.bindValue(0, gone.id);
            if (!Run(s.deleteFile, error))
                return false;
            ++counts.Removed;
        }
        // A folder written within the last moments may get another file in the same
        // tick of its time stamp: it is read again next time.
        setFolder.bindValue(0, folder.rel);
        setFolder.bindValue(1, now - mtime < kSettleMs ? qint64(0) : mtime);
        if (!Run(setFolder, error))
            return false;
    }

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
