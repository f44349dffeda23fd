// The steps that TEST and SCAN share, from the system dialog to the identified model
// (steps 10 to 16).
#include "cycle/paths.h"

#include "core/app.h"
#include "core/blocked_channels.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/settings.h"
#include "core/trace.h"
#include "models/tac_lookup.h"
#include "procedures/band_config.h"
#include "procedures/call_tests.h"
#include "procedures/network_search.h"
#include "procedures/phone_identity.h"
#include "results/result_grid.h"
#include "tester/tester_control.h"
#include "tester/transport.h"
#include "ui/dialogs.h"

namespace celvio {

namespace {

enum class BandEnd { Ready, Early, KeypadFailed, Retry };

// Steps 10 to 13 once: the system and band, the network search with its retry, and
// the call from the phone. In SCAN mode a call that does not come blocks the control
// channel and asks for the band step again.
BandEnd RunBandAndCallSteps(App& app, CycleMode cycleMode, CycleRecord& record)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    const bool scanning = cycleMode != CycleMode::Test;
    // 10. Band step.
    f.MStop.Enabled = true;
    SetHelpTopic(app, scanning ? HelpTopic::SelectScanBand : HelpTopic::SelectBand);
    SelectSystem(app, cycleMode);
    if (Stopped(app))
        return BandEnd::Early;
    SetHelpTopic(app, HelpTopic::InitializeTester);
    ConfigureBand(app);
    ShowRecord(app, record);
    if (Stopped(app))
        return BandEnd::Early;
    // 11. A single 1800 or 1900 band uses the second band's power levels.
    if (st.SystemCode.left(2) == QLatin1String("PC")) {
        st.MsPowerLevels[1] = st.MsPowerLevels[4];
        st.MsPowerLevels[2] = st.MsPowerLevels[5];
        st.MsPowerLevels[3] = st.MsPowerLevels[6];
        ResetReadings(record);
        TakeStationFacts(record, st);
        SetUpResultPages(app, record);
    }
    // 12. Network step, repeated while the operator asks for a retry.
    for (;;) {
        st.PhonePicture.clear();
        SetHelpTopic(app, HelpTopic::NetworkSearch);
        NetworkSearch(app, cycleMode);
        if (Stopped(app))
            return BandEnd::Early;
        if (st.Verdict != Verdict::Aborted)
            break;
        st.Verdict = Verdict::Passed;
        if (AskQuestion(app, scanning ? 3 : 4) != 0)
            return BandEnd::Early;
    }
    // 13. Keypad / mobile call.
    SetGeneratorLevel(app);
    st.KeypadCallFailed = kFalse;
    SetHelpTopic(app, HelpTopic::KeypadTest);
    StoreAndShow(app, record, KeypadCallTest(app, cycleMode));
    if (Stopped(app))
        return BandEnd::Early;
    if (st.Verdict != Verdict::Aborted)
        return BandEnd::Ready;
    st.KeypadCallFailed = kTrue;
    if (!scanning)
        return BandEnd::KeypadFailed;
    st.Verdict = Verdict::Passed;
    if (AskQuestion(app, 3) != 0)
        return BandEnd::Early;
    SaveBlockedChannels(app, st.ControlChannel);
    f.Pointer = MousePointer::Normal;
    DoEvents(app);
    ReleaseTester(app, 0);
    ReloadSettings(app);
    return BandEnd::Retry;
}

}  // namespace

PhoneStepsEnd RunPhoneSteps(App& app, CycleMode cycleMode, CycleRecord& record)
{
    StationState& st = app.st;
    for (;;) {
        const BandEnd end = RunBandAndCallSteps(app, cycleMode, record);
        if (end == BandEnd::Early)
            return PhoneStepsEnd::Early;
        if (end == BandEnd::KeypadFailed)
            return PhoneStepsEnd::KeypadFailed;
        if (end == BandEnd::Ready)
            break;
    }

    // 14. Identify the phone.
    Send(app, TesterOp::RemoteDisplayText, {QStringLiteral("Identify Mobile")});
    const PhoneIdentity identity = IdentifyPhone(app);
    if (identity.Imei)
        st.Imei = *identity.Imei;
    if (identity.Imsi)
        st.Imsi = *identity.Imsi;
    if (Stopped(app))
        return PhoneStepsEnd::Early;
    record.Imei = st.Imei;
    record.Imsi = st.Imsi;
    record.PhoneIdentified = true;
    ShowRecord(app, record);
    // 15. Identify the model.
    app.TacFileName = QStringLiteral("TAC6N.dat");
    app.ModelDbFileName = QStringLiteral("MP.DAT");
    const bool found = LookupPhoneModel(app, st.Imei);
    st.ModelName = app.Model.Name;
    st.PhonePicture = app.Model.NormalPic;
    st.UserInstruction = app.Model.UserInstruct;
    st.SpecialPicture = app.Model.SpecialPic;
    TraceLine(app, QStringLiteral("Mobile identified as : ") + st.ModelName);
    if (app.Model.NoKeybd) {
        StoreReading(record, 1, RowId::DialledNumber, 1, kNotNeededText, ReadingOutcome::NotNeeded, 0);
        ShowRecord(app, record);
        st.SummaryLines[1].clear();
        // Digits that the model's test does not ask for cannot fail the phone; a call
        // that never came up still does.
        if (st.DigitsChecked == kTrue && st.Verdict != Verdict::Aborted)
            st.Verdict = st.VerdictBeforeDigits;
    }
    // A known model is named on the main window and on the result pages.
    if (found) {
        app.Form1.Label5.Caption = QStringLiteral("Testing ") + st.ModelName;
        app.Form1.Label5.Visible = true;
        record.Model = st.ModelName;
        ShowRecord(app, record);
    }
    if (Stopped(app))
        return PhoneStepsEnd::Early;
    return PhoneStepsEnd::Ready;
}

}  // namespace celvio
