// The History window: the station's tests, found by an IMEI, its first digits or a
// model; the selected test's result file as stored; the pass rate per model and the
// tests per day over the last 30 days. Modeless: the cycle goes on underneath, and
// the window never touches the tester or the main window's buttons.
#pragma once

#include "core/text.h"

#include <QDate>
#include <QLocale>
#include <QWidget>
#include <memory>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSplitter;
class QBoxLayout;
class QTabWidget;
class QVBoxLayout;
class QTableWidget;
class QTimer;

QT_BEGIN_NAMESPACE
class QChartView;
QT_END_NAMESPACE

namespace celvio {

class CursorRest;
struct TestRow;
class ChainScopeView;
class HistoryIndex;

class HistoryWindowView : public QWidget {
public:
    // The history of the station at `stationDir`, the last 30 days counted back from
    // `today`. The index is brought up to date before the window fills.
    // The search box's text cursor stands still `cursorRestMs` after the last key (and
    // whenever the window is not the active one), so that an open window costs nothing.
    // A station with a head office gets the chain scope, which asks the server through
    // `historyProgram` (empty: celvio-history beside the program, else on the PATH).
    // Dates in the list and the charts are written as the program writes them in the
    // result files shown beside them: day first or month first as `dates` says.
    explicit HistoryWindowView(const QString& stationDir, QWidget* parent = nullptr,
                               const QDate& today = QDate::currentDate(), int cursorRestMs = 5000,
                               const QString& historyProgram = QString(),
                               DateOrder dates = RegionalDateOrder(QLocale::system()));
    ~HistoryWindowView() override;

    // Reads what changed since the last time and fills the list and the charts again.
    void Refresh();
    // Shows the tests that match `text` (as typed in the search box).
    void Search(const QString& text);

    QLineEdit* SearchBox() const { return search_; }
    QTableWidget* List() const { return list_; }
    QPlainTextEdit* FileView() const { return file_; }
    QChartView* PassRateChart() const { return passRate_; }
    QChartView* PerDayChart() const { return perDay_; }
    QLabel* Status() const { return status_; }
    const CursorRest& SearchCursor() const { return *cursorRest_; }
    ChainScopeView* Chain() const { return chain_; }  // null without a head office

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QHBoxLayout* BuildSearchRow();
    void BuildList();
    void BuildFilePane();
    void ConnectSearch(int cursorRestMs);
    void FillList(const QList<TestRow>& rows);
    // The charts (history_window_charts.cpp).
    void FillCharts();
    void ShowSelectedFile();
    // Gives the file pane the width of the widest line of the file it shows, as far as
    // the list can spare it; longer lines wrap.
    void FitFilePane();
    // The failed tests' column takes the room the other columns leave.
    void FitColumns();
    // Narrow windows stack the panes and the charts (see kCompactBelow).
    void SetCompact(bool compact);
    int ColumnsBeforeFailed() const;

    QString stationDir_;
    QDate today_;
    DateOrder dates_;
    std::unique_ptr<HistoryIndex> index_;
    QLineEdit* search_ = nullptr;
    QLabel* status_ = nullptr;
    QTableWidget* list_ = nullptr;
    QPlainTextEdit* file_ = nullptr;
    QSplitter* split_ = nullptr;
    QBoxLayout* charts_ = nullptr;
    QWidget* chartsBox_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    bool compact_ = false;
    QChartView* passRate_ = nullptr;
    QChartView* perDay_ = nullptr;
    QTimer* typing_ = nullptr;
    std::unique_ptr<CursorRest> cursorRest_;
    ChainScopeView* chain_ = nullptr;
};

}  // namespace celvio
