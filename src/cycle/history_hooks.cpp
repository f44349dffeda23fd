#include "cycle/history_hooks.h"

#include "core/app.h"
#include "core/trace.h"
#include "history/history_index.h"

namespace celvio {

namespace {

// A write that waits for another process (celvio-history rebuilding) gives up soon:
// the next cycle catches up.
constexpr int kBusyMs = 500;
// The longest an update may hold up the program: a first start on years of result
// files indexes them over the first cycles rather than all at once.
constexpr qint64 kStartUpBudgetMs = 3000;
constexpr qint64 kCycleBudgetMs = 1000;

}  // namespace

void UpdateHistoryIndex(App& app, bool everyFile)
{
    HistoryIndex index(app.StationDir, kBusyMs);
    index.SetDateOrder(RegionalDateOrder(app.ui.Locale()));
    IndexCounts counts;
    QString error;
    if (!index.Update(everyFile ? UpdateScope::EveryFile : UpdateScope::ChangedFolders, &counts, &error,
                      everyFile ? kStartUpBudgetMs : kCycleBudgetMs)) {
        TraceLine(app, QStringLiteral("History index not updated: ") + error);
        return;
    }
    if (counts.Read > 0 || counts.Removed > 0)
        TraceLine(app, QStringLiteral("History index: %1 files read, %2 removed, %3 skipped in %4 ms%5")
                           .arg(counts.Read)
                           .arg(counts.Removed)
                           .arg(counts.Skipped)
                           .arg(counts.Ms)
                           .arg(counts.Complete ? QString() : QStringLiteral(", more after the next cycle")));
}

}  // namespace celvio
