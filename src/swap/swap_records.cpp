#include "swap/swap_records.h"

#include "core/app.h"
#include "core/files.h"
#include "core/text.h"
#include "core/trace.h"
#include "swap/service_data.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace celvio {

namespace {

const QChar kTab = QLatin1Char('\t');
const QString kLogFolder = QStringLiteral("RESULTS/LOG");
// Suffixes of the hand-over files of an archive merge: the claimed source records,
// and the merged archive file waiting to replace the old one.
const QString kClaimSuffix = QStringLiteral(".IN");
const QString kMergedSuffix = QStringLiteral(".OUT");

FileStepHook g_stepHook = nullptr;

void Step(const char* name)
{
    if (g_stepHook != nullptr)
        g_stepHook(name);
}

bool Exists(const QString& path)
{
    return QFileInfo(path).isFile();
}

std::filesystem::path FsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

// Renames `from` to `to`, replacing `to` in one step where it exists.
bool RenameOver(const QString& from, const QString& to)
{
    Step("rename");
    std::error_code error;
    std::filesystem::rename(FsPath(from), FsPath(to), error);
    return !error;
}

bool Remove(const QString& path)
{
    Step("remove");
    std::error_code error;
    return std::filesystem::remove(FsPath(path), error) && !error;
}

bool StartsWith(const QString& line, const QString& prefix)
{
    return line.startsWith(prefix, Qt::CaseSensitive);
}

// The records of a claimed or merged source: every line but the header lines.
QStringList RecordLinesOf(const QStringList& lines)
{
    QStringList records;
    for (const QString& line : lines) {
        if (!StartsWith(line, QStringLiteral("# ")) && !StartsWith(line, QStringLiteral("IWR")))
            records.append(line);
    }
    return records;
}

QString TagOf(const QString& path)
{
    return path.endsWith(QStringLiteral(".IWR"), Qt::CaseInsensitive) ||
                   path.contains(QStringLiteral(".IWR."), Qt::CaseInsensitive)
               ? QStringLiteral("SWAP")
               : QStringLiteral("IMEI");
}

// Folds the claimed records (target + ".IN") into target: the merged file is written
// beside it (target + ".OUT"), the claim removed, and the merged file renamed over the
// target. A crash leaves either the claim (merge again) or the merged file without a
// claim (rename it): RecoverTarget finishes both.
bool MergeClaim(const QString& target)
{
    const QString claim = target + kClaimSuffix;
    const QString merged = target + kMergedSuffix;
    if (!Exists(target))
        return RenameOver(claim, target);
    RecordFileContents old;
    RecordFileContents added;
    const QString tag = TagOf(target);
    if (!ReadRecordFile(target, tag, old) || !ReadRecordFile(claim, tag, added))
        return false;
    QStringList lines = old.Lines;
    lines.append(RecordLinesOf(added.Lines));
    Step("write merged");
    if (!WriteFileAtomic(merged, RecordFileBytes(lines, old.Count + added.Count)))
        return false;
    if (!Remove(claim))
        return false;
    return RenameOver(merged, target);
}

// Finishes a hand-over of `target` that was broken off.
bool RecoverTarget(const QString& target)
{
    const QString claim = target + kClaimSuffix;
    const QString merged = target + kMergedSuffix;
    if (Exists(merged)) {
        if (!Exists(claim))
            return RenameOver(merged, target);
        if (!Remove(merged))
            return false;
    }
    if (Exists(claim))
        return MergeClaim(target);
    return true;
}

}  // namespace

void SetFileStepHook(FileStepHook hook)
{
    g_stepHook = hook;
}

QString RecordDate(const QDate& day)
{
    return day.toString(QStringLiteral("yyyyMMdd"));
}

QString ArchiveName(const QString& servicePointId, const QDate& day)
{
    return servicePointId + QChar(64 + day.month()) + QStringLiteral("%1").arg(day.day(), 2, 10, QLatin1Char('0'));
}

bool ReadRecordFile(const QString& path, const QString& tag, RecordFileContents& contents)
{
    contents = RecordFileContents{};
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes))
        return false;
    ParseRecordFile(bytes, tag, contents);
    return true;
}

void ParseRecordFile(const QByteArray& bytes, const QString& tag, RecordFileContents& contents)
{
    contents = RecordFileContents{};
    const QStringList all = SplitTextLines(bytes);
    bool haveEnd = false;
    QString endText;
    for (const QString& line : all) {
        if (StartsWith(line, QStringLiteral("END"))) {
            haveEnd = true;
            endText = line.mid(3);
        } else {
            contents.Lines.append(line);
        }
    }
    // The count as written: blanks and tabs around the digits.
    const QString digits = endText.trimmed();
    bool ok = haveEnd && !digits.isEmpty();
    for (const QChar c : digits)
        ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    int count = ok ? digits.toInt(&ok) : 0;
    if (!ok) {
        // No usable END line: every record is kept and counted.
        count = 0;
        for (const QString& line : contents.Lines) {
            if (StartsWith(line, tag + kTab))
                ++count;
        }
        contents.EndRepaired = true;
    }
    contents.Count = count;
}

QByteArray RecordFileBytes(const QStringList& lines, int count)
{
    QString text;
    for (const QString& line : lines)
        text += line + kCrLf;
    text += QStringLiteral("END") + kTab + QLatin1Char(' ') + QString::number(count) + QLatin1Char(' ') + kCrLf;
    return ToLatin1(text);
}

bool AppendRecordLine(const QString& path, bool swapFile, const RecordHeader& header, const QDate& day,
                      const QString& record, QString* note)
{
    RecordFileContents contents;
    if (Exists(path)) {
        Step("read");
        if (!ReadRecordFile(path, swapFile ? QStringLiteral("SWAP") : QStringLiteral("IMEI"), contents))
            return false;
        if (contents.EndRepaired && note != nullptr) {
            *note = QStringLiteral("Record file ") + QFileInfo(path).fileName() +
                    QStringLiteral(": END line missing or damaged, ") + QString::number(contents.Count) +
                    QStringLiteral(" records counted");
        }
    }
    if (contents.Lines.isEmpty()) {
        contents.Lines.append((swapFile ? QStringLiteral("IWRSWAP") : QStringLiteral("IWRIMEI")) + kTab +
                              QStringLiteral("V1.0") + kTab + header.ServicePointId + kTab + RecordDate(day));
        contents.Lines.append(QStringLiteral("# ") + header.Company + kTab + header.Address + kTab + header.Phone +
                              kTab + header.TestedBy);
    }
    contents.Lines.append(record);
    Step("write");
    return WriteFileAtomic(path, RecordFileBytes(contents.Lines, contents.Count + 1));
}

bool MergeSwapFiles(const QString& source, const QString& target)
{
    if (!Exists(source))
        return true;
    if (!RecoverTarget(target))
        return false;
    if (!Exists(target))
        return RenameOver(source, target);
    // The source is claimed first: from then on its records live in the archive folder,
    // and a crash leaves them there for RecoverTarget.
    const QString claim = target + kClaimSuffix;
    if (!RenameOver(source, claim))
        return false;
    if (MergeClaim(target))
        return true;
    // Not merged: the records go back where they were.
    if (Exists(claim) && !Exists(source)) {
        QFile::remove(target + kMergedSuffix);
        RenameOver(claim, source);
    }
    return false;
}

bool RecoverArchive(const QString& logDir)
{
    bool ok = true;
    const QDir log(logDir);
    const QStringList folders = log.entryList(QStringList{QStringLiteral("BACKUP*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& folder : folders) {
        const QDir archive(log.filePath(folder));
        const QStringList leftovers =
            archive.entryList(QStringList{QLatin1Char('*') + kClaimSuffix, QLatin1Char('*') + kMergedSuffix}, QDir::Files);
        QStringList targets;
        for (const QString& name : leftovers) {
            const int cut = name.endsWith(kClaimSuffix, Qt::CaseInsensitive) ? kClaimSuffix.size() : kMergedSuffix.size();
            const QString target = archive.filePath(name.left(name.size() - cut));
            if (!targets.contains(target))
                targets.append(target);
        }
        for (const QString& target : targets)
            ok = RecoverTarget(target) && ok;
    }
    return ok;
}

ArchiveOutcome ArchiveRecordFiles(const QString& logDir, const QString& base, const QString& archiveDir,
                                  const QString& archiveName)
{
    bool ok = RecoverArchive(logDir);
    const QString swapFile = ResolvePath(logDir, base + QStringLiteral(".IWR"));
    const QString imeiFile = ResolvePath(logDir, base + QStringLiteral(".IME"));
    if (!Exists(swapFile) && !Exists(imeiFile))
        return ok ? ArchiveOutcome::NoFiles : ArchiveOutcome::Failed;
    if (!QDir().mkpath(archiveDir))
        return ArchiveOutcome::Failed;
    ok = MergeSwapFiles(swapFile, ResolvePath(archiveDir, archiveName + QStringLiteral(".IWR"))) && ok;
    ok = MergeSwapFiles(imeiFile, ResolvePath(archiveDir, archiveName + QStringLiteral(".IME"))) && ok;
    return ok ? ArchiveOutcome::Archived : ArchiveOutcome::Failed;
}

bool KeepsSwapRecords(const App& app)
{
    return app.st.SwapFile != 0 && ValidServicePointId(app.st.ServicePointId);
}

void WriteSwapRecord(App& app, bool swapFile, const QString& result)
{
    StationState& st = app.st;
    // Records belong to a service point: without its identity (SWAPFILE off) there is
    // no record file to write to.
    if (!KeepsSwapRecords(app)) {
        TraceLine(app, QStringLiteral("No swap record: not a service point"));
        return;
    }
    const QString logDir = StationPath(app, kLogFolder);
    QDir().mkpath(logDir);  // a failure shows when writing
    const QDate day = st.CycleDay.isValid() ? st.CycleDay : app.ui.Now().date();
    const QString path = ResolvePath(logDir, st.ServicePointId + (swapFile ? QStringLiteral("ACT.IWR") : QStringLiteral("ACT.IME")));
    QString record = (swapFile ? QStringLiteral("SWAP") : QStringLiteral("IMEI")) + kTab + st.OldImei + kTab + st.Imei +
                     kTab + st.ClubZavarNumber + kTab + RecordDate(day);
    if (!swapFile)
        record += kTab + result;
    const RecordHeader header{st.ServicePointId, st.Company, st.Address, st.Phone, st.TestedBy};
    QString note;
    const bool written = AppendRecordLine(path, swapFile, header, day, record, &note);
    if (!note.isEmpty())
        TraceLine(app, note);
    if (written) {
        TraceLine(app, QStringLiteral("Swap record written: ") + record);
        return;
    }
    TraceLine(app, QStringLiteral("Swap record not written: ") + path);
    app.ui.MsgBox(QStringLiteral("The swap record could not be written to") + kCrLf + QDir::toNativeSeparators(path) +
                      kCrLf + QStringLiteral("Please check the disk and record this exchange by hand:") + kCrLf + record,
                  msgbox::kOkOnly | msgbox::kCritical, QString());
}

void ArchiveSwapFiles(App& app)
{
    StationState& st = app.st;
    const QString logDir = StationPath(app, kLogFolder);
    QDir().mkpath(logDir);
    const QDate today = app.ui.Now().date();
    const QString name = ArchiveName(st.ServicePointId, today);
    const QString folder = QStringLiteral("BACKUP") + today.toString(QStringLiteral("yy"));
    const QString archiveDir = ResolvePath(logDir, folder);
    const QString shownArchiveDir = QDir::toNativeSeparators(archiveDir + QLatin1Char('/'));
    switch (ArchiveRecordFiles(logDir, st.ServicePointId + QStringLiteral("ACT"), archiveDir, name)) {
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
    case ArchiveOutcome::Failed:
        TraceLine(app, QStringLiteral("Archive failed: ") + shownArchiveDir + name);
        app.ui.MsgBox(QStringLiteral("Archive fails !!!"), msgbox::kOkOnly | msgbox::kCritical, QString());
        return;
    }
}

}  // namespace celvio
