// The running record files of a service point (RESULTS/LOG/<ID>ACT.IWR for the
// exchanges, <ID>ACT.IME for every phone handled) and their dated archive in
// RESULTS/LOG/BACKUP<yy>/. Every new version of a record file is written to a
// temporary file, flushed and renamed over the old one, and archived records are
// handed over through a claim file, so that a crash at any point loses no record.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace celvio {

struct App;
struct FileSeams;

// The file operations below take the file layer's test seams (`core/files.h`) as their
// last parameter, null for none: a disk fault for their writes, and a hook called with
// each operation's name before it runs, at which a test may stop the process. The App's
// (`app.FileSeams`) go with the operations that take an App.

// The service point identity written into the header of every record file.
struct RecordHeader {
    QString ServicePointId;
    QString Company;
    QString Address;
    QString Phone;
    QString TestedBy;
};

// The lines of a record file other than its END line, and its record count.
struct RecordFileContents {
    QStringList Lines;
    int Count = 0;
    bool EndRepaired = false;  // the END line was missing or unreadable: the records were counted
};

// True when the station keeps swap records: it is a service point (SWAPFILE on and
// a valid Service Point ID known).
bool KeepsSwapRecords(const App& app);

// What went wrong with which file.
struct FileProblem {
    QString Path;
    QString Reason;
};

// Adds a record to the record file at `path` (a new file gets the two header lines of
// `header` dated `day`). `swapFile` selects the .IWR layout. False when the file could
// not be read or written (`reason` says why); the old file is then unchanged. `note`
// receives a line for the trace when an END line had to be repaired. The record folder
// is locked meanwhile, so that two programs adding records at once lose none.
bool AppendRecordLine(const QString& path, bool swapFile, const RecordHeader& header, const QDate& day,
                      const QString& record, QString* note = nullptr, QString* reason = nullptr,
                      FileSeams* seams = nullptr);

// Reads a record file; `tag` is "SWAP" or "IMEI" and counts the records of a file whose
// END line is missing or damaged. False when the file cannot be read.
bool ReadRecordFile(const QString& path, const QString& tag, RecordFileContents& contents);

// The same from the bytes of a record file (ReadRecordFile reads the file and calls it).
void ParseRecordFile(const QByteArray& bytes, const QString& tag, RecordFileContents& contents);

// The bytes of a record file with its END line.
QByteArray RecordFileBytes(const QStringList& lines, int count);

// Adds the records of `source` to `target` (keeping target's header) and removes
// `source`; renames `source` to `target` when there is no target. Nothing happens when
// `source` does not exist. False on a failed file operation (`problem` says which and
// why); no record is lost. A name that is a symbolic link is refused. The caller holds
// the lock of the record folder.
bool MergeSwapFiles(const QString& source, const QString& target, FileProblem* problem = nullptr,
                    FileSeams* seams = nullptr);

// Finishes hand-overs that a crash broke off in the archive folders below `logDir`,
// under the lock of `logDir`. False when one could not be finished (its files are
// kept). `finished` receives the archive files whose hand-over was finished.
bool RecoverArchive(const QString& logDir, FileProblem* problem = nullptr, QStringList* finished = nullptr,
                    FileSeams* seams = nullptr);

enum class ArchiveOutcome { NoFiles, Archived, Failed };

// Moves `<base>.IWR` and `<base>.IME` of `logDir` into `archiveDir` as
// `<archiveName>.IWR` / `.IME`, merging with archive files of the same name, under
// the lock of `logDir`.
ArchiveOutcome ArchiveRecordFiles(const QString& logDir, const QString& base, const QString& archiveDir,
                                  const QString& archiveName, FileProblem* problem = nullptr,
                                  FileSeams* seams = nullptr);

// The archive name of a day: the ID, the month letter ("A" January .. "L" December)
// and the two-digit day of the month.
QString ArchiveName(const QString& servicePointId, const QDate& day);

// The record date: eight digits, year month day.
QString RecordDate(const QDate& day);

// Appends one record to the record file of the day (swap file or IMEI file): old IMEI,
// new IMEI, Club Zavar number, record date and, in the IMEI file, `result`.
void WriteSwapRecord(App& app, bool swapFile, const QString& result);

// Moves the day's record files into the archive of the year and reports the outcome;
// a failure shows "Archive fails !!!" with the file and the system's reason.
void ArchiveSwapFiles(App& app);

// At start-up: finishes an archive that a crash or a kill broke off, so that its
// records are back in the archive files before anything reads them. A hand-over that
// cannot be finished is shown to the operator; its files stay as they are.
void RecoverUnfinishedArchive(App& app);

}  // namespace celvio
