// The TEST path of a cycle: the customer's data, the phone steps, the measurements of
// one or two bands, the network call and the speech loop-back (steps 9 and 18 to 23),
// and the verdict (steps 24 to 26).
#include "cycle/paths.h"

#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "models/positioning.h"
#include "procedures/audio_test.h"
#include "procedures/band_config.h"
#include "procedures/call_tests.h"
#include "procedures/dual_band_test.h"
#include "procedures/phone_identity.h"
#include "procedures/receiver_test.h"
#include "procedures/transmitter_test.h"
#include "record/cycle_record.h"
#include "results/verdict.h"
#include "swap/swap.h"
#include "tester/tester_control.h"

#include <chrono>

namespace celvio {

namespace {

// The plain pause between releasing the call and calling the phone from the network,
// so that the phone is idle on the control channel again.
constexpr std::chrono::milliseconds kPauseBeforeNetworkCall{2000};

// One measurement step of a band: the transmitter step number of the first band (the
// second band adds 3), the test it runs, and what follows it.
struct MeasurementStep {
    int txStep;
    bool receiver;  // the receiver test; otherwise the transmitter test
    int powerSlot;
    bool measureModulation;
    bool checkTemplate;
    bool advanceBar;     // the progress bar moves on by one
    bool saveStatus;     // the status text is kept for after the receiver step
    bool restoreStatus;  // and put back
};

constexpr MeasurementStep kBandSteps[] = {
    {1, false, 1, true, true, false, false, false},
    {1, true, 0, false, false, true, false, false},
    {2, false, 1, true, true, true, true, false},
    {3, false, 1, true, false, false, false, false},
    {3, true, 0, false, false, false, false, true},
    {3, false, 3, false, true, true, false, false},
};

enum class StepsEnd { Done, Stopped, Aborted };

// The six measurement steps of one band. After every step a stop ends the cycle and
// an aborted test goes straight to the verdict.
// Stores a transmitter step's readings, and the path attenuation it set on its channel.
void StoreTransmitter(App& app, CycleRecord& record, const TransmitterReadings& tx)
{
    if (tx.Attenuation && tx.Column >= 1 && tx.Column <= kChannelColumns)
        record.Bands[tx.Band - 1].Attenuations[tx.Column - 1] = tx.Attenuation;
    StoreAndShow(app, record, tx.Readings);
}

StepsEnd RunBandSteps(App& app, CycleRecord& record, bool secondBand)
{
    StationState& st = app.st;
    const QString band = secondBand ? st.SystemCode.right(3) : st.SystemCode.left(3);
    for (const MeasurementStep& s : kBandSteps) {
        st.TxStep = quint8(s.txStep + (secondBand ? 3 : 0));
        if (s.receiver && secondBand)
            StoreAndShow(app, record, ReceiverTestSecondBand(app, band));
        else if (s.receiver)
            StoreAndShow(app, record, ReceiverTest(app));
        else if (secondBand)
            StoreTransmitter(app, record,
                             DualBandTransmitterTest(app, band, s.powerSlot, s.measureModulation, s.checkTemplate));
        else
            StoreTransmitter(app, record, TransmitterTest(app, band, s.powerSlot, s.measureModulation, s.checkTemplate));
        if (s.advanceBar)
            ++app.Form1.Progress.Value;
        if (s.saveStatus)
            st.SavedStatusText = app.Form1.Label3.Caption;
        if (s.restoreStatus)
            app.Form1.Label3.Caption = st.SavedStatusText;
        if (Stopped(app))
            return StepsEnd::Stopped;
        if (st.Verdict == Verdict::Aborted)
            return StepsEnd::Aborted;
    }
    return StepsEnd::Done;
}

// The progress bar of the measurements, a step per band step, and the summary lines
// they start.
void StartMeasurementProgress(App& app)
{
    StationState& st = app.st;
    ProgressBar& bar = app.Form1.Progress;
    bar.Min = 0;
    bar.Value = 0;
    bar.Max = st.SystemCode.contains(QLatin1String("GSM,")) ? 8 : 5;
    bar.Value = 1;
    bar.Color = kGreen;
    bar.Visible = true;
    st.SummaryLines[2] = SummaryText(app, 5);
    st.SummaryLines[6].clear();
    st.CurrentTrafficChannel = -1;
    SetHelpTopic(app, HelpTopic::TransmitterTest);
}

// First band, then the second band of a dual-band system.
StepsEnd RunAllBands(App& app, CycleRecord& record)
{
    const bool dualBand = app.st.SystemCode.contains(QLatin1String("GSM,"));
    const StepsEnd firstBand = RunBandSteps(app, record, false);
    if (firstBand != StepsEnd::Done || !dualBand)
        return firstBand;
    app.Form1.Label3.Caption.clear();
    ConfigureSecondBand(app);
    SetHelpTopic(app, HelpTopic::DualBandTest);
    return RunBandSteps(app, record, true);
}

// 22. Network call and speech loop-back. False when the cycle ends early.
bool RunNetworkCallAndAudio(App& app, CycleRecord& record)
{
    StationState& st = app.st;
    ReleaseBaseStation(app);
    if (Stopped(app))
        return false;
    app.ui.Sleep(kPauseBeforeNetworkCall);
    SetHelpTopic(app, HelpTopic::BaseStationCall);
    StoreAndShow(app, record, BaseCallTest(app));
    if (Stopped(app))
        return false;
    if (st.Verdict == Verdict::Aborted)
        return true;
    // The receiver line says "Passed" unless a receiver failure stands in it.
    if (st.SummaryLines[3] == SummaryText(app, 3))
        st.SummaryLines[3] = SummaryText(app, 6);
    SetHelpTopic(app, HelpTopic::AudioTest);
    // The RX level of the last channel measured: of the second band after a dual-band test.
    const int lastBand = st.TxStep == 6 ? 2 : 1;
    StoreAndShow(app, record, AudioTest(app, CaptionOf(RowId::RxLevel, record.At(lastBand, RowId::RxLevel, 3))));
    if (Stopped(app))
        return false;
    // The call released after the audio test; the progress bar is done.
    ReleaseBaseStation(app);
    if (Stopped(app))
        return false;
    app.Form1.Progress.Visible = false;
    DoEvents(app);
    return true;
}

// The TEST path from the receiver set-up to the verdict (steps 18 to 23). Returns
// false when the cycle ends early; true when it goes on to the verdict.
bool RunMeasurements(App& app, CycleRecord& record)
{
    StationState& st = app.st;
    AdjustRxLevel(app);
    // The phone reports levels on a scale where -110 dBm is 0.
    record.ExpectedRxLevel = st.GeneratorLevel + 110;
    ShowRecord(app, record);
    if (Stopped(app))
        return false;
    ShowPositioningInstruction(app);
    if (Stopped(app))
        return false;
    StartMeasurementProgress(app);
    switch (RunAllBands(app, record)) {
    case StepsEnd::Stopped: return false;
    case StepsEnd::Aborted: return true;
    case StepsEnd::Done: break;
    }
    return RunNetworkCallAndAudio(app, record);
}

}  // namespace

CycleEnd RunVerdict(App& app, CycleRecord& record)
{
    StationState& st = app.st;
    // The tester reset, or released when no call is up, then the verdict screen.
    if (st.TesterBusy != 0)
        ResetTester(app);
    else
        ReleaseTester(app, 0);
    app.Form1.Pointer = MousePointer::Normal;
    app.Form1.MStop.Enabled = false;
    record.Verdict = st.Verdict;
    ShowRecord(app, record);
    VerdictScreen(app, st.Verdict, record);
    ShowPicture(app, QStringLiteral("Zoredudi.BMP"));
    if (Stopped(app))
        return CycleEnd::Early;
    // 25. A failed phone may be exchanged; a passed one is recorded.
    if (st.KeypadCallFailed != kTrue) {
        if (st.Verdict != Verdict::Passed) {
            SetHelpTopic(app, HelpTopic::Swap);
            SwapAfterFailedTest(app, record);
        } else {
            st.OldImei = st.Imei;
            st.Imei.clear();
            WriteSwapRecord(app, false, QStringLiteral("PASS"));
        }
    }
    return CycleEnd::Normal;
}

CycleEnd RunTestPath(App& app, CycleRecord& record)
{
    // The customer's data, at a station that keeps swap records.
    SetHelpTopic(app, HelpTopic::ClubZavarNumber);
    if (app.st.SwapFile != 0)
        AskTestCustomerData(app);
    // System and band, network search, the call from the phone, its identity and model.
    switch (RunPhoneSteps(app, CycleMode::Test, record)) {
    case PhoneStepsEnd::Early: return CycleEnd::Early;
    case PhoneStepsEnd::KeypadFailed: return RunVerdict(app, record);
    case PhoneStepsEnd::Ready: break;
    }
    // The measurements of each band, the network call and the audio test.
    if (!RunMeasurements(app, record))
        return CycleEnd::Early;
    // The verdict, then the swap offer for a failed phone or the record of a passed one.
    return RunVerdict(app, record);
}

}  // namespace celvio
