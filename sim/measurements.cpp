#include "measurements.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

constexpr double kBurstLengthUs = 553.0;

// RX level scale of the phone: 0 at -110 dBm, one step per dB. Reported
// values are clamped to 0..63 after any spread is added.
int levelFromDbm(double dbm) { return static_cast<int>(std::lround(dbm + 110.0)); }

QString oneDecimal(double v) { return QString::number(v, 'f', 1); }

}  // namespace

Measurements::Measurements(const Scenario& scenario)
    : faults_(scenario.faults),
      usedChannels_(scenario.usedChannels),
      lateChannels_(scenario.lateChannels),
      networkSpread_(scenario.networkSpread),
      noiseFloor_(scenario.noiseFloor),
      rng_(scenario.seed)
{
}

double Measurements::nominalPowerDbm(Band band, int powerLevel)
{
    return (band == Band::GSM ? 43.0 : 30.0) - 2.0 * powerLevel;
}

double Measurements::uniform(double lo, double hi)
{
    return lo + (hi - lo) * (static_cast<double>(rng_()) / 4294967296.0);
}

int Measurements::spreadOne()
{
    const double u = uniform(0, 1);
    return u < 0.2 ? -1 : (u < 0.8 ? 0 : 1);
}

int Measurements::networkLevel(int channel) const { return usedChannels_.value(channel, -1); }

QString Measurements::transmitter(Band band, int powerLevel, int attempt)
{
    const double maxFreq = band == Band::GSM ? 45.0 : 90.0;
    double peak = uniform(3.5, 9.5);
    double rms = uniform(0.8, 3.2);
    double freq = std::round(uniform(-maxFreq, maxFreq));
    double burst = kBurstLengthUs + uniform(-0.4, 0.4);
    double power = nominalPowerDbm(band, powerLevel) + uniform(-0.6, 0.6);

    if (faults_.phase.contains(attempt)) {
        peak = faults_.phasePeakDeg;
        rms = faults_.phaseRmsDeg;
    }
    if (faults_.frequency.contains(attempt))
        freq = faults_.frequencyErrorHz;
    if (faults_.burst.contains(attempt))
        burst = faults_.burstLengthUs;
    if (faults_.txPower.contains(attempt))
        power += faults_.txPowerOffsetDb;

    return QStringList{oneDecimal(peak), oneDecimal(rms), QString::number(std::lround(freq)),
                       oneDecimal(burst), oneDecimal(power)}
        .join(u',');
}

QString Measurements::powerTemplate(int attempt)
{
    return faults_.powerTemplate.contains(attempt) ? QStringLiteral("0,0,1,0,0")
                                                   : QStringLiteral("0,0,0,0,0");
}

int Measurements::rxLevel(double generatorDbm, int channel, int attempt)
{
    int level = std::clamp(levelFromDbm(generatorDbm) + spreadOne(), 0, 63);
    // A real network on the same channel is heard on top of the generator.
    level = std::max(level, std::min(networkLevel(channel), 63));
    if (faults_.rxLevel.contains(attempt))
        level = std::clamp(level + faults_.rxLevelOffset, 0, 63);
    return level;
}

int Measurements::rxQuality(double generatorDbm, int channel, int attempt)
{
    if (faults_.rxQuality.contains(attempt))
        return faults_.rxQualityValue;
    const int network = networkLevel(channel);
    // Another network within 9 dB of the wanted signal spoils the quality.
    if (network >= 0 && network >= std::clamp(levelFromDbm(generatorDbm), 0, 63) - 9)
        return 4;
    return 0;
}

QString Measurements::channelReport(double generatorDbm, int channel)
{
    int network = networkLevel(channel);
    // A network that switched on since the channel's first report.
    if (++reportsByChannel_[channel] > 1 && lateChannels_.contains(channel))
        network = std::max(network, lateChannels_.value(channel));
    if (network == 255)
        return QStringLiteral("255,7");
    const int wanted = levelFromDbm(generatorDbm);
    int level = 0;
    int quality = 7;
    if (network >= 0) {
        level = std::clamp(network + spreadOne() * networkSpread_, 0, 63);
        quality = 2;
    } else {
        // The noise floor: 0..noiseFloor_.
        level = std::min(static_cast<int>(uniform(0, noiseFloor_ + 1)), noiseFloor_);
    }
    if (wanted > 0 && wanted >= level) {
        level = std::clamp(wanted + spreadOne(), 0, 63);
        quality = 0;
    }
    return QStringLiteral("%1,%2").arg(level).arg(quality);
}

}  // namespace sim
