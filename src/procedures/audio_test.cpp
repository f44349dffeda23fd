// The speech loop-back, judged by ear: the tester sends the phone's speech back to it
// and the operator answers whether the customer hears the echo.
#include "procedures/audio_test.h"

#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/number_reader.h"
#include "core/translation.h"
#include "tester/transport.h"

namespace celvio {

namespace {

// A reported RX level of 64 or more is no reading of a phone on the coupler.
constexpr double kImpossibleRxLevel = 64;

void LoopBack(App& app, const QString& band, bool on)
{
    Send(app, on ? TesterOp::AudioLoopOn : TesterOp::AudioLoopOff, {band});
    app.ui.Sleep(kSettlePause);
    Send(app, TesterOp::ReadStatusByte);
    ReadAnswer(app);
}

}  // namespace

QList<MeasuredReading> AudioTest(App& app, const QString& rxLevelText)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    const QString band = st.SystemCode.left(3);
    if (ReadNumber(rxLevelText) >= kImpossibleRxLevel) {
        st.Command3Pressed = kTrue;  // counts as "No"
    } else {
        Send(app, TesterOp::RemoteDisplayText, {QStringLiteral("Speech Loopback")});
        Send(app, TesterOp::SetGeneratorLevel, {band, QStringLiteral("-55")});
        LoopBack(app, band, true);

        ShowPicture(app, QStringLiteral("Speak.BMP"), st.PhonePicture);
        f.Label4.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Audio Test"));
        f.Label4.Visible = true;
        const QString nl = st.NewLine;
        f.Label3.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Please take your mobile phone")) + nl +
                           Tr(app, QT_TRANSLATE_NOOP("Celvio", "and speak some words")) + nl +
                           Tr(app, QT_TRANSLATE_NOOP("Celvio", "to the microphone")) + nl +
                           Tr(app, QT_TRANSLATE_NOOP("Celvio", "Can you hear an echo?"));
        f.Label3.Visible = true;
        f.Command2.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "&Yes"));
        f.Command3.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "&No"));
        for (CommandButton* b : {&f.Command2, &f.Command3}) {
            b->Visible = true;
            b->Enabled = true;
            b->TabStop = true;
        }
        f.SetFocus(2);

        while (st.StopRequested != kTrue && st.Command2Pressed != kTrue && st.Command3Pressed != kTrue)
            WaitEvents(app);
        // A stop leaves the loop-back on; the end of the cycle resets the tester.
        if (st.StopRequested == kTrue)
            return {};
        LoopBack(app, band, false);
    }

    MeasuredReading speech{1, RowId::SpeechLoopback, 1, QString(), ReadingOutcome::Passed, 1};
    if (st.Command2Pressed == kTrue) {
        TraceButton(app, QStringLiteral("Audio OK"));
        st.SummaryLines[4] = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Microphone / Speaker Test: Passed"));
        speech.Text = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Passed"));
        st.Command2Pressed = kFalse;
    } else {
        TraceButton(app, QStringLiteral("Audio NOT ok"));
        st.Verdict = Verdict::Aborted;
        st.SummaryLines[4] = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Microphone / Speaker Test: Failed"));
        speech.Text = Tr(app, QT_TRANSLATE_NOOP("Celvio", "Failed"));
        speech.Outcome = ReadingOutcome::Failed;
        st.Command3Pressed = kFalse;
    }

    for (CommandButton* b : {&f.Command2, &f.Command3}) {
        b->Visible = false;
        b->TabStop = false;
    }
    f.Label3.Caption.clear();
    f.Label4.Caption.clear();
    return {speech};
}

}  // namespace celvio
