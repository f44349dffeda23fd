#include "swap/swap_report.h"

#include "core/app.h"
#include "core/helpers.h"
#include "core/trace.h"
#include "platform/printer.h"
#include "record/print_statement.h"
#include "results/printed_report.h"

namespace celvio {

namespace {

const QString kFont = QStringLiteral("Courier New");
constexpr int kFontSize = 10;

// Prints lines at the margin column until the printer fails.
class SwapReport {
public:
    explicit SwapReport(App& app) : app_(app), printer_(app.ui.DefaultPrinter())
    {
        ok_ = printer_.SetFont(kFont, kFontSize) == 0;
    }
    void Line(const QString& text)
    {
        if (ok_)
            ok_ = PrintIndented(app_, printer_, text) == 0;
    }
    // A free text in lines of 50 characters, or "----" when empty.
    void Pieces(const QString& text)
    {
        const QStringList pieces = TextPieces(text);
        if (pieces.isEmpty())
            Line(QStringLiteral("----"));
        for (const QString& piece : pieces)
            Line(piece);
    }
    // The service point block that opens both reports.
    void Heading()
    {
        const StationState& st = app_.st;
        Line(QStringLiteral("Zavar Mobile Phones"));
        Line(QString());
        Line(QStringLiteral("Company ") + st.Company);
        Line(QStringLiteral("Address ") + st.Address);
        Line(QStringLiteral("Phone ") + st.Phone);
        Line(QStringLiteral("Tested by ") + st.TestedBy);
        Line(QString());
    }
    void Results(const CycleRecord& test)
    {
        if (ok_)
            ok_ = PrintTestResults(app_, printer_, test);
    }
    // Ends the page; tells the operator when anything failed.
    void Finish(const QString& what)
    {
        if (ok_)
            ok_ = printer_.EndDoc() == 0;
        if (ok_) {
            TraceLine(app_, what + QStringLiteral(" printed"));
            return;
        }
        ReportPrintProblem(app_, printer_, what);
    }

private:
    App& app_;
    Printer& printer_;
    bool ok_ = true;
};

}  // namespace

void PrintDirectSwapReport(App& app)
{
    const StationState& st = app.st;
    SwapReport out(app);
    out.Heading();
    out.Line(QStringLiteral("Test report for customer"));
    out.Line(QStringLiteral("Cellular phone test, ") + st.CycleDate + QStringLiteral(" / ") + st.CycleTime);
    out.Line(QStringLiteral("Phone IMEI code : ") + st.OldImei);
    out.Line(QStringLiteral("Club Zavar member number : ") + st.ClubZavarNumber);
    out.Line(QStringLiteral("Customer fault description :"));
    out.Pieces(st.FaultDescription);
    out.Line(QString());
    out.Line(QStringLiteral("Swap comment :"));
    out.Pieces(st.SwapComment);
    out.Line(QString());
    out.Line(QStringLiteral("DIRECT SWAP"));
    out.Line(QStringLiteral("SWAP phone IMEI code is ") + st.Imei);
    out.Finish(QStringLiteral("Direct swap report"));
}

void PrintFailedTestSwapReport(App& app, const CycleRecord& test)
{
    const StationState& st = app.st;
    SwapReport out(app);
    out.Heading();
    out.Line(QStringLiteral("Dalvora tester  : ") + st.TesterModel);
    out.Line(QStringLiteral("   Serial Number: ") + st.TesterSerial);
    out.Line(QStringLiteral("Firmware Version: ") + st.TesterFirmware);
    out.Line(QStringLiteral("Test report for customer"));
    out.Line(QStringLiteral("Cellular phone test, ") + st.CycleDate + QStringLiteral(" / ") + st.CycleTime);
    out.Line(QStringLiteral("Phone IMEI code is ") + st.OldImei);
    out.Line(QStringLiteral("Club Zavar member number is ") + st.ClubZavarNumber);
    out.Line(QStringLiteral("Customer fault description : "));
    out.Pieces(st.FaultDescription);
    out.Line(QStringLiteral("Swap comment :"));
    out.Pieces(st.SwapComment);
    out.Results(test);
    out.Line(QStringLiteral("FAILED => SWAP"));
    out.Line(QStringLiteral("SWAP phone IMEI code is ") + st.Imei);
    out.Finish(QStringLiteral("Failed test swap report"));
}

}  // namespace celvio
