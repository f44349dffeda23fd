// The History window's charts: the pass rate per model and the tests per day over the
// last 30 days, from the station's index.
#include "shell/qt/history_window.h"

#include "core/text.h"
#include "history/history_index.h"
#include "history/history_query.h"
#include "shell/qt/history_charts.h"

#include <QChartView>
#include <algorithm>

namespace celvio {

namespace {

constexpr int kChartDays = 30;
// Models in the pass-rate chart: the ones with the most tests in the period.
constexpr int kChartModels = 10;

}  // namespace

void HistoryWindowView::FillCharts()
{
    TestFilter period;
    period.Since = today_.addDays(1 - kChartDays);
    period.Until = today_;
    QList<StatsRow> models;
    Stats(*index_, StatsBy::Model, period, models);
    std::stable_sort(models.begin(), models.end(),
                     [](const StatsRow& a, const StatsRow& b) { return a.Tests > b.Tests; });
    if (models.size() > kChartModels)
        models.resize(kChartModels);
    // The most tested model on top: a horizontal bar chart counts from the bottom.
    QStringList names;
    QList<qreal> rates;
    for (const StatsRow& row : models) {
        if (row.Tests == 0)
            continue;
        names.prepend(QStringLiteral("%1 (%2)").arg(row.Group).arg(row.Tests));
        rates.prepend(row.PassRate());
    }
    SetBars(passRate_, names, rates, QColor(0, 170, 0), 100, QStringLiteral("% passed"), true);

    QList<int> counts;
    TestsPerDay(*index_, period.Since, period.Until, counts);
    QStringList days;
    QList<qreal> values;
    int most = 0;
    for (int i = 0; i < counts.size(); ++i) {
        // Day and month as the result files write them: "07.12" or "12/07".
        days << DateText(period.Since.addDays(i), dates_).left(5);
        values << counts[i];
        most = std::max(most, counts[i]);
    }
    SetBars(perDay_, days, values, QColor(40, 90, 200), std::max(5, most + most / 10 + 1), QStringLiteral("tests"),
            false);
}

}  // namespace celvio
