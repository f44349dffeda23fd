// The keys of CELVIO.INI, the station-state fields they fill, and how a number is
// checked against its field's width and the key's sane range before it is stored.
#include "core/settings_table.h"

#include "core/app.h"
#include "core/number_reader.h"
#include "core/text.h"
#include "core/trace.h"

#include <cmath>

namespace celvio {
namespace settings_detail {

namespace {

double FieldValue(const Setting& s)
{
    switch (s.kind) {
    case Kind::Byte: return *static_cast<quint8*>(s.field);
    case Kind::Int16:
    case Kind::Channel: return *static_cast<qint16*>(s.field);
    case Kind::Int32: return *static_cast<qint32*>(s.field);
    case Kind::Double: return *static_cast<double*>(s.field);
    case Kind::Flag: return *static_cast<Flag*>(s.field);
    default: return 0;
    }
}

// Stores a number already known to fit the field.
void SetField(const Setting& s, double value)
{
    switch (s.kind) {
    case Kind::Byte: *static_cast<quint8*>(s.field) = quint8(value); break;
    case Kind::Int16:
    case Kind::Channel: *static_cast<qint16*>(s.field) = qint16(value); break;
    case Kind::Int32: *static_cast<qint32*>(s.field) = qint32(value); break;
    case Kind::Double: *static_cast<double*>(s.field) = value; break;
    case Kind::Flag: *static_cast<Flag*>(s.field) = value != 0 ? kTrue : kFalse; break;
    default: break;
    }
}

}  // namespace

std::vector<Setting> SettingsTable(StationState& st)
{
    std::vector<Setting> table = {
        {QStringLiteral("LANGUAGE"), Kind::Language, &st.Language},
        {QStringLiteral("LEFTMARGIN"), Kind::Byte, &st.LeftMargin},
        {QStringLiteral("TESTDETAIL"), Kind::Int16, &st.TestDetail},
        {QStringLiteral("TESTPRINT"), Kind::Int16, &st.TestPrint},
        {QStringLiteral("SWAPFILE"), Kind::Int16, &st.SwapFile},
        {QStringLiteral("DIALNO"), Kind::Text, &st.DialNumber},
        {QStringLiteral("GSMSYSTEM"), Kind::Byte, &st.GsmSystem},
        {QStringLiteral("SCANATT"), Kind::Int16, &st.ScanAttenuation},
        {QStringLiteral("SCANSENS"), Kind::Int16, &st.ScanSensitivity},
        {QStringLiteral("SCANTEST"), Kind::Int16, &st.ScanTest},
        {QStringLiteral("TOSEARCH"), Kind::Int16, &st.SearchTimeout},
        {QStringLiteral("TOBSCALL"), Kind::Int16, &st.BsCallTimeout},
        {QStringLiteral("TOMSCALL"), Kind::Int16, &st.MsCallTimeout},
        {QStringLiteral("MAXIMIZE"), Kind::Int16, &st.Maximize},
        {QStringLiteral("LOCBSPLEV"), Kind::Int16, &st.LocateBsLevel},
        {QStringLiteral("GSMBCCH"), Kind::Channel, &st.GsmBcch, Band::Low},
        {QStringLiteral("GSMBSPLEV"), Kind::Int16, &st.GsmBsLevel},
        {QStringLiteral("GSMATT"), Kind::Double, &st.GsmAttenuation},
        {QStringLiteral("PCNBCCH"), Kind::Channel, &st.PcnBcch, Band::Pcn},
        {QStringLiteral("PCNBSPLEV"), Kind::Int16, &st.PcnBsLevel},
        {QStringLiteral("PCNATT"), Kind::Double, &st.PcnAttenuation},
        {QStringLiteral("PCSBCCH"), Kind::Channel, &st.PcsBcch, Band::Pcs},
        {QStringLiteral("PCSBSPLEV"), Kind::Int16, &st.PcsBsLevel},
        {QStringLiteral("PCSATT"), Kind::Double, &st.PcsAttenuation},
        {QStringLiteral("RFLEVEL"), Kind::Int32, &st.LimitTxPower},
        {QStringLiteral("PHASERMS"), Kind::Int32, &st.LimitPhaseRms},
        {QStringLiteral("PHASEPEAK"), Kind::Int32, &st.LimitPhasePeak},
        {QStringLiteral("FREQUENCY"), Kind::Int32, &st.LimitFrequency},
        {QStringLiteral("FREQ1x00"), Kind::Int32, &st.LimitFrequencyHigh},
        {QStringLiteral("BURSTLEN"), Kind::Int32, &st.LimitBurstLength},
        {QStringLiteral("RXLEV"), Kind::Int32, &st.LimitRxLevel},
        {QStringLiteral("RXQUAL"), Kind::Int32, &st.LimitRxQuality},
        {QStringLiteral("SEARCHCOM"), Kind::Flag, &st.SearchAllPorts},
        {QStringLiteral("SHOWLIMITS"), Kind::Flag, &st.ShowLimits},
        {QStringLiteral("SHOWRFWAVE"), Kind::Flag, &st.ShowRfWave},
        {QStringLiteral("COMSPEED"), Kind::Byte, &st.TesterSpeed},
    };
    for (int i = 1; i <= 6; ++i)
        table.push_back({QStringLiteral("MSPOWLEV%1").arg(i), Kind::Int16, &st.MsPowerLevels[i]});
    for (int i = 1; i <= 3; ++i) {
        table.push_back({QStringLiteral("GSMTCH%1").arg(i), Kind::Channel, &st.GsmTch[i], Band::Low});
        table.push_back({QStringLiteral("PCNTCH%1").arg(i), Kind::Channel, &st.PcnTch[i], Band::Pcn});
        table.push_back({QStringLiteral("PCSTCH%1").arg(i), Kind::Channel, &st.PcsTch[i], Band::Pcs});
    }
    for (Setting& setting : table)
        setting.key = setting.key.leftJustified(10);
    return table;
}

std::optional<SaneRange> SaneRangeOf(const QString& key)
{
    static const struct {
        const char* key;
        SaneRange range;
    } ranges[] = {
        {"TOSEARCH", {1, 3600, 60}},  {"TOBSCALL", {1, 3600, 30}},  {"TOMSCALL", {1, 3600, 60}},
        {"RFLEVEL", {0, 100, 3}},     {"PHASERMS", {0, 360, 5}},    {"PHASEPEAK", {0, 360, 20}},
        {"FREQUENCY", {0, 100000, 90}}, {"FREQ1x00", {0, 100000, 180}}, {"BURSTLEN", {0, 1000, 2}},
        {"RXLEV", {0, 63, 6}},        {"RXQUAL", {0, 7, 2}},
    };
    for (const auto& r : ranges) {
        if (key.trimmed() == QLatin1String(r.key))
            return r.range;
    }
    return std::nullopt;
}

bool StoreNumber(const Setting& s, const QString& value)
{
    const double number = ReadNumber(value);
    double rounded = 0;
    switch (s.kind) {
    case Kind::Byte: {
        quint8 v = 0;
        if (!RoundToByte(number, v))
            return false;
        rounded = v;
        break;
    }
    case Kind::Int16: {
        qint16 v = 0;
        if (!RoundToInt16(number, v))
            return false;
        rounded = v;
        break;
    }
    case Kind::Int32: {
        qint32 v = 0;
        if (!RoundToInt32(number, v))
            return false;
        rounded = v;
        break;
    }
    case Kind::Double:
    case Kind::Flag:
        if (!std::isfinite(number))
            return false;
        rounded = number;
        break;
    default: return true;
    }
    if (const auto range = SaneRangeOf(s.key); range && (rounded < range->lowest || rounded > range->highest))
        return false;
    SetField(s, rounded);
    return true;
}

QString KeepSaneValue(const App& app, const Setting& s)
{
    if (const auto range = SaneRangeOf(s.key)) {
        const double now = FieldValue(s);
        if (!app.st.SettingsKeysRead.contains(s.key) || now < range->lowest || now > range->highest)
            SetField(s, range->fallback);
    }
    return NumberText(FieldValue(s));
}

void TraceSettingFault(App& app, const QString& key, const QString& why)
{
    TraceLine(app, QStringLiteral("CELVIO.INI: ") + key.trimmed() + QLatin1Char(' ') + why);
}

}  // namespace settings_detail
}  // namespace celvio
