// The tester as a whole: identification at start-up, the resets at the end of a
// cycle, and the shutdown at program end.
#include "tester/tester_control.h"

#include "core/app.h"
#include "core/blocked_channels.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/translation.h"
#include "platform/serial_port.h"
#include "tester/port_setup.h"
#include "tester/tester_family.h"
#include "tester/transport.h"

namespace celvio {

namespace {

// ReleaseTester waits for the tester to identify itself after a reset for at most this
// many rounds of up to 5 seconds each without an identity answer.
constexpr int kReleaseRounds = 3;

// The first line of an answer, for the trace.
QString AnswerLineOf(const QString& answer)
{
    return answer.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
}

// The busy screen of the resets: title, "please wait" text, an empty third label and
// the title picture, with the hourglass.
void ShowBusyScreen(App& app, const QString& title, const QString& text)
{
    Form1& f = app.Form1;
    f.Pointer = MousePointer::Hourglass;
    f.Label4.Caption = title;
    f.Label4.Visible = true;
    f.Label3.Caption = kCrLf + kCrLf + text;
    f.Label3.Visible = true;
    f.Label5.Caption.clear();
    ShowPicture(app, QStringLiteral("Zoredudi.BMP"));
}

// Waits up to 5 seconds for the first character of an answer; true when one came.
bool AwaitAnswerStart(App& app)
{
    SerialPort& port = app.ui.Comm1();
    for (int second = 0; second < 5; ++second) {
        DoEvents(app);
        WaitSeconds(app, 1);
        DoEvents(app);
        if (port.InBufferCount() > 0)
            return true;
    }
    return false;
}

}  // namespace

void IdentifyTester(App& app, Flag showPicture)
{
    Form1& f = app.Form1;
    f.Label3.Caption = kCrLf + kCrLf + QStringLiteral("Initializing...");
    f.Label3.Visible = true;
    if (showPicture != 0)
        ShowPicture(app, QStringLiteral("Zoredudi.BMP"));
    DoEvents(app);
    // A lone CR ends whatever the tester may have half received.
    app.ui.Comm1().Output("\r");
    Send(app, TesterOp::Identify);
    const QString answer = ReadAnswer(app);

    IdentityAnswer identity;
    // A tester that went away while answering has been reported as a lost connection;
    // its model is unknown, not wrong.
    if (!app.ui.Comm1().IsOpen()) {
        TraceLine(app, TimeText(app.ui.Now().time()) +
                           QStringLiteral("--- ERROR: Connection lost during the tester identification."));
        if (app.st.DebugMode == kTrue)
            SaveDebugLog(app);
        app.ui.EndProgram(1);
    }
    const bool parsed = ParseTesterIdentity(answer, identity);
    TraceLine(app, QStringLiteral("Tester identity: ") + AnswerLineOf(answer));
    if (!parsed || !AcceptedTesterModel(identity.model)) {
        const QString model = IdentityModel(answer).trimmed();
        app.ui.MsgBox(QStringLiteral("WRONG MODEL CONNECTED.") + kCrLf +
                          (model.isEmpty() ? QStringLiteral("The tester gave no model.")
                                           : QStringLiteral("Model connected: ") + model) +
                          kCrLf + QStringLiteral("Please use model 7703S.") + kCrLf +
                          QStringLiteral("Unable to continue,") + kCrLf +
                          QStringLiteral("Connect right model and restart."),
                      msgbox::kOkOnly | msgbox::kCritical, QStringLiteral("ERROR"));
        // The program ends here, without touching the tester; the service trace of the
        // run is kept, as it is what explains the refusal.
        if (app.st.DebugMode == kTrue)
            SaveDebugLog(app);
        app.ui.EndProgram(1);
    }
    ShowTesterIdentity(app, identity);
    f.Label4.Caption = QStringLiteral("Tester ") + identity.model;
    f.Label3.Caption = kCrLf + kCrLf + QStringLiteral("Serial Number: ") + identity.serial +
                       QStringLiteral("   Firmware Version: ") + identity.firmware;
}

void ResetTester(App& app)
{
    SerialPort& port = app.ui.Comm1();
    ShowBusyScreen(app, Tr(app, QT_TRANSLATE_NOOP("Celvio", "Reseting...")),
                   Tr(app, QT_TRANSLATE_NOOP("Celvio", "Please wait!")));
    port.ClearOutput();
    port.SetHandshaking(false);
    Send(app, TesterOp::Reset);
    WaitSeconds(app, 3);
    app.st.TesterBusy = 0;
    port.SetHandshaking(true);
    app.Form1.Pointer = MousePointer::Normal;
}

void ReleaseTester(App& app, int)
{
    if (app.st.TesterBusy == 0) {
        Send(app, TesterOp::LocalOperation);
        return;
    }
    SerialPort& port = app.ui.Comm1();
    ShowBusyScreen(app, QStringLiteral("Initializing..."), QStringLiteral("Please wait!"));
    port.ClearOutput();
    port.SetHandshaking(false);
    Send(app, TesterOp::ResetThenIdentify);

    // The reset command is not repeated: wait for its identity answer.
    bool identified = false;
    for (int round = 1; round <= kReleaseRounds && !identified; ++round) {
        if (AwaitAnswerStart(app))
            identified = IsFamilyIdentity(ReadAnswer(app));
        if (!TesterPortAlive(app))
            break;  // the loss has been reported
    }
    port.SetHandshaking(true);
    app.Form1.Pointer = MousePointer::Normal;
    if (identified) {
        app.st.TesterBusy = 0;
        return;
    }
    // The tester stays marked busy, so that the next cycle resets it again.
    TraceLine(app, TimeText(app.ui.Now().time()) + QStringLiteral("--- ERROR: No answer to ") +
                       CommandText(app, TesterOp::ResetThenIdentify) + QStringLiteral(". "));
    if (port.IsOpen())
        app.ui.MsgBox(QStringLiteral("The tester did not answer after its reset.") + kCrLf +
                          QStringLiteral("Please check that it is switched on and connected,") + kCrLf +
                          QStringLiteral("then continue."),
                      msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("TIMEOUT ERROR"));
}

void CloseTester(App& app)
{
    SerialPort& port = app.ui.Comm1();
    // A scan that was running has changes to the blocked-channel list not yet written.
    SaveBlockedChannels(app, 0);
    if (port.IsOpen()) {
        port.ClearOutput();
        DoEvents(app);
        port.SetHandshaking(false);
        DoEvents(app);
        Send(app, TesterOp::Reset);
        WaitSeconds(app, 1);
        DoEvents(app);
        const int number = port.CommPort();
        port.Close();
        TraceLine(app, QStringLiteral("-> ") + TimeText(app.ui.Now().time()));
        TraceLine(app, QStringLiteral("-> Close COM ") + Str(qint64(number)));
    } else {
        TraceLine(app, QStringLiteral("-> ") + TimeText(app.ui.Now().time()));
        TraceLine(app, QStringLiteral("-> NO COM Port open."));
    }
    if (app.st.DebugMode == kTrue) {
        TraceLine(app, QStringLiteral("Program terminated."));
        TraceLine(app, QString(26, QLatin1Char('-')));
        SaveDebugLog(app);
    }
    app.ui.EndProgram(0);
}

}  // namespace celvio
