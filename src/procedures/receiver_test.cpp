// The receiver test: the RX level and RX quality that the phone reports while it holds
// the call, against the level the tester's generator sends.
#include "procedures/receiver_test.h"

#include "core/app.h"
#include "core/bilingual.h"
#include "core/measured_value.h"
#include "core/number_reader.h"
#include "core/text.h"
#include "procedures/judgements.h"
#include "procedures/repeat_rule.h"
#include "tester/transport.h"

namespace celvio {

namespace {

// Reads one value that the phone reports into `cell`, by the repeat rule; `judge`
// judges the answer line.
// A value that is not a reading (no number, "NAN", 9.91E37) fails and shows as read.
template <typename Judge>
void ReadReported(App& app, Cell& cell, TesterOp query, const QString& failureText, Judge judge)
{
    StationState& st = app.st;
    cell.ForeColor = kGreen;
    const QString saved = st.SummaryLines[3];
    RepeatRule rule;
    rule.needed = 0;  // one reading unless a failure asks for more
    do {
        Send(app, query);
        const JudgedValue value = judge(AnswerLine(ReadAnswer(app)));
        rule.StartAttempt();
        const QString mark = rule.Judge(app, cell, value.failed, QStringLiteral("* "), QStringLiteral("! "),
                                        QStringLiteral(" "));
        cell.Caption = mark + value.text;
        rule.EndAttempt(app, 3, failureText, saved);
    } while (rule.Again());
}

void MeasureReceiver(App& app, ResultPage& page, const QString& failureText, int errorLine)
{
    StationState& st = app.st;
    const int column = st.TxStep;
    if (column < 1 || column > 3) {
        st.Verdict = 2;
        st.SummaryLines[errorLine] = failureText;
        return;
    }
    ReadReported(app, page.Label56[column], TesterOp::PhoneRxLevel, failureText,
                 [&](const QString& line) { return JudgeRxLevel(line, st.GeneratorLevel, st.LimitRxLevel); });
    if (st.StopRequested == kTrue)
        return;
    ReadReported(app, page.Label57[column], TesterOp::PhoneRxQuality, failureText,
                 [&](const QString& line) { return JudgeRxQuality(line, st.LimitRxQuality); });
    if (st.StopRequested == kTrue)
        return;
    app.Form1.Pointer = MousePointer::Normal;
}

}  // namespace

void ReceiverTest(App& app)
{
    MeasureReceiver(app, app.Form3, QStringLiteral("Receiver Test: Failed"), 3);
}

void ReceiverTestSecondBand(App& app, const QString& /*band*/)
{
    if (app.st.TxStep > 3)
        app.st.TxStep -= 3;
    MeasureReceiver(app, app.Form4, Bilingual(app, "Receiver Test: Failed", "Empfängertest: Fehler"), 6);
}

}  // namespace celvio
