#include "shell/qt/history_window.h"

#include "core/files.h"
#include "shell/qt/cursor_rest.h"
#include "headoffice/server_address.h"
#include "shell/qt/chain_scope.h"
#include "shell/qt/history_charts.h"
#include "history/history_index.h"
#include "history/history_query.h"

#include <QBoxLayout>
#include <QResizeEvent>
#include <QChartView>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace celvio {

namespace {

// At most this many tests in the list: the newest first; a search narrows them.
constexpr int kListLimit = 500;
// The longest the window waits for the index when it opens; on a station whose index
// is still being built it shows what is there.
constexpr qint64 kRefreshBudgetMs = 1500;
// The failed tests' column is never narrower than this; a longer text ends in "...".
constexpr int kFailedMinimum = 100;
// Narrower than this the window puts the stored file below the list.
constexpr int kCompactBelow = 900;
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

}  // namespace

HistoryWindowView::HistoryWindowView(const QString& stationDir, QWidget* parent, const QDate& today,
                                     int cursorRestMs, const QString& historyProgram, DateOrder dates)
    : QWidget(parent, Qt::Window), stationDir_(stationDir), today_(today), dates_(dates),
      index_(std::make_unique<HistoryIndex>(stationDir, 500, true))
{
    setWindowTitle(QStringLiteral("CELVIO - History"));
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_DeleteOnClose, false);

    QHBoxLayout* top = BuildSearchRow();
    BuildList();
    BuildFilePane();
    auto* split = new QSplitter(Qt::Horizontal);
    split_ = split;
    split->addWidget(list_);
    split->addWidget(file_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);

    passRate_ = NewChartView(QStringLiteral("Pass rate per model (tests), last 30 days"));
    perDay_ = NewChartView(QStringLiteral("Tests per day, last 30 days"));
    charts_ = new QBoxLayout(QBoxLayout::LeftToRight);
    charts_->addWidget(passRate_);
    charts_->addWidget(perDay_);

    // Wide: the list and the file above the charts. Narrow: each on a tab of its own
    // (SetCompact), so that neither is squeezed.
    tabs_ = new QTabWidget;
    tabs_->setVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout_ = layout;
    layout->addLayout(top);
    layout->addWidget(tabs_, 5);
    layout->addWidget(split, 3);
    if (HasHeadOfficeFile(stationDir)) {
        auto* box = new QGroupBox(QStringLiteral("Head office: the whole chain"));
        chain_ = new ChainScopeView(stationDir, historyProgram);
        (new QVBoxLayout(box))->addWidget(chain_);
        layout->addWidget(box, 2);
    }
    chartsBox_ = new QWidget;
    chartsBox_->setLayout(charts_);
    charts_->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chartsBox_, 2);

    ConnectSearch(cursorRestMs);
    // Narrow until it is given more room: beside the main window of a small screen
    // the window still fits, rather than going over the cycle.
    SetCompact(true);
    resize(1100, 720);
    Refresh();
}

// The search box with its label and the status beside it.
QHBoxLayout* HistoryWindowView::BuildSearchRow()
{
    search_ = new QLineEdit;
    search_->setPlaceholderText(QStringLiteral("IMEI, its first digits, or a model"));
    search_->setClearButtonEnabled(true);
    status_ = new QLabel;
    // A long note (an index still being built) wraps rather than widen the window.
    status_->setWordWrap(true);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("&Search:")));
    static_cast<QLabel*>(top->itemAt(0)->widget())->setBuddy(search_);
    top->addWidget(search_, 1);
    top->addWidget(status_);
    return top;
}

void HistoryWindowView::BuildList()
{
    list_ = new QTableWidget(0, kColumns);
    list_->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("IMEI"),
                                      QStringLiteral("Model"), QStringLiteral("System"), QStringLiteral("Verdict"),
                                      QStringLiteral("Failed")});
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->verticalHeader()->hide();
    // Every column but the failed tests' fits its contents; that one takes the room
    // left (FitColumns), and a text it cuts ends in "..." with the whole of it in the
    // cell's tool tip.
    list_->setTextElideMode(Qt::ElideRight);
    list_->viewport()->installEventFilter(this);
    list_->setWordWrap(false);
}

// The stored file wraps at the pane's edge: no line hides behind a scroll bar.
void HistoryWindowView::BuildFilePane()
{
    file_ = new QPlainTextEdit;
    file_->setReadOnly(true);
    file_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    file_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    file_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Narrower than this the stored file would wrap nearly every line.
    file_->setMinimumWidth(QFontMetrics(file_->font()).horizontalAdvance(QString(40, u'M')));
}

// The list follows the search box a moment after the last key, or at once on Enter;
// the selected test's file follows the list.
void HistoryWindowView::ConnectSearch(int cursorRestMs)
{
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
    FillList(rows);
    list_->resizeColumnsToContents();
    FitColumns();
    list_->setUpdatesEnabled(true);
    file_->clear();
    if (!rows.isEmpty())
        list_->selectRow(0);
    if (chain_)
        chain_->Search(text);
}

// The tests as the list's rows, the verdict cell in its colour.
void HistoryWindowView::FillList(const QList<TestRow>& rows)
{
    list_->clearContents();
    list_->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const TestRow& row = rows[r];
        const QString imei = row.Kind == QLatin1String("direct swap")
                                 ? row.OldImei + QStringLiteral(" -> ") + row.Imei
                                 : row.Imei;
        const QDate date = QDate::fromString(row.Date, Qt::ISODate);
        const QString cells[kColumns] = {date.isValid() ? DateText(date, dates_) : row.Date,
                                         row.Time,
                                         imei,
                                         row.Model,
                                         row.System,
                                         row.Verdict,
                                         row.Failed.join(QStringLiteral("; "))};
        for (int c = 0; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            // A cell too narrow for its text ends in "..." and shows it whole on
            // hovering: the failed tests one a line.
            if (c == kFailed && !row.Failed.isEmpty())
                item->setToolTip(row.Failed.join(u'\n'));
            else if (c == kModel || c == kImei)
                item->setToolTip(cells[c]);
            if (c == kDate)
                item->setData(Qt::UserRole, row.File);
            if (c == kVerdict) {
                item->setBackground(VerdictColour(row.Verdict));
                item->setForeground(Qt::black);
            }
            list_->setItem(r, c, item);
        }
    }
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
    FitFilePane();
}

void HistoryWindowView::resizeEvent(QResizeEvent* event)
{
    SetCompact(event->size().width() < kCompactBelow);
    QWidget::resizeEvent(event);
}

void HistoryWindowView::SetCompact(bool compact)
{
    if (compact == compact_)
        return;
    compact_ = compact;
    // Narrow: the list above the stored file on one tab, the charts one above the
    // other on another; the time and the system are left to the file.
    split_->setOrientation(compact ? Qt::Vertical : Qt::Horizontal);
    charts_->setDirection(compact ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    if (compact) {
        tabs_->addTab(split_, QStringLiteral("&Tests"));
        tabs_->addTab(chartsBox_, QStringLiteral("&Charts"));
    } else {
        tabs_->clear();
        layout_->insertWidget(layout_->indexOf(tabs_) + 1, split_, 3);
        layout_->addWidget(chartsBox_, 2);
        split_->show();
        chartsBox_->show();
    }
    tabs_->setVisible(compact);
    list_->setColumnHidden(kTime, compact);
    list_->setColumnHidden(kSystem, compact);
    FitColumns();
    FitFilePane();
}

bool HistoryWindowView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_->viewport() && event->type() == QEvent::Resize)
        FitColumns();
    return QWidget::eventFilter(watched, event);
}

int HistoryWindowView::ColumnsBeforeFailed() const
{
    int width = 0;
    for (int c = 0; c < kFailed; ++c)
        width += list_->isColumnHidden(c) ? 0 : list_->columnWidth(c);
    return width;
}

void HistoryWindowView::FitColumns()
{
    list_->setColumnWidth(kFailed, std::max(kFailedMinimum, list_->viewport()->width() - ColumnsBeforeFailed()));
}

void HistoryWindowView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The panes have their sizes only now.
    FitFilePane();
}

void HistoryWindowView::FitFilePane()
{
    const QStringList lines = file_->toPlainText().split(u'\n');
    const QFontMetrics metrics(file_->font());
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int frame = 2 * file_->frameWidth() + 2 * int(file_->document()->documentMargin()) +
                      file_->verticalScrollBar()->sizeHint().width() + 4;
    const QList<int> sizes = split_->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total <= 0 || compact_)
        return;
    // The list's columns come first (a readable start of the failed tests included);
    // the file pane gets the rest up to its widest line, never less than its minimum.
    const int list = ColumnsBeforeFailed() + kFailedMinimum + list_->verticalScrollBar()->sizeHint().width() +
                     2 * list_->frameWidth();
    const int pane = std::max(file_->minimumWidth(), std::min(widest + frame, total - list));
    if (pane != sizes.value(1))
        split_->setSizes({total - pane, pane});
}

}  // namespace celvio
