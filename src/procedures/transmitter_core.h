// The transmitter measurement shared by the first band's test and the dual-band test.
#pragma once

#include "record/cycle_record.h"

#include <QList>
#include <QString>
#include <optional>

namespace celvio {

struct App;

enum class TxVariant {
    FirstBand,   // TransmitterTest
    SecondBand,  // DualBandTransmitterTest
};

// What a transmitter step measured: the readings of the band and column that TxStep
// selects, each as the repeat rule left it (a step that stopped or broke off returns
// what it judged before), and the path attenuation it set when it changed the channel.
struct TransmitterReadings {
    QList<MeasuredReading> Readings;
    std::optional<PathAttenuation> Attenuation;
    int Band = 1;
    int Column = 1;
};

// Measures power (and, with measureModulation, phase, frequency error and burst
// length) at power slot `powerSlot` on traffic channel TxStep, then optionally the
// power-time template.
TransmitterReadings MeasureTransmitter(App& app, const QString& band, int powerSlot, bool measureModulation,
                                       bool checkTemplate, TxVariant variant);

// Splits the answer to the transmitter query into its five numbers: peak phase, RMS
// phase, frequency error, burst length, power. False when it holds fewer than four
// commas before its last character.
bool SplitTransmitterAnswer(const QString& answer, double (&fields)[5]);

// The same split into the five fields as text, for reading them with a range check.
bool SplitTransmitterFields(const QString& answer, QString (&fields)[5]);

}  // namespace celvio
