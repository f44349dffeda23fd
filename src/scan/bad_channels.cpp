#include "scan/bad_channels.h"

#include "core/app.h"
#include "core/files.h"
#include "core/text.h"
#include "core/trace.h"
#include "ui/printer.h"

#include <QDir>
#include <QFile>
#include <QLocale>

namespace celvio {

namespace {

const QString kListFile = QStringLiteral("BADCHAN.DAT");
constexpr int kHighestListedChannel = 1024;
constexpr int kChannelsPerLine = 10;

QString Entry(int channel)
{
    return QLatin1Char(' ') + QString::number(channel) + QLatin1Char(',');
}

// The display lines of a list, ten channels each, in ascending order; the last line
// is always there, even when empty. `sorted` receives the list in ascending order,
// each channel once.
QStringList DisplayLines(const QString& list, QString* sorted)
{
    QStringList lines;
    QString line;
    int onLine = 0;
    for (int channel = 1; channel <= kHighestListedChannel; ++channel) {
        const QString entry = Entry(channel);
        if (!list.contains(entry))
            continue;
        line += entry;
        if (sorted)
            *sorted += entry;
        if (++onLine == kChannelsPerLine) {
            lines << line;
            line.clear();
            onLine = 0;
        }
    }
    lines << line;
    return lines;
}

}  // namespace

bool ReadBlockedChannelFile(App& app, QString& text)
{
    text.clear();
    if (!FileExists(app, kListFile))
        return true;
    QStringList lines;
    if (!ReadTextLines(StationPath(app, kListFile), lines))
        return false;
    if (lines.isEmpty())
        return true;
    const QString& first = lines.first();
    const qsizetype open = first.indexOf(QLatin1Char('"'));
    if (open < 0) {
        text = first;
    } else {
        const qsizetype close = first.indexOf(QLatin1Char('"'), open + 1);
        text = first.mid(open + 1, close < 0 ? -1 : close - open - 1);
    }
    return true;
}

void SaveBlockedChannels(App& app, int channel)
{
    StationState& st = app.st;
    if (channel > 0)
        st.BlockedChannels += Entry(channel);
    if (channel <= 0 && st.ScanWritesList != kTrue)
        return;
    // The list is written between double quotes, so it cannot hold one itself.
    QString text = st.BlockedChannels;
    text.remove(QLatin1Char('"'));
    const QByteArray bytes = ToLatin1(QLatin1Char('"') + text + QLatin1Char('"') + kCrLf);
    if (!WriteFileAtomic(StationPath(app, kListFile), bytes)) {
        TraceLine(app, QStringLiteral("BADCHAN.DAT could not be written."));
        app.ui.MsgBox(st.Language == 2 ? QStringLiteral("Datei BADCHAN.DAT nicht verfügbar !")
                                       : QStringLiteral("File BADCHAN.DAT not accessible !"),
                      msgbox::kOkOnly | msgbox::kCritical, QString());
    }
}

void ShowScanReport(App& app)
{
    StationState& st = app.st;
    QStringList& list = app.ScanFrm.List1;
    list.clear();
    QString sorted;
    list << DisplayLines(st.BlockedChannels, &sorted);
    st.BlockedChannels = sorted;
    list << QString() << QString() << QStringLiteral("NEW : ");
    list << DisplayLines(st.NewBlockedChannels, nullptr);
}

void ClearBlockedChannels(App& app)
{
    // "badchan.old" and "BADCHAN.OLD" are one file to the operator: remove every
    // spelling, so the rename below finds its place free.
    QDir dir(app.StationDir);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.compare(QLatin1String("BADCHAN.OLD"), Qt::CaseInsensitive) == 0)
            dir.remove(name);
    }
    if (FileExists(app, kListFile))
        QFile::rename(StationPath(app, kListFile), dir.filePath(QStringLiteral("badchan.old")));
}

void ScanFrm_PrintClick(App& app)
{
    const QDateTime now = app.ui.Now();
    QStringList lines;
    lines << QStringLiteral("SCANREPORT - CELVIO : ") + app.Form3.Version.Caption;
    lines << QStringLiteral("Date : ") + QLocale::system().toString(now.date(), QLocale::ShortFormat) +
                 QStringLiteral("  Time : ") + TimeText(now.time());
    lines << QStringLiteral("Company ") + app.st.Company;
    lines << QStringLiteral("Address ") + app.st.Address;
    lines << app.ScanFrm.List1;

    Printer& printer = app.ui.DefaultPrinter();
    int error = printer.SetFont(QStringLiteral("Courier New"), 10);
    for (qsizetype i = 0; error == 0 && i < lines.size(); ++i)
        error = printer.PrintLine(lines.at(i));
    if (error == 0)
        error = printer.EndDoc();
    if (error != 0) {
        TraceLine(app, QStringLiteral("Scan report not printed: ") + printer.LastError());
        app.ui.MsgBox(QStringLiteral("There was a problem printing to your printer."), msgbox::kOkOnly, QString());
    }
}

void ScanFrm_OkClick(App& app)
{
    app.ScanFrm.Visible = false;
}

}  // namespace celvio
