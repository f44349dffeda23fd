// Names of files that come from data files (TAC tables, the model database): they must
// name a file inside the station directory, never one elsewhere on the machine.
#pragma once

#include <QString>

namespace celvio {

struct App;

// True for a relative name without any ".." part ("MPN.DAT", "pics/N650a.BMP"); false
// for an absolute name ("/etc/x", "\\x", "C:x", "//server/x"), for any ".." part with
// either slash ("../x", "a\\..\\..\\x") and for an empty name.
bool IsInsideStation(const QString& name);

// IsInsideStation; a refused name is traced as "<what> >name< refused: outside the
// station directory."
bool AcceptStationName(App& app, const QString& name, const QString& what);

}  // namespace celvio
