// The receiver test: the RX level and RX quality that the phone reports while it holds
// the call, against the level the tester's generator sends.
#include "procedures/receiver_test.h"

#include "core/app.h"
#include "core/measured_value.h"
#include "core/number_reader.h"
#include "core/text.h"
#include "core/translation.h"
#include "procedures/judgements.h"
#include "procedures/repeat_rule.h"
#include "tester/transport.h"

namespace celvio {

namespace {

// Reads one value that the phone reports into a reading of `row`, by the repeat rule;
// `judge` judges the answer line. A value that is not a reading (no number, "NAN",
// 9.91E37) fails and shows as read.
template <typename Judge>
MeasuredReading ReadReported(App& app, int band, RowId row, TesterOp query, const QString& failureText, Judge judge)
{
    StationState& st = app.st;
    MeasuredReading reading{band, row, st.TxStep, QString(), ReadingOutcome::Passed, 0};
    const QString saved = st.SummaryLines[3];
    RepeatRule rule;
    rule.needed = 0;  // one reading unless a failure asks for more
    do {
        Send(app, query);
        const JudgedValue value = judge(AnswerLine(ReadAnswer(app)));
        rule.StartAttempt();
        rule.Judge(app, reading.Outcome, value.failed);
        reading.Text = value.text;
        rule.EndAttempt(app, 3, failureText, saved);
    } while (rule.Again());
    reading.Attempts = rule.attempt;
    return reading;
}

QList<MeasuredReading> MeasureReceiver(App& app, int band, const QString& failureText, int errorLine)
{
    StationState& st = app.st;
    QList<MeasuredReading> readings;
    const int column = st.TxStep;
    if (column < 1 || column > 3) {
        st.Verdict = Verdict::Aborted;
        st.SummaryLines[errorLine] = failureText;
        return readings;
    }
    readings << ReadReported(app, band, RowId::RxLevel, TesterOp::PhoneRxLevel, failureText,
                             [&](const QString& line) { return JudgeRxLevel(line, st.GeneratorLevel, st.LimitRxLevel); });
    if (st.StopRequested == kTrue)
        return readings;
    readings << ReadReported(app, band, RowId::RxQuality, TesterOp::PhoneRxQuality, failureText,
                             [&](const QString& line) { return JudgeRxQuality(line, st.LimitRxQuality); });
    if (st.StopRequested == kTrue)
        return readings;
    app.Form1.Pointer = MousePointer::Normal;
    return readings;
}

}  // namespace

QList<MeasuredReading> ReceiverTest(App& app)
{
    return MeasureReceiver(app, 1, QStringLiteral("Receiver Test: Failed"), 3);
}

QList<MeasuredReading> ReceiverTestSecondBand(App& app, const QString& /*band*/)
{
    if (app.st.TxStep > 3)
        app.st.TxStep -= 3;
    return MeasureReceiver(app, 2, Tr(app, QT_TRANSLATE_NOOP("Celvio", "Receiver Test: Failed")), 6);
}

}  // namespace celvio
