// The SWAP path of a cycle: a faulty phone exchanged without a test.
#include "cycle/paths.h"

#include "core/app.h"
#include "core/helpers.h"
#include "swap/swap.h"
#include "ui/dialogs.h"

namespace celvio {

CycleEnd RunSwapPath(App& app)
{
    StationState& st = app.st;
    // 7. A station that keeps no swap records says so before the exchange begins.
    TellNoSwapRecords(app);
    SetHelpTopic(app, HelpTopic::ClubZavarNumber);
    if (st.SwapFile != 0)
        AskSwapCustomerData(app);
    SetHelpTopic(app, HelpTopic::SelectBand);
    SelectSystem(app, CycleMode::Swap);
    if (Stopped(app))
        return CycleEnd::Early;
    SetHelpTopic(app, HelpTopic::Swap);
    st.Verdict = Verdict::Aborted;
    SetHelpTopic(app, HelpTopic::Swap);
    SwapInSwapMode(app);
    return CycleEnd::Early;
}

}  // namespace celvio
