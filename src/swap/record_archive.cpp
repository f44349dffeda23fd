// The dated archive of the record files: RESULTS/LOG/BACKUP<yy>/<ID><month><dd>.IWR and
// .IME. Archived records are handed over through a claim file, so that a crash at any
// point loses no record and doubles none; the next archive or the next start-up
// finishes what a crash broke off.
#include "swap/record_steps.h"
#include "swap/swap_records.h"

#include "core/app.h"
#include "core/files.h"
#include "core/text.h"
#include "core/trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace celvio {

namespace {

using record_steps::FaultOf;
using record_steps::IsPlainFile;
using record_steps::Step;
using record_steps::TagOf;

// Suffixes of the hand-over files of an archive merge: the claimed source records,
// and the merged archive file waiting to replace the old one.
const QString kClaimSuffix = QStringLiteral(".IN");
const QString kMergedSuffix = QStringLiteral(".OUT");

bool Fail(FileProblem* problem, const QString& path, const QString& reason)
{
    if (problem != nullptr)
        *problem = FileProblem{path, reason};
    return false;
}

std::filesystem::path FsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

// Renames `from` to `to`, replacing `to` in one step where it exists.
bool RenameOver(const QString& from, const QString& to, FileProblem* problem, FileSeams* seams)
{
    Step(seams, "rename");
    std::error_code error;
    std::filesystem::rename(FsPath(from), FsPath(to), error);
    return !error || Fail(problem, to, QString::fromLocal8Bit(error.message()));
}

bool Remove(const QString& path, FileProblem* problem, FileSeams* seams)
{
    Step(seams, "remove");
    std::error_code error;
    return (std::filesystem::remove(FsPath(path), error) && !error) ||
           Fail(problem, path, error ? QString::fromLocal8Bit(error.message()) : QStringLiteral("already gone"));
}

// No file of a hand-over is handled through a symbolic link: a link at any of the names
// stops it, with the files left as they are.
bool NoLinks(const QStringList& paths, FileProblem* problem)
{
    for (const QString& path : paths) {
        if (IsSymLink(path))
            return Fail(problem, path, SymLinkRefusal());
    }
    return true;
}

// The records of a claimed or merged source: every line but the header lines.
QStringList RecordLinesOf(const QStringList& lines)
{
    QStringList records;
    for (const QString& line : lines) {
        if (!line.startsWith(QLatin1String("# ")) && !line.startsWith(QLatin1String("IWR")))
            records.append(line);
    }
    return records;
}

// Folds the claimed records (target + ".IN") into target: the merged file is written
// beside it (target + ".OUT"), the claim removed, and the merged file renamed over the
// target. A crash leaves either the claim (merge again) or the merged file without a
// claim (rename it): RecoverTarget finishes both.
bool MergeClaim(const QString& target, FileProblem* problem, FileSeams* seams)
{
    const QString claim = target + kClaimSuffix;
    const QString merged = target + kMergedSuffix;
    if (!IsPlainFile(target))
        return RenameOver(claim, target, problem, seams);
    RecordFileContents old;
    RecordFileContents added;
    const QString tag = TagOf(target);
    if (!ReadRecordFile(target, tag, old))
        return Fail(problem, target, QStringLiteral("the file cannot be read"));
    if (!ReadRecordFile(claim, tag, added))
        return Fail(problem, claim, QStringLiteral("the file cannot be read"));
    QStringList lines = old.Lines;
    lines.append(RecordLinesOf(added.Lines));
    Step(seams, "write merged");
    QString reason;
    if (!WriteFileAtomic(merged, RecordFileBytes(lines, old.Count + added.Count), &reason, FaultOf(seams)))
        return Fail(problem, merged, reason);
    return Remove(claim, problem, seams) && RenameOver(merged, target, problem, seams);
}

// Finishes a hand-over of `target` that was broken off.
bool RecoverTarget(const QString& target, FileProblem* problem, FileSeams* seams)
{
    const QString claim = target + kClaimSuffix;
    const QString merged = target + kMergedSuffix;
    if (!NoLinks({target, claim, merged}, problem))
        return false;
    if (IsPlainFile(merged)) {
        if (!IsPlainFile(claim))
            return RenameOver(merged, target, problem, seams);
        if (!Remove(merged, problem, seams))
            return false;
    }
    if (IsPlainFile(claim))
        return MergeClaim(target, problem, seams);
    return true;
}

// RecoverArchive with the lock of the record folder already held.
bool RecoverLocked(const QString& logDir, FileProblem* problem, QStringList* finished, FileSeams* seams)
{
    bool ok = true;
    const QDir log(logDir);
    const QStringList folders = log.entryList(QStringList{QStringLiteral("BACKUP*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& folder : folders) {
        const QDir archive(log.filePath(folder));
        const QStringList leftovers = archive.entryList(
            QStringList{QLatin1Char('*') + kClaimSuffix, QLatin1Char('*') + kMergedSuffix}, QDir::Files | QDir::System);
        QStringList targets;
        for (const QString& name : leftovers) {
            const int cut = name.endsWith(kClaimSuffix, Qt::CaseInsensitive) ? kClaimSuffix.size() : kMergedSuffix.size();
            const QString target = archive.filePath(name.left(name.size() - cut));
            if (!targets.contains(target))
                targets.append(target);
        }
        for (const QString& target : targets) {
            FileProblem here;
            if (RecoverTarget(target, &here, seams)) {
                if (finished != nullptr)
                    finished->append(target);
            } else if (ok) {
                ok = false;
                if (problem != nullptr)
                    *problem = here;
            }
        }
    }
    return ok;
}

// A folder made where it is missing, with the system's reason when it cannot be.
bool MakeFolder(const QString& path, FileProblem* problem)
{
    std::error_code error;
    std::filesystem::create_directories(FsPath(path), error);
    return !error || Fail(problem, path, QString::fromLocal8Bit(error.message()));
}

}  // namespace

QString ArchiveName(const QString& servicePointId, const QDate& day)
{
    return servicePointId + QChar(64 + day.month()) + QStringLiteral("%1").arg(day.day(), 2, 10, QLatin1Char('0'));
}

bool MergeSwapFiles(const QString& source, const QString& target, FileProblem* problem, FileSeams* seams)
{
    if (!NoLinks({source}, problem))
        return false;
    if (!IsPlainFile(source))
        return true;
    if (!RecoverTarget(target, problem, seams))
        return false;
    if (!IsPlainFile(target))
        return RenameOver(source, target, problem, seams);
    // The source is claimed first: from then on its records live in the archive folder,
    // and a crash leaves them there for RecoverTarget.
    const QString claim = target + kClaimSuffix;
    if (!RenameOver(source, claim, problem, seams))
        return false;
    if (MergeClaim(target, problem, seams))
        return true;
    // Not merged: the records go back where they were.
    if (IsPlainFile(claim) && !NameInUse(source)) {
        QFile::remove(target + kMergedSuffix);
        RenameOver(claim, source, nullptr, seams);
    }
    return false;
}

bool RecoverArchive(const QString& logDir, FileProblem* problem, QStringList* finished, FileSeams* seams)
{
    const FolderLock lock(logDir);
    if (!lock.Locked())
        return Fail(problem, logDir, lock.Reason());
    return RecoverLocked(logDir, problem, finished, seams);
}

ArchiveOutcome ArchiveRecordFiles(const QString& logDir, const QString& base, const QString& archiveDir,
                                  const QString& archiveName, FileProblem* problem, FileSeams* seams)
{
    // No record is added while the files move, and no other archive runs at once.
    const FolderLock lock(logDir);
    if (!lock.Locked()) {
        Fail(problem, logDir, lock.Reason());
        return ArchiveOutcome::Failed;
    }
    FileProblem first;
    bool ok = RecoverLocked(logDir, &first, nullptr, seams);
    const QString swapFile = ResolvePath(logDir, base + QStringLiteral(".IWR"));
    const QString imeiFile = ResolvePath(logDir, base + QStringLiteral(".IME"));
    if (!NameInUse(swapFile) && !NameInUse(imeiFile)) {
        if (!ok && problem != nullptr)
            *problem = first;
        return ok ? ArchiveOutcome::NoFiles : ArchiveOutcome::Failed;
    }
    FileProblem here;
    ok = MakeFolder(archiveDir, &here) &&
         MergeSwapFiles(swapFile, ResolvePath(archiveDir, archiveName + QStringLiteral(".IWR")), &here, seams) &&
         MergeSwapFiles(imeiFile, ResolvePath(archiveDir, archiveName + QStringLiteral(".IME")), &here, seams) && ok;
    if (problem != nullptr)
        *problem = here.Path.isEmpty() ? first : here;
    return ok ? ArchiveOutcome::Archived : ArchiveOutcome::Failed;
}

void ArchiveSwapFiles(App& app)
{
    StationState& st = app.st;
    const QString logDir = StationPath(app, record_steps::kLogFolder);
    QDir().mkpath(logDir);
    const QDate today = app.ui.Now().date();
    const QString name = ArchiveName(st.ServicePointId, today);
    const QString folder = QStringLiteral("BACKUP") + today.toString(QStringLiteral("yy"));
    const QString archiveDir = ResolvePath(logDir, folder);
    const QString shownArchiveDir = QDir::toNativeSeparators(archiveDir + QLatin1Char('/'));
    FileProblem problem;
    switch (ArchiveRecordFiles(logDir, st.ServicePointId + QStringLiteral("ACT"), archiveDir, name, &problem,
                               &app.FileSeams)) {
    case ArchiveOutcome::NoFiles:
        TraceLine(app, QStringLiteral("Archive: no swap files"));
        app.ui.MsgBox(QStringLiteral("No swap files found in directory:") + kCrLf +
                          QDir::toNativeSeparators(logDir + QLatin1Char('/')) + kCrLf +
                          QStringLiteral("TIP: There may be no files to archive") + kCrLf +
                          QStringLiteral("     or the files are already saved."),
                      msgbox::kOkOnly | msgbox::kExclamation, QString());
        return;
    case ArchiveOutcome::Archived:
        TraceLine(app, QStringLiteral("Archive: ") + shownArchiveDir + name);
        app.ui.MsgBox(QStringLiteral("Swap files archived into directory:") + kCrLf + shownArchiveDir + kCrLf +
                          QStringLiteral("Filename is : ") + name + QStringLiteral(".IME") + kCrLf +
                          QStringLiteral("         or : ") + name + QStringLiteral(".IWR"),
                      msgbox::kOkOnly, QStringLiteral("Archive successful."));
        return;
    case ArchiveOutcome::Failed: {
        const QString where = QDir::toNativeSeparators(problem.Path);
        TraceLine(app, QStringLiteral("Archive failed: ") + where + QStringLiteral(" (") + problem.Reason +
                           QLatin1Char(')'));
        app.ui.MsgBox(QStringLiteral("Archive fails !!!") + kCrLf + where + kCrLf + problem.Reason,
                      msgbox::kOkOnly | msgbox::kCritical, QString());
        return;
    }
    }
}

void RecoverUnfinishedArchive(App& app)
{
    const QString logDir = StationPath(app, record_steps::kLogFolder);
    if (!QFileInfo(logDir).isDir())
        return;
    FileProblem problem;
    QStringList finished;
    const bool ok = RecoverArchive(logDir, &problem, &finished, &app.FileSeams);
    for (const QString& target : finished)
        TraceLine(app, QStringLiteral("Unfinished archive completed: ") + QDir::toNativeSeparators(target));
    if (ok)
        return;
    const QString where = QDir::toNativeSeparators(problem.Path);
    TraceLine(app, QStringLiteral("Unfinished archive not completed: ") + where + QStringLiteral(" (") +
                       problem.Reason + QLatin1Char(')'));
    app.ui.MsgBox(QStringLiteral("An archive that was broken off could not be completed:") + kCrLf + where + kCrLf +
                      problem.Reason + kCrLf + QStringLiteral("Its records are kept; the next Archive tries again."),
                  msgbox::kOkOnly | msgbox::kExclamation, QString());
}

}  // namespace celvio
