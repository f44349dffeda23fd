#include "core/helpers.h"

#include "core/app.h"
#include "core/events.h"
#include "core/files.h"
#include "core/station_names.h"
#include "core/text.h"
#include "core/trace.h"
#include "platform/printer.h"

#include <QFileInfo>
#include <QTime>

namespace celvio {

void SetHelpTopic(App& app, HelpTopic topic)
{
    app.st.HelpTopic = topic;
    app.Form2.Visible = false;
}

void TraceButton(App& app, const QString& caption)
{
    TraceLine(app, QStringLiteral("Button = ") + caption);
}

void ShowPicture(App& app, const QString& file, const QString& alternative)
{
    const QString tried = alternative.isEmpty() ? file : alternative;
    // Picture names come from the model database too: only files of the station.
    if (!tried.isEmpty() && !AcceptStationName(app, tried, QStringLiteral("Picture")))
        return;
    if (FileExists(app, tried)) {
        app.Form1.Picture1.File = QFileInfo(StationPath(app, tried)).absoluteFilePath();
        return;
    }
    TraceLine(app, QStringLiteral("Picture >") + tried + QStringLiteral("< not found."));
}

void WaitSeconds(App& app, int seconds)
{
    int changes = 0;
    int remembered = app.ui.Now().time().second();
    while (changes < seconds) {
        const int now = app.ui.Now().time().second();
        if (now != remembered) {
            ++changes;
            remembered = now;
        }
        if (changes >= seconds)
            break;
        // Sleep until the next second of the clock, unless something happens first.
        const int toNextSecond = 1000 - app.ui.Now().time().msec();
        WaitEventsUntil(app, app.ui.MonotonicMs() + toNextSecond);
    }
}

void ReportPrintProblem(App& app, const Printer& printer, const QString& what)
{
    QString message = QStringLiteral("There was a problem printing to your printer.");
    const QString file = printer.FailedFile();
    if (file.isEmpty()) {
        TraceLine(app, what + QStringLiteral(" not printed: ") + printer.LastError());
    } else {
        TraceLine(app, what + QStringLiteral(" not printed: ") + file + QStringLiteral(" could not be written (") +
                           printer.LastError() + QLatin1Char(')'));
        message += kCrLf + QStringLiteral("The document could not be saved as") + kCrLf + file + kCrLf +
                   printer.LastError();
    }
    app.ui.MsgBox(message, msgbox::kOkOnly, QString());
}

void RequestStop(App& app)
{
    if (!app.Form1.MStop.Enabled)
        return;
    app.Form1.MStop.Enabled = false;
    const int answer = app.ui.MsgBox(QStringLiteral("Do you really want to restart the test?"),
                                     msgbox::kYesNo | msgbox::kQuestion, QString());
    if (answer == msgbox::kYes) {
        TraceButton(app, QStringLiteral("STOP"));
        app.st.StopRequested = kTrue;
        app.Form1.Command1.Visible = false;
        app.Form1.Command2.Visible = false;
        app.Form1.Command3.Visible = false;
    } else {
        app.Form1.MStop.Enabled = true;
    }
}

}  // namespace celvio
