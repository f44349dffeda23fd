#include "procedures/judgements.h"

#include "core/measured_value.h"
#include "core/text.h"
#include "record/quantities.h"

#include <cmath>

namespace celvio {

namespace {

constexpr double kBurstLengthUs = 553;

// The magnitude is rounded and must not exceed the limit.
bool MagnitudeFails(const MeasuredValue& v, double limit)
{
    const MeasuredValue rounded{RoundHalfUp(std::abs(v.value)), v.usable, v.text};
    return OutsideLimits(rounded, 0, limit);
}

// A reported value: unusable, or usable and judged by `failedIf`.
template <typename Judge>
JudgedValue JudgeReported(const QString& answerLine, QuantityRange range, Judge failedIf)
{
    const MeasuredValue value = ReadMeasured(answerLine, range);
    return {value.usable ? NumberText(value.value) : RoundedText(value), !value.usable || failedIf(value.value)};
}

}  // namespace

TransmitterJudgement JudgeTransmitterFields(const QString (&fields)[5], const TransmitterLimits& limits,
                                            bool modulation)
{
    auto unit = [](RowId row) { return QString::fromUtf8(Quantity(row).unit); };
    TransmitterJudgement j;
    const MeasuredValue dbm = ReadMeasured(fields[4], kPowerRangeDbm);
    const MeasuredValue powerRounded{RoundHalfUp(dbm.value), dbm.usable, dbm.text};
    j.power = {RoundedText(dbm) + unit(RowId::TxPower1),
               OutsideLimits(powerRounded, double(limits.nominalPower) - limits.power,
                             double(limits.nominalPower) + limits.power)};
    if (!modulation) {
        j.phaseRms.failed = j.phasePeak.failed = j.frequency.failed = j.burstLength.failed = false;
        return j;
    }
    const MeasuredValue rms = ReadMeasured(fields[1], kPhaseRangeDeg);
    const MeasuredValue peak = ReadMeasured(fields[0], kPhaseRangeDeg);
    const MeasuredValue frequency = ReadMeasured(fields[2], kFrequencyRangeHz);
    const MeasuredValue burst = ReadMeasured(fields[3], kBurstRangeUs);
    j.phaseRms = {RoundedText(rms) + unit(RowId::PhaseRms), MagnitudeFails(rms, limits.phaseRms)};
    j.phasePeak = {RoundedText(peak) + unit(RowId::PhasePeak), MagnitudeFails(peak, limits.phasePeak)};
    j.frequency = {RoundedText(frequency) + unit(RowId::Frequency), MagnitudeFails(frequency, limits.frequency)};
    j.burstLength = {(burst.usable ? NumberText(burst.value) : RoundedText(burst)) + unit(RowId::BurstLength),
                     OutsideLimits(burst, kBurstLengthUs - limits.burstLength,
                                   kBurstLengthUs + limits.burstLength)};
    return j;
}

JudgedValue JudgeRxLevel(const QString& answerLine, qint16 generatorLevel, qint32 limitRxLevel)
{
    // Computed on doubles: the limits of the settings may be any 32-bit number.
    const double expected = double(generatorLevel) + 110;  // the phone's scale: -110 dBm is 0
    const double lowest = expected - limitRxLevel;
    const double highest = expected + limitRxLevel;
    return JudgeReported(answerLine, kRxLevelRange, [&](double v) { return v > highest || v < lowest; });
}

JudgedValue JudgeRxQuality(const QString& answerLine, qint32 limitRxQuality)
{
    return JudgeReported(answerLine, kRxQualityRange, [&](double v) { return v > double(limitRxQuality); });
}

}  // namespace celvio
