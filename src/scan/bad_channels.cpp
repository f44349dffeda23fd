#include "scan/bad_channels.h"

#include "core/app.h"
#include "core/blocked_channels.h"
#include "core/helpers.h"
#include "core/text.h"
#include "platform/printer.h"


namespace celvio {

namespace {

constexpr int kHighestListedChannel = 1024;
constexpr int kChannelsPerLine = 10;

// The display lines of a list, ten channels each, in ascending order; the last line
// is always there, even when empty. `sorted` receives the list in ascending order,
// each channel once.
QStringList DisplayLines(const QString& list, QString* sorted)
{
    QStringList lines;
    QString line;
    int onLine = 0;
    for (int channel = 1; channel <= kHighestListedChannel; ++channel) {
        const QString entry = BlockedChannelEntry(channel);
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

void ScanFrm_PrintClick(App& app)
{
    const QDateTime now = app.ui.Now();
    QStringList lines;
    lines << QStringLiteral("SCANREPORT - CELVIO : ") + app.Form3.Version.Caption;
    lines << QStringLiteral("Date : ") + DateText(now.date(), app.ui.Locale()) +
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
    if (error != 0)
        ReportPrintProblem(app, printer, QStringLiteral("Scan report"));
}

void ScanFrm_OkClick(App& app)
{
    app.ScanFrm.Visible = false;
}

}  // namespace celvio
