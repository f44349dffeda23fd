// The dialogs of the main window between cycles: the title screen, the mode dialog,
// the system dialog, the quit question and the About box. Every question is asked
// inside the main window: a title line (Label4), a message (Label3), a picture and up
// to five answer buttons, then a wait until one of them is pressed.
#include "ui/dialogs.h"

#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/text.h"
#include "core/translation.h"
#include "tester/tester_control.h"

namespace celvio {

namespace {

Flag& Pressed(App& app, int button)
{
    StationState& st = app.st;
    Flag* flags[] = {&st.Command1Pressed, &st.Command2Pressed, &st.Command3Pressed, &st.Command4Pressed,
                     &st.Command5Pressed};
    return *flags[button - 1];
}

void ShowButton(App& app, int button, const QString& caption)
{
    CommandButton& b = app.Form1.Command(button);
    b.Caption = caption;
    b.Visible = true;
    b.Enabled = true;
    b.TabStop = true;
}

void HideButton(App& app, int button)
{
    CommandButton& b = app.Form1.Command(button);
    b.Visible = false;
    b.TabStop = false;
}

// The rows of the system dialog: button, result, and the choice that preselects it.
struct SystemRow {
    int button;
    const char* code;
    quint8 choice;
};
constexpr SystemRow kSystemRows[] = {
    {2, "GSM", 1}, {1, "PCN", 2}, {3, "PCS", 3}, {4, "GSM,PCN", 4}, {5, "GSM,PCS", 5},
};

}  // namespace

void ShowTitle(App& app)
{
    Form1& f = app.Form1;
    f.Label1.Caption = QStringLiteral("for ZAVAR") + kCrLf + app.st.Version;
    f.Label3.Caption.clear();
    f.Label4.Caption.clear();
    f.Label5.Caption.clear();
    for (int i = 1; i <= 6; ++i)
        f.Text(i).Text.clear();
    for (int i = 1; i <= 5; ++i) {
        f.Command(i).Visible = false;
        f.Command(i).Caption.clear();
    }
    f.MStop.Enabled = false;
    f.Progress.Visible = false;
    ShowPicture(app, QStringLiteral("Zoredudi.BMP"));
}

CycleMode SelectMode(App& app)
{
    Form1& f = app.Form1;
    StationState& st = app.st;
    f.Label4.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Select mode"));
    f.Label3.Caption =
        Tr(app, QT_TRANSLATE_NOOP("Celvio", "TEST : Test a phone.\nSCAN : Scan channels.\nSWAP : Exchange phone."))
            .replace(QLatin1Char('\n'), kCrLf);
    ShowButton(app, 2, QStringLiteral("&Test"));
    ShowButton(app, 1, QStringLiteral("&Scan"));
    ShowButton(app, 3, QStringLiteral("S&wap"));
    f.Text1.Enabled = false;
    f.SetFocus(2);

    // STOP is disabled outside a test, so only the three answers end the wait.
    while (st.Command2Pressed != kTrue && st.Command1Pressed != kTrue && st.Command3Pressed != kTrue)
        WaitEvents(app);

    CycleMode mode = CycleMode::Swap;
    QString answer = QStringLiteral("SWAP");
    if (st.Command2Pressed == kTrue) {
        mode = CycleMode::Test;
        answer = QStringLiteral("TEST");
    } else if (st.Command1Pressed == kTrue) {
        mode = CycleMode::ContinuousScan;
        answer = QStringLiteral("SCAN");
    }
    TraceButton(app, answer);

    st.Command1Pressed = st.Command2Pressed = st.Command3Pressed = kFalse;
    f.Label3.Caption.clear();
    f.Label4.Caption.clear();
    for (int button : {1, 2, 3}) {
        HideButton(app, button);
        f.Command(button).Enabled = false;
    }
    return mode;
}

void SelectSystem(App& app, CycleMode mode)
{
    Form1& f = app.Form1;
    StationState& st = app.st;
    if (mode == CycleMode::OneScan)
        f.Label4.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Scanning for used Channels"));
    else if (mode == CycleMode::Swap)
        f.Label4.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Select system"));
    else
        f.Label4.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Test Your Mobile phone!"));
    f.Label3.Caption = kCrLf + kCrLf +
                       (mode == CycleMode::Swap ? Tr(app, QT_TRANSLATE_NOOP("Celvio", "Select the system for the new phone"))
                                  : Tr(app, QT_TRANSLATE_NOOP("Celvio", "Select the system to be tested:")));

    // The low band is always "GSM"; GSMSYSTEM 14 makes it GSM 850.
    const bool gsm850 = st.GsmSystem == 14;
    ShowButton(app, 2, gsm850 ? QStringLiteral("GSM 850") : QStringLiteral("GSM 900"));
    ShowButton(app, 1, QStringLiteral("GSM 1800"));
    ShowButton(app, 3, QStringLiteral("GSM 1900"));
    ShowButton(app, 4, QStringLiteral("GSM 900/1800"));
    ShowButton(app, 5, gsm850 ? QStringLiteral("GSM 850/1900") : QStringLiteral("GSM 900/1900"));
    // The focus goes to the button numbered like the last choice: after "GSM 900"
    // (choice 1) it is on "GSM 1800" (Command1), after "GSM 1800" on "GSM 900".
    if (st.SystemChoice >= 1 && st.SystemChoice <= 5)
        f.SetFocus(st.SystemChoice);
    ShowPicture(app, QStringLiteral("Zoredudi.BMP"));

    auto anyPressed = [&] {
        for (int button = 1; button <= 5; ++button) {
            if (Pressed(app, button) == kTrue)
                return true;
        }
        return false;
    };
    while (st.StopRequested != kTrue && !anyPressed())
        WaitEvents(app);

    if (st.StopRequested != kTrue) {
        for (const SystemRow& row : kSystemRows) {
            if (Pressed(app, row.button) == kTrue) {
                st.SystemCode = QString::fromLatin1(row.code);
                st.SystemChoice = row.choice;
                Pressed(app, row.button) = kFalse;
            }
        }
        TraceButton(app, st.SystemCode);
    }
    // Also after a STOP: no button stays visible, and no press is left over for the
    // next dialog.
    for (int button = 1; button <= 5; ++button) {
        HideButton(app, button);
        Pressed(app, button) = kFalse;
    }
    f.Label3.Caption.clear();
    f.Label4.Caption.clear();
}

void QuitQuestion(App& app)
{
    const int answer = app.ui.MsgBox(QStringLiteral("Do you really want to quit the program?"),
                                     msgbox::kYesNo | msgbox::kQuestion, QString());
    if (answer != msgbox::kYes)
        return;
    TraceButton(app, QStringLiteral("ESCAPE"));
    CloseTester(app);
}

void ShowAbout(App& app)
{
    const QStringList legal{
        Tr(app, QT_TRANSLATE_NOOP("Celvio", "Licensed for use at ZAVAR service points only.")),
        Tr(app, QT_TRANSLATE_NOOP("Celvio", "Copying, resale or modification only with written permission.")),
        Tr(app, QT_TRANSLATE_NOOP("Celvio", "The measurements serve the service; they are no warranty.")),
    };
    app.ui.MsgBox(QStringLiteral("CELVIO for ZAVAR") + kCrLf + QStringLiteral("Version ") + app.st.Version +
                      QStringLiteral(" from ") + app.st.VersionDate + kCrLf + legal.join(kCrLf),
                  msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("ABOUT CELVIO"));
}

}  // namespace celvio
