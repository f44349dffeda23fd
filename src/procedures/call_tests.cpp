// The call from the phone (keypad test, and the calls of the scan and the swap) and the
// call to the phone.
#include "procedures/call_tests.h"

#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/measured_value.h"
#include "core/trace.h"
#include "core/text.h"
#include "core/translation.h"
#include "procedures/call_wait.h"
#include "tester/tester_control.h"
#include "tester/transport.h"

#include <algorithm>

namespace celvio {

namespace {

void ShowProgress(App& app, int maximum)
{
    ProgressBar& bar = app.Form1.Progress;
    bar.Value = 0;
    bar.Max = maximum;
    bar.Color = kGreen;
    bar.Visible = true;
}

void HideProgress(App& app)
{
    app.Form1.Progress.Visible = false;
    app.Form1.Progress.Color = kGreen;
}

// Arms the tester's own time-out for the call and starts it (a call from the phone or
// to it).
void StartCall(App& app, const QString& display, int timeoutSeconds, TesterOp call)
{
    Send(app, TesterOp::RemoteDisplayText, {display});
    Send(app, TesterOp::SetTimeout, {Str(qint64(timeoutSeconds))});
    Send(app, TesterOp::StartTimeout);
    app.st.TesterBusy = 1;
    Send(app, call);  // answered when the call is set up or has failed
}

// After the wait: the status answer, then bit 9 of the questionable status. Sets
// Verdict Aborted when the call timed out.
void EvaluateCall(App& app, bool timedOut)
{
    ReadAnswer(app);
    Send(app, TesterOp::ReadQuestionableEvents);
    // A status that is not a whole number 0..65535 is no proof that the call came up.
    quint16 status = 0;
    if (!ReadStatusWord(AnswerLine(ReadAnswer(app)), status)) {
        TraceLine(app, QStringLiteral("Call: status not readable, counted as failed."));
        timedOut = true;
    } else if ((status & kCallFailedBit) != 0) {
        timedOut = true;
    }
    Send(app, TesterOp::ClearStatus);
    if (timedOut)
        app.st.Verdict = Verdict::Aborted;
}

void CallIsUp(App& app)
{
    Send(app, TesterOp::StopTimeout);
    Send(app, TesterOp::RemoteDisplayText, {QStringLiteral("Call active...")});
    Send(app, TesterOp::ReadError);
    ReadAnswer(app);
}

// The tester reports '*' as "A" and '#' as "B".
QString DecodeDialled(const QString& digits)
{
    QString out = digits;
    out.replace(QLatin1Char('A'), QLatin1Char('*')).replace(QLatin1Char('B'), QLatin1Char('#'));
    return out;
}

// The instruction to dial from the phone, in the words of the cycle's purpose, with the
// picture of the hand and the call's time-out on the progress bar.
void ShowDialInstruction(App& app, CycleMode purpose)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    const QString nl = st.NewLine;
    if (purpose == CycleMode::Test) {
        f.Label4.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Testing Key Pad"));
        f.Label3.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Dial the number ")) + st.DialNumber + nl +
                           Tr(app, QT_TRANSLATE_NOOP("Celvio", "with your mobile telephone,")) + nl +
                           Tr(app, QT_TRANSLATE_NOOP("Celvio", "and press the 'Send' key"));
    } else if (purpose == CycleMode::Swap) {
        f.Label4.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "SWAP mobile phone"));
        f.Label3.Caption = nl + Tr(app, QT_TRANSLATE_NOOP3("Celvio", "Please dial number 123", "swap")) + nl +
                           Tr(app, QT_TRANSLATE_NOOP("Celvio", "on the swapped phone")) + nl +
                           Tr(app, QT_TRANSLATE_NOOP("Celvio", "and press the 'Send' key"));
    } else {
        f.Label4.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Scanning for used Channels"));
        f.Label3.Caption = Tr(app, QT_TRANSLATE_NOOP3("Celvio", "Please dial number 123", "scan")) + nl +
                           Tr(app, QT_TRANSLATE_NOOP("Celvio", "with your mobile telephone,")) + nl +
                           Tr(app, QT_TRANSLATE_NOOP("Celvio", "and press the 'Send' key"));
    }
    ShowPicture(app, QStringLiteral("Hand.BMP"), st.PhonePicture);
    f.Label4.Visible = true;
    f.Label3.Visible = true;
    ShowProgress(app, st.MsCallTimeout);
    DoEvents(app);
}

// The keypad test's readings by its verdict: the call and the digits dialled, and the
// summary line of the printed report.
QList<MeasuredReading> KeypadReadings(App& app, const QString& dialled)
{
    StationState& st = app.st;
    const QString passed = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Passed"));
    auto reading = [](RowId row, const QString& text, ReadingOutcome outcome) {
        return MeasuredReading{1, row, 1, text, outcome, 1};
    };
    switch (st.Verdict) {
    case Verdict::Passed:
        st.SummaryLines[1] = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Keypad Test: Passed"));
        return {reading(RowId::MobileCall, passed, ReadingOutcome::Passed),
                reading(RowId::DialledNumber, dialled, ReadingOutcome::Passed)};
    case Verdict::Failed:
        st.SummaryLines[1] = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Keypad Test: Failed"));
        return {reading(RowId::MobileCall, passed, ReadingOutcome::Passed),
                reading(RowId::DialledNumber, dialled, ReadingOutcome::Failed)};
    default:
        st.SummaryLines[1] = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Keypad Test: Failed "));
        return {reading(RowId::MobileCall, Tr(app, QT_TRANSLATE_NOOP("Celvio", "Failed")), ReadingOutcome::Failed)};
    }
}

}  // namespace

QList<MeasuredReading> KeypadCallTest(App& app, CycleMode purpose)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    ShowDialInstruction(app, purpose);
    StartCall(app, QStringLiteral("MS Call..."), st.MsCallTimeout, TesterOp::PhoneCallThenStatus);
    const double start = SecondsSinceMidnight(app);
    f.Pointer = MousePointer::Hourglass;
    const CallWaitEnd end = WaitForCallAction(app, st.MsCallTimeout, start);
    if (end == CallWaitEnd::Stopped) {
        ResetTester(app);
        return {};
    }
    EvaluateCall(app, end == CallWaitEnd::TimedOut);
    f.Pointer = MousePointer::Normal;
    HideProgress(app);
    f.Label3.Caption.clear();

    QString dialled;
    st.VerdictBeforeDigits = st.Verdict;
    st.DigitsChecked = kFalse;
    if (st.Verdict != Verdict::Aborted) {
        CallIsUp(app);
        if (st.StopRequested == kTrue)
            return {};
        Send(app, TesterOp::PhoneDialledNumber);
        dialled = DecodeDialled(AnswerLine(ReadAnswer(app)));
        st.DigitsChecked = kTrue;
        if (dialled != st.DialNumber)
            st.Verdict = std::max(st.Verdict, Verdict::Failed);
    }
    if (purpose == CycleMode::Swap)
        return {};  // the swap reads Verdict itself
    return KeypadReadings(app, dialled);
}

QList<MeasuredReading> BaseCallTest(App& app)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    const Verdict before = st.Verdict;
    st.Verdict = Verdict::Passed;
    ShowPicture(app, QStringLiteral("Incall.BMP"), st.PhonePicture);
    f.Label4.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Testing Call Receive"));
    f.Label3.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Answer the call when")) + st.NewLine +
                       Tr(app, QT_TRANSLATE_NOOP("Celvio", "the phone is ringing."));
    f.Label4.Visible = true;
    f.Label3.Visible = true;
    ShowProgress(app, st.BsCallTimeout);

    StartCall(app, QStringLiteral("BS Call"), st.BsCallTimeout, TesterOp::BaseCallThenStatus);
    // A stop leaves the cycle without a verdict; the earlier result is kept as it was.
    if (st.StopRequested == kTrue) {
        st.Verdict = before;
        ResetTester(app);
        return {};
    }
    f.Pointer = MousePointer::Hourglass;
    const CallWaitEnd end = WaitForCallAction(app, st.BsCallTimeout, SecondsSinceMidnight(app));
    if (end == CallWaitEnd::Stopped) {
        st.Verdict = before;
        ResetTester(app);
        return {};
    }
    EvaluateCall(app, end == CallWaitEnd::TimedOut);
    if (st.Verdict != Verdict::Aborted)
        CallIsUp(app);

    const bool passed = st.Verdict == Verdict::Passed;
    const MeasuredReading call{1, RowId::BaseCall, 1,
                               passed ? Tr(app, QT_TRANSLATE_NOOP("Celvio", "Passed"))
                                      : Tr(app, QT_TRANSLATE_NOOP("Celvio", "Failed")),
                               passed ? ReadingOutcome::Passed : ReadingOutcome::Failed, 1};
    st.Verdict = std::max(before, st.Verdict);

    f.Pointer = MousePointer::Normal;
    HideProgress(app);
    f.Label3.Caption.clear();
    f.Label4.Caption.clear();
    return {call};
}

}  // namespace celvio
