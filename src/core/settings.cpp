#include "core/settings.h"

#include "core/app.h"
#include "core/blocked_channels.h"
#include "core/files.h"
#include "core/number_reader.h"
#include "core/text.h"
#include "core/trace.h"

#include <QDir>
#include <cmath>
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

bool StoreNumber(const Setting& s, const QString& value)
{
    const double number = ReadNumber(value);
    switch (s.kind) {
    case Kind::Byte: return RoundToByte(number, *static_cast<quint8*>(s.field));
    case Kind::Int16: return RoundToInt16(number, *static_cast<qint16*>(s.field));
    case Kind::Int32: return RoundToInt32(number, *static_cast<qint32*>(s.field));
    case Kind::Double:
        if (!std::isfinite(number))
            return false;
        *static_cast<double*>(s.field) = number;
        return true;
    case Kind::Flag:
        if (!std::isfinite(number))
            return false;
        *static_cast<Flag*>(s.field) = number != 0 ? kTrue : kFalse;
        return true;
    default: return true;
    }
}

void StoreChannel(App& app, const Setting& s, const QString& line)
{
    StationState& st = app.st;
    qint16 configured = 0;
    if (!RoundToInt16(ReadNumber(QStringView(line).mid(12)), configured)) {
        TraceSettingFault(app, s.key, QStringLiteral("channel out of range, line ignored: ") + line.mid(12));
        return;
    }
    int lowest = 512, highest = 884;
    if (s.band == Band::Low) {
        lowest = st.GsmSystem == 14 ? 128 : 1;
        highest = st.GsmSystem == 14 ? 251 : 124;
    } else if (s.band == Band::Pcs) {
        lowest = 513;
        highest = 809;
    }
    const qint16 channel = PickChannel(app, line, st.BlockedChannels, lowest, highest);
    *static_cast<qint16*>(s.field) = channel;
    // Reserve it, so that no other setting of this reading gets the same channel.
    st.BlockedChannels += QLatin1Char(' ') + QString::number(channel) + QLatin1Char(',');
}

void ApplySetting(App& app, const Setting& s, const QString& line)
{
    if (line.size() < 12) {
        TraceSettingFault(app, s.key, QStringLiteral("without a value, line ignored."));
        return;
    }
    const QString value = line.mid(12);
    switch (s.kind) {
    case Kind::Language: app.st.Language = LanguageIndex(value); break;
    case Kind::Text: {
        // The dial number ends at the first blank; a remark may follow it.
        const qsizetype blank = value.indexOf(QLatin1Char(' '));
        if (blank < 0)
            TraceSettingFault(app, s.key, QStringLiteral("value without a blank after it, read to the end of the line."));
        app.st.DialNumber = value.left(blank);
        break;
    }
    case Kind::Channel: StoreChannel(app, s, line); break;
    default:
        if (!StoreNumber(s, value))
            TraceSettingFault(app, s.key, QStringLiteral("value out of range, line ignored: ") + value);
        break;
    }
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
    QStringList lines;
    if (!FileExists(app, kSettingsFile) || !ReadTextLines(StationPath(app, kSettingsFile), lines))
        EndForMissingSettings(app);
    app.st.TesterSpeed = 2;
    const std::vector<Setting> table = SettingsTable(app.st);
    // GSMSYSTEM decides the range of the low band's channels, so it is read first:
    // the channels then do not depend on where the line stands in the file.
    for (const bool gsmSystemPass : {true, false}) {
        for (const QString& line : lines) {
            const QString key = line.left(10);
            if ((key == kGsmSystemKey) != gsmSystemPass)
                continue;
            for (const Setting& setting : table) {
                if (setting.key == key) {
                    ApplySetting(app, setting, line);
                    break;
                }
            }
        }
    }
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
