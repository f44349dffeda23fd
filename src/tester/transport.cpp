#include "tester/transport.h"

#include "core/app.h"
#include "core/events.h"
#include "core/text.h"
#include "core/trace.h"
#include "platform/serial_port.h"

#include <QTime>

namespace celvio {

void SendCommand(App& app, const QString& command)
{
    TraceLine(app, TimeText(app.ui.Now().time()) + QStringLiteral("--> ") + command);
    app.ui.Comm1().Output(command.toLatin1() + "\r\n");
    DoEvents(app);
    TesterPortAlive(app);
}

QString ReadAnswer(App& app)
{
    const qint64 deadline =
        app.ui.MonotonicMs() + std::chrono::duration_cast<std::chrono::milliseconds>(kAnswerTimeout).count();
    const Flag busyBefore = app.st.TesterBusy;
    app.st.TesterBusy = 1;
    QByteArray buffer;
    SerialPort& port = app.ui.Comm1();
    bool portGone = false;
    bool overlong = false;
    // Let the command go out and the tester start on it, then look at what arrived;
    // sleep again only while the answer is incomplete, because data that has already
    // arrived wakes nobody.
    WaitEventsUntil(app, app.ui.MonotonicMs() + 1);
    for (;;) {
        if (!TesterPortAlive(app)) {
            portGone = true;
            break;
        }
        if (port.InBufferCount() > 0) {
            // Only the bytes that came now are searched for the line end.
            const qsizetype scanned = buffer.size();
            buffer += port.Input();
            if (buffer.indexOf('\n', scanned) >= 0)
                break;
            if (buffer.size() > kMaxAnswerBytes) {
                overlong = true;
                break;
            }
        }
        if (app.ui.MonotonicMs() > deadline)
            break;
        WaitEventsUntil(app, deadline + 1);
    }
    if (overlong) {
        // A line this long is no answer of the tester: it is dropped, with what is
        // still waiting, so that memory stays bounded.
        TraceLine(app, TimeText(app.ui.Now().time()) + QStringLiteral("--- ERROR: Answer longer than ") +
                           Str(qint64(kMaxAnswerBytes)) + QStringLiteral(" characters without a line end, ignored: ") +
                           QString::fromLatin1(buffer.left(40)) + QStringLiteral("..."));
        port.Input();
        app.st.TesterBusy = busyBefore;
        return QString();
    }
    // A port that is gone has been reported already: no time-out, no answer to trace.
    if (!portGone && app.ui.MonotonicMs() > deadline) {
        app.ui.MsgBox(QStringLiteral("No answer within 3 minutes."), msgbox::kOkOnly | msgbox::kExclamation,
                      QStringLiteral("TIMEOUT ERROR"));
        TraceLine(app, TimeText(app.ui.Now().time()) + QStringLiteral("--- ") +
                           QStringLiteral("ERROR: Timeout at input. "));
    } else if (!portGone) {
        const qsizetype cr = buffer.indexOf('\r');
        if (cr >= 0)
            TraceLine(app, TimeText(app.ui.Now().time()) + QStringLiteral("<-- ") +
                               QString::fromLatin1(buffer.left(cr)));
    }
    app.st.TesterBusy = busyBefore;
    return QString::fromLatin1(buffer);
}

bool TesterPortAlive(App& app)
{
    SerialPort& port = app.ui.Comm1();
    const int lost = port.TakeLostError();
    if (lost != 0) {
        const QString where = QStringLiteral("COM") + Str(qint64(port.CommPort())) + QStringLiteral(" (") +
                              port.DevicePath(port.CommPort()) + QLatin1Char(')');
        TraceLine(app, TimeText(app.ui.Now().time()) + QStringLiteral("--- ERROR: Connection lost at ") + where +
                           QStringLiteral(" Error = ") + Str(qint64(lost)) + QStringLiteral(" = ") +
                           CommErrorText(lost));
        app.ui.MsgBox(QStringLiteral("The connection to the tester at ") + where + QStringLiteral(" was lost:") +
                          kCrLf + CommErrorText(lost) + QLatin1Char('.') + kCrLf + kCrLf +
                          QStringLiteral("Please check the cable and the tester,") + kCrLf +
                          QStringLiteral("then quit and restart the program."),
                      msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("No connection to tester"));
    }
    return port.IsOpen();
}

}  // namespace celvio
