// The port question (SEARCHCOM off): the operator picks COM1 or COM2, the program
// opens it and checks that a tester answers "*IDN?"; a failure is explained and the
// question asked again.
#include "tester/port_select.h"

#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/translation.h"
#include "platform/serial_port.h"
#include "tester/port_choice.h"
#include "tester/port_setup.h"
#include "tester/tester_family.h"
#include "tester/transport.h"

namespace celvio {

namespace {

constexpr int kNoTester = 1001;
// A device that never stops sending would keep the "until the count stays the same"
// wait going for ever; after this many seconds what has arrived is taken as it is.
constexpr int kMaxSettleSeconds = 10;


void ShowSelectScreen(App& app)
{
    Form1& f = app.Form1;
    const QString speed = TesterSpeedText(app);
    f.Pointer = MousePointer::Normal;
    f.Label4.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Setup Serial Port"));
    f.Label4.Visible = true;
    f.Label3.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Please switch 7703S on and\n"
                                                           "select from 7703S setup menu :\n"
                                                           "Baudrate  : %1\n"
                                                           "RxTx lines: Normal\n"
                                                           "Protocol  : X-On/X-Off \n"
                                                           "\n"
                                                           "Which serial port will you use?"))
                           .arg(speed)
                           .replace(QLatin1Char('\n'), kCrLf) +
                       kCrLf + QStringList{PortDeviceLine(app, 1), PortDeviceLine(app, 2)}.join(kCrLf);
    f.Label3.Visible = true;
    ShowPicture(app, QStringLiteral("Zoredudi.BMP"));
}

// Opens the chosen port and asks the device there who it is. 0 when a tester answered
// with a usable identity, otherwise the error number.
int CheckPort(App& app)
{
    SerialPort& port = app.ui.Comm1();
    if (port.IsOpen())
        port.Close();
    if (const int error = port.SetCommPort(app.st.TesterPort))
        return error;
    if (const int error = port.SetSettings(TesterPortSettings(app)))
        return error;
    // The screen asks for X-On/X-Off on the tester; the port uses the same.
    if (const int error = port.SetHandshaking(true))
        return error;
    if (const int error = port.Open())
        return error;
    app.Form1.Label3.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Checking COM Port..."));

    // The probe, the identity question between two CRs, goes out up to three times, a
    // second apart; the port is looked at after the first two.
    const QByteArray probe = '\r' + CommandText(app, TesterOp::Identify).toLatin1() + '\r';
    for (int attempt = 1;; ++attempt) {
        if (const int error = port.Output(probe))
            return error;
        DoEvents(app);
        WaitSeconds(app, 1);
        if (!port.IsOpen())
            return comm_error::kReadError;
        if (attempt == 3)
            return kNoResponse;
        if (port.InBufferCount() > 0)
            break;
    }
    // Let the answer arrive in full: until the count stays the same over a second.
    int count = port.InBufferCount();
    for (int second = 0; second < kMaxSettleSeconds; ++second) {
        WaitSeconds(app, 1);
        const int now = port.InBufferCount();
        if (now == count)
            break;
        count = now;
    }
    if (!port.IsOpen())
        return comm_error::kReadError;
    IdentityAnswer identity;
    if (!ParseTesterIdentity(QString::fromLatin1(port.Input()), identity) || !AcceptedTesterModel(identity.model))
        return kNoTester;
    ShowTesterIdentity(app, identity);
    return 0;
}

void ExplainFailure(App& app, int error)
{
    SerialPort& port = app.ui.Comm1();
    QString text;
    if (!port.OpenProblem().isEmpty()) {
        // The account may not open the device: say so, rather than blame the cable.
        TraceLine(app, port.OpenProblem());
        text = port.OpenProblem();
    } else if (error == comm_error::kHardwareNotAvailable) {
        text = Tr(app, QT_TRANSLATE_NOOP("Celvio", "This COM port is already used!\nPlease select an other one."));
    } else if (error == kNoResponse) {
        text = Tr(app, QT_TRANSLATE_NOOP("Celvio", "COM port might be not connected\nor the tester is switched off!\n"
                         "Please switch on the tester and\ncheck settings of serial port."));
    } else {
        text = Tr(app, QT_TRANSLATE_NOOP("Celvio", "This COM port is not connected to a Dalvora Tester!\n"
                         "Please connect the tester to the PC\nand select the right COM port."));
    }
    text.replace(QLatin1Char('\n'), kCrLf);
    app.Form1.Pointer = MousePointer::Normal;
    app.ui.MsgBox(text, msgbox::kOkOnly | msgbox::kExclamation,
                  Tr(app, QT_TRANSLATE_NOOP("Celvio", "No connection to tester")));
    // Each new try starts from a closed port with nothing waiting.
    port.TakeLostError();
    if (port.IsOpen())
        port.Close();
    port.ClearInput();
}

}  // namespace

void SelectTesterPort(App& app)
{
    for (;;) {
        ShowSelectScreen(app);
        const int pressed = WaitForSetupButton(app, QStringLiteral("COM&2"), QStringLiteral("COM&1"),
                                               QStringLiteral("&Userdata"), 2,
                                               Tr(app, QT_TRANSLATE_NOOP("Celvio", "&Port...")));
        if (pressed == 4) {
            // The device chosen from the list becomes COM1 and is checked at once.
            TraceButton(app, QStringLiteral("Port"));
            if (!ChooseTesterDevice(app, 1))
                continue;
        }
        if (pressed == 3) {
            TraceButton(app, QStringLiteral("Userdata"));
            if (app.Hooks.Userdata)
                app.Hooks.Userdata(app);
            continue;
        }
        app.st.TesterPort = pressed == 1 ? 2 : 1;
        if (pressed != 4)
            TraceButton(app, QStringLiteral("COM") + QString::number(app.st.TesterPort));
        app.Form1.Pointer = MousePointer::Hourglass;
        const int error = CheckPort(app);
        if (error == 0) {
            app.Form1.Pointer = MousePointer::Normal;
            return;
        }
        ExplainFailure(app, error);
    }
}

}  // namespace celvio
