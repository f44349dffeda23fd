#include "shell/qt/history_charts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QValueAxis>

namespace celvio {

QChartView* NewChartView(const QString& title)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(280);
    return view;
}

void SetBars(QChartView* view, const QStringList& categories, const QList<qreal>& values, const QColor& colour,
             qreal maximum, const QString& valueTitle, bool horizontal)
{
    QChart* chart = view->chart();
    chart->removeAllSeries();
    // The chart gives up an axis it removes: it is deleted here.
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    auto* set = new QBarSet(valueTitle);
    set->setColor(colour);
    for (qreal value : values)
        set->append(value);
    QAbstractBarSeries* series = horizontal ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                            : static_cast<QAbstractBarSeries*>(new QBarSeries);
    series->append(set);
    chart->addSeries(series);
    auto* names = new QBarCategoryAxis;
    names->append(categories);
    QFont small = names->labelsFont();
    small.setPointSize(horizontal ? 8 : 7);
    names->setLabelsFont(small);
    names->setTruncateLabels(false);
    if (!horizontal)
        names->setLabelsAngle(-90);
    auto* y = new QValueAxis;
    y->setRange(0, maximum);
    y->setTitleText(valueTitle);
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(names, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(y, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(names);
    series->attachAxis(y);
}

}  // namespace celvio
