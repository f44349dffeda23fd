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

}  // namespace celvio
