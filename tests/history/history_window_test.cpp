// The History window on the hand-written station: the list with its verdict colours,
// the search by IMEI digits and by model, the selected file as stored, both charts,
// and the main window's menu entry that opens it without going through the cycle.
#include "history_fixture.h"
#include "platform/qt/history_window.h"
#include "platform/qt/main_window_view.h"
#include "platform/scripted/scripted_platform.h"
#include "core/app.h"

#include <QAction>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTableWidget>

namespace celvio::testing {
namespace {

class HistoryWindowTest : public HistoryFixture {
protected:
    static QStringList Column(QTableWidget* list, int column)
    {
        QStringList cells;
        for (int r = 0; r < list->rowCount(); ++r)
            cells << list->item(r, column)->text();
        return cells;
    }
    static QList<qreal> Bars(QChartView* view, QStringList* categories = nullptr)
    {
        QList<qreal> values;
        const QList<QAbstractSeries*> series = view->chart()->series();
        if (series.size() != 1)
            return values;
        auto* bars = static_cast<QAbstractBarSeries*>(series[0]);
        for (int i = 0; i < bars->barSets()[0]->count(); ++i)
            values << bars->barSets()[0]->at(i);
        if (categories) {
            for (QAbstractAxis* axis : view->chart()->axes())
                if (auto* names = qobject_cast<QBarCategoryAxis*>(axis))
                    *categories = names->categories();
        }
        return values;
    }
};

TEST_F(HistoryWindowTest, ListSearchStoredFileAndCharts)
{
    HandWrittenStation();
    HistoryWindowView window(dir.path(), nullptr, QDate(2026, 12, 9));
    window.show();
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(window.windowModality(), Qt::NonModal);

    QTableWidget* list = window.List();
    EXPECT_EQ(Column(list, 2), (QStringList{"490154203237518 -> 490154209999991", "490154203237518",
                                            "351234570543215", "351234000000017"}));
    EXPECT_EQ(Column(list, 5), (QStringList{"swap", "aborted", "failed", "passed"}));
    const QColor colours[] = {QColor(200, 200, 255), QColor(255, 255, 0), QColor(255, 0, 0), QColor(0, 255, 0)};
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(list->item(r, 5)->background().color(), colours[r]) << r;
    EXPECT_EQ(list->item(1, 6)->text(), QStringLiteral("Call From Base Station: Failed"));

    // The newest is selected and shown as stored; the German file with its umlauts.
    QString stored = QString::fromUtf8(kDirectSwapFile).remove(QLatin1Char('|')).mid(1);
    EXPECT_EQ(window.FileView()->toPlainText(), stored);
    list->selectRow(2);
    EXPECT_TRUE(window.FileView()->toPlainText().contains(QStringLiteral("Burst Länge            :  553")))
        << qPrintable(window.FileView()->toPlainText());

    struct Search {
        const char* typed;
        QStringList imeis;
    } searches[] = {
        {"4901 5420", {"490154203237518 -> 490154209999991", "490154203237518"}},
        {"351234-57", {"351234570543215"}},
        {"orvane", {"351234570543215", "351234000000017"}},
        {"Kestrel 20", {"490154203237518"}},
        {"Nokta", {}},
        {"", {"490154203237518 -> 490154209999991", "490154203237518", "351234570543215", "351234000000017"}},
    };
    for (const Search& s : searches) {
        window.SearchBox()->setText(QString::fromUtf8(s.typed));
        emit window.SearchBox()->returnPressed();
        EXPECT_EQ(Column(list, 2), s.imeis) << s.typed;
        if (s.imeis.isEmpty()) {
            EXPECT_TRUE(window.FileView()->toPlainText().isEmpty());
        }
    }

    // Pass rate of the models tested in the last 30 days, the most tested on top (the
    // last bar of a horizontal chart); tests per day ending today (7 December: two,
    // 8 December: one).
    QStringList models;
    EXPECT_EQ(Bars(window.PassRateChart(), &models), (QList<qreal>{0, 50}));
    EXPECT_EQ(models, (QStringList{"Kestrel 20 (1)", "Orvane Q7 (2)"}));
    QStringList days;
    const QList<qreal> perDay = Bars(window.PerDayChart(), &days);
    ASSERT_EQ(perDay.size(), 30);
    EXPECT_EQ(days.first(), QStringLiteral("10.11"));
    EXPECT_EQ(days.last(), QStringLiteral("09.12"));
    EXPECT_EQ(perDay.mid(26), (QList<qreal>{0, 2, 1, 0}));

    // A new test written while the window is open shows after a refresh.
    QByteArray another = HandWritten(kPassedGsmFile);
    another.replace("351234000000017", "351234000000025");
    Put(QStringLiteral("RESULTS/351234/0000025.TXT"), another);
    window.Refresh();
    EXPECT_EQ(list->rowCount(), 5);
}

TEST_F(HistoryWindowTest, TheMainWindowsHistoryEntryOpensItOutsideTheCycle)
{
    HandWrittenStation();
    ScriptedPlatform platform;
    App app(platform, dir.path());
    MainWindowView main(app);
    QAction* entry = nullptr;
    for (QAction* action : main.menuBar()->actions())
        if (action->text() == QLatin1String("&History"))
            entry = action;
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    entry->trigger();  // a second time: the same window, brought up to date
    int windows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* history = dynamic_cast<HistoryWindowView*>(widget); history && history->isVisible()) {
            ++windows;
            EXPECT_EQ(history->List()->rowCount(), 4);
        }
    EXPECT_EQ(windows, 1);
    EXPECT_TRUE(app.PendingActions.empty());  // nothing queued for the cycle
}

}  // namespace
}  // namespace celvio::testing
