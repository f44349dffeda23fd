// The limit judgements of the transmitter and receiver tests: from the fields of the
// tester's answer to the cell text and the verdict of each value. The procedures call
// them for every reading; they touch no station state, so they can be checked alone.
#pragma once

#include <QString>
#include <QtGlobal>

namespace celvio {

// One judged value: the value as its cell shows it, without the repeat rule's mark
// ("33 dBm"), and whether it fails its limits. A value that is no real reading always
// fails.
struct JudgedValue {
    QString text;
    bool failed = true;
};

// The limits a transmitter reading is judged against: the nominal power of the power
// level and the tolerances of the settings (frequency: the band's own limit).
struct TransmitterLimits {
    int nominalPower = 0;  // dBm
    qint32 power = 0;      // RFLEVEL, +/- dB around the nominal power
    qint32 phaseRms = 0;   // PHASERMS, degrees
    qint32 phasePeak = 0;  // PHASEPEAK, degrees
    qint32 frequency = 0;  // FREQUENCY or FREQ1x00, Hz
    qint32 burstLength = 0;  // BURSTLEN, microseconds around the nominal 553
};

struct TransmitterJudgement {
    JudgedValue power;
    JudgedValue phaseRms;
    JudgedValue phasePeak;
    JudgedValue frequency;
    JudgedValue burstLength;
};

// Judges the five fields of the transmitter answer (peak phase, RMS phase, frequency
// error, burst length, power; see SplitTransmitterFields). The power, rounded half up,
// must lie within nominal +/- RFLEVEL. With `modulation` the magnitudes of the phase
// errors and the frequency error, rounded, must not exceed their limits, and the
// burst length must lie within 553 +/- BURSTLEN; without it those stay empty and pass.
// Everything is computed in floating point: the limits may be any 32-bit number.
TransmitterJudgement JudgeTransmitterFields(const QString (&fields)[5], const TransmitterLimits& limits,
                                            bool modulation);

// The RX level the phone reports (its answer line), against the level the generator
// sends: the phone's scale puts -110 dBm at 0, and the report must lie within that
// +/- RXLEV. The text is the number as read, or the field itself when it is none.
JudgedValue JudgeRxLevel(const QString& answerLine, qint16 generatorLevel, qint32 limitRxLevel);

// The RX quality the phone reports: it must not exceed RXQUAL.
JudgedValue JudgeRxQuality(const QString& answerLine, qint32 limitRxQuality);

}  // namespace celvio
