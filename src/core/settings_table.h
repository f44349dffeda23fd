// The parts of the settings reader (settings.cpp) that the files beside it share: the
// table of CELVIO.INI's keys with the station-state field each one fills, the sane range
// of a key's values, and the storing of numbers and channels into the fields.
#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <vector>

namespace celvio {

struct App;
struct StationState;

namespace settings_detail {

enum class Kind { Language, Byte, Int16, Int32, Double, Flag, Text, Channel };
enum class Band { None, Low, Pcn, Pcs };

struct Setting {
    QString key;  // ten columns, blank-padded
    Kind kind;
    void* field;
    Band band = Band::None;
};

// Every key, padded to ten columns, with the field of `st` it fills.
std::vector<Setting> SettingsTable(StationState& st);

// The values a key can sensibly have, and the one used when a line gives none of them
// and the field does not hold one from an earlier reading either.
struct SaneRange {
    double lowest;
    double highest;
    double fallback;
};
std::optional<SaneRange> SaneRangeOf(const QString& key);

// A settings line that could not be used, and what was used instead.
struct Rejected {
    QString line;
    QString used;
};

// Converts the value to the field's width; false (the field untouched) when it does not
// fit or lies outside the key's sane range.
bool StoreNumber(const Setting& s, const QString& value);
// After a rejected line: the field keeps a sane value from an earlier reading, or gets
// the key's fall-back. Returns the value now in use, as text.
QString KeepSaneValue(const App& app, const Setting& s);

// A channel line: the channel of its band that the search finds free (settings_channels.cpp);
// a channel that is no number or out of its band's reach is rejected and replaced.
void StoreChannel(App& app, const Setting& s, const QString& line, QList<Rejected>& rejected);

// The trace line of a settings line that could not be used as it stands.
void TraceSettingFault(App& app, const QString& key, const QString& why);

}  // namespace settings_detail
}  // namespace celvio
