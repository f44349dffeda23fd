#include "ui/qt/side_windows.h"

#include "core/app.h"
#include "ui/qt/sync.h"
#include "ui/qt/window_placement.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace celvio {

namespace {

QFont Mono(int size)
{
    QFont f(QStringLiteral("DejaVu Sans Mono"), size);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

void SyncWindow(QWidget* w, bool visible)
{
    if (visible && !w->isVisible())
        w->show();
    else if (!visible && w->isVisible())
        w->hide();
}

void SyncList(QListWidget* list, QStringList& shown, const QStringList& model)
{
    if (shown == model)
        return;
    shown = model;
    list->clear();
    list->addItems(model);
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
}

void DebugWindowView::Sync()
{
    const DebugFrm& m = app_.DebugFrm;
    if (generation_ != m.Generation || shown_ > m.DebugFeld.size()) {
        generation_ = m.Generation;
        list_->clear();
        shown_ = 0;
    }
    if (shown_ < m.DebugFeld.size()) {
        list_->addItems(m.DebugFeld.mid(shown_));
        shown_ = m.DebugFeld.size();
        if (m.ListIndex >= 0 && m.ListIndex < list_->count()) {
            list_->setCurrentRow(m.ListIndex);
            list_->scrollToItem(list_->item(m.ListIndex));
        }
    }
    if (m.Visible && !isVisible() && !placed_)
        PlaceBesideAnchor();
    SyncWindow(this, m.Visible);
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

ScanWindowView::ScanWindowView(App& app) : app_(app)
{
    setWindowTitle(app.ScanFrm.Caption);
    label_ = new QLabel(this);
    list_ = new QListWidget(this);
    list_->setFont(Mono(10));
    auto* print = new QPushButton(QStringLiteral("PRINT"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    QObject::connect(print, &QPushButton::clicked, this, [this] { app_.PendingActions.push_back(UiAction::ScanPrint); });
    QObject::connect(ok, &QPushButton::clicked, this, [this] { app_.PendingActions.push_back(UiAction::ScanOk); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(print);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(480, 360);
}

void ScanWindowView::Sync()
{
    const ScanFrm& m = app_.ScanFrm;
    if (label_->text() != m.Lbl1)
        label_->setText(m.Lbl1);
    SyncList(list_, shown_, m.List1);
    if (m.Visible && !isVisible())
        move(m.Left, m.Top);
    SyncWindow(this, m.Visible);
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
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    QObject::connect(ok, &QPushButton::clicked, this, [this] { app_.Form2.Visible = false; });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addWidget(list_, 1);
    layout->addWidget(ok);
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
    if (title_->text() != m.Title)
        title_->setText(m.Title);
    SyncList(list_, shown_, m.List1);
    SyncWindow(this, m.Visible);
}

ResultPageView::ResultPageView(App& app, ResultPage& page, bool secondPage) : app_(app), page_(page)
{
    setObjectName(QStringLiteral("resultPage"));
    setStyleSheet(QStringLiteral("#resultPage { background: #20262c; } QLabel { color: white; }"));
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    int row = 0;
    auto addLabel = [&](const Label& m, int r, int c, int span = 1) {
        auto* w = new QLabel(this);
        grid->addWidget(w, r, c, 1, span);
        labels_.push_back({w, &m});
        return w;
    };
    auto addCell = [&](const Cell& m, int r, int c) {
        auto* w = new QLabel(this);
        w->setFont(Mono(11));
        grid->addWidget(w, r, c);
        cells_.push_back({w, &m});
    };
    QLabel* title = addLabel(page.Title, row++, 0, 5);
    QFont tf = title->font();
    tf.setPointSize(15);
    tf.setBold(true);
    title->setFont(tf);
    const std::pair<const Label*, const Label*> header[] = {
        {&page.DateName, &page.Date},       {&page.TimeName, &page.Time}, {&page.MobileName, &page.Mobile},
        {&page.ImeiName, &page.Imei},       {&page.ImsiName, &page.Imsi}, {&page.TesterModelName, &page.TesterModel},
        {&page.TesterSerialName, &page.TesterSerial}, {&page.FirmwareName, &page.Firmware},
        {&page.VersionName, &page.Version}};
    // Header: three name/value pairs per line, in a grid of its own.
    auto* headerGrid = new QGridLayout;
    headerGrid->setHorizontalSpacing(10);
    for (int i = 0; i < 9; ++i) {
        auto* name = new QLabel(this);
        headerGrid->addWidget(name, i / 3, (i % 3) * 2);
        labels_.push_back({name, header[i].first});
        auto* value = new QLabel(this);
        headerGrid->addWidget(value, i / 3, (i % 3) * 2 + 1);
        labels_.push_back({value, header[i].second});
    }
    grid->addLayout(headerGrid, row, 0, 1, 5);
    row += 2;
    for (int c = 0; c <= 3; ++c)
        addLabel(page.Channel[c], row, c);
    row++;
    const CellArray* arrays[] = {&page.MSPower1, &page.MSPower2, &page.MSPower3, &page.Label51, &page.Label52,
                                 &page.Label53,  &page.Label54,  &page.Label55,  &page.Label56, &page.Label57};
    for (int r = 0; r < 10; ++r, ++row) {
        addLabel(page.RowName[r], row, 0);
        for (int c = 1; c <= 3; ++c)
            addCell((*arrays[r])[c], row, c);
        addLabel(page.Limit[r], row, 4);
    }
    const Cell* singles[] = {&page.MobileOriginatedCall, &page.DialledNumber, &page.BaseOriginatedCall,
                             &page.SpeechLoopback};
    for (int r = 0; r < 4; ++r, ++row) {
        addLabel(page.RowName[10 + r], row, 0);
        addCell(*singles[r], row, 1);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const UiAction actions[] = {UiAction::Form3Command1, UiAction::Form3Command2, UiAction::Form4Command3,
                                UiAction::Form4Command1, UiAction::Form4Command2, UiAction::Form4Command3};
    for (int n = 1; n <= 3; ++n) {
        auto* b = new QPushButton(this);
        b->setMinimumSize(120, 36);
        buttons_[n] = b;
        buttons->addWidget(b);
        const UiAction a = actions[(secondPage ? 3 : 0) + n - 1];
        QObject::connect(b, &QPushButton::clicked, this, [this, a] { app_.PendingActions.push_back(a); });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
    setWindowTitle(secondPage ? QStringLiteral("CELVIO - TEST REPORT (2)") : QStringLiteral("CELVIO - TEST REPORT"));
    resize(860, 640);
}

void ResultPageView::closeEvent(QCloseEvent* event)
{
    event->ignore();
    app_.PendingActions.push_back(UiAction::ResultPageClose);
}

void ResultPageView::Sync()
{
    for (auto& [widget, model] : labels_) {
        SyncLabel(widget, *model);
        // The page's style sheet paints labels white; a coloured label (the identity
        // rows) carries its colour in a style sheet of its own.
        const QString style = model->ForeColor == kBlack
                                  ? QString()
                                  : QStringLiteral("color: %1;").arg(ToQColor(model->ForeColor).name());
        if (widget->styleSheet() != style)
            widget->setStyleSheet(style);
    }
    for (auto& [widget, model] : cells_) {
        if (widget->text() != model->Caption)
            widget->setText(model->Caption);
        const QVariant colour = widget->property("celvioColour");
        if (!colour.isValid() || colour.toInt() != model->ForeColor) {
            widget->setProperty("celvioColour", model->ForeColor);
            widget->setStyleSheet(QStringLiteral("color: %1;").arg(ToQColor(model->ForeColor).name()));
        }
    }
    const CommandButton* models[] = {nullptr, &page_.Command1, &page_.Command2, &page_.Command3};
    for (int n = 1; n <= 3; ++n)
        SyncButton(buttons_[n], *models[n]);
    if (!page_.Caption.isEmpty() && windowTitle() != page_.Caption)
        setWindowTitle(page_.Caption);
    SyncWindow(this, page_.Visible);
    if (focusSerial_ != page_.Focus.serial) {
        focusSerial_ = page_.Focus.serial;
        if (page_.Focus.target >= 1 && page_.Focus.target <= 3 && buttons_[page_.Focus.target]->isVisible()) {
            activateWindow();
            buttons_[page_.Focus.target]->setFocus();
        }
    }
}

}  // namespace celvio
