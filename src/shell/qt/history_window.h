// The History window: the station's tests, found by an IMEI, its first digits or a
// model; the selected test's result file as stored; the pass rate per model and the
// tests per day over the last 30 days. Modeless: the cycle goes on underneath, and
// the window never touches the tester or the main window's buttons.
#pragma once

#include <QDate>
#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;
class QTimer;

QT_BEGIN_NAMESPACE
class QChartView;
QT_END_NAMESPACE

namespace celvio {

class CursorRest;
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
    explicit HistoryWindowView(const QString& stationDir, QWidget* parent = nullptr,
                               const QDate& today = QDate::currentDate(), int cursorRestMs = 5000,
                               const QString& historyProgram = QString());
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

private:
    void FillCharts();
    void ShowSelectedFile();

    QString stationDir_;
    QDate today_;
    std::unique_ptr<HistoryIndex> index_;
    QLineEdit* search_ = nullptr;
    QLabel* status_ = nullptr;
    QTableWidget* list_ = nullptr;
    QPlainTextEdit* file_ = nullptr;
    QChartView* passRate_ = nullptr;
    QChartView* perDay_ = nullptr;
    QTimer* typing_ = nullptr;
    std::unique_ptr<CursorRest> cursorRest_;
    ChainScopeView* chain_ = nullptr;
};

}  // namespace celvio
