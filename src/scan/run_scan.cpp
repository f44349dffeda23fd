#include "core/app.h"
#include "core/blocked_channels.h"
#include "core/events.h"
#include "core/files.h"
#include "core/helpers.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/translation.h"
#include "procedures/network_search.h"
#include "procedures/phone_identity.h"
#include "scan/bad_channels.h"
#include "scan/scan.h"
#include "scan/scan_engine.h"
#include "scan/scan_log.h"
#include "tester/transport.h"

namespace celvio {

namespace {

// Writes the scan's first lines to scan.log and starts the clock and the lists.
// False when the blocked-channel list exists but cannot be read.
bool BeginScan(App& app, CycleMode mode, bool listExisted)
{
    StationState& st = app.st;
    ScanLog(app, listExisted ? QStringLiteral("Scanmode = Search more.") : QStringLiteral("Scanmode = New search."));
    const QDateTime now = app.ui.Now();
    ScanLog(app, (mode == CycleMode::OneScan ? QStringLiteral("Begin ONE Scan at ") : QStringLiteral("Begin CONTINUOUS Scan at ")) +
                     DateText(now.date(), app.ui.Locale()) + QLatin1Char(' ') + TimeText(now.time()));
    ScanLog(app, app.Form1.Label5.Caption + QStringLiteral(", IMEI: ") + st.Imei + QStringLiteral(", Scan ATT: ") +
                     QString::number(st.ScanAttenuation));

    st.NewBlockedChannels.clear();
    st.ScanStartTime = now;
    st.ScanLoopCount = mode == CycleMode::ContinuousScan ? 1 : 0;
    st.ScanWritesList = kTrue;
    QString list;
    if (!ReadBlockedChannelFile(app, list)) {
        // The list on disk stays as it is: nothing may overwrite it with a partial one.
        st.ScanWritesList = kFalse;
        app.ui.MsgBox(Tr(app, QT_TRANSLATE_NOOP("Celvio", "File %1 not accessible !")).arg(QStringLiteral("BADCHAN.DAT")),
                      msgbox::kOkOnly | msgbox::kCritical, QString());
        ScanLog(app, QStringLiteral("File BADCHAN.DAT not accessible, no scan."));
        app.Form1.Label4.Caption = QStringLiteral("Scan aborted");
        return false;
    }
    st.BlockedChannels = list;
    return true;
}

// The text of the main window once the scan has ended.
QString ClosingText(App& app, bool listExisted)
{
    QString text = QStringLiteral("Scanned for: ") + ElapsedScanTime(app) + kCrLf +
                   QStringLiteral("Please switch Mobile off.") + kCrLf;
    if (!listExisted)
        text += QStringLiteral("Remove cable connector and") + kCrLf + QStringLiteral("reconnect the coupler.");
    if (!app.st.ScanFault.isEmpty())
        text += kCrLf + QStringLiteral("Tester fault: ") + app.st.ScanFault;
    return text;
}

// Shows the result and waits, serving the windows, until the operator presses "&Done".
void AwaitDone(App& app, const QString& closing)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    f.Label3.Caption = closing;
    f.Label3.Visible = true;
    for (int n = 1; n <= 5; ++n)
        f.Command(n).Visible = false;
    f.Command2.Caption = QStringLiteral("&Done");
    f.Command2.Visible = true;
    f.Command2.Enabled = true;
    f.SetFocus(2);
    app.ScanFrm.Left = 10;
    app.ScanFrm.Top = 10;
    app.ScanFrm.Visible = true;
    st.Command2Pressed = kFalse;
    while (st.Command2Pressed != kTrue)
        WaitEvents(app);
    st.Command2Pressed = kFalse;
    TraceButton(app, QStringLiteral("&Done"));
    app.ScanFrm.Visible = false;
    for (int n = 1; n <= 5; ++n)
        f.Command(n).Visible = false;
}

}  // namespace

int RunScan(App& app, CycleMode mode)
{
    StationState& st = app.st;
    Form1& f = app.Form1;
    f.Label4.Caption = QStringLiteral("Scanning...");
    f.Label4.Visible = true;
    f.Label5.Caption = QStringLiteral("Scan with ") + st.ModelName;
    f.Label5.Visible = true;
    st.ScanFault.clear();
    st.ScanTesterSilent = kFalse;
    st.ScanLogReported = kFalse;

    const bool listExisted = FileExists(app, QStringLiteral("BADCHAN.DAT"));
    if (!BeginScan(app, mode, listExisted))
        return 2;
    SetHelpTopic(app, HelpTopic::ScanActive);

    int result = kScanGoOn;
    do {
        st.ScanPassHeading = mode == CycleMode::OneScan ? st.SystemCode + QStringLiteral(" Single Scan ") + st.NewLine
                                       : QStringLiteral(" Continuous Scan ") + st.NewLine;
        f.Label3.Caption = st.ScanPassHeading;
        f.Label3.Visible = true;
        result = ScanPass(app);
        if (mode == CycleMode::OneScan && result == kScanGoOn)
            result = kScanCompleted;
        else
            ++st.ScanLoopCount;
    } while (result == kScanGoOn);

    // The list found so far is written whatever ended the scan.
    f.Progress.Visible = false;
    ShowScanReport(app);
    SaveBlockedChannels(app, 0);
    st.ScanWritesList = kFalse;
    ScanLog(app, QStringLiteral("End Scan"));
    f.MStop.Enabled = false;

    const QString closing = ClosingText(app, listExisted);
    if (result == kScanInterrupted) {
        f.Label4.Caption = QStringLiteral("Scan interrupted");
        SetHelpTopic(app, HelpTopic::ScanInterrupted);
    } else if (result == kScanCompleted) {
        f.Label4.Caption = QStringLiteral("Scan completed");
        SetHelpTopic(app, HelpTopic::ScanFinished);
    } else {
        f.Label4.Caption = QStringLiteral("Scan aborted");
        SetHelpTopic(app, HelpTopic::ScanInterrupted);
    }
    // A tester that stopped answering would only keep the operator waiting again.
    if (st.ScanTesterSilent != kTrue)
        ReleaseBaseStation(app);
    Send(app, TesterOp::LocalOperation);
    AwaitDone(app, closing);
    return 0;
}

}  // namespace celvio
