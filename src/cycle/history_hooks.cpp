#include "cycle/history_hooks.h"

#include "core/app.h"
#include "core/trace.h"
#include "history/history_index.h"

namespace celvio {

namespace {

// A write that waits for another process (celvio-history rebuilding) gives up soon:
// the next cycle catches up.
constexpr int kBusyMs = 500;

}  // namespace

void UpdateHistoryIndex(App& app, bool everyFile)
{
    HistoryIndex index(app.StationDir, kBusyMs);
    IndexCounts counts;
    QString error;
    if (!index.Update(everyFile ? UpdateScope::EveryFile : UpdateScope::ChangedFolders, &counts, &error)) {
        TraceLine(app, QStringLiteral("History index not updated: ") + error);
        return;
    }
    if (counts.Read > 0 || counts.Removed > 0)
        TraceLine(app, QStringLiteral("History index: %1 files read, %2 removed, %3 skipped in %4 ms")
                           .arg(counts.Read)
                           .arg(counts.Removed)
                           .arg(counts.Skipped)
                           .arg(counts.Ms));
}

}  // namespace celvio
