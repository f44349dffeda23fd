// The verdict screen and the test report screen at the end of a TEST cycle, and the
// buttons of the two result pages.
#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/text.h"
#include "core/translation.h"
#include "record/cycle_record.h"
#include "results/printed_report.h"
#include "results/result_file.h"
#include "results/result_grid.h"
#include "results/result_pages.h"
#include "results/verdict.h"

namespace celvio {

namespace {

// The title line of a verdict.
QString VerdictTitle(const App& app, Verdict verdict)
{
    switch (verdict) {
    case Verdict::Passed: return Tr(app, QT_TRANSLATE_NOOP("Celvio", "Test Passed!"));
    case Verdict::Failed: return Tr(app, QT_TRANSLATE_NOOP("Celvio", "Test Failed!"));
    default: return Tr(app, QT_TRANSLATE_NOOP("Celvio", "Test Aborted!"));
    }
}

// The message under the title, with the line breaks the screen shows.
QString VerdictMessage(const App& app, Verdict verdict)
{
    auto lines = [&](const char* english) { return Tr(app, english).replace(QLatin1Char('\n'), kCrLf); };
    switch (verdict) {
    case Verdict::Passed:
        return lines(QT_TRANSLATE_NOOP("Celvio", "\nCongratulations!\nYour mobile phone is perfectly ok.\n\n"
                                                 "Please switch it off now. "));
    case Verdict::Failed:
        return lines(QT_TRANSLATE_NOOP("Celvio", "\nYour mobile phone didn't pass all tests!\nPlease switch it off and\n"
                                                 "try again or go to the service desk."));
    default:
        return lines(QT_TRANSLATE_NOOP("Celvio", "A basic function didn't work in test!\nPlease switch off your phone "
                                                 "and\ntry again or go to the service desk.\n\n")) +
               app.st.LastErrorText;
    }
}

// Shows a main-window button with its caption, in the tab order.
void ShowButton(CommandButton& button, const QString& caption)
{
    button.Caption = caption;
    button.Visible = true;
    button.Enabled = true;
    button.TabStop = true;
}

// Hides a main-window button and takes it out of the tab order.
void HideButton(CommandButton& button)
{
    button.Visible = false;
    button.TabStop = false;
}

// Asks the page's view to move the focus to one of its buttons.
void FocusPage(ResultPage& page, int button)
{
    page.Focus.target = button;
    ++page.Focus.serial;
}

// Opens a result page in place of the window that was showing.
void OpenPage(App& app, ResultPage& page)
{
    page.Maximized = app.st.Maximize != 0;
    page.Visible = true;
    FocusPage(page, 1);
}

// Back to the main window from the result pages: the report screen goes on.
void LeavePages(App& app)
{
    app.Form1.Visible = true;
    app.Form3.Visible = false;
    app.Form4.Visible = false;
    app.Form1.SetFocus(app.Form1.Command3.Visible ? 3 : 2);
    app.st.DetailsDone = kTrue;
}

// "Print" on a result page: the stored file after a failed test, the report after a passed one.
void PrintFromPage(App& app, const CycleRecord& record)
{
    TraceButton(app, QStringLiteral("PRINT"));
    if (app.st.Verdict != Verdict::Passed)
        PrintResultFile(app);
    else
        PrintTestReport(app, record);
}

// While the result pages are open, their print buttons print the record they show;
// every other window action goes to the flow as before.
class PagePrintButtons {
public:
    PagePrintButtons(App& app, const CycleRecord& record) : app_(app), flow_(app.Hooks.WindowAction)
    {
        app_.Hooks.WindowAction = [this, &record](App& a, UiAction action) {
            if (action == UiAction::Form3Command2)
                Form3_Command2Click(a, record);
            else if (action == UiAction::Form4Command3)
                Form4_Command3Click(a, record);
            else if (flow_)
                flow_(a, action);
        };
    }
    ~PagePrintButtons() { app_.Hooks.WindowAction = flow_; }
    PagePrintButtons(const PagePrintButtons&) = delete;
    PagePrintButtons& operator=(const PagePrintButtons&) = delete;

private:
    App& app_;
    std::function<void(App&, UiAction)> flow_;
};

}  // namespace

void VerdictScreen(App& app, Verdict verdict, CycleRecord& record)
{
    Form1& f = app.Form1;
    StationState& st = app.st;
    SetHelpTopic(app, HelpTopic::ResultOverview);
    if (verdict == Verdict::Failed || verdict == Verdict::Aborted)
        ShowPicture(app, QStringLiteral("Failed.BMP"), QStringLiteral("N650a.BMP"));
    if (verdict == Verdict::Aborted)
        SetHelpTopic(app, HelpTopic::ConnectionFailure);
    f.Label4.Caption = VerdictTitle(app, verdict);
    f.Label4.Visible = true;
    f.Label3.Caption = VerdictMessage(app, verdict);
    st.LastErrorText.clear();
    ShowButton(f.Command2, Tr(app, QT_TRANSLATE_NOOP("Celvio", "&Test Report")));
    ShowButton(f.Command3, Tr(app, QT_TRANSLATE_NOOP("Celvio", "&New test")));
    f.SetFocus(2);

    while (st.Command2Pressed != kTrue && st.Command3Pressed != kTrue && st.StopRequested != kTrue)
        WaitEvents(app);

    // The choice is kept before the file is written: an IMEI entry on the way uses
    // the same buttons. Only a file written for this cycle may be printed.
    const bool details = st.Command2Pressed == kTrue;
    st.Command2Pressed = kFalse;
    st.Command3Pressed = kFalse;
    st.ResultFilePath.clear();
    if (st.KeypadCallFailed != kTrue && st.StopRequested != kTrue)
        WriteResultFile(app, record);
    if (st.StopRequested != kTrue) {
        if (details) {
            TraceButton(app, QStringLiteral("DETAILS"));
            SetHelpTopic(app, HelpTopic::ResultSummary);
            TestReportScreen(app, record);
        } else {
            TraceButton(app, QStringLiteral("NEW TEST"));
        }
    }
    f.Label3.Caption.clear();
    HideButton(f.Command2);
    HideButton(f.Command3);
}

void TestReportScreen(App& app, const CycleRecord& record)
{
    Form1& f = app.Form1;
    StationState& st = app.st;
    f.Label4.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Test Report"));
    QString summary;
    for (int i = 1; i <= 4; ++i)
        summary += st.SummaryLines[i] + kCrLf;
    f.Label3.Caption = summary;
    ShowButton(f.Command3, Tr(app, QT_TRANSLATE_NOOP("Celvio", "&New test")));
    const bool offerDetails = st.TestDetail == 1;
    if (offerDetails) {
        ShowButton(f.Command2, QStringLiteral("&Details"));
        f.SetFocus(2);
    } else {
        HideButton(f.Command2);
        f.SetFocus(3);
    }
    SetHelpTopic(app, HelpTopic::ResultSummary);
    st.Command2Pressed = kFalse;
    st.Command3Pressed = kFalse;

    while (st.Command3Pressed != kTrue && !(offerDetails && st.Command2Pressed == kTrue) &&
           st.StopRequested != kTrue)
        WaitEvents(app);
    if (st.Command3Pressed == kTrue) {
        TraceButton(app, QStringLiteral("NEW TEST"));
        st.Command3Pressed = kFalse;
    } else if (st.Command2Pressed == kTrue) {
        TraceButton(app, QStringLiteral("DETAILS"));
        st.Command2Pressed = kFalse;
        st.DetailsDone = kFalse;
        ShowRecordOnResultPages(app, record);
        if (st.SystemCode.contains(QLatin1String("GSM,")))
            app.Form3.Command1.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "&More"));
        const PagePrintButtons printing(app, record);
        OpenPage(app, app.Form3);
        f.Visible = false;
        while (st.DetailsDone != kTrue)
            WaitEvents(app);
    }
    if (st.TestPrint == 1)
        PrintResultFile(app);
    HideButton(f.Command2);
    HideButton(f.Command3);
    f.Label3.Caption.clear();
    f.Label4.Caption.clear();
}

void Form3_Command1Click(App& app)
{
    if (app.st.SystemCode.contains(QLatin1String("GSM,"))) {
        TraceButton(app, QStringLiteral("MORE"));
        OpenPage(app, app.Form4);
        app.Form3.Visible = false;
        return;
    }
    TraceButton(app, QStringLiteral("CONTINUE"));
    LeavePages(app);
}

void Form3_Command2Click(App& app, const CycleRecord& record)
{
    PrintFromPage(app, record);
}

void Form4_Command1Click(App& app)
{
    TraceButton(app, QStringLiteral("CONTINUE"));
    LeavePages(app);
}

void Form4_Command2Click(App& app)
{
    TraceButton(app, QStringLiteral("BACK"));
    OpenPage(app, app.Form3);
    app.Form4.Visible = false;
}

void Form4_Command3Click(App& app, const CycleRecord& record)
{
    PrintFromPage(app, record);
}

}  // namespace celvio
