// The phone's measured values as the tester reports them: transmitter
// power and modulation, the power-time template, and what the phone hears
// (RX level and quality). Values follow the configured power level, band and
// generator level with a small spread from a seeded generator, so a session
// is repeatable; the scenario's faults push chosen attempts out of limits.
#pragma once

#include "scenario.h"

#include <QString>

#include <random>

namespace sim {

class Measurements {
public:
    explicit Measurements(const Scenario& scenario);

    // Nominal output power of a power control level: 43 - 2*PCL dBm on GSM,
    // 30 - 2*PCL dBm on PCN and PCS.
    static double nominalPowerDbm(Band band, int powerLevel);

    // "peak phase,RMS phase,frequency error,burst length,power" for the
    // attempt-th transmitter query of the session.
    QString transmitter(Band band, int powerLevel, int attempt);
    // "0,0,0,0,0" when the burst fits the power-time template.
    QString powerTemplate(int attempt);
    // The phone's reported RX level (0..63) and quality (0..7) on a channel.
    int rxLevel(double generatorDbm, int channel, int attempt);
    int rxQuality(double generatorDbm, int channel, int attempt);
    // "level,quality" as the phone hears the traffic channel; 255 as the
    // level means strong interference.
    QString channelReport(double generatorDbm, int channel);

private:
    double uniform(double lo, double hi);
    int spreadOne(); // -1, 0 or +1, mostly 0
    int networkLevel(int channel) const; // -1 when no network uses the channel

    Faults faults_;
    QMap<int, int> usedChannels_;
    QMap<int, int> lateChannels_;
    QMap<int, int> reportsByChannel_;  // channel reports so far, per channel
    int networkSpread_ = 1;
    int noiseFloor_ = 3;
    std::mt19937 rng_;
};

}  // namespace sim
