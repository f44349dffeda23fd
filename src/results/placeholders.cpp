// Placeholder: the verdict screen, the result page buttons and the result file are not
// built yet.
// These stand-ins show the verdict and wait for one button.
#include "core/app.h"
#include "core/events.h"
#include "results/result_pages.h"
#include "results/verdict.h"

namespace celvio {

void VerdictScreen(App& app, int verdict)
{
    Form1& f = app.Form1;
    f.Label4.Caption = verdict == 0 ? QStringLiteral("Test Passed!")
                       : verdict == 1 ? QStringLiteral("Test Failed!") : QStringLiteral("Test Aborted!");
    f.Label4.Visible = true;
    f.Command3.Caption = QStringLiteral("&New test");
    f.Command3.Visible = true;
    f.SetFocus(3);
    while (app.st.Command3Pressed != kTrue && app.st.StopRequested != kTrue)
        WaitEvents(app);
    app.st.Command3Pressed = kFalse;
    f.Command3.Visible = false;
    f.Label3.Caption.clear();
}

void Form3_Command1Click(App&) {}
void Form3_Command2Click(App&) {}
void Form4_Command1Click(App&) {}
void Form4_Command2Click(App&) {}
void Form4_Command3Click(App&) {}
void ResultPage_CloseRequest(App&) {}

}  // namespace celvio
