#include "core/main_sequencer.h"

#include "core/app.h"
#include "core/coupler.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/settings.h"
#include "core/startup_checks.h"
#include "core/text.h"
#include "core/trace.h"
#include "models/model_lookup.h"
#include "procedures/band_config.h"
#include "procedures/calls.h"
#include "procedures/measurements.h"
#include "procedures/network.h"
#include "results/verdict.h"
#include "scan/bad_channels.h"
#include "scan/scan.h"
#include "swap/swap.h"
#include "tester/port_search.h"
#include "tester/tester_control.h"
#include "tester/transport.h"
#include "ui/dialogs.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace celvio {

namespace {

// The summary texts by entry 1..6, English and German (UTF-8).
const char* const kSummaryTexts[7][2] = {
    {"", ""},
    {"Keypad Test: Not Tested", "Tastaturtest: Nicht getestet"},
    {"Transmitter Test: Not Tested", "Sendertest: Nicht getestet"},
    {"Receiver Test: Not Tested", "Empfängertest: Nicht getestet"},
    {"Microphone / Speaker Test: Not Tested", "Mikrofon / Lautsprecher: Nicht getestet"},
    {"Transmitter Test: Passed", "Sendertest: Bestanden"},
    {"Receiver Test: Passed", "Empfängertest: Bestanden"},
};

// How a cycle ends: normally after the verdict (R1), or early from a step (R2).
enum class CycleEnd { Normal, Early };

void StartUp(App& app)
{
    StationState& st = app.st;
    // 1. Version, texts, defaults.
    st.Version = QStringLiteral("2.02");
    st.VersionDate = QStringLiteral("Jul. 2005");
    st.NewLine = kCrLf;
    st.SystemChoice = 1;
    SetHelpTopic(app, 1);
    // 2. The summary texts are built into SummaryText().
    // 3. Data checks, settings and blocked channels.
    StartupChecks(app);
    ReloadSettings(app);
    // 4. Restore the coupler choice.
    st.CouplerNumber = ReadCouplerChoice(app);
    switch (st.CouplerNumber) {
    case 1: Mnu_CoupOld_Click(app); break;
    case 2: Mnu_CoupNew_Click(app); break;
    case 3: Mnu_CoupSbox_Click(app); break;
    case 4: Mnu_CoupSboxK590_Click(app); break;
    default: break;
    }
    // 5. Window and title screen.
    app.Form1.Maximized = st.Maximize == 1;
    ShowTitle(app);
    app.Form1.Visible = true;
    SetHelpTopic(app, 1);
    // 6. Trace window.
    if (st.DebugMode == kTrue) {
        app.DebugFrm.Visible = true;
        const QDateTime now = app.ui.Now();
        TraceLine(app, now.date().toString(QStringLiteral("MM-dd-yyyy")) + QLatin1Char(' ') + TimeText(now.time()) +
                           QStringLiteral(" Program ") + st.Version + QStringLiteral(" started."));
        TraceLine(app, QString(61, QLatin1Char('-')));
    }
    DoEvents(app);
    // 7. Service point data.
    if (st.SwapFile != 0)
        LoadServiceData(app);
    // 8. Find the tester.
    SetHelpTopic(app, 1);
    if (st.SearchAllPorts == kTrue)
        st.TesterPort = quint8(SearchTesterPort(app));
    else
        SelectTesterPort(app);
    // 9. Local operation and identification.
    SendCommand(app, QStringLiteral("SYST:COMM:LOC"));
    SetHelpTopic(app, 1);
    IdentifyTester(app, kTrue);
    // 10. The coupler is fixed for the run.
    Form1& f = app.Form1;
    MenuItem* entries[] = {&f.Mnu_CoupOld, &f.Mnu_CoupNew, &f.Mnu_CoupSBox, &f.Mnu_CoupSBoxK590};
    const char* const labels[] = {"(K530)", "(K580)", "(K580SB)", "(K580SBK590)"};
    for (MenuItem* entry : entries)
        entry->Enabled = false;
    for (int i = 0; i < 4; ++i) {
        if (entries[i]->Checked) {
            st.CouplerLabel = QString::fromLatin1(labels[i]);
            st.CouplerNumber = qint16(i + 1);
        }
    }
    SaveCouplerChoice(app, st.CouplerNumber);
    TraceLine(app, QStringLiteral("Coupler type = ") + st.CouplerLabel);
}

bool Stopped(const App& app)
{
    return app.st.StopRequested == kTrue;
}

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
StepsEnd RunBandSteps(App& app, bool secondBand)
{
    StationState& st = app.st;
    const QString band = secondBand ? st.SystemCode.right(3) : st.SystemCode.left(3);
    for (const MeasurementStep& s : kBandSteps) {
        st.TxStep = quint8(s.txStep + (secondBand ? 3 : 0));
        if (s.receiver && secondBand)
            ReceiverTestSecondBand(app, band);
        else if (s.receiver)
            ReceiverTest(app);
        else if (secondBand)
            DualBandTransmitterTest(app, band, s.powerSlot, s.measureModulation, s.checkTemplate);
        else
            TransmitterTest(app, band, s.powerSlot, s.measureModulation, s.checkTemplate);
        if (s.advanceBar)
            ++app.Form1.Progress.Value;
        if (s.saveStatus)
            st.SavedStatusText = app.Form1.Label3.Caption;
        if (s.restoreStatus)
            app.Form1.Label3.Caption = st.SavedStatusText;
        if (Stopped(app))
            return StepsEnd::Stopped;
        if (st.Verdict == 2)
            return StepsEnd::Aborted;
    }
    return StepsEnd::Done;
}

// The TEST path from the receiver set-up to the verdict (steps 18 to 23). Returns
// false when the cycle ends early; true when it goes on to the verdict.
bool RunMeasurements(App& app)
{
    StationState& st = app.st;
    AdjustRxLevel(app);
    if (Stopped(app))
        return false;
    ShowPositioningInstruction(app);
    if (Stopped(app))
        return false;

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
    SetHelpTopic(app, 9);

    const bool dualBand = st.SystemCode.contains(QLatin1String("GSM,"));
    // First band, then the second band of a dual-band system.
    switch (RunBandSteps(app, false)) {
    case StepsEnd::Stopped: return false;
    case StepsEnd::Aborted: return true;
    case StepsEnd::Done: break;
    }
    if (dualBand) {
        app.Form1.Label3.Caption.clear();
        ConfigureSecondBand(app);
        SetHelpTopic(app, 13);
        switch (RunBandSteps(app, true)) {
        case StepsEnd::Stopped: return false;
        case StepsEnd::Aborted: return true;
        case StepsEnd::Done: break;
        }
    }

    // 22. Network call and speech loop-back.
    ReleaseBaseStation(app);
    if (Stopped(app))
        return false;
    app.ui.Sleep(2000);
    SetHelpTopic(app, 10);
    BaseCallTest(app);
    if (Stopped(app))
        return false;
    if (st.Verdict == 2)
        return true;
    // The receiver line says "Passed" unless a receiver failure stands in it.
    if (st.SummaryLines[3] == SummaryText(app, 3))
        st.SummaryLines[3] = SummaryText(app, 6);
    SetHelpTopic(app, 12);
    const ResultPage& lastPage = st.TxStep == 6 ? app.Form4 : app.Form3;
    AudioTest(app, lastPage.Label56[3].Caption);
    if (Stopped(app))
        return false;
    // 23.
    ReleaseBaseStation(app);
    if (Stopped(app))
        return false;
    bar.Visible = false;
    DoEvents(app);
    return true;
}

// Steps 24 to 26. Returns how the cycle ends.
CycleEnd Verdict(App& app)
{
    StationState& st = app.st;
    if (st.TesterBusy != 0)
        ResetTester(app);
    else
        ReleaseTester(app, 0);
    app.Form1.Pointer = MousePointer::Normal;
    app.Form1.MStop.Enabled = false;
    VerdictScreen(app, st.Verdict);
    ShowPicture(app, QStringLiteral("Zoredudi.BMP"));
    if (Stopped(app))
        return CycleEnd::Early;
    if (st.KeypadCallFailed != kTrue) {
        if (st.Verdict > 0) {
            SetHelpTopic(app, 19);
            SwapAfterFailedTest(app);
        } else {
            st.OldImei = st.Imei;
            st.Imei.clear();
            WriteSwapRecord(app, false, QStringLiteral("PASS"));
        }
    }
    return CycleEnd::Normal;
}

// One cycle, steps 1 to 26.
CycleEnd RunCycle(App& app)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    // 1.-3.
    st.Command2Pressed = 0;
    st.Command1Pressed = 0;
    st.Command3Pressed = 0;
    st.Imei.clear();
    f.Command2.Enabled = true;
    st.Verdict = 0;
    st.StopRequested = kFalse;
    st.UserInstruction.clear();
    SendCommand(app, QStringLiteral("*CLS"));
    for (int i = 1; i <= 4; ++i)
        st.SummaryLines[i] = SummaryText(app, i);
    st.SummaryLines[6].clear();
    // 4.
    ShowTitle(app);
    SetUpResultPages(app);
    if (Stopped(app))
        return CycleEnd::Early;
    // 5.
    SetHelpTopic(app, 3);
    int cycleMode = SelectMode(app);
    // 6.
    const QDateTime now = app.ui.Now();
    st.CycleDate = QLocale::system().toString(now.date(), QLocale::ShortFormat);
    st.CycleTime = TimeText(now.time());
    for (ResultPage* page : {&app.Form3, &app.Form4}) {
        page->Date.Caption = st.CycleDate;
        page->Time.Caption = st.CycleTime;
    }

    if (cycleMode == 3) {  // 7. SWAP
        SetHelpTopic(app, 4);
        if (st.SwapFile != 0)
            AskSwapCustomerData(app);
        SetHelpTopic(app, 5);
        SelectSystem(app, 3);
        if (Stopped(app))
            return CycleEnd::Early;
        SetHelpTopic(app, 19);
        st.Verdict = 2;
        SetHelpTopic(app, 19);
        SwapInSwapMode(app);
        return CycleEnd::Early;
    }
    if (cycleMode == 2) {  // 8. SCAN
        SetHelpTopic(app, 16);
        cycleMode = AskQuestion(app, 1);
        SetHelpTopic(app, 17);
        if (AskQuestion(app, 2) == 2)
            ClearBlockedChannels(app);
    } else {  // 9. TEST
        SetHelpTopic(app, 4);
        if (st.SwapFile != 0)
            AskTestCustomerData(app);
    }
    const bool scanning = cycleMode != 0;

    for (;;) {
        // 10. Band step.
        f.MStop.Enabled = true;
        SetHelpTopic(app, scanning ? 32 : 5);
        SelectSystem(app, cycleMode);
        if (Stopped(app))
            return CycleEnd::Early;
        SetHelpTopic(app, 6);
        ConfigureBand(app);
        if (Stopped(app))
            return CycleEnd::Early;
        // 11. A single 1800 or 1900 band uses the second band's power levels.
        if (st.SystemCode.left(2) == QLatin1String("PC")) {
            st.MsPowerLevels[1] = st.MsPowerLevels[4];
            st.MsPowerLevels[2] = st.MsPowerLevels[5];
            st.MsPowerLevels[3] = st.MsPowerLevels[6];
            SetUpResultPages(app);
        }
        // 12. Network step.
        for (;;) {
            st.PhonePicture.clear();
            SetHelpTopic(app, 7);
            NetworkSearch(app, cycleMode);
            if (Stopped(app))
                return CycleEnd::Early;
            if (st.Verdict != 2)
                break;
            st.Verdict = 0;
            if (AskQuestion(app, scanning ? 3 : 4) != 0)
                return CycleEnd::Early;
        }
        // 13. Keypad / mobile call.
        SetGeneratorLevel(app);
        st.KeypadCallFailed = kFalse;
        SetHelpTopic(app, 8);
        KeypadCallTest(app, cycleMode);
        if (Stopped(app))
            return CycleEnd::Early;
        if (st.Verdict == 2) {
            st.KeypadCallFailed = kTrue;
            if (!scanning)
                return Verdict(app);
            st.Verdict = 0;
            if (AskQuestion(app, 3) != 0)
                return CycleEnd::Early;
            SaveBlockedChannels(app, st.ControlChannel);
            f.Pointer = MousePointer::Normal;
            DoEvents(app);
            ReleaseTester(app, 0);
            ReloadSettings(app);
            continue;  // back to the band step
        }
        break;
    }

    // 14. Identify the phone.
    SendCommand(app, QStringLiteral("SYST:COMM:REM:TEXT \"Identify Mobile\""));
    IdentifyPhone(app);
    if (Stopped(app))
        return CycleEnd::Early;
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
        // The keypad result is the dialled-number cell.
        app.Form3.DialledNumber.Caption = QStringLiteral("Not needed");
        app.Form3.DialledNumber.ForeColor = kYellow;
        st.SummaryLines[1].clear();
        // Digits that the model's test does not ask for cannot fail the phone; a call
        // that never came up still does.
        if (st.DigitsChecked == kTrue && st.Verdict < 2)
            st.Verdict = st.VerdictBeforeDigits;
    }
    // 16.
    if (found) {
        f.Label5.Caption = QStringLiteral("Testing ") + st.ModelName;
        f.Label5.Visible = true;
        for (ResultPage* page : {&app.Form3, &app.Form4}) {
            page->Mobile.Caption = st.ModelName;
            page->Mobile.ForeColor = kGreen;
        }
    }
    if (Stopped(app))
        return CycleEnd::Early;
    // 17. SCAN cycles.
    if (scanning) {
        SendCommand(app, QStringLiteral("SYST:COMM:REM:TEXT \"Scanning Channels...\""));
        const QString att = QString::number(st.ScanAttenuation);
        SendCommand(app, QStringLiteral("SYST:SETT:PATT:LEV ") + att + QLatin1Char(',') + att);
        if (st.PhonePicture.isEmpty())
            st.PhonePicture = QStringLiteral("COUPLER.BMP");
        while (RunScan(app, cycleMode) == 1) {
        }
        st.StopRequested = kFalse;
        f.Pointer = MousePointer::Normal;
        ReloadSettings(app);
        return CycleEnd::Early;
    }
    // 18.-23. TEST cycles.
    if (!RunMeasurements(app))
        return CycleEnd::Early;
    // 24.-26.
    return Verdict(app);
}

}  // namespace

QString SummaryText(const App& app, int entry)
{
    const int language = app.st.Language;
    if (language < 1 || language > 2 || entry < 1 || entry > 6)
        return QString();
    return QString::fromUtf8(kSummaryTexts[entry][language - 1]);
}

void Main(App& app)
{
    StartUp(app);
    for (;;) {
        if (RunCycle(app) == CycleEnd::Early) {
            // R2: every early end of a cycle.
            app.Form1.Pointer = MousePointer::Normal;
            DoEvents(app);
            ReleaseTester(app, 0);
        } else {
            // R1.
            app.Form1.Pointer = MousePointer::Normal;
        }
        // R3.
        ReloadSettings(app);
    }
}

}  // namespace celvio
