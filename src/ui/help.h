// The help window: the text of the current help topic.
#pragma once

#include <QString>
#include <QStringList>

namespace celvio {

struct App;

// Fills the help window for HelpTopic and shows it without blocking the step that
// waits; the OK button has the focus.
void ShowHelp(App& app);

// The title of a help topic 1..32; "NO HELP AVAILABLE" for any other number.
QString HelpTitle(int topic);

// The lines of a help topic as the window lists them: one empty line, the topic's
// text, the STOP/ESC ending of the topics that have one, three empty lines and the
// legal notices. `speedText` is the line speed that topic 1 names.
QStringList HelpLines(int topic, const QString& speedText);

}  // namespace celvio
