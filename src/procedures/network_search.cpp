// Placing the phone and its registration with the test network, and the main
// window's two-button question that offers a retry.
#include "procedures/network_search.h"

#include "core/app.h"
#include "core/events.h"
#include "core/files.h"
#include "core/helpers.h"
#include "core/measured_value.h"
#include "core/trace.h"
#include "core/text.h"
#include "core/translation.h"
#include "procedures/call_wait.h"
#include "tester/tester_control.h"
#include "tester/transport.h"

namespace celvio {

namespace {

struct Placement {
    const char* title;
    const char* line1;
    const char* line2;
    const char* picture;
};

// The instructions exist in English only; they are shown whatever the language.
Placement PlacementFor(CycleMode mode, bool haveBlockedList)
{
    if (mode == CycleMode::Swap)
        return {"SWAP mobile phone", "Place the swapped mobile phone on", "the antenna coupler.", "Coupler.BMP"};
    if (mode == CycleMode::Test)
        return {"Test Your Phone!", "Place your mobile phone on", "the antenna coupler.", "Coupler.BMP"};
    if (!haveBlockedList)
        return {"Scanning for used Channels", "Please connect the reference phone", "via cable.", "Coupler2.BMP"};
    return {"Scanning for used Channels", "Place your mobile phone on", "the antenna coupler.", "Coupler.BMP"};
}

// Where to put the phone and what to do with it, the Done button, and the search's
// time-out on the progress bar.
void ShowSearchInstruction(App& app, CycleMode mode, bool haveBlockedList)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    const Placement p = PlacementFor(mode, haveBlockedList);
    f.Label4.Caption = QString::fromLatin1(p.title);
    f.Label4.Visible = true;
    f.Label3.Caption = QString::fromLatin1(p.line1) + st.NewLine + QString::fromLatin1(p.line2) + st.NewLine +
                       QStringLiteral("Switch it (off and) on,") + st.NewLine +
                       QStringLiteral("choose the network named 001 01.");
    f.Label3.Visible = true;
    ShowPicture(app, QString::fromLatin1(p.picture));
    f.Command1.Caption = Tr(app, QT_TRANSLATE_NOOP("Celvio", "&Done"));
    f.Command1.Visible = true;
    f.Command1.Enabled = true;
    f.Command1.TabStop = true;

    ProgressBar& bar = f.Progress;
    bar.Min = 0;
    bar.Value = 0;
    bar.Max = st.SearchTimeout;
    bar.Color = kGreen;
    bar.Visible = true;
}

// The tester's answer to the location update: a status that is not a whole number
// 0..65535 is no proof of a registration. A failed search (or one that timed out) ends
// the phone's call attempt on the tester and aborts the cycle.
void EvaluateRegistration(App& app, CallWaitEnd end)
{
    StationState& st = app.st;
    st.TesterBusy = 0;
    ReadAnswer(app);
    Send(app, TesterOp::ReadQuestionableEvents);
    quint16 status = 0;
    const bool statusRead = ReadStatusWord(AnswerLine(ReadAnswer(app)), status);
    if (!statusRead)
        TraceLine(app, QStringLiteral("Network search: status not readable, counted as failed."));
    const bool failed = !statusRead || (status & kCallFailedBit) != 0 || end == CallWaitEnd::TimedOut;
    if (failed) {
        st.Verdict = Verdict::Aborted;
        Send(app, TesterOp::SetTimeout, {QStringLiteral("1")});
        Send(app, TesterOp::StartTimeout);
        Send(app, TesterOp::PhoneCallThenEvents);
        ReadAnswer(app);
    }
    Send(app, TesterOp::ClearStatusAndStopTimeout);
}

}  // namespace

void NetworkSearch(App& app, CycleMode mode)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    SetHelpTopic(app, HelpTopic::NetworkSearch);
    const bool haveBlockedList = FileExists(app, QStringLiteral("BadChan.DAT"));
    ShowSearchInstruction(app, mode, haveBlockedList);

    const QString band = st.SystemCode.left(3);
    Send(app, TesterOp::SetTrafficChannel, {band, Str(qint64(st.ControlChannel))});
    Send(app, TesterOp::SetGeneratorLevel, {band, Str(qint64(st.LocateBsLevel))});
    Send(app, TesterOp::RemoteDisplayText, {QStringLiteral("Search Network...")});
    Send(app, TesterOp::SetTimeout, {Str(qint64(st.SearchTimeout))});
    Send(app, TesterOp::StartTimeout);
    st.TesterBusy = 1;
    Send(app, TesterOp::LocationUpdateThenStatus);  // answered when the location update is over

    // A reference phone on a cable: the cable picture is animated.
    const bool animate = mode == CycleMode::OneScan && !haveBlockedList;
    const CallWaitEnd end = WaitForCallAction(app, st.SearchTimeout, SecondsSinceMidnight(app), [&](int step) {
        if (animate)
            ShowPicture(app, step % 2 == 0 ? QStringLiteral("Coupler2.BMP") : QStringLiteral("Coupler3.BMP"));
    });
    if (end == CallWaitEnd::Stopped) {
        ResetTester(app);
        return;
    }

    EvaluateRegistration(app, end);

    st.Command1Pressed = kFalse;
    ProgressBar& bar = f.Progress;
    bar.Visible = false;
    bar.Color = kGreen;
    f.Label4.Caption.clear();
    f.Label3.Caption.clear();
    f.Command1.Visible = false;
}

int AskQuestion(App& app, int n)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    // The English texts; the operator's language comes from the translation.
    struct Question {
        const char* title;
        const char* text;
        const char* yes;
        const char* no;
    };
    static const Question questions[] = {
        {QT_TRANSLATE_NOOP("Celvio", "Select mode"),
         QT_TRANSLATE_NOOP("Celvio", "TEST : Test a phone.\nSCAN : Scan channels.\nSWAP : Exchange phone."),
         QT_TRANSLATE_NOOP("Celvio", "&TEST"), QT_TRANSLATE_NOOP("Celvio", "&SCAN")},
        {QT_TRANSLATE_NOOP("Celvio", "Scanning Channels!"), QT_TRANSLATE_NOOP("Celvio", "Choose Scan Mode"),
         QT_TRANSLATE_NOOP("Celvio", "&One Scan"), QT_TRANSLATE_NOOP("Celvio", "&Continuous")},
        {QT_TRANSLATE_NOOP("Celvio", "Scanning Channels!"), QT_TRANSLATE_NOOP("Celvio", "Choose Scan Mode"),
         QT_TRANSLATE_NOOP("Celvio", "&Search more"), QT_TRANSLATE_NOOP("Celvio", "&Clear + search")},
        {QT_TRANSLATE_NOOP("Celvio", "Scanning Channels!"),
         QT_TRANSLATE_NOOP("Celvio", "Network connection failed!\nRetry ?"), QT_TRANSLATE_NOOP("Celvio", "&Yes"),
         QT_TRANSLATE_NOOP("Celvio", "&No")},
        {QT_TRANSLATE_NOOP("Celvio", "Network Search"), QT_TRANSLATE_NOOP("Celvio", "Network search failed!\nRetry ?"),
         QT_TRANSLATE_NOOP("Celvio", "&Yes"), QT_TRANSLATE_NOOP("Celvio", "&No")},
    };
    if (n < 0 || n > 4)
        return 0;
    const Question& q = questions[n];
    if (n == 3 || n == 4)
        SetHelpTopic(app, HelpTopic::NetworkSearchFailed);
    f.Label4.Caption = Tr(app, q.title);
    f.Label4.Visible = true;
    f.Label3.Caption = Tr(app, q.text).replace(QLatin1Char('\n'), st.NewLine);
    f.Label3.Visible = true;
    for (int i : {2, 3}) {
        CommandButton& b = f.Command(i);
        b.Caption = Tr(app, i == 2 ? q.yes : q.no);
        b.Visible = true;
        b.Enabled = true;
        b.TabStop = true;
    }
    f.SetFocus(2);

    while (st.Command2Pressed != kTrue && st.Command3Pressed != kTrue && st.StopRequested != kTrue)
        WaitEvents(app);

    const bool second = st.Command3Pressed == kTrue;
    int result = 0;
    if (n == 1 || n == 2) {
        result = second ? 2 : 1;
        TraceButton(app, second ? f.Command3.Caption : f.Command2.Caption);
    } else {
        result = second ? -1 : 0;
        TraceButton(app, QStringLiteral("OK"));
    }

    st.Command2Pressed = kFalse;
    st.Command3Pressed = kFalse;
    for (CommandButton* b : {&f.Command2, &f.Command3}) {
        b->Visible = false;
        b->Enabled = false;
    }
    f.Label4.Caption.clear();
    f.Label3.Caption.clear();
    return result;
}

}  // namespace celvio
