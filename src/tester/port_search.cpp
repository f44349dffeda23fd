// The automatic port search (SEARCHCOM on): the set-up screen with the connection
// instructions, then the probe of COM1..COM8, twice over, until a tester answers.
#include "tester/port_search.h"

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

// The probe's own error number for a port that only echoes (kNoResponse for one that
// stays silent), traced with the port's.
constexpr int kEchoOnly = 999;

constexpr int kLastPort = 8;

// The probe: the reset with its identity question, between two CRs. A port that
// returns exactly this many characters only echoes what it is sent.
QByteArray Probe(const App& app)
{
    return '\r' + CommandText(app, TesterOp::ResetThenIdentify).toLatin1() + '\r';
}

// A port or error number as the trace shows it: " 3".
QString Num(int n)
{
    return Str(qint64(n));
}

QString Now(App& app)
{
    return TimeText(app.ui.Now().time());
}

void ShowSearchScreen(App& app)
{
    Form1& f = app.Form1;
    f.Pointer = MousePointer::Normal;
    f.Label4.Caption = QStringLiteral("Setup Serial Port");
    f.Label4.Visible = true;
    f.Label3.Caption = QStringList{
        QStringLiteral("Please connect the tester to your PC"),
        QStringLiteral("at port COM1 - COM4:"),
        QString(),
        QStringLiteral("Switch 7703S on and select from the "),
        QStringLiteral("7703S menu : Baudrate : ") + TesterSpeedText(app) + QLatin1Char(','),
        QStringLiteral("RxTx lines : Normal"),
        QStringLiteral("Protocol : X-On/X-Off."),
    }.join(kCrLf);
    f.Label3.Visible = true;
    ShowPicture(app, QStringLiteral("Zoredudi.BMP"));
}

// The port has gone away under the probe: the error number it left, else 8020.
int LostPortError(SerialPort& port)
{
    const int lost = port.TakeLostError();
    return lost != 0 ? lost : comm_error::kReadError;
}

// Opens COM p and sends the probe; returns 0 when a tester answered (the port stays
// open), -1 when something else answered (the port is closed again), or the number
// of the error that ended the probe.
int ProbeOnce(App& app, int p)
{
    SerialPort& port = app.ui.Comm1();
    if (port.IsOpen()) {
        TraceLine(app, Now(app) + QStringLiteral("--> COM") + Num(p) +
                           QStringLiteral(" already open. Try to close."));
        port.Close();
    }
    if (const int error = port.SetCommPort(p))
        return error;
    const QString settings = TesterPortSettings(app);
    TraceLine(app, Now(app) + QStringLiteral("--> Preset COM ") + Num(p) + QLatin1Char(' ') + settings);
    if (const int error = port.SetSettings(settings))
        return error;
    port.ClearInput();
    port.ClearOutput();
    if (const int error = port.SetHandshaking(true))
        return error;

    TraceLine(app, Now(app) + QStringLiteral("--> Open COM") + Num(p));
    if (const int error = port.Open())
        return error;
    TraceLine(app, Now(app) + QStringLiteral("--> COM") + Num(p) + QStringLiteral(" active."));

    const QByteArray probe = Probe(app);
    if (const int error = port.Output(probe))
        return error;
    TraceLine(app, Now(app) + QStringLiteral("--> ") + CommandText(app, TesterOp::ResetThenIdentify));

    // The tester needs a moment for the reset: look 3, 4, 5 and 6 seconds after the
    // probe, and give up at 7.
    WaitSeconds(app, 2);
    for (int attempt = 1;; ++attempt) {
        WaitSeconds(app, 1);
        if (!port.IsOpen())
            return LostPortError(port);
        if (attempt == 5)
            return kNoResponse;
        if (port.InBufferCount() > 1)
            break;
    }
    port.ClearOutput();
    port.SetHandshaking(true);
    if (port.InBufferCount() == probe.size())
        return kEchoOnly;

    const QString answer = ReadAnswer(app);
    if (!port.IsOpen())
        return LostPortError(port);
    if (IsFamilyIdentity(answer)) {
        TraceLine(app, Now(app) + QStringLiteral("--> Dalvora device found at COM") + Num(p));
        return 0;
    }
    port.Close();
    return -1;
}

// Probes COM p; true when a tester answered there. Every failure is traced and the
// port is left closed; a port this account may not open adds its reason to `refused`.
bool ProbePort(App& app, int p, QStringList& refused)
{
    app.Form1.Label3.Caption =
        kCrLf + kCrLf + QStringLiteral("Searching for tester at COM") + Num(p) + QLatin1Char(':');
    DoEvents(app);
    const int result = ProbeOnce(app, p);
    if (result <= 0)
        return result == 0;

    SerialPort& port = app.ui.Comm1();
    TraceLine(app, Now(app) + QStringLiteral(" COM") + Num(p) + QStringLiteral(" Error = ") + Num(result) +
                       QStringLiteral(" = ") + CommErrorText(result));
    if (!port.OpenProblem().isEmpty()) {
        TraceLine(app, Now(app) + QStringLiteral(" ") + port.OpenProblem());
        if (!refused.contains(port.OpenProblem()))
            refused << port.OpenProblem();
    }
    port.TakeLostError();
    if (port.IsOpen()) {
        port.Close();
        TraceLine(app, Now(app) + QStringLiteral("--> Close COM ") + Num(p));
    }
    port.ClearInput();
    return false;
}

}  // namespace

int SearchTesterPort(App& app)
{
    for (;;) {
        ShowSearchScreen(app);
        const int pressed = WaitForSetupButton(app, QStringLiteral("&Done"), QStringLiteral("&Archive"),
                                               QStringLiteral("&Userdata"), 1, QStringLiteral("&Port..."));
        if (pressed == 4) {
            // The device chosen becomes COM1, which the search tries first.
            TraceButton(app, QStringLiteral("Port"));
            if (!ChooseTesterDevice(app, 1))
                continue;
        }
        if (pressed == 2) {
            TraceButton(app, QStringLiteral("Archive"));
            if (app.Hooks.Archive)
                app.Hooks.Archive(app);
            continue;
        }
        if (pressed == 3) {
            TraceButton(app, QStringLiteral("Userdata"));
            if (app.Hooks.Userdata)
                app.Hooks.Userdata(app);
            continue;
        }
        if (pressed == 1)
            TraceButton(app, QStringLiteral("Done"));

        app.Form1.Pointer = MousePointer::Hourglass;
        // Two passes over all ports: a tester that is still starting up gets a second chance.
        QStringList refused;
        for (int pass = 1; pass <= 2; ++pass) {
            for (int p = 1; p <= kLastPort; ++p) {
                if (ProbePort(app, p, refused)) {
                    app.Form1.Pointer = MousePointer::Normal;
                    app.st.TesterPort = quint8(p);
                    return p;
                }
            }
        }
        app.Form1.Pointer = MousePointer::Normal;
        // Ports this account may not open are said plainly: no cable would help there.
        QString text = QStringLiteral("No COM port is  connected to a Dalvora tester!") + kCrLf +
                       QStringLiteral("Please connect the tester to the PC") + kCrLf +
                       QStringLiteral("and select the right settings.");
        if (!refused.isEmpty())
            text += kCrLf + kCrLf + refused.join(kCrLf);
        app.ui.MsgBox(text, msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("No connection to tester"));
    }
}

}  // namespace celvio
