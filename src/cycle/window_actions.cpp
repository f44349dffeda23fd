#include "cycle/window_actions.h"

#include "core/helpers.h"
#include "core/trace.h"
#include "cycle/coupler.h"
#include "results/result_pages.h"
#include "scan/bad_channels.h"
#include "swap/swap.h"
#include "ui/dialogs.h"
#include "ui/help.h"

namespace celvio {

void RunUiAction(App& app, UiAction action)
{
    switch (action) {
    case UiAction::Quit: QuitQuestion(app); break;
    case UiAction::Stop: RequestStop(app); break;
    case UiAction::Help:
        TraceButton(app, QStringLiteral("HELP"));
        ShowHelp(app);
        break;
    case UiAction::About: ShowAbout(app); break;
    case UiAction::CoupOld: Mnu_CoupOld_Click(app); break;
    case UiAction::CoupNew: Mnu_CoupNew_Click(app); break;
    case UiAction::CoupSBox: Mnu_CoupSbox_Click(app); break;
    case UiAction::CoupSBoxK590: Mnu_CoupSboxK590_Click(app); break;
    case UiAction::DebugPrint: DebugFrm_PrintClick(app); break;
    case UiAction::DebugSave: DebugFrm_SaveClick(app); break;
    case UiAction::DebugClear: DebugFrm_ClearClick(app); break;
    case UiAction::ScanPrint: ScanFrm_PrintClick(app); break;
    case UiAction::ScanOk: ScanFrm_OkClick(app); break;
    case UiAction::Form3Command1: Form3_Command1Click(app); break;
    // The print buttons belong to the report screen that opened the pages with its
    // record (TestReportScreen); they do nothing elsewhere.
    case UiAction::Form3Command2: break;
    case UiAction::Form4Command1: Form4_Command1Click(app); break;
    case UiAction::Form4Command2: Form4_Command2Click(app); break;
    case UiAction::Form4Command3: break;
    // Closing a result page by its frame is the quit question, as for the main window.
    case UiAction::ResultPageClose: QuitQuestion(app); break;
    }
}

void InstallProgramFlow(App& app)
{
    app.Hooks.WindowAction = RunUiAction;
    app.Hooks.Archive = ArchiveSwapFiles;
    app.Hooks.Userdata = EnterServicePointData;
}

}  // namespace celvio
