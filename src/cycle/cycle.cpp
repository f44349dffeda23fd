// One cycle from its start to the chosen mode's path: steps 1 to 6 of every cycle.
#include "cycle/paths.h"

#include "core/app.h"
#include "core/helpers.h"
#include "core/text.h"
#include "core/translation.h"
#include "record/cycle_record.h"
#include "results/result_grid.h"
#include "tester/transport.h"
#include "ui/dialogs.h"

#include <QDateTime>

namespace celvio {

namespace {

// The summary texts by entry 1..6, in English; the translation gives the operator's.
const char* const kSummaryTexts[7] = {
    "",
    QT_TRANSLATE_NOOP("Celvio", "Keypad Test: Not Tested"),
    QT_TRANSLATE_NOOP("Celvio", "Transmitter Test: Not Tested"),
    QT_TRANSLATE_NOOP("Celvio", "Receiver Test: Not Tested"),
    QT_TRANSLATE_NOOP("Celvio", "Microphone / Speaker Test: Not Tested"),
    QT_TRANSLATE_NOOP("Celvio", "Transmitter Test: Passed"),
    QT_TRANSLATE_NOOP("Celvio", "Receiver Test: Passed"),
};

}  // namespace

QString SummaryText(const App& app, int entry)
{
    if (entry < 1 || entry > 6)
        return QString();
    return Tr(app, kSummaryTexts[entry]);
}

bool Stopped(const App& app)
{
    return app.st.StopRequested == kTrue;
}

void ShowRecord(App& app, CycleRecord& record)
{
    TakeStationFacts(record, app.st);
    ShowRecordOnResultPages(app, record);
}

void StoreAndShow(App& app, CycleRecord& record, const QList<MeasuredReading>& readings)
{
    StoreReadings(record, readings);
    ShowRecord(app, record);
}

CycleEnd RunCycle(App& app)
{
    StationState& st = app.st;
    // 1.-3. A clean start: no phone, no verdict, no readings, the summary lines "Not Tested".
    st.ResetForNewCycle();
    CycleRecord record;
    ResetReadings(record);
    TakeStationFacts(record, st);
    app.Form1.Command2.Enabled = true;
    Send(app, TesterOp::ClearStatus);
    for (int i = 1; i <= 4; ++i)
        st.SummaryLines[i] = SummaryText(app, i);
    st.SummaryLines[6].clear();
    // The title screen, and result pages made afresh for the cycle.
    ShowTitle(app);
    SetUpResultPages(app, record);
    if (Stopped(app))
        return CycleEnd::Early;
    // The mode dialog.
    SetHelpTopic(app, HelpTopic::SelectTestMode);
    const CycleMode cycleMode = SelectMode(app);
    if (app.CycleBegins)
        app.CycleBegins(app, cycleMode);
    // The cycle's date and time, shown on the result pages too.
    const QDateTime now = app.ui.Now();
    st.CycleDate = DateText(now.date(), app.ui.Locale());
    st.CycleDay = now.date();
    st.CycleTime = TimeText(now.time());
    ShowRecord(app, record);

    switch (cycleMode) {
    case CycleMode::Swap: return RunSwapPath(app);
    case CycleMode::OneScan:
    case CycleMode::ContinuousScan: return RunScanPath(app, record);
    case CycleMode::Test:
    default: return RunTestPath(app, record);
    }
}

}  // namespace celvio
