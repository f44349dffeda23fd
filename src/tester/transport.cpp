#include "tester/transport.h"

#include "core/app.h"
#include "core/events.h"
#include "core/text.h"
#include "core/trace.h"
#include "platform/serial_port.h"
#include "tester/tester_family.h"

#include <QTime>
#include <algorithm>

namespace celvio {

void SendCommand(App& app, const QString& command)
{
    TraceLine(app, TimeText(app.ui.Now().time()) + QStringLiteral("--> ") + command);
    app.ui.Comm1().Output(command.toLatin1() + "\r\n");
    DoEvents(app);
    TesterPortAlive(app);
}

const TesterDialect& ActiveDialect(const App& app)
{
    if (const TesterDialect* dialect = DialectForModel(app.st.TesterModel))
        return *dialect;
    return *KnownDialects().front();
}

QString CommandText(const App& app, TesterOp op, const QStringList& args)
{
    return CommandText(ActiveDialect(app), op, args);
}

void Send(App& app, TesterOp op, const QStringList& args)
{
    SendCommand(app, CommandText(app, op, args));
}

namespace {

// Reads and throws away whatever the tester sends until nothing has come for
// kQuietAfterOverlong, or until the deadline, or until the port is lost.
void DropUntilQuiet(App& app, qint64 deadline)
{
    SerialPort& port = app.ui.Comm1();
    const qint64 quiet = std::chrono::duration_cast<std::chrono::milliseconds>(kQuietAfterOverlong).count();
    qint64 quietAt = app.ui.MonotonicMs() + quiet;
    for (;;) {
        if (!TesterPortAlive(app))
            return;
        if (port.InBufferCount() > 0) {
            port.Input();
            quietAt = app.ui.MonotonicMs() + quiet;
        }
        const qint64 now = app.ui.MonotonicMs();
        if (now >= quietAt || now > deadline)
            return;
        WaitEventsUntil(app, std::min(quietAt, deadline + 1));
    }
}

// How the reading of an answer ended: with a line end or at the deadline, with the
// port gone, or with more bytes than any answer has.
enum class ReadEnd { LineOrDeadline, PortGone, Overlong };

// Collects the tester's bytes into `buffer` until a line end, the deadline, a lost port
// or too many bytes. It lets the command go out and the tester start on it, then looks
// at what arrived; it sleeps again only while the answer is incomplete, because data
// that has already arrived wakes nobody.
ReadEnd CollectAnswer(App& app, QByteArray& buffer, qint64 deadline)
{
    SerialPort& port = app.ui.Comm1();
    WaitEventsUntil(app, app.ui.MonotonicMs() + 1);
    for (;;) {
        if (!TesterPortAlive(app))
            return ReadEnd::PortGone;
        if (port.InBufferCount() > 0) {
            // Only the bytes that came now are searched for the line end.
            const qsizetype scanned = buffer.size();
            buffer += port.Input();
            if (buffer.indexOf('\n', scanned) >= 0)
                return ReadEnd::LineOrDeadline;
            if (buffer.size() > kMaxAnswerBytes)
                return ReadEnd::Overlong;
        }
        if (app.ui.MonotonicMs() > deadline)
            return ReadEnd::LineOrDeadline;
        WaitEventsUntil(app, deadline + 1);
    }
}

// A line this long is no answer of the tester: it is dropped, with the rest of the
// flood behind it, so that memory stays bounded and the next answer is not taken from
// the tail of this one.
void DropOverlongAnswer(App& app, const QByteArray& buffer, qint64 deadline)
{
    TraceLine(app, TimeText(app.ui.Now().time()) + QStringLiteral("--- ERROR: Answer longer than ") +
                       Str(qint64(kMaxAnswerBytes)) + QStringLiteral(" characters without a line end, ignored: ") +
                       QString::fromLatin1(buffer.left(40)) + QStringLiteral("..."));
    DropUntilQuiet(app, deadline);
    if (app.ui.Comm1().IsOpen())
        app.ui.MsgBox(QStringLiteral("The answer of the tester was not readable:") + kCrLf +
                          QStringLiteral("more than ") + QString::number(kMaxAnswerBytes) +
                          QStringLiteral(" characters without a line end.") + kCrLf +
                          QStringLiteral("Please check the cable and the speed set on the tester."),
                      msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("TESTER ERROR"));
}

}  // namespace

QString ReadAnswer(App& app)
{
    const qint64 deadline =
        app.ui.MonotonicMs() + std::chrono::duration_cast<std::chrono::milliseconds>(kAnswerTimeout).count();
    const Flag busyBefore = app.st.TesterBusy;
    app.st.TesterBusy = 1;
    QByteArray buffer;
    const ReadEnd end = CollectAnswer(app, buffer, deadline);
    if (end == ReadEnd::Overlong) {
        DropOverlongAnswer(app, buffer, deadline);
        app.st.TesterBusy = busyBefore;
        return QString();
    }
    const bool portGone = end == ReadEnd::PortGone;
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
