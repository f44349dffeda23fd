#include "procedures/transmitter_core.h"

#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/measured_value.h"
#include "core/number_reader.h"
#include "core/text.h"
#include "models/model_database.h"
#include "procedures/judgements.h"
#include "procedures/repeat_rule.h"
#include "tester/transport.h"

#include <cmath>

namespace celvio {

namespace {

const QString kFailedText = QStringLiteral("Transmitter Test: Failed");

// The band and column of the step's cells, and the entry of MsPowerLevels of its first
// power slot less one.
struct Target {
    int band = 1;
    int column = 0;
    int levelOffset = 0;  // MsPowerLevels entry = power slot + offset
};

// Puts the traffic channel of TxStep on the tester with the model's path attenuation.
PathAttenuation ChangeChannel(App& app, const QString& band, qint16 channel, TxVariant variant)
{
    const QStringList channelArgs{band, Str(qint64(channel))};
    if (variant == TxVariant::FirstBand) {
        Send(app, TesterOp::SetTrafficChannel, channelArgs);
        app.ui.Sleep(kSettlePause);
        Send(app, TesterOp::ReadStatusByte);
        ReadAnswer(app);
    } else {
        Send(app, TesterOp::SetTrafficChannelThenStatus, channelArgs);
        ReadAnswer(app);
    }
    app.st.CurrentTrafficChannel = channel;
    float rx = 0;
    float tx = 0;
    AttenuationForChannel(app, channel, band, rx, tx);
    Send(app, TesterOp::SetBandPathAttenuation, {band, Str(rx), Str(tx)});
    WaitSeconds(app, 1);
    return PathAttenuation{rx, tx};
}

// The band, column and power levels of the step. The first band's test turns a step
// of the second band into its column and stores that back into TxStep.
Target TargetOf(App& app, TxVariant variant)
{
    StationState& st = app.st;
    Target t;
    if (variant == TxVariant::FirstBand) {
        if (st.TxStep >= 4) {
            st.TxStep -= 3;
            t.band = 2;
        }
        t.column = st.TxStep;
    } else if (st.TxStep > 3) {
        t.band = 2;
        t.column = st.TxStep - 3;
        t.levelOffset = 3;
    } else {
        t.column = st.TxStep;
    }
    return t;
}

// A measurement that cannot go on: the cycle goes to its verdict.
void BreakOff(App& app, TxVariant variant)
{
    app.st.Verdict = Verdict::Aborted;
    app.st.SummaryLines[variant == TxVariant::FirstBand ? 2 : 6] = kFailedText;
    app.st.LastErrorText = QStringLiteral("No valid answer from the tester to the transmitter measurement.");
}

// One quantity of a step as the repeat rule judges it.
struct Judged {
    Judged(RowId r) : row(r) {}  // NOLINT: a row is where a judged value goes

    RowId row;
    QString text;
    ReadingOutcome outcome = ReadingOutcome::Passed;  // before its first judgement
    bool judged = false;

    void Take(App& app, RepeatRule& rule, const JudgedValue& value)
    {
        text = value.text;
        rule.Judge(app, outcome, value.failed);
        judged = true;
    }
};

// Adds what was judged to the step's readings.
void Collect(const Target& t, const Judged* quantities, int count, int attempts, TransmitterReadings& out)
{
    for (int i = 0; i < count; ++i)
        if (quantities[i].judged)
            out.Readings.append(
                MeasuredReading{t.band, quantities[i].row, t.column, quantities[i].text, quantities[i].outcome, attempts});
}

// The measurement loop of power (and modulation): false when the step stopped or
// broke off.
bool MeasureFields(App& app, const Target& t, int powerSlot, bool measureModulation, const TransmitterLimits& limits,
                   TxVariant variant, TransmitterReadings& out)
{
    StationState& st = app.st;
    Judged q[] = {{RowAt(int(RowId::TxPower1) + powerSlot - 1)}, {RowId::PhaseRms}, {RowId::PhasePeak},
                  {RowId::Frequency}, {RowId::BurstLength}};
    const int count = measureModulation ? 5 : 1;
    const QString saved = st.SummaryLines[2];
    RepeatRule rule;
    bool complete = false;
    do {
        Send(app, TesterOp::MeasureTransmitter);
        const QString answer = ReadAnswer(app);
        if (st.StopRequested == kTrue)
            break;
        QString fieldText[5];
        if (!SplitTransmitterFields(answer, fieldText)) {
            BreakOff(app, variant);
            break;
        }
        DoEvents(app);
        if (st.StopRequested == kTrue)
            break;

        rule.StartAttempt();
        const TransmitterJudgement j = JudgeTransmitterFields(fieldText, limits, measureModulation);
        const JudgedValue* values[] = {&j.power, &j.phaseRms, &j.phasePeak, &j.frequency, &j.burstLength};
        for (int i = 0; i < count; ++i)
            q[i].Take(app, rule, *values[i]);
        rule.EndAttempt(app, 2, kFailedText, saved);
        complete = !rule.Again();
    } while (rule.Again());
    Collect(t, q, count, rule.attempt, out);
    return complete;
}

// The power-time template: the first nine characters of the answer must be
// "0,0,0,0,0", by the repeat rule.
void CheckTemplate(App& app, const Target& t, TransmitterReadings& out)
{
    Judged cell{RowId::Template};
    const QString savedLine = app.st.SummaryLines[2];
    RepeatRule templateRule;
    do {
        Send(app, TesterOp::MeasurePowerTemplate);
        const bool failed = ReadAnswer(app).left(9) != QLatin1String("0,0,0,0,0");
        templateRule.StartAttempt();
        cell.Take(app, templateRule, JudgedValue{failed ? QStringLiteral("Failed") : QStringLiteral("Passed"), failed});
        templateRule.EndAttempt(app, 2, kFailedText, savedLine);
    } while (templateRule.Again());
    Collect(t, &cell, 1, templateRule.attempt, out);
}

}  // namespace

bool SplitTransmitterFields(const QString& answer, QString (&fields)[5])
{
    const qsizetype end = answer.size() - 1;  // commas are looked for up to the next-to-last character
    qsizetype from = 0;
    qsizetype commas[4];
    for (qsizetype& comma : commas) {
        comma = -1;
        for (qsizetype k = from; k < end; ++k) {
            if (answer[k] == QLatin1Char(',')) {
                comma = k;
                break;
            }
        }
        if (comma < 0)
            return false;
        from = comma + 1;
    }
    fields[0] = answer.left(commas[0]);
    for (int i = 1; i < 4; ++i)
        fields[i] = answer.mid(commas[i - 1] + 1, commas[i] - commas[i - 1] - 1);
    // The last field ends with the answer line or at a further comma.
    fields[4] = AnswerLine(answer.mid(commas[3] + 1)).section(QLatin1Char(','), 0, 0);
    return true;
}

bool SplitTransmitterAnswer(const QString& answer, double (&fields)[5])
{
    QString text[5];
    if (!SplitTransmitterFields(answer, text))
        return false;
    for (int i = 0; i < 5; ++i)
        fields[i] = ReadNumber(text[i]);
    return true;
}

TransmitterReadings MeasureTransmitter(App& app, const QString& band, int powerSlot, bool measureModulation,
                                       bool checkTemplate, TxVariant variant)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    TransmitterReadings out;
    if (st.TxStep < 1 || st.TxStep > 6 || powerSlot < 1 || powerSlot > 3) {
        BreakOff(app, variant);
        return out;
    }
    const int step = st.TxStep;
    const QString display = variant == TxVariant::FirstBand ? QStringLiteral("TX Test ") : QStringLiteral("Dual Test ");
    Send(app, TesterOp::RemoteDisplayText, {display + QString::number(step) + QStringLiteral(".Chan")});

    ShowPicture(app, QStringLiteral("Transmit.BMP"), st.PhonePicture);
    f.Label4.Caption = variant == TxVariant::FirstBand ? QStringLiteral("Transmitter Test")
                                                        : QStringLiteral("Transmitter Test ");
    f.Label4.Visible = true;
    const qint16 channel = st.TrafficChannels[step];
    const QString base = f.Label3.Caption + st.NewLine + Str(qint64(step)) + QStringLiteral(". Traffic Channel: ") +
                         Str(qint64(channel)) + QStringLiteral("  ");
    f.Label3.Caption = base;
    f.Pointer = MousePointer::Hourglass;

    if (st.CurrentTrafficChannel != channel)
        out.Attenuation = ChangeChannel(app, band, channel, variant);

    const Target t = TargetOf(app, variant);
    out.Band = t.band;
    out.Column = t.column;
    const int level = st.MsPowerLevels[powerSlot + t.levelOffset];
    TransmitterLimits limits;
    limits.nominalPower = NominalPower(band, level);
    limits.power = st.LimitTxPower;
    limits.phaseRms = st.LimitPhaseRms;
    limits.phasePeak = st.LimitPhasePeak;
    limits.frequency = variant == TxVariant::FirstBand ? st.LimitFrequency : st.LimitFrequencyHigh;
    limits.burstLength = st.LimitBurstLength;

    f.Label3.Caption = base + QStringLiteral("MS-Level: ") + QString::number(level);
    Send(app, TesterOp::SetTrafficPowerLevel, {band, Str(qint64(level))});
    if (variant == TxVariant::SecondBand)
        WaitSeconds(app, 1);

    if (!MeasureFields(app, t, powerSlot, measureModulation, limits, variant, out))
        return out;
    if (checkTemplate)
        CheckTemplate(app, t, out);

    f.Pointer = MousePointer::Normal;
    f.Label3.Caption = base + QStringLiteral("Checked");
    return out;
}

}  // namespace celvio
