// The port question (SEARCHCOM off): the operator picks COM1 or COM2, the program
// opens it and checks that a tester answers "*IDN?"; a failure is explained and the
// question asked again.
#include "tester/port_select.h"

#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/text.h"
#include "core/trace.h"
#include "platform/serial_port.h"
#include "tester/port_choice.h"
#include "tester/port_setup.h"
#include "tester/tester_family.h"
#include "tester/transport.h"

namespace celvio {

namespace {

constexpr int kNoResponse = 1000;
constexpr int kNoTester = 1001;
// A device that never stops sending would keep the "until the count stays the same"
// wait going for ever; after this many seconds what has arrived is taken as it is.
constexpr int kMaxSettleSeconds = 10;


void ShowSelectScreen(App& app)
{
    Form1& f = app.Form1;
    const QString speed = TesterSpeedText(app);
    f.Pointer = MousePointer::Normal;
    f.Label4.Caption = Bilingual(app, "Setup Serial Port", "Serielle Schnittstelle vorbereiten");
    f.Label4.Visible = true;
    const QStringList english{
        QStringLiteral("Please switch 7703S on and"),
        QStringLiteral("select from 7703S setup menu :"),
        QStringLiteral("Baudrate  : ") + speed,
        QStringLiteral("RxTx lines: Normal"),
        QStringLiteral("Protocol  : X-On/X-Off "),
        QString(),
        QStringLiteral("Which serial port will you use?"),
    };
    const QStringList german{
        QStringLiteral("Bitte schalten Sie den Tester ein und"),
        QStringLiteral("setzen Sie die Baudrate auf ") + speed + QStringLiteral(" Bd,"),
        QStringLiteral("RXTX-Leitungen normal, X-on/X-off."),
        QString(),
        QStringLiteral("Welche serielle Schnittstelle wählen Sie?"),
    };
    // Each COM button with the device it opens, so that the operator sees which is which.
    const QStringList devices{PortDeviceLine(app, 1), PortDeviceLine(app, 2)};
    f.Label3.Caption = Bilingual(app, (english + devices).join(kCrLf), (german + devices).join(kCrLf));
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
    app.Form1.Label3.Caption = Bilingual(app, "Checking COM Port...", "Teste Schnittstelle...");

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
        text = Bilingual(app, "This COM port is already used!\nPlease select an other one.",
                         "Dieser COM Port wird schon benutzt!\nBitte wählen Sie einen anderen.");
    } else if (error == kNoResponse) {
        text = Bilingual(app,
                         "COM port might be not connected\nor the tester is switched off!\n"
                         "Please switch on the tester and\ncheck settings of serial port.",
                         "Keine serielle Verbindung\noder Tester ausgeschaltet!\n"
                         "Bitte schalten Sie den Tester ein\nund prüfen Sie die Einstellungen.");
    } else {
        text = Bilingual(app,
                         "This COM port is not connected to a Dalvora Tester!\n"
                         "Please connect the tester to the PC\nand select the right COM port.",
                         "Dieser COM Port ist nicht mit dem Tester verbunden!\n"
                         "Bitte verbinden Sie beide Geräte\nund wählen Sie den richtigen COM Port.");
    }
    text.replace(QLatin1Char('\n'), kCrLf);
    app.Form1.Pointer = MousePointer::Normal;
    app.ui.MsgBox(text, msgbox::kOkOnly | msgbox::kExclamation,
                  Bilingual(app, "No connection to tester", "Keine Verbindung zum Tester"));
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
                                               Bilingual(app, "&Port...", "&Schnittstelle..."));
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
