// Files of the station directory. Names are matched without regard to case; data
// files are 8-bit Latin-1 text with CR LF line ends; every file that the program
// rewrites goes to a temporary file that is then renamed over the old one.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace celvio {

struct App;

// The path of `name` (which may contain "/" separated directories) below `dir`, each
// part matched without regard to case against what exists. Parts that do not exist
// keep the spelling given.
QString ResolvePath(const QString& dir, const QString& name);

// ResolvePath below the station directory.
QString StationPath(const App& app, const QString& name);

// True when `name` names an existing file of the station directory; false for an empty
// name or on any error.
bool FileExists(const App& app, const QString& name);

// The whole file as bytes; false when it cannot be read.
bool ReadFileBytes(const QString& path, QByteArray& out);

// The lines of a text file: Latin-1, a line ends at CR LF, LF or a lone CR; the line
// ends are not part of the lines. False (and no lines) when the file cannot be read.
bool ReadTextLines(const QString& path, QStringList& lines);

// Latin-1 text <-> bytes.
QString FromLatin1(const QByteArray& bytes);
QByteArray ToLatin1(const QString& text);

// Writes `bytes` to `path` through a temporary file renamed over the old one.
// Returns false (and leaves the old file untouched) on any error.
bool WriteFileAtomic(const QString& path, const QByteArray& bytes);

// Appends `bytes` to `path`, creating it if needed.
bool AppendFile(const QString& path, const QByteArray& bytes);

}  // namespace celvio
