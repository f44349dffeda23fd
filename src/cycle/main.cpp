#include "cycle/main.h"

#include "core/app.h"
#include "core/events.h"
#include "core/helpers.h"
#include "core/settings.h"
#include "core/text.h"
#include "core/trace.h"
#include "cycle/coupler.h"
#include "cycle/history_hooks.h"
#include "cycle/paths.h"
#include "cycle/startup_checks.h"
#include "cycle/window_actions.h"
#include "swap/swap.h"
#include "tester/port_search.h"
#include "tester/port_select.h"
#include "tester/tester_control.h"
#include "tester/transport.h"
#include "ui/dialogs.h"

#include <QDateTime>

namespace celvio {

namespace {

// The coupler chosen at the last run, checked in the Coupler menu.
void RestoreCouplerChoice(App& app)
{
    StationState& st = app.st;
    st.CouplerNumber = ReadCouplerChoice(app);
    switch (st.CouplerNumber) {
    case 1: Mnu_CoupOld_Click(app); break;
    case 2: Mnu_CoupNew_Click(app); break;
    case 3: Mnu_CoupSbox_Click(app); break;
    case 4: Mnu_CoupSboxK590_Click(app); break;
    default: break;
    }
}

// The trace window, opened with the program's start line when tracing is on.
void StartTrace(App& app)
{
    StationState& st = app.st;
    if (st.DebugMode != kTrue)
        return;
    app.DebugFrm.Visible = true;
    const QDateTime now = app.ui.Now();
    TraceLine(app, now.date().toString(QStringLiteral("MM-dd-yyyy")) + QLatin1Char(' ') + TimeText(now.time()) +
                       QStringLiteral(" Program ") + st.Version + QStringLiteral(" started."));
    TraceLine(app, QString(61, QLatin1Char('-')));
}

// The coupler is fixed for the run: the menu's entries disabled, the one checked kept
// as the run's coupler and saved for the next start.
void FixCoupler(App& app)
{
    StationState& st = app.st;
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

// Start-up, steps 1 to 10: data checks, settings, coupler, windows, trace, service
// point data, the tester's port and identity, and the coupler fixed for the run.
void StartUp(App& app)
{
    StationState& st = app.st;
    // 1. Version, texts, defaults.
    st.Version = QStringLiteral("2.02");
    st.VersionDate = QStringLiteral("Jul. 2005");
    st.NewLine = kCrLf;
    st.SystemChoice = 1;
    SetHelpTopic(app, HelpTopic::Connect);
    // 2. The summary texts are built into SummaryText().
    // 3. Data checks, settings and blocked channels.
    StartupChecks(app);
    ReloadSettings(app);
    // 4. Restore the coupler choice.
    RestoreCouplerChoice(app);
    // 5. Window and title screen.
    app.Form1.Maximized = st.Maximize == 1;
    ShowTitle(app);
    app.Form1.Visible = true;
    SetHelpTopic(app, HelpTopic::Connect);
    // 6. Trace window.
    StartTrace(app);
    DoEvents(app);
    // 7. Service point data.
    if (st.SwapFile != 0)
        LoadServiceData(app);
    // An archive that a crash broke off is finished before anything reads the records;
    // then the history index reads what changed while the program was not running.
    RecoverUnfinishedArchive(app);
    UpdateHistoryIndex(app, true);
    // 8. Find the tester; the search and the question record the port in TesterPort.
    SetHelpTopic(app, HelpTopic::Connect);
    if (st.SearchAllPorts == kTrue)
        SearchTesterPort(app);
    else
        SelectTesterPort(app);
    // 9. Local operation and identification.
    Send(app, TesterOp::LocalOperation);
    SetHelpTopic(app, HelpTopic::Connect);
    IdentifyTester(app, kTrue);
    // 10. The coupler is fixed for the run.
    FixCoupler(app);
}

// The end of a cycle: R1 after the verdict, R2 for every early end (with the light
// reset of the tester), then R3, the settings and blocked channels read again.
void EndCycle(App& app, CycleEnd end)
{
    app.Form1.Pointer = MousePointer::Normal;
    // The cycle's result file and records are findable at once.
    UpdateHistoryIndex(app, false);
    if (end == CycleEnd::Early) {
        DoEvents(app);
        ReleaseTester(app, 0);
    }
    ReloadSettings(app);
}

}  // namespace

void Main(App& app)
{
    InstallProgramFlow(app);
    StartUp(app);
    for (;;) {
        EndCycle(app, RunCycle(app));
        if (app.CycleEnded)
            app.CycleEnded(app);
    }
}

}  // namespace celvio
