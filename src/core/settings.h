// The settings file "CELVIO.INI": one setting per line, the key in columns 1-10
// (blank-padded, compared with case), the value from column 13. Lines with other keys
// are remarks. The program never writes the file.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>
namespace celvio {
struct App;
// Reloads the blocked-channel list and the settings file (start-up and end of cycle):
// the list is read, the settings move their channels off it, and the list is read
// again so that the channels reserved while reading do not stay in it.
void ReloadSettings(App& app);
// Reads "CELVIO.INI" into the station state; ends the program when it is missing.
// Lines whose value cannot be used (no value, a number outside its field) leave the
// field as it was and are traced.
void ReadSettings(App& app);
// The same reading from the file's bytes (ReadSettings reads the file and calls it).
void ReadSettingsBytes(App& app, const QByteArray& bytes);
// The channel to use for a settings line: the configured one (made even in the 1800
// band, odd in the 1900 band) if it lies in lowest..highest and is not blocked,
// otherwise the nearest free one, searched alternately above and below. When none is
// free it says so in a message box and returns the configured value.
qint16 PickChannel(App& app, const QString& line, const QString& blocked, int lowest, int highest);
// The message for a missing settings file, then the end of the program.
[[noreturn]] void EndForMissingSettings(App& app);
}  // namespace celvio
