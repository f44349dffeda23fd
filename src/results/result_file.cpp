#include "results/result_file.h"

#include "core/app.h"
#include "core/files.h"
#include "core/training_mark.h"
#include "core/trace.h"
#include "record/result_file_format.h"
#include "results/imei_entry.h"
#include "results/result_grid.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace celvio {

namespace {

const QString kResultsDir = QStringLiteral("RESULTS");
const QString kNotTested = QStringLiteral("Not tested");
const QString kExtension = QStringLiteral(".TXT");

// The text in a file name: letters and digits stay, anything else becomes "_".
QString NamePart(const QString& text)
{
    QString out;
    for (const QChar c : text)
        out += c.isLetterOrNumber() && c.unicode() < 0x80 ? c : QLatin1Char('_');
    return out;
}

// The names of one phone's result files in the order they are taken: the last seven
// IMEI digits, the same with "A" .. "Z" and "[", then the cycle's date and time, with
// "-2", "-3" ... when that too exists. No older record is ever replaced.
class ResultNames {
public:
    ResultNames(const App& app, const QString& imei) : base_(imei.right(7)), stamp_(DateTimeName(app)) {}

    // The n-th name with its extension; empty after the last one.
    QString At(int n) const
    {
        if (n == 0)
            return base_ + kExtension;
        if (n <= kLettered)
            return base_ + QLatin1Char(char('A' + n - 1)) + kExtension;
        if (n == kLettered + 1)
            return stamp_ + kExtension;
        if (n <= kLettered + kCounted)
            return stamp_ + QLatin1Char('-') + QString::number(n - kLettered) + kExtension;
        return QString();
    }

    // The first name that nothing in `dir` has in any spelling (the last one when every
    // name is taken).
    QString FirstFree(const QString& dir) const
    {
        QString name = At(0);
        for (int n = 1; NameInUse(ResolvePath(dir, name)) && !At(n).isEmpty(); ++n)
            name = At(n);
        return name;
    }

private:
    // Characters 1-2 and 4-5 of the cycle's date and of its time.
    static QString DateTimeName(const App& app)
    {
        const QString& date = app.st.CycleDate;
        const QString& time = app.st.CycleTime;
        return NamePart(date.mid(0, 2) + date.mid(3, 2) + time.mid(0, 2) + time.mid(3, 2));
    }

    static constexpr int kLettered = 27;  // "A" .. "Z" and "["
    static constexpr int kCounted = 9999;
    QString base_;
    QString stamp_;
};

// The folder of the phone's result files, made when missing (a failure shows when the
// file is written); empty when the operator stopped at the IMEI entry.
QString ResultFolder(App& app, QString& imeiText)
{
    if (imeiText == kNotTested || !UsableImei(imeiText)) {
        EnterImei(app, ImeiPrompt::Phone);
        if (app.st.StopRequested == kTrue || !UsableImei(app.st.Imei))
            return QString();
        imeiText = app.st.Imei;
    }
    const QString folder = kResultsDir + QLatin1Char('/') + imeiText.left(6);
    QDir().mkpath(StationPath(app, folder));  // an existing folder is fine
    return folder;
}

// Writes a result file under the next free name of the phone and reports a failure to
// the operator. ResultFilePath names the file only when it was written.
void WriteRecord(App& app, const QString& imei, const QString& folder, const QByteArray& bytes)
{
    const QString dir = StationPath(app, folder);
    const ResultNames names(app, imei);
    QString reason;
    // A folder that could not be made says why (a read-only or full disk), rather than
    // the write's "No such file or directory".
    std::error_code folderError;
    std::filesystem::create_directories(std::filesystem::path(dir.toStdU16String()), folderError);
    QStringList links;
    const auto nameAt = [&names](int n) { return names.At(n); };
    const QString path =
        folderError ? QString() : WriteNewFile(dir, nameAt, WithTrainingMark(app, bytes), &reason, &links, &app.FileSeams.Fault);
    for (const QString& link : links)
        TraceLine(app, QStringLiteral("Result file name passed over, it is a symbolic link: ") + link);
    if (!path.isEmpty()) {
        app.st.ResultFilePath = path;
        TraceLine(app, QStringLiteral("Result file written: ") + path);
        return;
    }
    if (folderError)
        reason = QString::fromLocal8Bit(folderError.message());
    app.st.ResultFilePath.clear();
    const QString message = QStringLiteral("Result file could not be written: ") + dir + QLatin1Char('/') +
                            names.FirstFree(dir) + QStringLiteral(" (") + reason + QStringLiteral(")");
    TraceLine(app, message);
    app.ui.MsgBox(message, msgbox::kOkOnly | msgbox::kExclamation, QString());
}

}  // namespace

QString ResultFileName(App& app, QString& imeiText)
{
    const QString folder = ResultFolder(app, imeiText);
    if (folder.isEmpty())
        return QString();
    return folder + QLatin1Char('/') + ResultNames(app, imeiText).FirstFree(StationPath(app, folder));
}

void WriteResultFile(App& app, CycleRecord& record)
{
    // The IMEI shown on the result pages; the bytes are made after it was asked for,
    // so that the file and the pages show the IMEI typed in.
    QString imei = record.Imei;
    const QString folder = ResultFolder(app, imei);
    if (imei != record.Imei) {
        record.Imei = imei;
        ShowRecordOnResultPages(app, record);
    }
    if (app.st.StopRequested == kTrue || folder.isEmpty()) {
        app.st.ResultFilePath.clear();
        return;
    }
    WriteRecord(app, imei, folder, ResultFileBytes(record));
}

void WriteDirectSwapFile(App& app)
{
    QString imei = app.st.Imei;
    const QString folder = ResultFolder(app, imei);
    if (app.st.StopRequested == kTrue || folder.isEmpty()) {
        app.st.ResultFilePath.clear();
        return;
    }
    CycleRecord swap;
    swap.Kind = RecordKind::DirectSwap;
    TakeStationFacts(swap, app.st);
    swap.Imei = imei;
    WriteRecord(app, imei, folder, DirectSwapFileBytes(swap));
}

}  // namespace celvio
