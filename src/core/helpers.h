// Small operations that many steps share: help topic, button trace, pictures, waits
// in whole seconds and the STOP request.
#pragma once

#include "core/codes.h"

#include <QString>

namespace celvio {

struct App;
class Printer;

// Stores the help topic that the help key shows, and hides an open help window.
void SetHelpTopic(App& app, HelpTopic topic);

// Traces "Button = " + caption.
void TraceButton(App& app, const QString& caption);

// Shows a bitmap of the station directory in the main window's picture box. When
// `alternative` is not empty only it is tried. A missing file leaves the picture as
// it is and is traced.
void ShowPicture(App& app, const QString& file, const QString& alternative = QString());

// Waits until the clock's second has changed `seconds` times, serving the user
// interface meanwhile: between seconds-1 and seconds seconds.
void WaitSeconds(App& app, int seconds);

// Tells the operator that `what` ("Test report", "Trace" ...) could not be printed:
// "There was a problem printing to your printer.", and when the document was to become
// a file, on the next lines the file and the system's reason. Traces it with the reason.
void ReportPrintProblem(App& app, const Printer& printer, const QString& what);

// The STOP action: asks whether to restart the test and, on Yes, sets StopRequested.
void RequestStop(App& app);

}  // namespace celvio
