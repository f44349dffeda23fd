#include "shell/qt/history_window.h"

#include "core/files.h"
#include "shell/qt/cursor_rest.h"
#include "headoffice/server_address.h"
#include "shell/qt/chain_scope.h"
#include "history/history_index.h"
#include "history/history_query.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QHorizontalBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

namespace celvio {

namespace {

// At most this many tests in the list: the newest first; a search narrows them.
constexpr int kListLimit = 500;
constexpr int kChartDays = 30;
// Models in the pass-rate chart: the ones with the most tests in the period.
constexpr int kChartModels = 10;
// The longest the window waits for the index when it opens; on a station whose index
// is still being built it shows what is there.
constexpr qint64 kRefreshBudgetMs = 1500;
// The list follows the search box this long after the last key.
constexpr int kTypingMs = 150;

enum Column { kDate, kTime, kImei, kModel, kSystem, kVerdict, kFailed, kColumns };

// The result cells' colours: green passed, red failed, yellow for a test that broke off.
QColor VerdictColour(const QString& verdict)
{
    if (verdict == QLatin1String("passed"))
        return QColor(0, 255, 0);
    if (verdict == QLatin1String("failed"))
        return QColor(255, 0, 0);
    if (verdict == QLatin1String("aborted"))
        return QColor(255, 255, 0);
    return QColor(200, 200, 255);  // a direct swap
}

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

// Puts one bar series with its category and value axes into the chart; horizontal
// bars (categories on the left) for long names.
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

}  // namespace

HistoryWindowView::HistoryWindowView(const QString& stationDir, QWidget* parent, const QDate& today,
                                     int cursorRestMs, const QString& historyProgram)
    : QWidget(parent, Qt::Window), stationDir_(stationDir), today_(today),
      index_(std::make_unique<HistoryIndex>(stationDir, 500, true))
{
    setWindowTitle(QStringLiteral("CELVIO - History"));
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_DeleteOnClose, false);

    search_ = new QLineEdit;
    search_->setPlaceholderText(QStringLiteral("IMEI, its first digits, or a model"));
    search_->setClearButtonEnabled(true);
    status_ = new QLabel;
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("&Search:")));
    static_cast<QLabel*>(top->itemAt(0)->widget())->setBuddy(search_);
    top->addWidget(search_, 1);
    top->addWidget(status_);

    list_ = new QTableWidget(0, kColumns);
    list_->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("IMEI"),
                                      QStringLiteral("Model"), QStringLiteral("System"), QStringLiteral("Verdict"),
                                      QStringLiteral("Failed")});
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);

    file_ = new QPlainTextEdit;
    file_->setReadOnly(true);
    file_->setLineWrapMode(QPlainTextEdit::NoWrap);
    file_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(list_);
    split->addWidget(file_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    passRate_ = NewChartView(QStringLiteral("Pass rate per model (tests), last 30 days"));
    perDay_ = NewChartView(QStringLiteral("Tests per day, last 30 days"));
    auto* charts = new QHBoxLayout;
    charts->addWidget(passRate_);
    charts->addWidget(perDay_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 3);
    if (HasHeadOfficeFile(stationDir)) {
        auto* box = new QGroupBox(QStringLiteral("Head office: the whole chain"));
        chain_ = new ChainScopeView(stationDir, historyProgram);
        (new QVBoxLayout(box))->addWidget(chain_);
        layout->addWidget(box, 2);
    }
    layout->addLayout(charts, 2);

    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(kTypingMs);
    QObject::connect(typing_, &QTimer::timeout, this, [this] { Search(search_->text()); });
    QObject::connect(search_, &QLineEdit::textChanged, typing_, qOverload<>(&QTimer::start));
    QObject::connect(search_, &QLineEdit::returnPressed, this, [this] {
        typing_->stop();
        Search(search_->text());
    });
    QObject::connect(list_, &QTableWidget::itemSelectionChanged, this, [this] { ShowSelectedFile(); });
    cursorRest_ = std::make_unique<CursorRest>(this, search_, cursorRestMs);

    resize(1100, 720);
    Refresh();
}

HistoryWindowView::~HistoryWindowView() = default;

void HistoryWindowView::Refresh()
{
    QString error;
    IndexCounts counts;
    // A station this account cannot write: its index is shown as it stands.
    const bool readOnly = index_->Open(&error) && index_->IsReadOnly();
    const bool updated = readOnly || index_->Update(UpdateScope::ChangedFolders, &counts, &error, kRefreshBudgetMs);
    Search(search_->text());
    FillCharts();
    if (chain_)
        chain_->CheckServer();
    if (readOnly)
        status_->setText(status_->text() + QStringLiteral(" (the index cannot be written here and may be behind"
                                                          " the files)"));
    else if (!updated)
        status_->setText(QStringLiteral("Index not up to date: ") + error);
    else if (!counts.Complete)
        status_->setText(status_->text() + QStringLiteral(" (the index is still being built)"));
}

void HistoryWindowView::Search(const QString& text)
{
    TestFilter filter;
    filter.Limit = kListLimit;
    QString typed = text.trimmed();
    static const QRegularExpression digits(QStringLiteral("^[0-9 ./-]+$"));
    if (digits.match(typed).hasMatch())
        filter.ImeiPrefix = typed.remove(QRegularExpression(QStringLiteral("[ ./-]")));
    else
        filter.Model = typed;
    QList<TestRow> rows;
    QString error;
    if (!ListTests(*index_, filter, rows, &error)) {
        status_->setText(QStringLiteral("History not readable: ") + error);
        rows.clear();
    } else {
        status_->setText(rows.size() >= kListLimit ? QStringLiteral("newest %1 tests").arg(kListLimit)
                         : rows.size() == 1        ? QStringLiteral("1 test")
                                                   : QStringLiteral("%1 tests").arg(rows.size()));
    }
    list_->setUpdatesEnabled(false);
    list_->clearContents();
    list_->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const TestRow& row = rows[r];
        const QString imei = row.Kind == QLatin1String("direct swap")
                                 ? row.OldImei + QStringLiteral(" -> ") + row.Imei
                                 : row.Imei;
        const QString cells[kColumns] = {row.Date,    row.Time,   imei, row.Model, row.System,
                                         row.Verdict, row.Failed.join(QStringLiteral("; "))};
        for (int c = 0; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == kDate)
                item->setData(Qt::UserRole, row.File);
            if (c == kVerdict) {
                item->setBackground(VerdictColour(row.Verdict));
                item->setForeground(Qt::black);
            }
            list_->setItem(r, c, item);
        }
    }
    list_->resizeColumnsToContents();
    list_->setUpdatesEnabled(true);
    file_->clear();
    if (!rows.isEmpty())
        list_->selectRow(0);
    if (chain_)
        chain_->Search(text);
}

void HistoryWindowView::ShowSelectedFile()
{
    const QList<QTableWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        file_->clear();
        return;
    }
    const QString relative = list_->item(selected.first()->row(), kDate)->data(Qt::UserRole).toString();
    QByteArray bytes;
    if (!ReadFileBytes(ResolvePath(stationDir_, relative), bytes)) {
        file_->setPlainText(QStringLiteral("The file ") + relative + QStringLiteral(" cannot be read."));
        return;
    }
    // As stored: Latin-1, each CR LF one line end.
    QString text = FromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    file_->setPlainText(text);
    file_->setDocumentTitle(relative);
}

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
        days << period.Since.addDays(i).toString(QStringLiteral("dd.MM"));
        values << counts[i];
        most = std::max(most, counts[i]);
    }
    SetBars(perDay_, days, values, QColor(40, 90, 200), std::max(5, most + most / 10 + 1), QStringLiteral("tests"),
            false);
}

}  // namespace celvio
