#include "results/result_file.h"

#include "core/app.h"
#include "core/files.h"
#include "core/training_mark.h"
#include "core/trace.h"
#include "results/print_statement.h"
#include "results/result_grid.h"
#include "results/result_pages.h"
#include "results/imei_entry.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace celvio {

namespace {

const QString kResultsDir = QStringLiteral("RESULTS");
const QString kNotTested = QStringLiteral("Not tested");
const QString kExtension = QStringLiteral(".TXT");
constexpr int kColonColumn = 24;
constexpr int kValueColumn = 26;
constexpr int kLimitColumn = 41;

// The lines of a file being built, joined with CR LF at the end.
class FileText {
public:
    void Add(const PrintStatement& line) { lines_ << line.Lines(); }
    void Add(const QString& line) { lines_ << line; }
    void Blank() { lines_ << QString(); }
    QByteArray Bytes() const
    {
        QString text;
        for (const QString& line : lines_)
            text += line + QStringLiteral("\r\n");
        return ToLatin1(text);
    }

private:
    QStringList lines_;
};

// "Name : value" with the colon at column 24 and the value at column 26.
PrintStatement Row(const QString& name, const QString& value)
{
    PrintStatement line;
    line.Text(name).Tab(kColonColumn).Text(QStringLiteral(":")).Tab(kValueColumn).Text(value);
    return line;
}

// The same with the limit at column 41.
PrintStatement Row(const QString& name, const QString& value, const QString& limit)
{
    PrintStatement line = Row(name, value);
    line.Tab(kLimitColumn).Text(limit);
    return line;
}

// The cellular system as the file names it ("GSM,PCN" is "GSM900,1800").
QString SystemName(const QString& code)
{
    if (code == QLatin1String("GSM"))
        return QStringLiteral("GSM900");
    if (code == QLatin1String("PCN"))
        return QStringLiteral("GSM1800");
    if (code == QLatin1String("PCS"))
        return QStringLiteral("GSM1900");
    if (code == QLatin1String("GSM,PCN"))
        return QStringLiteral("GSM900,1800");
    if (code == QLatin1String("GSM,PCS"))
        return QStringLiteral("GSM900,1900");
    return code;
}

// Title and date lines that open both kinds of file.
void AddOpening(FileText& file, const App& app)
{
    file.Add(QStringLiteral("TEST REPORT - CELVIO : ") + app.st.Version);
    PrintStatement date;
    date.Text(QStringLiteral("Date: ") + app.st.CycleDate).Zone().Text(QStringLiteral("Time: ") + app.st.CycleTime);
    file.Add(date);
}

// The tester's model, serial number and firmware, as the first page shows them.
void AddTester(FileText& file, const App& app)
{
    const ResultPage& page = app.Form3;
    file.Add(QStringLiteral("Dalvora MOBILE TESTER  : ") + page.TesterModel.Caption +
             QStringLiteral("          Serial Number: ") + page.TesterSerial.Caption);
    file.Add(QStringLiteral("       Firmware Version: ") + page.Firmware.Caption);
}

// A free text in lines of 50 characters after its label, or "----" beside it.
void AddFreeText(FileText& file, const QString& label, const QString& text)
{
    const QStringList pieces = TextPieces(text);
    if (pieces.isEmpty()) {
        file.Add(label + QStringLiteral("----"));
        return;
    }
    file.Add(label);
    for (const QString& piece : pieces)
        file.Add(piece);
}

// A limit in brackets, with or without a blank after the opening one.
QString InBrackets(const QString& limit, bool blank)
{
    return (blank ? QStringLiteral("( ") : QStringLiteral("(")) + limit + QStringLiteral(" )");
}

// The measurement blocks of one page: three traffic channels.
void AddChannels(FileText& file, const App& app, const ResultPage& page, bool secondPage)
{
    const int first = secondPage ? 4 : 1;
    auto name = [&](int row) { return page.RowName[row].Caption; };
    auto limit = [&](int row) { return page.Limit[row].Caption; };
    for (int c = 1; c <= 3; ++c) {
        const int step = first + c - 1;
        file.Blank();
        PrintStatement channel;
        channel.Text(QStringLiteral("Traffic Channel")).Tab(kColonColumn).Text(QStringLiteral(":")).Tab(kValueColumn);
        channel.Number(app.st.TrafficChannels[step]);
        file.Add(channel);
        file.Add(Row(name(kRowTxPower1), page.MSPower1[c].Caption, PowerRangeText(app, first, step)));
        if (c == 2)
            continue;
        if (c == 3) {
            file.Add(Row(name(kRowTxPower3), page.MSPower3[c].Caption, PowerRangeText(app, first + 2, step)));
            file.Add(Row(name(kRowPhaseRms), page.Label51[c].Caption, InBrackets(limit(kRowPhaseRms), true)));
            file.Add(Row(name(kRowPhasePeak), page.Label52[c].Caption, InBrackets(limit(kRowPhasePeak), true)));
            file.Add(Row(name(kRowFrequency), page.Label53[c].Caption, InBrackets(limit(kRowFrequency), true)));
            file.Add(Row(name(kRowBurstLength), page.Label54[c].Caption, InBrackets(limit(kRowBurstLength), false)));
            file.Add(Row(name(kRowTemplate), page.Label55[c].Caption, QString()));
        }
        file.Add(Row(name(kRowRxLevel), page.Label56[c].Caption, InBrackets(limit(kRowRxLevel), false)));
        file.Add(Row(name(kRowRxQuality), page.Label57[c].Caption, InBrackets(limit(kRowRxQuality), true)));
    }
}

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
        app.Form3.Imei.Caption = app.st.Imei;
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

QString PowerRangeText(const App& app, int slot, int step)
{
    const QString band = step <= 3 ? app.st.SystemCode.left(3) : app.st.SystemCode.right(3);
    qint32 minimum = 0, maximum = 0;
    QString range;
    if (PowerRange(app, band, slot, minimum, maximum))
        range = QString::number(minimum) + QStringLiteral(" - ") + QString::number(maximum);
    return QStringLiteral("( ") + range + QStringLiteral(" dBm )");
}

QByteArray ResultFileBytes(const App& app)
{
    const StationState& st = app.st;
    const ResultPage& page = app.Form3;
    FileText file;
    AddOpening(file, app);
    file.Blank();
    file.Add(QStringLiteral("OVERALL TEST RESULT: ") +
             (st.Verdict == Verdict::Passed ? QStringLiteral("Passed") : QStringLiteral("Failed")));
    file.Blank();
    AddTester(file, app);
    file.Add(QStringLiteral("MOBILE TELEPHONE       : ") + page.Mobile.Caption +
             QStringLiteral("        Cellular System: ") + SystemName(st.SystemCode));
    file.Add(QStringLiteral("    IMEI: ") + page.Imei.Caption + QStringLiteral("    IMSI: ") + page.Imsi.Caption);
    file.Blank();
    AddFreeText(file, QStringLiteral("Customer fault description: "), st.FaultDescription);
    file.Blank();
    file.Add(QStringLiteral("TEST ENVIRONMENT:"));
    file.Add(QStringLiteral("  Mobile Connected Via : Dalvora Antenna Coupler ") + st.CouplerLabel);
    file.Blank();
    PrintStatement bcch;
    bcch.Text(QStringLiteral("      Broadcast Channel:")).Number(st.ControlChannel);
    file.Add(bcch);
    const QString level = QString::number(st.GeneratorLevel);
    file.Add(QStringLiteral("         BS Power Level: ") + (st.GeneratorLevel < 0 ? level : QLatin1Char(' ') + level) +
             QStringLiteral(" dBm"));
    file.Blank();
    file.Add(QStringLiteral("Call From Mobile       : ") + page.MobileOriginatedCall.Caption);
    PrintStatement dialled;
    dialled.Text(QStringLiteral("Dialled Number         : ") + page.DialledNumber.Caption)
        .Tab(kLimitColumn)
        .Text(QStringLiteral("( ") + st.DialNumber + QStringLiteral(" )"));
    file.Add(dialled);
    file.Add(QStringLiteral("Call From Base Station : ") + page.BaseOriginatedCall.Caption);
    file.Add(QStringLiteral("Speech Loopback        : ") + page.SpeechLoopback.Caption);
    AddChannels(file, app, app.Form3, false);
    if (st.SystemCode.contains(QLatin1String("GSM,")))
        AddChannels(file, app, app.Form4, true);
    return file.Bytes();
}

QByteArray DirectSwapFileBytes(const App& app)
{
    const StationState& st = app.st;
    FileText file;
    AddOpening(file, app);
    file.Blank();
    file.Add(QStringLiteral("Mobile phone not tested. Swapped direct."));
    file.Blank();
    AddTester(file, app);
    file.Blank();
    file.Add(QStringLiteral("OLD MOBILE IMEI: ") + st.OldImei);
    file.Add(QStringLiteral("NEW MOBILE IMEI: ") + st.Imei);
    file.Blank();
    file.Add(QStringLiteral("Swap comment :"));
    const QStringList pieces = TextPieces(st.SwapComment);
    if (pieces.isEmpty())
        file.Add(QStringLiteral("----"));
    for (const QString& piece : pieces)
        file.Add(piece);
    return file.Bytes();
}

void WriteResultFile(App& app)
{
    // The IMEI shown on the first result page; the bytes are built after it was asked
    // for, so that the file shows the IMEI typed in.
    QString imei = app.Form3.Imei.Caption;
    const QString folder = ResultFolder(app, imei);
    if (app.st.StopRequested == kTrue || folder.isEmpty()) {
        app.st.ResultFilePath.clear();
        return;
    }
    WriteRecord(app, imei, folder, ResultFileBytes(app));
}

void WriteDirectSwapFile(App& app)
{
    QString imei = app.st.Imei;
    const QString folder = ResultFolder(app, imei);
    if (app.st.StopRequested == kTrue || folder.isEmpty()) {
        app.st.ResultFilePath.clear();
        return;
    }
    WriteRecord(app, imei, folder, DirectSwapFileBytes(app));
}

}  // namespace celvio
