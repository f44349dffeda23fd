#include "swap/swap_records.h"

#include "swap/record_steps.h"

#include "core/app.h"
#include "core/files.h"
#include "core/text.h"
#include "core/trace.h"
#include "swap/service_data.h"

#include <QDir>
#include <QFileInfo>

namespace celvio {

namespace {

const QChar kTab = QLatin1Char('\t');

bool StartsWith(const QString& line, const QString& prefix)
{
    return line.startsWith(prefix, Qt::CaseSensitive);
}

}  // namespace

namespace record_steps {

void Step(const FileSeams* seams, const char* name)
{
    if (seams != nullptr && seams->StepHook != nullptr)
        seams->StepHook(name);
}

FileWriteFault* FaultOf(FileSeams* seams)
{
    return seams != nullptr ? &seams->Fault : nullptr;
}

bool IsPlainFile(const QString& path)
{
    return !IsSymLink(path) && QFileInfo(path).isFile();
}

QString TagOf(const QString& path)
{
    return path.endsWith(QStringLiteral(".IWR"), Qt::CaseInsensitive) ||
                   path.contains(QStringLiteral(".IWR."), Qt::CaseInsensitive)
               ? QStringLiteral("SWAP")
               : QStringLiteral("IMEI");
}

}  // namespace record_steps

using record_steps::FaultOf;
using record_steps::IsPlainFile;
using record_steps::Step;

QString RecordDate(const QDate& day)
{
    return day.toString(QStringLiteral("yyyyMMdd"));
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
                      const QString& record, QString* note, QString* reason, FileSeams* seams)
{
    // One program at a time reads, changes and renames the record files of the folder.
    const FolderLock lock(QFileInfo(path).path());
    if (!lock.Locked()) {
        if (reason != nullptr)
            *reason = lock.Reason();
        return false;
    }
    if (IsSymLink(path)) {
        if (reason != nullptr)
            *reason = SymLinkRefusal();
        return false;
    }
    RecordFileContents contents;
    if (IsPlainFile(path)) {
        Step(seams, "read");
        if (!ReadRecordFile(path, swapFile ? QStringLiteral("SWAP") : QStringLiteral("IMEI"), contents)) {
            if (reason != nullptr)
                *reason = QStringLiteral("the file cannot be read");
            return false;
        }
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
    Step(seams, "write");
    return WriteFileAtomic(path, RecordFileBytes(contents.Lines, contents.Count + 1), reason, FaultOf(seams));
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
    const QString logDir = StationPath(app, record_steps::kLogFolder);
    QDir().mkpath(logDir);  // a failure shows when writing
    const QDate day = st.CycleDay.isValid() ? st.CycleDay : app.ui.Now().date();
    const QString path = ResolvePath(logDir, st.ServicePointId + (swapFile ? QStringLiteral("ACT.IWR") : QStringLiteral("ACT.IME")));
    QString record = (swapFile ? QStringLiteral("SWAP") : QStringLiteral("IMEI")) + kTab + st.OldImei + kTab + st.Imei +
                     kTab + st.ClubZavarNumber + kTab + RecordDate(day);
    if (!swapFile)
        record += kTab + result;
    const RecordHeader header{st.ServicePointId, st.Company, st.Address, st.Phone, st.TestedBy};
    QString note;
    QString reason;
    const bool written = AppendRecordLine(path, swapFile, header, day, record, &note, &reason, &app.FileSeams);
    if (!note.isEmpty())
        TraceLine(app, note);
    if (written) {
        TraceLine(app, QStringLiteral("Swap record written: ") + record);
        return;
    }
    TraceLine(app, QStringLiteral("Swap record not written: ") + path + QStringLiteral(" (") + reason + QLatin1Char(')'));
    app.ui.MsgBox(QStringLiteral("The swap record could not be written to") + kCrLf + QDir::toNativeSeparators(path) +
                      kCrLf + reason + kCrLf + QStringLiteral("Please check the disk and record this exchange by hand:") +
                      kCrLf + record,
                  msgbox::kOkOnly | msgbox::kCritical, QString());
}

}  // namespace celvio
