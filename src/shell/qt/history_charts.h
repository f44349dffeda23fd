// The History window's two bar charts: a chart view with its title, and one bar
// series with its category and value axes put into it.
#pragma once

#include <QColor>
#include <QList>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QChartView;
QT_END_NAMESPACE

namespace celvio {

QChartView* NewChartView(const QString& title);

// Puts one bar series with its category and value axes into the chart; horizontal
// bars (categories on the left) for long names.
void SetBars(QChartView* view, const QStringList& categories, const QList<qreal>& values, const QColor& colour,
             qreal maximum, const QString& valueTitle, bool horizontal);

}  // namespace celvio
