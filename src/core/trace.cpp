#include "core/trace.h"

#include "core/app.h"
#include "core/files.h"
#include "core/helpers.h"
#include "core/text.h"
#include "platform/printer.h"

#include <QFile>

namespace celvio {

void TraceLine(App& app, const QString& line)
{
    if (app.st.DebugMode != kTrue)
        return;
    DebugFrm& frm = app.DebugFrm;
    frm.DebugFeld.append(line);
    frm.ListIndex = int(frm.DebugFeld.size()) - 1;
    if (frm.ListIndex > kTraceAutosaveIndex) {
        frm.DebugFeld.append(QStringLiteral("--Debugbuffer full. Autosaved--"));
        SaveDebugLog(app);
        frm.DebugFeld.clear();
        frm.ListIndex = -1;
        ++frm.Generation;
    }
}

void SaveDebugLog(App& app)
{
    QByteArray bytes;
    for (const QString& item : app.DebugFrm.DebugFeld)
        bytes += ToLatin1(item) + "\r\n";

    // Whole or not at all: a full disk must not leave half a trace behind; a trace cut
    // off by a crash is ended before the next one.
    const QString path = StationPath(app, QStringLiteral("DEBUG.LOG"));
    QString reason;
    if (!AppendLines(path, bytes, &reason, &app.FileSeams.Fault))
        app.ui.MsgBox(QStringLiteral("There was a problem with file DEBUG.LOG.") + kCrLf + path + kCrLf + reason,
                      msgbox::kOkOnly, QString());
}

void DebugFrm_PrintClick(App& app)
{
    Printer& printer = app.ui.DefaultPrinter();
    int error = printer.SetFont(QStringLiteral("Courier New"), 10);
    for (qsizetype i = 0; error == 0 && i < app.DebugFrm.DebugFeld.size(); ++i)
        error = printer.PrintLine(app.DebugFrm.DebugFeld.at(i));
    if (error == 0)
        error = printer.EndDoc();
    if (error != 0)
        ReportPrintProblem(app, printer, QStringLiteral("Trace"));
}

static void AutosaveActiveMessage(App& app)
{
    app.ui.MsgBox(QStringLiteral("Function not available.") + kCrLf + QStringLiteral("AUTOSAVE active.") + kCrLf,
                  msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("MESSAGE"));
}

void DebugFrm_SaveClick(App& app)
{
    AutosaveActiveMessage(app);
}

void DebugFrm_ClearClick(App& app)
{
    AutosaveActiveMessage(app);
}

}  // namespace celvio
