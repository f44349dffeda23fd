// The SCAN path of a cycle: a reference phone on the network, then the scan engine.
#include "cycle/paths.h"

#include "core/app.h"
#include "core/blocked_channels.h"
#include "core/helpers.h"
#include "core/settings.h"
#include "procedures/network_search.h"
#include "scan/scan.h"
#include "tester/transport.h"

namespace celvio {

CycleEnd RunScanPath(App& app, CycleRecord& record)
{
    StationState& st = app.st;
    // 8. One scan or continuous, and the list searched further or cleared.
    SetHelpTopic(app, HelpTopic::ScanType);
    const CycleMode cycleMode = AskQuestion(app, 1) == 1 ? CycleMode::OneScan : CycleMode::ContinuousScan;
    SetHelpTopic(app, HelpTopic::ScanList);
    if (AskQuestion(app, 2) == 2)
        ClearBlockedChannels(app);

    // System and band, network search, the reference phone's call, its identity and model.
    if (RunPhoneSteps(app, cycleMode, record) != PhoneStepsEnd::Ready)
        return CycleEnd::Early;

    // 17. The scan, repeated while the engine asks for it.
    Send(app, TesterOp::RemoteDisplayText, {QStringLiteral("Scanning Channels...")});
    const QString att = QString::number(st.ScanAttenuation);
    Send(app, TesterOp::SetPathAttenuation, {att, att});
    if (st.PhonePicture.isEmpty())
        st.PhonePicture = QStringLiteral("COUPLER.BMP");
    while (RunScan(app, cycleMode) == 1) {
    }
    st.StopRequested = kFalse;
    app.Form1.Pointer = MousePointer::Normal;
    ReloadSettings(app);
    return CycleEnd::Early;
}

}  // namespace celvio
