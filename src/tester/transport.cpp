#include "tester/transport.h"

#include "core/app.h"
#include "core/events.h"
#include "core/text.h"
#include "core/trace.h"
#include "ui/serial_port.h"

#include <QTime>

namespace celvio {

void SendCommand(App& app, const QString& command)
{
    TraceLine(app, TimeText(app.ui.Now().time()) + QStringLiteral("--> ") + command);
    app.ui.Comm1().Output(command.toLatin1() + "\r\n");
    DoEvents(app);
}

QString ReadAnswer(App& app)
{
    const qint64 deadline =
        app.ui.MonotonicMs() + std::chrono::duration_cast<std::chrono::milliseconds>(kAnswerTimeout).count();
    const Flag busyBefore = app.st.TesterBusy;
    app.st.TesterBusy = 1;
    QByteArray buffer;
    SerialPort& port = app.ui.Comm1();
    for (;;) {
        WaitEvents(app);
        if (port.InBufferCount() > 0)
            buffer += port.Input();
        if (buffer.contains('\n') || app.ui.MonotonicMs() > deadline)
            break;
    }
    if (app.ui.MonotonicMs() > deadline) {
        app.ui.MsgBox(QStringLiteral("No answer within 3 minutes."), msgbox::kOkOnly | msgbox::kExclamation,
                      QStringLiteral("TIMEOUT ERROR"));
        TraceLine(app, TimeText(app.ui.Now().time()) + QStringLiteral("--- ") +
                           QStringLiteral("ERROR: Timeout at input. "));
    } else {
        const qsizetype cr = buffer.indexOf('\r');
        if (cr >= 0)
            TraceLine(app, TimeText(app.ui.Now().time()) + QStringLiteral("<-- ") +
                               QString::fromLatin1(buffer.left(cr)));
    }
    app.st.TesterBusy = busyBefore;
    return QString::fromLatin1(buffer);
}

}  // namespace celvio
