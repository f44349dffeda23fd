#include "shell/qt/side_windows.h"

#include "core/app.h"
#include "core/translation.h"
#include "record/quantities.h"
#include "shell/qt/sync.h"
#include "shell/qt/window_placement.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace celvio {

namespace {

// The trace window shows new rows at most this often (20 times a second).
constexpr std::chrono::milliseconds kTraceRefresh{50};

// A result cell: its colour on a dark ground.
QString CellStyle(Colour colour)
{
    return QStringLiteral("color: %1; background: #262c33; border-radius: 3px; padding: 2px 8px;")
        .arg(ToQColor(colour).name());
}

}  // namespace

DebugWindowView::DebugWindowView(App& app) : app_(app)
{
    setWindowTitle(app.DebugFrm.Caption);
    list_ = new QListWidget(this);
    list_->setFont(Mono(9));
    list_->setUniformItemSizes(true);
    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, UiAction> defs[] = {
        {"PRINT", UiAction::DebugPrint}, {"SAVE", UiAction::DebugSave}, {"CLEAR", UiAction::DebugClear}};
    for (const auto& [caption, action] : defs) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        const UiAction a = action;
        QObject::connect(b, &QPushButton::clicked, this, [this, a] { app_.PendingActions.push_back(a); });
        buttons->addWidget(b);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(620, 420);
    refresh_.setSingleShot(true);
    QObject::connect(&refresh_, &QTimer::timeout, this, [this] {
        if (generation_ == app_.DebugFrm.Generation && shown_ <= app_.DebugFrm.DebugFeld.size())
            AppendRows();
        else
            Sync();
    });
}

void DebugWindowView::Sync()
{
    const DebugFrm& m = app_.DebugFrm;
    if (generation_ != m.Generation || shown_ > m.DebugFeld.size()) {
        generation_ = m.Generation;
        list_->clear();
        shown_ = 0;
    }
    if (m.Visible && !isVisible() && !placed_)
        PlaceBesideAnchor();
    SyncWindow(this, m.Visible);
    if (shown_ == m.DebugFeld.size() || !isVisible())
        return;
    // The last batch went in a moment ago: the timer brings the rest.
    const qint64 since = sinceAppend_.isValid() ? sinceAppend_.elapsed() : kTraceRefresh.count();
    if (since < kTraceRefresh.count()) {
        if (!refresh_.isActive())
            refresh_.start(std::chrono::milliseconds{kTraceRefresh.count() - since});
        return;
    }
    AppendRows();
}

void DebugWindowView::AppendRows()
{
    const DebugFrm& m = app_.DebugFrm;
    sinceAppend_.start();
    if (shown_ >= m.DebugFeld.size())
        return;
    list_->addItems(m.DebugFeld.mid(shown_));
    shown_ = m.DebugFeld.size();
    if (m.ListIndex >= 0 && m.ListIndex < list_->count()) {
        list_->setCurrentRow(m.ListIndex);
        list_->scrollToItem(list_->item(m.ListIndex));
    }
}

void DebugWindowView::PlaceBesideAnchor()
{
    placed_ = true;
    if (!anchor_)
        return;
    const QScreen* screen = anchor_->screen();
    if (!screen)
        return;
    // The frame of the main window as it will stand (it may not be shown yet).
    const QRect main = anchor_->frameGeometry();
    const WindowPair placed = PlaceSideWindow(main, screen->availableGeometry(), QSize(620, 800), QSize(360, 240));
    if (placed.main.topLeft() != main.topLeft())
        anchor_->move(placed.main.topLeft());
    move(placed.side.topLeft());
    resize(placed.side.size());
}

HelpWindowView::HelpWindowView(App& app) : app_(app)
{
    setWindowTitle(app.Form2.Caption);
    title_ = new QLabel(this);
    QFont f = title_->font();
    f.setBold(true);
    f.setPointSize(14);
    title_->setFont(f);
    list_ = new QListWidget(this);
    // Beside the main window the help may be narrow: its lines wrap rather than hide
    // behind a sideways scroll bar.
    list_->setWordWrap(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    QObject::connect(ok_, &QPushButton::clicked, this, [this] { app_.Form2.Visible = false; });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addWidget(list_, 1);
    layout->addWidget(ok_);
    resize(560, 420);
}

void HelpWindowView::changeEvent(QEvent* event)
{
    // The help window closes itself when the operator clicks elsewhere.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible())
        app_.Form2.Visible = false;
    QWidget::changeEvent(event);
}

void HelpWindowView::Sync()
{
    const Form2& m = app_.Form2;
    if (!m.Visible && !isVisible())
        return;
    if (title_->text() != m.Title)
        title_->setText(m.Title);
    SyncList(list_, shown_, m.List1);
    const bool opening = m.Visible && !isVisible();
    if (opening)
        PlaceBesideAnchor();
    SyncWindow(this, m.Visible);
    if (opening) {
        // OK has the focus, so Enter closes the window again.
        activateWindow();
        ok_->setFocus();
    }
}

void HelpWindowView::PlaceBesideAnchor()
{
    const QScreen* screen = anchor_ ? anchor_->screen() : nullptr;
    if (!screen)
        return;
    // The window's frame, where the system draws one, counts against the room.
    winId();
    const QSize frame = frameGeometry().size() - size();
    const QRect main = anchor_->frameGeometry();
    const QRect avoid = avoid_ && avoid_->isVisible() ? avoid_->frameGeometry() : QRect();
    const WindowPair placed =
        PlaceSideWindow(main, screen->availableGeometry(), QSize(560, 640) + frame, QSize(360, 300) + frame, avoid);
    if (placed.main.topLeft() != main.topLeft())
        anchor_->move(placed.main.topLeft());
    move(placed.side.topLeft());
    resize(placed.side.size() - frame);
}

ResultPageView::ResultPageView(App& app, ResultPage& page, bool secondPage) : app_(app), page_(page)
{
    // A report the customer may look at: a light sheet, the header in two columns of
    // name/value pairs, then the grid with the row names, the three traffic channel
    // columns and the limits, every column aligned; cells keep their result colour.
    setObjectName(QStringLiteral("resultPage"));
    setStyleSheet(QStringLiteral(
        "#resultPage { background: #f4f5f2; }"
        "QLabel { color: #1d2226; }"
        "QLabel[role=\"head\"] { font-weight: bold; border-bottom: 1px solid #9aa3ab; padding-bottom: 2px; }"
        "QLabel[role=\"limit\"] { color: #4a535b; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(AddTitle());
    layout->addSpacing(6);
    layout->addLayout(AddHeader());
    layout->addSpacing(14);
    layout->addLayout(AddGrid());
    layout->addStretch();
    layout->addLayout(AddButtons(secondPage));
    setWindowTitle(secondPage ? QStringLiteral("CELVIO - TEST REPORT (2)") : QStringLiteral("CELVIO - TEST REPORT"));
    resize(980, 700);
}

QLabel* ResultPageView::AddTitle()
{
    auto* title = new QLabel(this);
    labels_.push_back({title, &page_.Title});
    QFont tf = title->font();
    tf.setPointSize(16);
    tf.setBold(true);
    title->setFont(tf);
    return title;
}

// Header: two columns of name/value pairs.
QGridLayout* ResultPageView::AddHeader()
{
    const ResultPage& page = page_;
    const std::pair<const Label*, const Label*> header[] = {
        {&page.DateName, &page.Date},          {&page.TimeName, &page.Time},
        {&page.MobileName, &page.Mobile},      {&page.ImeiName, &page.Imei},
        {&page.ImsiName, &page.Imsi},          {&page.TesterModelName, &page.TesterModel},
        {&page.TesterSerialName, &page.TesterSerial}, {&page.FirmwareName, &page.Firmware},
        {&page.VersionName, &page.Version}};
    auto* headerGrid = new QGridLayout;
    headerGrid->setHorizontalSpacing(10);
    headerGrid->setVerticalSpacing(2);
    headerGrid->setColumnMinimumWidth(2, 40);
    for (int i = 0; i < 9; ++i) {
        const int r = i / 2, c = (i % 2) * 3;
        auto* name = new QLabel(this);
        QFont nf = name->font();
        nf.setBold(true);
        name->setFont(nf);
        headerGrid->addWidget(name, r, c);
        labels_.push_back({name, header[i].first});
        auto* value = new QLabel(this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        headerGrid->addWidget(value, r, c + 1);
        labels_.push_back({value, header[i].second});
    }
    headerGrid->setColumnStretch(5, 1);
    return headerGrid;
}

// The grid: the channels' heads, then the rows of the catalogue: the measured rows with
// a cell per traffic channel and their limit, a rule, then the call rows with their one
// cell.
QGridLayout* ResultPageView::AddGrid()
{
    const ResultPage& page = page_;
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    auto addLabel = [&](const Label& m, int r, int c, const char* role = nullptr) {
        auto* w = new QLabel(this);
        if (role)
            w->setProperty("role", QString::fromLatin1(role));
        grid->addWidget(w, r, c);
        labels_.push_back({w, &m});
        return w;
    };
    auto addCell = [&](const Cell& m, int r, int c) {
        auto* w = new QLabel(this);
        w->setProperty("role", QStringLiteral("cell"));
        QFont f = Mono(11);
        f.setBold(true);
        w->setFont(f);
        w->setMinimumWidth(150);
        grid->addWidget(w, r, c);
        cells_.push_back({w, &m});
    };
    int row = 0;
    for (int c = 0; c <= 3; ++c)
        addLabel(page.Channel[c], row, c, "head");
    auto* limitHead = new QLabel(this);
    limitHead->setProperty("role", QStringLiteral("head"));
    grid->addWidget(limitHead, row, 4);
    limitHead_ = limitHead;
    ++row;
    for (int r = 0; r < kFirstCallRow; ++r, ++row) {
        addLabel(page.RowName[r], row, 0);
        for (int c = 1; c <= 3; ++c)
            addCell(page.Cells[r][c], row, c);
        addLabel(page.Limit[r], row, 4, "limit");
    }
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setStyleSheet(QStringLiteral("color: #9aa3ab;"));
    grid->addWidget(rule, row++, 0, 1, 5);
    for (int r = kFirstCallRow; r < kRowCount; ++r, ++row) {
        addLabel(page.RowName[r], row, 0);
        addCell(page.Cells[r][1], row, 1);
    }
    grid->setColumnStretch(4, 1);
    return grid;
}

QHBoxLayout* ResultPageView::AddButtons(bool secondPage)
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    // Form3 has two buttons, Form4 three.
    const UiAction first[] = {UiAction::Form3Command1, UiAction::Form3Command2, UiAction::Form3Command2};
    const UiAction second[] = {UiAction::Form4Command1, UiAction::Form4Command2, UiAction::Form4Command3};
    for (int n = 1; n <= 3; ++n) {
        auto* b = new QPushButton(this);
        b->setMinimumSize(130, 36);
        buttons_[n] = b;
        buttons->addWidget(b);
        const UiAction a = (secondPage ? second : first)[n - 1];
        QObject::connect(b, &QPushButton::clicked, this, [this, a] { app_.PendingActions.push_back(a); });
    }
    return buttons;
}

void ResultPageView::closeEvent(QCloseEvent* event)
{
    event->ignore();
    app_.PendingActions.push_back(UiAction::ResultPageClose);
}

void ResultPageView::Sync()
{
    // A hidden page is brought up to date when it is shown.
    if (!page_.Visible && !isVisible())
        return;
    constexpr Colour kNotStyled = -1;
    labelStyled_.resize(labels_.size(), kNotStyled);
    cellStyled_.resize(cells_.size(), kNotStyled);
    for (size_t i = 0; i < labels_.size(); ++i) {
        auto& [widget, model] = labels_[i];
        SyncLabel(widget, *model, givenColours_);
        // A coloured label (the model name, an IMEI not read yet) is shown like a
        // result cell, its colour on a dark ground, so that yellow and green read well.
        if (labelStyled_[i] != model->ForeColor) {
            labelStyled_[i] = model->ForeColor;
            widget->setStyleSheet(model->ForeColor == kBlack ? QString() : CellStyle(model->ForeColor));
        }
    }
    for (size_t i = 0; i < cells_.size(); ++i) {
        auto& [widget, model] = cells_[i];
        if (widget->text() != model->Caption)
            widget->setText(model->Caption);
        if (cellStyled_[i] != model->ForeColor) {
            cellStyled_[i] = model->ForeColor;
            widget->setStyleSheet(CellStyle(model->ForeColor));
        }
    }
    const CommandButton* models[] = {nullptr, &page_.Command1, &page_.Command2, &page_.Command3};
    for (int n = 1; n <= 3; ++n)
        SyncButton(buttons_[n], *models[n]);
    if (!page_.Caption.isEmpty() && windowTitle() != page_.Caption)
        setWindowTitle(page_.Caption);
    if (page_.Visible && !isVisible()) {
        // MAXIMIZE fills the screen; otherwise the page opens where the main window is.
        if (page_.Maximized) {
            showMaximized();
        } else {
            if (anchor_)
                move(anchor_->frameGeometry().topLeft());
            showNormal();
        }
    } else if (!page_.Visible && isVisible()) {
        hide();
    }
    if (limitHead_) {
        const QString limits = Tr(app_, QT_TRANSLATE_NOOP("Celvio", "Limits"));
        if (limitHead_->text() != limits)
            limitHead_->setText(limits);
        limitHead_->setVisible(app_.st.ShowLimits == kTrue);
    }
    if (focusSerial_ != page_.Focus.serial) {
        focusSerial_ = page_.Focus.serial;
        if (page_.Focus.target >= 1 && page_.Focus.target <= 3 && buttons_[page_.Focus.target]->isVisible()) {
            activateWindow();
            buttons_[page_.Focus.target]->setFocus();
        }
    }
}

}  // namespace celvio
