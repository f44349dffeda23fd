// Placeholder: port discovery, identification, reset and shutdown are not built yet.
// These stand-ins open COM1 and keep Main running until they land.
#include "core/app.h"
#include "core/events.h"
#include "core/text.h"
#include "core/trace.h"
#include "tester/port_search.h"
#include "tester/tester_control.h"
#include "tester/transport.h"
#include "ui/serial_port.h"

#include <QTime>

namespace celvio {

int SearchTesterPort(App& app)
{
    SelectTesterPort(app);
    return 1;
}

void SelectTesterPort(App& app)
{
    SerialPort& port = app.ui.Comm1();
    port.SetCommPort(1);
    port.SetSettings(QStringLiteral("19200,N,8,1"));
    port.SetHandshaking(true);
    port.Open();
    app.st.TesterPort = 1;
}

void IdentifyTester(App& app, Flag)
{
    SendCommand(app, QStringLiteral("*IDN?"));
    ReadAnswer(app);
}

void ResetTester(App& app)
{
    SendCommand(app, QStringLiteral("*RST"));
    app.st.TesterBusy = 0;
}

void ReleaseTester(App& app, int)
{
    SendCommand(app, QStringLiteral("SYST:COMM:LOC"));
    app.st.TesterBusy = 0;
}

void CloseTester(App& app)
{
    SerialPort& port = app.ui.Comm1();
    if (port.IsOpen()) {
        SendCommand(app, QStringLiteral("*RST"));
        port.Close();
    }
    if (app.st.DebugMode == kTrue) {
        TraceLine(app, QStringLiteral("Program terminated."));
        TraceLine(app, QString(26, QLatin1Char('-')));
        SaveDebugLog(app);
    }
    app.ui.EndProgram(0);
}

}  // namespace celvio
