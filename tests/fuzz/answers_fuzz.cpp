// The parsers of the tester's answers. The first input byte picks the parser (its code
// modulo 5), the second the limits where there are any; the rest is the answer.
//   0  identity ("*IDN?"): the model field and the family check
//   1  status words ("*STB?", "*ESR?", the call states)
//   2  the transmitter answer ("MEAS:ARR:RFTR:GRO:ALL:MAV? 3"): split and judgement
//   3  the receiver answers ("CALL:MSIN:RXL?", "CALL:MSIN:RXQ?"): judgement
//   4  the scan's level report ("MEAS:CALL:RX?")
//
// Checks: a model field holds no comma and no line end, and only a model of the family
// passes; a status word read is a whole number 0..65535 and one refused leaves 0; a
// value that is no real reading always fails its judgement, a value that passes lies
// inside its limits (checked here on the number read, independently of the judgement),
// and widening a limit never turns a pass into a failure; a level report read
// and printed back reads the same.
#include "fuzz_support.h"

#include "core/measured_value.h"
#include "core/number_reader.h"
#include "core/text.h"
#include "procedures/judgements.h"
#include "procedures/transmitter_core.h"
#include "scan/scan_engine.h"
#include "tester/tester_family.h"

#include <cmath>
#include <limits>

using namespace celvio;
using celvio::fuzz::Check;

namespace {

constexpr qint32 kMax = std::numeric_limits<qint32>::max();
constexpr qint32 kMin = std::numeric_limits<qint32>::min();

// Limit sets: the shipped ones, zero, the extremes of the field.
const qint32 kLimits[][7] = {
    // nominal, power, phase RMS, phase peak, frequency, burst, RX quality
    {33, 3, 5, 20, 90, 2, 2}, {30, 0, 0, 0, 0, 0, 0}, {5, kMax, kMax, kMax, kMax, kMax, kMax},
    {-20, kMin, kMin, kMin, kMin, kMin, kMin}, {0, 1, 360, 360, 100000, 1000, 7},
};

// The number of a field that passed: its value must be a real reading.
double PassedValue(const QString& field, QuantityRange range, const char* what, const QString& input)
{
    const MeasuredValue v = ReadMeasured(field, range);
    Check(v.usable, what, input);
    return v.value;
}

void Identity(const QString& answer)
{
    const QString model = IdentityModel(answer);
    Check(!model.contains(QLatin1Char(',')) && !model.contains(QLatin1Char('\r')) && !model.contains(QLatin1Char('\n')),
          "the model field holds no comma and no line end", answer);
    if (IsFamilyIdentity(answer)) {
        const QString m = model.trimmed();
        Check(!m.isEmpty(), "an empty model is not of the family", answer);
        bool listed = false;
        for (const char* name : {"7703S", "7703M", "770X", "7804S", "7806S"})
            listed = listed || QString::fromLatin1(name).startsWith(m, Qt::CaseInsensitive);
        Check(listed, "only a model of the family passes", answer);
    }
}

void StatusWord(const QString& answer)
{
    quint16 bits = 77;
    const bool ok = ReadStatusWord(AnswerLine(answer), bits);
    if (!ok) {
        Check(bits == 0, "a refused status word leaves 0", answer);
        return;
    }
    qsizetype used = 0;
    const double value = ReadNumber(AnswerLine(answer).trimmed(), &used);
    Check(value == bits, "a status word read is the number of the answer", answer);
}

void Transmitter(const QString& answer, const qint32 (&l)[7])
{
    QString fields[5];
    double numbers[5];
    const bool split = SplitTransmitterFields(answer, fields);
    Check(split == SplitTransmitterAnswer(answer, numbers), "both splits accept the same answers", answer);
    if (!split)
        return;
    for (int i = 0; i < 4; ++i)
        Check(!fields[i].contains(QLatin1Char(',')), "a field holds no comma", answer);
    TransmitterLimits limits;
    limits.nominalPower = l[0];
    limits.power = l[1];
    limits.phaseRms = l[2];
    limits.phasePeak = l[3];
    limits.frequency = l[4];
    limits.burstLength = l[5];
    const TransmitterJudgement j = JudgeTransmitterFields(fields, limits, true);
    if (!j.power.failed) {
        const double dbm = std::floor(PassedValue(fields[4], kPowerRangeDbm, "a power that passes is a reading", answer) + 0.5);
        Check(dbm >= double(l[0]) - l[1] && dbm <= double(l[0]) + l[1], "a power that passes lies within its limits",
              answer);
    }
    const struct {
        const JudgedValue& judged;
        int field;
        QuantityRange range;
        qint32 limit;
    } magnitudes[] = {{j.phasePeak, 0, kPhaseRangeDeg, l[3]},
                      {j.phaseRms, 1, kPhaseRangeDeg, l[2]},
                      {j.frequency, 2, kFrequencyRangeHz, l[4]}};
    for (const auto& m : magnitudes) {
        if (m.judged.failed)
            continue;
        const double v = PassedValue(fields[m.field], m.range, "a phase or frequency error that passes is a reading", answer);
        Check(std::floor(std::fabs(v) + 0.5) <= double(m.limit), "an error that passes lies within its limit", answer);
    }
    if (!j.burstLength.failed) {
        const double us = PassedValue(fields[3], kBurstRangeUs, "a burst length that passes is a reading", answer);
        Check(us >= 553.0 - l[5] && us <= 553.0 + l[5], "a burst length that passes lies within its limits", answer);
    }
    // Widening the limits never fails a value that passed.
    TransmitterLimits wide = limits;
    wide.power = wide.phaseRms = wide.phasePeak = wide.frequency = wide.burstLength = kMax;
    const TransmitterJudgement w = JudgeTransmitterFields(fields, wide, true);
    Check(!(w.power.failed && !j.power.failed) && !(w.phaseRms.failed && !j.phaseRms.failed) &&
              !(w.phasePeak.failed && !j.phasePeak.failed) && !(w.frequency.failed && !j.frequency.failed) &&
              !(w.burstLength.failed && !j.burstLength.failed),
          "widening the limits never fails a value that passed", answer);
    // Without modulation only the power is judged, the same way.
    const TransmitterJudgement p = JudgeTransmitterFields(fields, limits, false);
    Check(p.power.failed == j.power.failed && p.power.text == j.power.text && !p.phaseRms.failed &&
              !p.burstLength.failed,
          "without modulation only the power is judged", answer);
}

void Receiver(const QString& answer, const qint32 (&l)[7])
{
    const QString line = AnswerLine(answer);
    const qint16 generator = qint16(l[0] * 3 - 110);
    const JudgedValue level = JudgeRxLevel(line, generator, l[1]);
    const JudgedValue quality = JudgeRxQuality(line, l[6]);
    Check(!level.text.isEmpty() && !quality.text.isEmpty(), "a judged value always shows a text", answer);
    if (!level.failed) {
        const double v = PassedValue(line, kRxLevelRange, "an RX level that passes is a reading", answer);
        const double expected = double(generator) + 110;
        Check(v >= expected - l[1] && v <= expected + l[1], "an RX level that passes lies within its limits", answer);
    }
    if (!quality.failed) {
        const double v = PassedValue(line, kRxQualityRange, "an RX quality that passes is a reading", answer);
        Check(v <= double(l[6]), "an RX quality that passes lies within its limit", answer);
    }
    if (!ReadMeasured(line, kRxLevelRange).usable)
        Check(level.failed && quality.failed, "a value that is no reading fails", answer);
}

void LevelReport(const QString& answer)
{
    int level = 99999;
    int quality = 99999;
    if (!ParseChannelReport(answer, level, quality))
        return;
    Check(level >= -32768 && level <= 32767 && quality >= -32768 && quality <= 32767,
          "a level report holds 16-bit numbers", answer);
    int level2 = 0;
    int quality2 = 0;
    const QString printed = QString::number(level) + QLatin1Char(',') + QString::number(quality) + QStringLiteral("\r\n");
    Check(ParseChannelReport(printed, level2, quality2) && level2 == level && quality2 == quality,
          "a level report printed back reads the same", answer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const QString answer = fuzz::Text(data + 2, size - 2);
    const qint32(&limits)[7] = kLimits[data[1] % std::size(kLimits)];
    switch (data[0] % 5) {
    case 0: Identity(answer); break;
    case 1: StatusWord(answer); break;
    case 2: Transmitter(answer, limits); break;
    case 3: Receiver(answer, limits); break;
    default: LevelReport(answer); break;
    }
    return 0;
}
