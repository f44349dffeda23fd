#include "swap/swap_workflow.h"

#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/translation.h"
#include "procedures/band_config.h"
#include "procedures/call_tests.h"
#include "procedures/network_search.h"
#include "procedures/phone_identity.h"
#include "results/imei_entry.h"
#include "results/result_file.h"
#include "swap/service_data.h"
#include "swap/swap_records.h"
#include "swap/swap_report.h"
#include "tester/tester_control.h"
#include "tester/transport.h"

namespace celvio {

namespace {

// What the identification stores when the phone's IMEI answer cannot be read.
const QString kUnreadImei = QStringLiteral("999999000000006");

bool Stopped(const App& app)
{
    return app.st.StopRequested == kTrue;
}

struct Question {
    QString title, text, first, second;
};

Question QuestionOf(const App& app, SwapQuestion kind)
{
    switch (kind) {
    case SwapQuestion::NewImeiNotRead:
        return {Tr(app, QT_TRANSLATE_NOOP("Celvio", "New IMEI not read!")),
                Tr(app, QT_TRANSLATE_NOOP("Celvio", "Try once more?")), Tr(app, QT_TRANSLATE_NOOP("Celvio", "&Yes")),
                Tr(app, QT_TRANSLATE_NOOP("Celvio", "&No, enter IMEI"))};
    case SwapQuestion::OtherModel:
        return {Tr(app, QT_TRANSLATE_NOOP("Celvio", "Swap phone!")),
                Tr(app, QT_TRANSLATE_NOOP("Celvio", "Do you really want to give the customer another type of phone?")),
                Tr(app, QT_TRANSLATE_NOOP("Celvio", "&Yes")), Tr(app, QT_TRANSLATE_NOOP("Celvio", "&No"))};
    case SwapQuestion::SamePhone:
        return {Tr(app, QT_TRANSLATE_NOOP("Celvio", "Swap phone!")),
                Tr(app, QT_TRANSLATE_NOOP("Celvio", "Insert new phone instead of defective phone!")),
                QStringLiteral("&OK"), QString()};
    case SwapQuestion::SwapFailedPhone:
    default:
        return {Tr(app, QT_TRANSLATE_NOOP("Celvio", "Test Failed!")),
                Tr(app, QT_TRANSLATE_NOOP("Celvio", "Do you want to SWAP the phone?")),
                Tr(app, QT_TRANSLATE_NOOP("Celvio", "&SWAP")), Tr(app, QT_TRANSLATE_NOOP("Celvio", "&Don't SWAP"))};
    }
}

// Waits for either button or STOP. With a comment box, a button counts only with a
// comment that the station's files can hold.
void WaitForAnswer(App& app, const TextBox* comment)
{
    StationState& st = app.st;
    st.Command2Pressed = kFalse;
    st.Command3Pressed = kFalse;
    for (;;) {
        while (st.Command2Pressed != kTrue && st.Command3Pressed != kTrue && !Stopped(app))
            WaitEvents(app);
        if (!comment || Stopped(app))
            return;
        const QString problem = Latin1EntryProblem(comment->Caption, comment->Text);
        if (problem.isEmpty())
            return;
        TraceLine(app, QStringLiteral("Swap comment refused: ") + problem);
        app.ui.MsgBox(problem, msgbox::kOkOnly | msgbox::kExclamation, QString());
        st.Command2Pressed = kFalse;
        st.Command3Pressed = kFalse;
        app.Form1.SetFocus(kCommentField);
    }
}

// Records the swap: the swap file first, then the IMEI file.
void RecordSwap(App& app)
{
    WriteSwapRecord(app, true, QString());
    WriteSwapRecord(app, false, QStringLiteral("SWAP"));
}

}  // namespace

bool AskSwapQuestion(App& app, SwapQuestion kind)
{
    Form1& f = app.Form1;
    StationState& st = app.st;
    const Question q = QuestionOf(app, kind);
    f.Label4.Caption = q.title;
    f.Label4.Visible = true;
    f.Label3.Caption = kCrLf + q.text + kCrLf;
    ShowPicture(app, QStringLiteral("N650a.BMP"));
    CommandButton& first = f.Command2;
    CommandButton& second = f.Command3;
    first.Caption = q.first;
    first.Visible = first.Enabled = first.TabStop = true;
    second.Caption = q.second;
    second.Visible = second.Enabled = second.TabStop = !q.second.isEmpty();
    TextBox& comment = f.Text6;
    const bool withComment =
        kind != SwapQuestion::NewImeiNotRead && kind != SwapQuestion::OtherModel && kind != SwapQuestion::SamePhone;
    if (withComment) {
        comment.Caption = QStringLiteral("SWAP comment");
        comment.Text.clear();
        comment.MaxLength = kCommentLength;
        comment.Enabled = true;
        comment.Visible = true;
    }
    // The comment is typed first; the buttons answer with their Alt letters.
    f.SetFocus(withComment ? kCommentField : 2);
    // STOP answers every question of the exchange.
    const bool stopWasEnabled = f.MStop.Enabled;
    f.MStop.Enabled = true;
    WaitForAnswer(app, withComment ? &comment : nullptr);
    const bool yes = st.Command2Pressed == kTrue && !Stopped(app);
    TraceButton(app, yes ? QStringLiteral("SWAP") : QStringLiteral("No Swap"));
    st.Command2Pressed = kFalse;
    st.Command3Pressed = kFalse;
    first.Visible = first.TabStop = false;
    second.Visible = second.TabStop = false;
    comment.Visible = false;
    f.MStop.Enabled = stopWasEnabled;
    if (withComment) {
        // Only the swap question has a comment box of its own; the other questions keep
        // the comment typed at the start of the cycle.
        st.SwapComment = comment.Text.left(kCommentLength);
        comment.Caption.clear();
    }
    f.Label3.Caption.clear();
    return yes;
}

namespace {

// The new phone over the air: the band, the phone registering, its call, then its IMEI
// and IMSI read and kept as the swap's new phone. False when the operator stopped; a
// phone that did not register or call, or whose IMEI is no phone to hand out, leaves
// the verdict Aborted.
bool ReadNewPhoneOverTheAir(App& app, bool swapMode)
{
    StationState& st = app.st;
    // 1.-2. The band, then the new phone registering.
    st.Imei.clear();
    st.Verdict = Verdict::Passed;
    if (swapMode)
        SetHelpTopic(app, HelpTopic::InitializeTester);
    ConfigureBand(app);
    if (Stopped(app))
        return false;
    app.Form1.MStop.Enabled = true;
    if (swapMode)
        SetHelpTopic(app, HelpTopic::NetworkSearch);
    NetworkSearch(app, CycleMode::Swap);
    if (Stopped(app))
        return false;
    // 3. The call from the phone, then its IMEI.
    if (st.Verdict != Verdict::Aborted) {
        SetHelpTopic(app, HelpTopic::MobileCall);
        KeypadCallTest(app, CycleMode::Swap);
        if (Stopped(app))
            return false;
    }
    if (st.Verdict == Verdict::Aborted) {
        ReleaseTester(app, 0);
        return true;
    }
    Send(app, TesterOp::RemoteDisplayText, {QStringLiteral("Read IMEI IMSI")});
    const PhoneIdentity identity = IdentifyPhone(app);
    if (identity.Imei)
        st.Imei = *identity.Imei;
    if (identity.Imsi)
        st.Imsi = *identity.Imsi;
    ReleaseBaseStation(app);
    ReleaseTester(app, 0);
    if (Stopped(app))
        return false;
    // An IMEI that could not be read is no phone to hand out.
    if (!UsableImei(st.Imei) || st.Imei == kUnreadImei) {
        TraceLine(app, QStringLiteral("New IMEI not usable: ") + st.Imei);
        st.Imei.clear();
        st.Verdict = Verdict::Aborted;
    }
    return true;
}

}  // namespace

bool ReadNewPhone(App& app, bool swapMode)
{
    StationState& st = app.st;
    for (;;) {
        if (!ReadNewPhoneOverTheAir(app, swapMode))
            return false;
        // 4. No connection to the new phone: again, or the IMEI typed in.
        if (st.Verdict == Verdict::Aborted) {
            SetHelpTopic(app, HelpTopic::UnknownImei);
            if (AskSwapQuestion(app, SwapQuestion::NewImeiNotRead))
                continue;
            if (Stopped(app))
                return false;
            SetHelpTopic(app, HelpTopic::ImeiNotFound);
            EnterImei(app, ImeiPrompt::PhoneAfterFailedTest);
            if (Stopped(app))
                return false;
        }
        // 5. The old phone put in again.
        if (st.Imei == st.OldImei) {
            SetHelpTopic(app, HelpTopic::IdenticalImei);
            if (AskSwapQuestion(app, SwapQuestion::SamePhone))
                continue;
            if (Stopped(app))
                return false;
        }
        // 6. Another type of phone only when the operator confirms it.
        if (st.Imei.left(6) == st.OldImei.left(6))
            return true;
        SetHelpTopic(app, HelpTopic::DifferentModel);
        if (AskSwapQuestion(app, SwapQuestion::OtherModel))
            return true;
        if (Stopped(app))
            return false;
    }
}

void SwapAfterFailedTest(App& app, const CycleRecord& test)
{
    StationState& st = app.st;
    // Only a service point (SWAPFILE on, with its identity from swap.dat) exchanges a
    // phone that failed its test and keeps records of it.
    if (!KeepsSwapRecords(app))
        return;
    SetHelpTopic(app, HelpTopic::Swap);
    if (!AskSwapQuestion(app, SwapQuestion::SwapFailedPhone)) {
        // "Don't SWAP" or STOP at the question: the phone was handled and failed, and
        // the IMEI file has a line for every phone handled.
        st.OldImei = st.Imei;
        st.Imei.clear();
        WriteSwapRecord(app, false, QStringLiteral("FAIL"));
        return;
    }
    if (st.Imei.isEmpty()) {
        EnterImei(app, ImeiPrompt::OldPhone);
        if (Stopped(app))
            return;
    }
    st.OldImei = st.Imei;
    if (!ReadNewPhone(app, false))
        return;
    PrintFailedTestSwapReport(app, test);
    RecordSwap(app);
}

void TellNoSwapRecords(App& app)
{
    if (KeepsSwapRecords(app))
        return;
    TraceLine(app, QStringLiteral("SWAP at a station that is not a service point: no swap record kept"));
    app.ui.MsgBox(QStringLiteral("No swap record is kept at this station:") + kCrLf +
                      QStringLiteral("it is not a service point (SWAPFILE 0 or no Service Point ID).") + kCrLf +
                      QStringLiteral("The exchange is printed and written to the new phone's result file only."),
                  msgbox::kOkOnly | msgbox::kExclamation, QString());
}

void SwapInSwapMode(App& app)
{
    StationState& st = app.st;
    if (st.Imei.isEmpty()) {
        EnterImei(app, ImeiPrompt::OldPhone);
        if (Stopped(app))
            return;
    }
    st.OldImei = st.Imei;
    if (!ReadNewPhone(app, true))
        return;
    WriteDirectSwapFile(app);
    PrintDirectSwapReport(app);
    RecordSwap(app);
}

}  // namespace celvio
