#include "core/settings.h"

#include "core/app.h"
#include "core/blocked_channels.h"
#include "core/files.h"
#include "core/number_reader.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/translation.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace celvio {

namespace {

const QString kSettingsFile = QStringLiteral("CELVIO.INI");

enum class Kind { Language, Byte, Int16, Int32, Double, Flag, Text, Channel };
enum class Band { None, Low, Pcn, Pcs };

struct Setting {
    QString key;  // ten columns, blank-padded
    Kind kind;
    void* field;
    Band band = Band::None;
};

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

const QString kGsmSystemKey = QStringLiteral("GSMSYSTEM ");

// The values a key can sensibly have, and the one used when a line gives none of them
// and the field does not hold one from an earlier reading either.
struct SaneRange {
    double lowest;
    double highest;
    double fallback;
};

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

// A settings line that could not be used, and what was used instead.
struct Rejected {
    QString line;
    QString used;
};

// The LANGUAGE value: German for a value beginning with "DE" or "GER" (any case,
// leading blanks skipped), English for anything else.
quint8 LanguageIndex(const QString& value)
{
    const QString v = value.trimmed().toUpper();
    return v.startsWith(QLatin1String("DE")) || v.startsWith(QLatin1String("GER")) ? 2 : 1;
}

void TraceSettingFault(App& app, const QString& key, const QString& why)
{
    TraceLine(app, QStringLiteral("CELVIO.INI: ") + key.trimmed() + QLatin1Char(' ') + why);
}

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

// Converts the value to the field's width; false (the field untouched) when it does not
// fit or lies outside the key's sane range.
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

// After a rejected line: the field keeps a sane value from an earlier reading, or gets
// the key's fall-back. Returns the value now in use, as text.
QString KeepSaneValue(const App& app, const Setting& s)
{
    if (const auto range = SaneRangeOf(s.key)) {
        const double now = FieldValue(s);
        if (!app.st.SettingsKeysRead.contains(s.key) || now < range->lowest || now > range->highest)
            SetField(s, range->fallback);
    }
    return NumberText(FieldValue(s));
}

// True when the zig-zag search of PickChannel, started at `configured`, visits a
// channel of lowest..highest at all (whatever is blocked).
bool SearchReachesBand(int configured, int lowest, int highest)
{
    int channel = configured;
    if (highest == 884 && channel % 2 != 0)
        ++channel;
    if (highest == 809 && channel % 2 == 0)
        ++channel;
    int step = channel <= 124 ? 1 : 2;
    for (int k = 0;; ++k) {
        if (channel >= lowest && channel <= highest)
            return true;
        if (k > highest - lowest)
            return false;
        channel += (k + 1) * step;
        step = -step;
    }
}

void StoreChannel(App& app, const Setting& s, const QString& line, QList<Rejected>& rejected)
{
    StationState& st = app.st;
    int lowest = 512, highest = 884;
    if (s.band == Band::Low) {
        lowest = st.GsmSystem == 14 ? 128 : 1;
        highest = st.GsmSystem == 14 ? 251 : 124;
    } else if (s.band == Band::Pcs) {
        lowest = 513;
        highest = 809;
    }
    qsizetype consumed = 0;
    qint16 configured = 0;
    const double number = ReadNumber(QStringView(line).mid(12), &consumed);
    QString picked = line;
    if (consumed == 0 || !RoundToInt16(number, configured) || !SearchReachesBand(configured, lowest, highest)) {
        // A channel that is no number or lies out of reach of its band is never sent to
        // the tester: the field's earlier channel of this band, or the band's nearest end,
        // is the start of the search instead.
        TraceSettingFault(app, s.key, QStringLiteral("channel out of range, line ignored: ") + line.mid(12));
        const int earlier = *static_cast<qint16*>(s.field);
        const int start = earlier >= lowest && earlier <= highest
                              ? earlier
                              : std::clamp(consumed == 0 ? lowest : int(configured), lowest, highest);
        picked = s.key + QStringLiteral("  ") + QString::number(start);
        rejected.append({line, QString()});
    }
    const qint16 channel = PickChannel(app, picked, st.BlockedChannels, lowest, highest);
    *static_cast<qint16*>(s.field) = channel;
    if (picked != line)
        rejected.last().used = QString::number(channel);
    // Reserve it, so that no other setting of this reading gets the same channel.
    st.BlockedChannels += QLatin1Char(' ') + QString::number(channel) + QLatin1Char(',');
}

// The LANGUAGE value: what follows the key, without the blanks or marks in front of
// it, so that a short line ("LANGUAGE  EN") or a value that starts early still counts.
QString LanguageValue(const QString& line)
{
    QString value = line.mid(10);
    qsizetype start = 0;
    while (start < value.size() && !value[start].isLetterOrNumber())
        ++start;
    return value.mid(start);
}

void ApplySetting(App& app, const Setting& s, const QString& line, QList<Rejected>& rejected)
{
    if (s.kind == Kind::Language) {
        // Any LANGUAGE line selects a language; only a German value selects German.
        app.st.Language = LanguageIndex(LanguageValue(line));
        app.TextTranslation = ChooseTranslation(LanguageValue(line), app.TranslationFolders);
        return;
    }
    if (line.size() < 12) {
        TraceSettingFault(app, s.key, QStringLiteral("without a value, line ignored."));
        if (s.kind == Kind::Channel)
            StoreChannel(app, s, line, rejected);
        else
            rejected.append({line, s.kind == Kind::Text ? QString() : KeepSaneValue(app, s)});
        return;
    }
    const QString value = line.mid(12);
    switch (s.kind) {
    case Kind::Text: {
        // The dial number ends at the first blank; a remark may follow it.
        const qsizetype blank = value.indexOf(QLatin1Char(' '));
        if (blank < 0)
            TraceSettingFault(app, s.key, QStringLiteral("value without a blank after it, read to the end of the line."));
        app.st.DialNumber = value.left(blank);
        break;
    }
    case Kind::Channel: StoreChannel(app, s, line, rejected); break;
    default:
        if (!StoreNumber(s, value)) {
            TraceSettingFault(app, s.key, QStringLiteral("value out of range, line ignored: ") + value);
            rejected.append({line, KeepSaneValue(app, s)});
        } else if (!app.st.SettingsKeysRead.contains(s.key)) {
            app.st.SettingsKeysRead.append(s.key);
        }
        break;
    }
}

// One message for every line of this reading that could not be used.
void ReportRejected(App& app, const QList<Rejected>& rejected)
{
    if (rejected.isEmpty())
        return;
    QString text = Tr(app, QT_TRANSLATE_NOOP("Celvio", "These settings in CELVIO.INI cannot be used:")) + kCrLf;
    for (const Rejected& r : rejected) {
        text += r.line.trimmed() + QStringLiteral("   ->   ") +
                (r.used.isEmpty() ? Tr(app, QT_TRANSLATE_NOOP("Celvio", "ignored"))
                                  : Tr(app, QT_TRANSLATE_NOOP("Celvio", "used: ")) + r.used) +
                kCrLf;
        TraceLine(app, QStringLiteral("CELVIO.INI: not usable: ") + r.line.trimmed() + QStringLiteral(" -> ") +
                           (r.used.isEmpty() ? QStringLiteral("ignored") : r.used));
    }
    text += Tr(app, QT_TRANSLATE_NOOP("Celvio", "Please correct the file."));
    app.ui.MsgBox(text, msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("CELVIO.INI"));
}

}  // namespace

void EndForMissingSettings(App& app)
{
    // The folder that was searched, and how to make a station there: an operator who
    // started the program in the wrong folder sees which one it was.
    app.ui.MsgBox(QStringLiteral("Unable to read initial settings.\r\nProgram continuation not possible.\r\n"
                                 "Program will be terminated.") +
                      QStringLiteral("\r\n\r\nFolder searched: ") + QDir::toNativeSeparators(app.StationDir) +
                      QStringLiteral("\r\nA new station folder is made with: celvio --init-station FOLDER"),
                  msgbox::kOkOnly | msgbox::kCritical, QStringLiteral("File 'CELVIO.INI' not found."));
    app.ui.EndProgram(0);
}

void ReloadSettings(App& app)
{
    QString blocked;
    ReadBlockedChannelFile(app, blocked);
    app.st.BlockedChannels = blocked;
    ReadSettings(app);
    ReadBlockedChannelFile(app, blocked);
    app.st.BlockedChannels = blocked;
}

void ReadSettings(App& app)
{
    QByteArray bytes;
    if (!FileExists(app, kSettingsFile) || !ReadFileBytes(StationPath(app, kSettingsFile), bytes))
        EndForMissingSettings(app);
    ReadSettingsBytes(app, bytes);
}

void ReadSettingsBytes(App& app, const QByteArray& bytes)
{
    const QStringList lines = SplitTextLines(bytes);
    app.st.TesterSpeed = 2;
    const std::vector<Setting> table = SettingsTable(app.st);
    QList<Rejected> rejected;
    // GSMSYSTEM decides the range of the low band's channels, so it is read first:
    // the channels then do not depend on where the line stands in the file.
    for (const bool gsmSystemPass : {true, false}) {
        for (const QString& line : lines) {
            const QString key = line.left(10);
            if ((key == kGsmSystemKey) != gsmSystemPass)
                continue;
            for (const Setting& setting : table) {
                if (setting.key == key) {
                    ApplySetting(app, setting, line, rejected);
                    break;
                }
            }
        }
    }
    // Without a LANGUAGE line the dialogs are English, never empty.
    if (app.st.Language == 0) {
        app.st.Language = 1;
        app.TextTranslation = {};
    }
    ReportRejected(app, rejected);
}

qint16 PickChannel(App& app, const QString& line, const QString& blocked, int lowest, int highest)
{
    qint16 configured = 0;
    RoundToInt16(ReadNumber(QStringView(line).mid(12)), configured);
    int channel = configured;
    if (highest == 884 && channel % 2 != 0)  // the 1800 band uses even channels
        ++channel;
    if (highest == 809 && channel % 2 == 0)  // the 1900 band odd ones
        ++channel;
    // Steps of 2 keep the parity above channel 124; around C the search visits
    // C, C+S, C-S, C+2S, C-2S, ...
    int step = channel <= 124 ? 1 : 2;
    for (int k = 0;;) {
        if (channel >= lowest && channel <= highest &&
            !blocked.contains(QLatin1Char(' ') + QString::number(channel) + QLatin1Char(',')))
            return qint16(channel);
        if (k > highest - lowest)
            break;
        ++k;
        channel += k * step;
        step = -step;
    }
    const QString& nl = kCrLf;
    app.ui.MsgBox(QStringLiteral("No free channel found for : ") + line.left(10) + nl + QStringLiteral("Test of ") +
                      line.left(3) + QStringLiteral(" mobiles not possible.") + nl +
                      QStringLiteral("Start a new scan (clear+search) or check file 'BADCHAN.DAT'"),
                  msgbox::kOkOnly | msgbox::kExclamation, QStringLiteral("ALL CHANNELS USED BY REAL NETWORK"));
    return configured;
}

}  // namespace celvio
