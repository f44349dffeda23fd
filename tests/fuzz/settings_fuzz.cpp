// The settings file "CELVIO.INI", read from its bytes into a fresh station state. A
// first line that starts with a double quote (a remark to the reader) is also taken as
// the blocked-channel list, so that channels are picked around blocked ones.
//
// Checks: the language is English or German; every key that a line names and that has
// a sane range holds a value inside it; every configured channel lies in its band, is
// not on the blocked list and differs from the other channels of its band, unless the
// operator was told that no free channel was found; the program never ended; reading
// the same file again, as the end of every cycle does, changes no value other than the
// channels and shows the same message boxes.
#include "fuzz_support.h"

#include "core/blocked_channels.h"
#include "core/files.h"
#include "core/settings.h"

using namespace celvio;
using celvio::fuzz::Check;

namespace {

struct Range {
    const char* key;
    double (*value)(const StationState&);
    double lowest;
    double highest;
};

// The keys with a sane range (time-outs in seconds, limits).
const Range kRanges[] = {
    {"TOSEARCH", [](const StationState& s) { return double(s.SearchTimeout); }, 1, 3600},
    {"TOBSCALL", [](const StationState& s) { return double(s.BsCallTimeout); }, 1, 3600},
    {"TOMSCALL", [](const StationState& s) { return double(s.MsCallTimeout); }, 1, 3600},
    {"RFLEVEL", [](const StationState& s) { return double(s.LimitTxPower); }, 0, 100},
    {"PHASERMS", [](const StationState& s) { return double(s.LimitPhaseRms); }, 0, 360},
    {"PHASEPEAK", [](const StationState& s) { return double(s.LimitPhasePeak); }, 0, 360},
    {"FREQUENCY", [](const StationState& s) { return double(s.LimitFrequency); }, 0, 100000},
    {"FREQ1x00", [](const StationState& s) { return double(s.LimitFrequencyHigh); }, 0, 100000},
    {"BURSTLEN", [](const StationState& s) { return double(s.LimitBurstLength); }, 0, 1000},
    {"RXLEV", [](const StationState& s) { return double(s.LimitRxLevel); }, 0, 63},
    {"RXQUAL", [](const StationState& s) { return double(s.LimitRxQuality); }, 0, 7},
};

bool NamesKey(const QStringList& lines, const char* key)
{
    const QString padded = QString::fromLatin1(key).leftJustified(10);
    for (const QString& line : lines) {
        if (line.left(10) == padded)
            return true;
    }
    return false;
}

bool ToldNoFreeChannel(const char* key)
{
    const QString text = QStringLiteral("No free channel found for : ") + QString::fromLatin1(key).leftJustified(10);
    for (const QString& box : fuzz::Quiet().boxes) {
        if (box.contains(text))
            return true;
    }
    return false;
}

// The channels of one band: each inside lowest..highest (of the right parity), not
// blocked, and all different.
void CheckBand(const char* band, const qint16* channels[4], int lowest, int highest, int parity,
               const QString& blocked, const QStringList& lines, const QString& input)
{
    static const char* const suffixes[] = {"BCCH", "TCH1", "TCH2", "TCH3"};
    for (int i = 0; i < 4; ++i) {
        const QByteArray key = QByteArray(band) + suffixes[i];
        if (!NamesKey(lines, key.constData()) || ToldNoFreeChannel(key.constData()))
            continue;
        const int channel = *channels[i];
        Check(channel >= lowest && channel <= highest, "a configured channel lies in its band",
              QString::fromLatin1(key) + QStringLiteral(" = ") + QString::number(channel) + QStringLiteral("\n") + input);
        Check(parity < 0 || channel % 2 == parity, "a channel of the 1800 band is even, of the 1900 band odd",
              QString::fromLatin1(key) + QStringLiteral(" = ") + QString::number(channel));
        Check(!blocked.contains(BlockedChannelEntry(channel)), "a configured channel is not blocked",
              QString::fromLatin1(key) + QStringLiteral(" = ") + QString::number(channel));
        for (int j = 0; j < i; ++j) {
            const QByteArray other = QByteArray(band) + suffixes[j];
            if (NamesKey(lines, other.constData()) && !ToldNoFreeChannel(other.constData()))
                Check(*channels[j] != channel, "the channels of a band differ",
                      QString::fromLatin1(key) + QStringLiteral(" = ") + QString::fromLatin1(other) +
                          QStringLiteral(" = ") + QString::number(channel));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    App& app = fuzz::FreshApp();
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QStringList lines = SplitTextLines(bytes);
    QString blocked;
    if (!lines.isEmpty() && lines.first().startsWith(QLatin1Char('"')))
        blocked = BlockedChannelTextOf(bytes);
    app.st.BlockedChannels = blocked;
    const QString input = fuzz::Text(data, size);
    try {
        ReadSettingsBytes(app, bytes);
    } catch (const ProgramEnd&) {
        Check(false, "reading settings never ends the program", input);
    }
    const StationState& st = app.st;
    Check(st.Language == 1 || st.Language == 2, "the language is English or German", input);
    for (const Range& r : kRanges) {
        if (!NamesKey(lines, r.key))
            continue;
        const double value = r.value(st);
        Check(value >= r.lowest && value <= r.highest, "a limit or time-out lies in its sane range",
              QString::fromLatin1(r.key) + QStringLiteral(" = ") + QString::number(value) + QStringLiteral("\n") + input);
    }
    const bool gsm850 = st.GsmSystem == 14;
    const qint16* gsm[4] = {&st.GsmBcch, &st.GsmTch[1], &st.GsmTch[2], &st.GsmTch[3]};
    const qint16* pcn[4] = {&st.PcnBcch, &st.PcnTch[1], &st.PcnTch[2], &st.PcnTch[3]};
    const qint16* pcs[4] = {&st.PcsBcch, &st.PcsTch[1], &st.PcsTch[2], &st.PcsTch[3]};
    CheckBand("GSM", gsm, gsm850 ? 128 : 1, gsm850 ? 251 : 124, -1, blocked, lines, input);
    CheckBand("PCN", pcn, 512, 884, 0, blocked, lines, input);
    CheckBand("PCS", pcs, 513, 809, 1, blocked, lines, input);

    // The reading at the end of a cycle: the list from its file again, the same settings.
    const StationState first = app.st;
    const QStringList firstBoxes = fuzz::Quiet().boxes;
    fuzz::Quiet().boxes.clear();
    app.st.BlockedChannels = blocked;
    ReadSettingsBytes(app, bytes);
    const StationState& again = app.st;
    const bool same =
        again.Language == first.Language && again.LeftMargin == first.LeftMargin &&
        again.TestDetail == first.TestDetail && again.TestPrint == first.TestPrint && again.SwapFile == first.SwapFile &&
        again.DialNumber == first.DialNumber && again.GsmSystem == first.GsmSystem &&
        again.ScanAttenuation == first.ScanAttenuation && again.ScanSensitivity == first.ScanSensitivity &&
        again.ScanTest == first.ScanTest && again.SearchTimeout == first.SearchTimeout &&
        again.BsCallTimeout == first.BsCallTimeout && again.MsCallTimeout == first.MsCallTimeout &&
        again.Maximize == first.Maximize && again.LocateBsLevel == first.LocateBsLevel &&
        again.GsmBsLevel == first.GsmBsLevel && again.PcnBsLevel == first.PcnBsLevel &&
        again.PcsBsLevel == first.PcsBsLevel && again.GsmAttenuation == first.GsmAttenuation &&
        again.PcnAttenuation == first.PcnAttenuation && again.PcsAttenuation == first.PcsAttenuation &&
        again.LimitTxPower == first.LimitTxPower && again.LimitPhaseRms == first.LimitPhaseRms &&
        again.LimitPhasePeak == first.LimitPhasePeak && again.LimitFrequency == first.LimitFrequency &&
        again.LimitFrequencyHigh == first.LimitFrequencyHigh && again.LimitBurstLength == first.LimitBurstLength &&
        again.LimitRxLevel == first.LimitRxLevel && again.LimitRxQuality == first.LimitRxQuality &&
        again.SearchAllPorts == first.SearchAllPorts && again.ShowLimits == first.ShowLimits &&
        again.ShowRfWave == first.ShowRfWave && again.TesterSpeed == first.TesterSpeed &&
        again.MsPowerLevels == first.MsPowerLevels;
    Check(same, "reading the same settings again changes no value", input);
    // The "no free channel" boxes may name other keys when a channel line is unusable:
    // its search then starts at the channel of the first reading.
    QStringList a = firstBoxes.filter(QStringLiteral("cannot be used"));
    QStringList b = fuzz::Quiet().boxes.filter(QStringLiteral("cannot be used"));
    Check(a.size() == b.size(), "reading the same settings again shows the same boxes", input);
    return 0;
}
