// The index of the station's test history: an SQLite database (HISTORY.DB in the
// station directory) built from the result files under RESULTS/<6 digits>/ and the
// swap record files under RESULTS/LOG/ (and their archives in BACKUP<yy>/). The files
// stay the source of truth: the index can be deleted and rebuilt from them at any
// time, and is brought up to date by reading only new or changed files.
//
// Tables (one row per ...):
//   folders(path, mtime)                      folder of RESULTS read, with its time
//                                               (relative to the station directory,
//                                               as every folder below)
//   files(id, folder, name, size, mtime,      file seen; status 'ok' or 'skipped'
//         kind, status, reason, hash)           (damaged or foreign, with the reason);
//                                               hash: SHA-256 of the bytes read (NULL
//                                               when the file was not read)
//   tests(id, file_id, kind, date, time,      result file: kind 'test' or 'direct swap';
//         stamp, date_text, time_text, imei,    date yyyy-MM-dd, stamp "date time" for
//         old_imei, imsi, model, system,        ordering; verdict passed, failed,
//         verdict, fault, tester, serial,       aborted ('swap' for a direct swap)
//         firmware, coupler, version)
//   marks(test_id, quantity, row_name,        marked value of a test: mark '*' failed,
//         channel, band, value, limit_text,     '!' passed on repetition
//         mark)
//   readings(test_id, cells)                  every reading of a test, in a compact text
//   reading_rows(id, quantity, row_name,        (index_readings.h); the texts its
//                limit_text)                    readings share
//   records(id, file_id, line, kind, old_imei, record line: kind 'SWAP' (.IWR) or
//           new_imei, club, date, result,      'IMEI' (.IME); date yyyy-MM-dd
//           service_point)
#pragma once

#include "core/text.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

namespace celvio {

// What one update or rebuild did.
struct IndexCounts {
    int Read = 0;          // files read and indexed in this pass
    int Removed = 0;       // files gone from disk and taken out of the index
    int Skipped = 0;       // files read in this pass that are damaged or foreign
    int SkippedTotal = 0;  // damaged or foreign files in the whole index
    int Unchanged = 0;     // files found with the size and time already indexed
    bool Complete = true;  // false: the time allowed ran out; the next pass goes on
    qint64 Ms = 0;         // wall time of the pass
};

// How the index file is open.
enum class IndexAccess {
    Closed,
    ReadWrite,  // brought up to date by Update and Rebuild
    ReadOnly,   // the station (or the index) cannot be written: read as it is, with what a
                // running writer has not yet copied into the file (SQLite's mode=ro)
    Immutable,  // not even SQLite's companion files can be made: the file alone, which may
                // lack a running writer's latest changes (SQLite's immutable=1)
    Temporary,  // no index can be read or made here: one in memory, filled by Update
};

enum class UpdateScope {
    ChangedFolders,  // read only folders whose time changed (after the program's own writes)
    EveryFile,       // compare every file's size and time (start-up, a hand edit)
};

class HistoryIndex {
public:
    // The index of the station at `stationDir`; `busyMs` is how long a write waits
    // for another process that holds the database. With `temporaryWhenUnwritable`, a
    // station that has no readable index and cannot be given one gets an index in
    // memory (for a program that asks questions; the cycle's hooks would only waste
    // the reading).
    explicit HistoryIndex(QString stationDir, int busyMs = 2000, bool temporaryWhenUnwritable = false);
    ~HistoryIndex();
    HistoryIndex(const HistoryIndex&) = delete;
    HistoryIndex& operator=(const HistoryIndex&) = delete;

    // Opens the database, creating it when missing. A file that is not a database of
    // this layout is replaced by an empty one (the files will fill it again); one of
    // the older layout, whose folders were named from the current directory, is
    // renamed to folders of the station. A station that cannot be written keeps its
    // index as it is: it is opened read-only, and Update and Rebuild fail.
    bool Open(QString* error = nullptr);
    bool IsOpen() const { return open_; }
    IndexAccess Access() const { return access_; }
    bool IsReadOnly() const { return access_ == IndexAccess::ReadOnly || access_ == IndexAccess::Immutable; }
    // Why the index cannot be written ("Permission denied"); empty when it can.
    const QString& WriteProblem() const { return writeProblem_; }

    // Reads new and changed files, takes out files that are gone. With `budgetMs` > 0
    // the pass stops after the folder during which that time ran out (what it read is
    // kept; the folders it did not reach count as changed for the next pass), so that
    // a first start on years of result files does not hold up the program.
    bool Update(UpdateScope scope, IndexCounts* counts = nullptr, QString* error = nullptr, qint64 budgetMs = 0);
    // Empties the index and reads every file again, in one transaction.
    bool Rebuild(IndexCounts* counts = nullptr, QString* error = nullptr);

    QSqlDatabase Database() const { return db_; }
    const QString& StationDir() const { return stationDir_; }
    QString DatabasePath() const;

    static QString DatabaseName() { return QStringLiteral("HISTORY.DB"); }

    // The order of day and month in which the station writes its dates (the regional
    // one of the machine, which the program writes in too): it reads a result file's
    // date that fits both orders. Takes effect for files read from now on.
    void SetDateOrder(DateOrder order) { dateOrder_ = order; }

private:
    bool OpenForWriting(const QString& path, QString* error);
    bool OpenForReading(const QString& path, QString* error);
    bool OpenTemporary(QString* error);
    bool Connect(const QString& name, const QString& options, QString* why);
    void Disconnect();
    bool MigrateFolderKeys(QString* error);
    bool MigrateToReadings(QString* error);
    QStringList FolderKeys() const;
    bool CreateSchema(QString* error);
    bool DropQueryIndexes(QString* error);
    bool InOneTransaction(IndexCounts* counts, QString* error, const std::function<bool(IndexCounts&)>& work);
    bool RunTransaction(IndexCounts& counts, QString* error, const std::function<bool(IndexCounts&)>& work);
    bool FoundDamaged();
    bool MadeAnewIfDamaged(QString* error);
    static bool RemoveFiles(const QString& path, QString* error);
    bool Walk(UpdateScope scope, IndexCounts& counts, QString* error, qint64 budgetMs = 0);
    void Analyze(const IndexCounts& counts);

    QString stationDir_;
    int busyMs_;
    bool temporaryWhenUnwritable_;
    DateOrder dateOrder_ = RegionalDateOrder(QLocale::system());
    QString connection_;
    QSqlDatabase db_;
    bool open_ = false;
    IndexAccess access_ = IndexAccess::Closed;
    QString writeProblem_;
};

}  // namespace celvio
