#pragma once
#include <QString>
#include <QStringView>
namespace celvio {
struct App;
// Reloads the blocked-channel list and the settings file (start-up and end of cycle).
void ReloadSettings(App& app);
// Reads "CELVIO.INI" into the station state.
void ReadSettings(App& app);
// The channel to use for a settings line: the configured one or the nearest free one.
qint16 PickChannel(App& app, const QString& line, const QString& blocked, int lowest, int highest);
}  // namespace celvio
