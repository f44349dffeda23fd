#include "results/printed_report.h"

#include "core/app.h"
#include "core/events.h"
#include "core/files.h"
#include "core/helpers.h"
#include "core/trace.h"
#include "platform/printer.h"
#include "record/cycle_record.h"
#include "record/print_statement.h"

namespace celvio {

namespace {

const QString kFont = QStringLiteral("Courier New");
constexpr int kFontSize = 10;
constexpr int kWordColumn = 40;
// Lines printed between two turns of the user interface, so that a long report does
// not freeze the window.
constexpr int kLinesPerTurn = 20;

// The lines of the formatted report, each with the colour of its verdict word (or
// none for a plain line).
class ReportLines {
public:
    explicit ReportLines(App& app, Printer& printer) : app_(app), printer_(printer) {}

    bool Line(const QString& text) { return !Failed() && Done(PrintLine(app_, printer_, text)); }
    bool Row(const QString& label, const Reading& reading, bool beforeBracket = false)
    {
        return !Failed() && Done(PrintVerdictRow(app_, printer_, label, ColourOf(reading.Outcome), beforeBracket));
    }
    bool Failed() const { return error_ != 0; }

private:
    bool Done(int error)
    {
        error_ = error;
        if (++count_ % kLinesPerTurn == 0)
            DoEvents(app_);
        return error_ == 0;
    }
    App& app_;
    Printer& printer_;
    int error_ = 0;
    int count_ = 0;
};

// The channel blocks of one band: the rows that the result file lists for each channel
// (the TX power rows without the nominal power in brackets).
void PrintChannels(const CycleRecord& r, ReportLines& out, int band)
{
    for (int c = 1; c <= kChannelColumns && !out.Failed(); ++c) {
        out.Line(QStringLiteral("Traffic Channel ") + QString::number(r.TrafficChannels[(band - 1) * kChannelColumns + c]));
        for (int i = 0; i < kFirstCallRow; ++i) {
            const RowId row = RowAt(i);
            if (UseOf(row, c) == ColumnUse::Listed)
                out.Row(r.Bands[band - 1].RowNames[i], r.At(band, row, c), Quantity(row).limit == LimitForm::PowerRange);
        }
        out.Line(QString());
    }
}

// The test results of a report: channel, level, the calls and the channel blocks of
// each band.
void PrintResultSection(const CycleRecord& r, ReportLines& out)
{
    out.Line(QStringLiteral("Broadcast Channel: ") + QString::number(r.ControlChannel));
    const QString level = QString::number(r.GeneratorLevel);
    out.Line(QStringLiteral("BS Power Level: ") + (r.GeneratorLevel < 0 ? level : QLatin1Char(' ') + level) +
             QStringLiteral(" dBm"));
    for (int i = kFirstCallRow; i < kRowCount; ++i)
        out.Row(QString::fromUtf8(Quantity(RowAt(i)).quantity), r.At(1, RowAt(i), 1));
    PrintChannels(r, out, 1);
    if (r.DualBand())
        PrintChannels(r, out, 2);
}

}  // namespace

QString VerdictWord(Colour colour)
{
    switch (colour) {
    case kRed: return QStringLiteral("FAILED *");
    case kGreen: return QStringLiteral("PASSED");
    case kRepeatGreen: return QStringLiteral("PASSED!");
    default: return QStringLiteral(" NOT TESTED");
    }
}

int PrintLine(App& app, Printer& printer, const QString& text)
{
    PrintStatement line;
    line.Tab(app.st.LeftMargin).Text(text);
    for (const QString& part : line.Lines())
        if (const int error = printer.PrintLine(part))
            return error;
    return 0;
}

int PrintVerdictRow(App& app, Printer& printer, const QString& label, Colour colour, bool beforeBracket)
{
    const QString shown = beforeBracket ? label.section(QLatin1Char('('), 0, 0) : label;
    PrintStatement line;
    line.Tab(app.st.LeftMargin).Text(shown).Tab(kWordColumn).Text(VerdictWord(colour));
    for (const QString& part : line.Lines())
        if (const int error = printer.PrintLine(part))
            return error;
    return 0;
}

void PrintResultFile(App& app)
{
    QStringList lines;
    if (app.st.KeypadCallFailed == kTrue || app.st.ResultFilePath.isEmpty() ||
        !ReadTextLines(app.st.ResultFilePath, lines)) {
        TraceLine(app, QStringLiteral("No result file to print: ") + app.st.ResultFilePath);
        app.ui.MsgBox(QStringLiteral("Print not possible. No test results available."), msgbox::kOkOnly, QString());
        return;
    }
    Printer& printer = app.ui.DefaultPrinter();
    int error = printer.SetFont(kFont, kFontSize);
    if (error == 0)
        error = printer.PrintLine(QString());
    for (qsizetype i = 0; error == 0 && i < lines.size(); ++i) {
        error = PrintLine(app, printer, lines.at(i));
        if (error == 0 && lines.at(i).contains(QLatin1String("PAGE 1 of")))
            error = printer.NewPage();
        if ((i + 1) % kLinesPerTurn == 0)
            DoEvents(app);
    }
    if (error == 0)
        error = printer.EndDoc();
    if (error != 0)
        ReportPrintProblem(app, printer, QStringLiteral("Result file"));
}

void PrintTestReport(App& app, const CycleRecord& record)
{
    const StationState& st = app.st;
    Printer& printer = app.ui.DefaultPrinter();
    if (printer.SetFont(kFont, kFontSize) != 0) {
        ReportPrintProblem(app, printer, QStringLiteral("Test report"));
        return;
    }
    ReportLines out(app, printer);
    out.Line(QString());
    out.Line(QStringLiteral("  TEST REPORT - CELVIO : ") + st.Version);
    out.Line(QStringLiteral("Zavar Mobile Phones"));
    out.Line(QString());
    out.Line(QStringLiteral("Company ") + st.Company);
    out.Line(QStringLiteral("Address ") + st.Address);
    out.Line(QStringLiteral("Phone ") + st.Phone);
    out.Line(QStringLiteral("Tested by ") + st.TestedBy);
    out.Line(QString());
    out.Line(QStringLiteral("Cellular phone test, ") + record.DateText + QStringLiteral(" / ") + record.TimeText);
    out.Line(QString());
    out.Line(QStringLiteral("Phone IMEI code : ") + record.Imei);
    out.Line(QString());
    out.Line(QStringLiteral("Club Zavar member number : ") + st.ClubZavarNumber);
    out.Line(QString());
    out.Line(QStringLiteral("Customer fault description : "));
    const QStringList pieces = TextPieces(record.FaultDescription);
    if (pieces.isEmpty())
        out.Line(QStringLiteral("----"));
    for (const QString& piece : pieces)
        out.Line(piece);
    PrintResultSection(record, out);
    if (out.Failed() || printer.EndDoc() != 0)
        ReportPrintProblem(app, printer, QStringLiteral("Test report"));
}

bool PrintTestResults(App& app, Printer& printer, const CycleRecord& record)
{
    ReportLines out(app, printer);
    PrintResultSection(record, out);
    return !out.Failed();
}

}  // namespace celvio
