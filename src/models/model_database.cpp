#include "models/model_database.h"

#include "core/app.h"
#include "core/events.h"
#include "core/files.h"
#include "core/line_reader.h"
#include "core/number_reader.h"
#include "core/text.h"
#include "core/trace.h"

#include <cfloat>
#include <cmath>

namespace celvio {
namespace {

struct AttenuationKey {
    const char* key;
    bool rx;
    ModelBand band;
};

// In the order the keys are tried: RX before TX, bands 900, 1800, 1900, 850, E900,
// 450, 800, R900.
constexpr AttenuationKey kAttenuationKeys[] = {
    {"RX900", true, kBand900},   {"TX900", false, kBand900},   {"RX1800", true, kBand1800},
    {"TX1800", false, kBand1800}, {"RX1900", true, kBand1900}, {"TX1900", false, kBand1900},
    {"RX850", true, kBand850},   {"TX850", false, kBand850},   {"RXE900", true, kBandE900},
    {"TXE900", false, kBandE900}, {"RX450", true, kBand450},   {"TX450", false, kBand450},
    {"RX800", true, kBand800},   {"TX800", false, kBand800},   {"RXR900", true, kBandR900},
    {"TXR900", false, kBandR900},
};

constexpr const char* kCouplerTags[] = {"(K530)", "(K580)", "(K580SB)"};

QString ModelRecord::*TextField(const QString& key)
{
    static const struct {
        const char* key;
        QString ModelRecord::*field;
    } fields[] = {
        {"POSITION", &ModelRecord::Position},     {"USERINSTRUCT", &ModelRecord::UserInstruct},
        {"NORMALPIC", &ModelRecord::NormalPic},   {"SPECIALPIC", &ModelRecord::SpecialPic},
        {"MAXPIC", &ModelRecord::MaxPic},         {"BRANDNAME", &ModelRecord::BrandName},
        {"HOLDER", &ModelRecord::Holder},
    };
    for (const auto& f : fields) {
        if (key == QLatin1String(f.key))
            return f.field;
    }
    return nullptr;
}

bool ModelRecord::*FlagField(const QString& key)
{
    static const struct {
        const char* key;
        bool ModelRecord::*field;
    } flags[] = {
        {"AUDIO", &ModelRecord::Audio},       {"NOKEYBD", &ModelRecord::NoKeybd},
        {"SMSTEST", &ModelRecord::SmsTest},   {"TESTEDGE", &ModelRecord::TestEdge},
        {"TESTGPRS", &ModelRecord::TestGprs},
    };
    for (const auto& f : flags) {
        if (key == QLatin1String(f.key))
            return f.field;
    }
    return nullptr;
}

// An attenuation value; a number too large for single precision counts as 0.
float Attenuation(const QString& slot)
{
    const double value = NumericValue(slot);
    return std::fabs(value) <= double(FLT_MAX) ? float(value) : 0.0f;
}

// True when a slot holds something that is no attenuation: text that is not a whole
// number (a blank slot is 0 dB by intent), or a value beyond any real path.
bool UnreadableAttenuation(const QString& slot)
{
    if (slot.trimmed().isEmpty())
        return false;
    qsizetype consumed = 0;
    const double value = ReadNumber(slot, &consumed);
    return consumed == 0 || !slot.mid(consumed).trimmed().isEmpty() || !std::isfinite(value) || std::fabs(value) > 100;
}

void ResetRecord(ModelRecord& m)
{
    m.BandMask = 0;
    m.Rx = {};
    m.Tx = {};
    m.NormalPic.clear();
    m.SpecialPic.clear();
    m.MaxPic.clear();
    m.UserInstruct.clear();
    m.Position.clear();
    m.BrandName.clear();
    m.Audio = m.NoKeybd = m.SmsTest = m.TestEdge = m.TestGprs = false;
}

// Applies one line of the block. `take` is the switch that lets attenuation lines in:
// set by a coupler tag line equal to the selected coupler.
void ApplyBlockLine(App& app, const QString& line, bool& take)
{
    ModelRecord& m = app.Model;
    const QString stripped = StripSpaces(line);
    QString key;
    ValueSlots values;
    if (stripped.startsWith(QLatin1Char('('))) {
        key = stripped;
    } else {
        key = KeyPart(stripped);
        values = SplitValues(stripped);
    }
    key = key.toUpper();

    if (key == QLatin1String("BANDS")) {
        m.BandMask = 0;
        for (const QString& slot : values)
            m.BandMask |= BandBit(slot);
        return;
    }
    for (const AttenuationKey& a : kAttenuationKeys) {
        if (key == QLatin1String(a.key)) {
            if (take) {
                auto& parts = a.rx ? m.Rx[a.band] : m.Tx[a.band];
                for (int part = 0; part < 3; ++part) {
                    parts[part] = Attenuation(values[part]);
                    if (UnreadableAttenuation(values[part])) {
                        parts[part] = 0;
                        m.DataWarnings << QStringLiteral("%1, block [%2]: unreadable value in \"%3\", 0 dB used.")
                                              .arg(app.ModelDbFileName, m.Name, line.trimmed());
                    }
                }
            }
            return;
        }
    }
    for (const char* tag : kCouplerTags) {
        if (key == QLatin1String(tag)) {
            take = stripped == app.st.CouplerLabel;
            return;
        }
    }
    if (QString ModelRecord::*field = TextField(key)) {
        m.*field = values[0];
        return;
    }
    if (bool ModelRecord::*flag = FlagField(key))
        m.*flag = NumericValue(values[0]) != 0;
}

}  // namespace

void ClearModelRecord(App& app)
{
    ResetRecord(app.Model);
    app.Model.Name.clear();
    app.Model.DataWarnings.clear();
}

quint16 BandBit(const QString& value)
{
    static const struct {
        const char* value;
        quint16 bit;
    } bits[] = {
        {"900", 1}, {"1800", 2}, {"1900", 4}, {"850", 8}, {"E900", 16}, {"450", 32}, {"R900", 64}, {"800", 128},
    };
    for (const auto& b : bits) {
        if (value == QLatin1String(b.value))
            return b.bit;
    }
    return 0;
}

void LoadModelData(App& app, const QString& blockName)
{
    LfLineReader file;
    if (!FileExists(app, app.ModelDbFileName) || !file.Open(StationPath(app, app.ModelDbFileName))) {
        LoadModelDataFrom(app, nullptr, blockName);
        return;
    }
    LoadModelDataFrom(app, &file, blockName);
}

void LoadModelDataFromBytes(App& app, const QByteArray* database, const QString& blockName)
{
    LfLineReader file;
    if (database != nullptr)
        file.OpenBytes(*database);
    LoadModelDataFrom(app, database != nullptr ? &file : nullptr, blockName);
}

void LoadModelDataFrom(App& app, LfLineReader* database, const QString& blockName)
{
    ResetRecord(app.Model);
    bool take = false;  // attenuation lines are skipped until a matching coupler tag
    const QString header = QLatin1Char('[') + StripSpaces(blockName).toUpper() + QLatin1Char(']');

    if (database == nullptr) {
        TraceLine(app, QStringLiteral("Model database >") + app.ModelDbFileName + QStringLiteral("< not found."));
        app.Model.DataWarnings << QStringLiteral("Model database %1 not found: no path attenuation used.")
                                      .arg(app.ModelDbFileName);
        return;
    }
    LfLineReader& file = *database;
    QByteArray bytes;
    bool found = false;
    while (file.Next(bytes)) {
        // Only a line with a "[" can hold the header.
        if (bytes.contains('[') && StripSpaces(FromLatin1(bytes)).toUpper().contains(header)) {
            found = true;
            break;
        }
        DoEvents(app);
        if (app.st.StopRequested == kTrue)
            return;
    }
    if (!found) {
        if (app.st.StopRequested != kTrue)
            app.Model.DataWarnings << QStringLiteral("Block [%1] not found in %2: no path attenuation used.")
                                          .arg(StripSpaces(blockName), app.ModelDbFileName);
        return;
    }
    QString line;
    while (ReadLfLine(file, line)) {
        if (line.startsWith(QLatin1Char('[')))
            break;
        ApplyBlockLine(app, line, take);
    }
}

void AttenuationForChannel(const App& app, qint16 channel, const QString& systemName, float& rx, float& tx)
{
    struct Range {
        int last;  // highest channel of the range
        ModelBand band;
        int part;
    };
    static constexpr Range kLow[] = {
        {41, kBand900, 0},  {84, kBand900, 1},  {124, kBand900, 2}, {169, kBand850, 0},
        {211, kBand850, 1}, {251, kBand850, 2}, {270, kBand450, 0}, {282, kBand450, 1},
        {293, kBand450, 2}, {375, kBand800, 0}, {400, kBand800, 1}, {425, kBand800, 2},
    };
    static constexpr Range k1800[] = {{636, kBand1800, 0}, {761, kBand1800, 1}, {885, kBand1800, 2}};
    static constexpr Range k1900[] = {{610, kBand1900, 0}, {710, kBand1900, 1}, {810, kBand1900, 2}};
    static constexpr Range kHigh[] = {
        {961, kBandR900, 0},  {968, kBandR900, 1},  {974, kBandR900, 2},
        {991, kBandE900, 0},  {1008, kBandE900, 1}, {1023, kBandE900, 2},
    };
    const bool dcs = systemName.contains(QLatin1String("1800")) || systemName.contains(QLatin1String("PCN"));

    const Range* hit = nullptr;
    const auto find = [&](const auto& ranges) {
        for (const Range& r : ranges) {
            if (channel <= r.last) {
                hit = &r;
                return true;
            }
        }
        return false;
    };
    if (!find(kLow) && !(dcs ? find(k1800) : find(k1900)) && !find(kHigh))
        return;  // above 1023
    rx = app.Model.Rx[hit->band][hit->part];
    tx = app.Model.Tx[hit->band][hit->part];
}

}  // namespace celvio
