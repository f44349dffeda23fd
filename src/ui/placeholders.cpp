// Placeholder: the mode and system dialogs, the quit question and the help window are
// not built yet. These stand-ins keep Main running until they land.
#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "tester/tester_control.h"
#include "ui/dialogs.h"
#include "ui/help.h"

namespace celvio {

void ShowTitle(App& app)
{
    Form1& f = app.Form1;
    f.Label1.Caption = QStringLiteral("for ZAVAR\r\n") + app.st.Version;
    f.Label3.Caption.clear();
    f.Label4.Caption.clear();
    f.Label5.Caption.clear();
    for (int i = 1; i <= 5; ++i) {
        f.Command(i).Visible = false;
        f.Command(i).Caption.clear();
    }
    f.MStop.Enabled = false;
    f.Progress.Visible = false;
    ShowPicture(app, QStringLiteral("Zoredudi.BMP"));
}

int SelectMode(App& app)
{
    Form1& f = app.Form1;
    f.Label4.Caption = QStringLiteral("Select mode");
    f.Command2.Caption = QStringLiteral("&Test");
    f.Command1.Caption = QStringLiteral("&Scan");
    f.Command3.Caption = QStringLiteral("S&wap");
    f.Command1.Visible = f.Command2.Visible = f.Command3.Visible = true;
    f.SetFocus(2);
    StationState& st = app.st;
    while (st.Command1Pressed != kTrue && st.Command2Pressed != kTrue && st.Command3Pressed != kTrue)
        WaitEvents(app);
    const int mode = st.Command2Pressed == kTrue ? 0 : st.Command1Pressed == kTrue ? 2 : 3;
    st.Command1Pressed = st.Command2Pressed = st.Command3Pressed = kFalse;
    f.Command1.Visible = f.Command2.Visible = f.Command3.Visible = false;
    f.Label4.Caption.clear();
    return mode;
}

void SelectSystem(App& app, int)
{
    app.st.SystemCode = QStringLiteral("GSM");
}

void QuitQuestion(App& app)
{
    if (app.ui.MsgBox(QStringLiteral("Do you really want to quit the program?"), msgbox::kYesNo | msgbox::kQuestion,
                      QString()) == msgbox::kYes) {
        TraceButton(app, QStringLiteral("ESCAPE"));
        CloseTester(app);
    }
}

void ShowAbout(App& app)
{
    app.ui.MsgBox(QStringLiteral("CELVIO for ZAVAR\r\nVersion ") + app.st.Version + QStringLiteral(" from ") +
                      app.st.VersionDate,
                  msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("ABOUT CELVIO"));
}

void ShowHelp(App&) {}

}  // namespace celvio
