#include "shell/qt/scan_window.h"

#include "core/app.h"
#include "shell/qt/sync.h"
#include "shell/qt/window_placement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace celvio {

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
    if (!m.Visible && !isVisible())
        return;
    if (label_->text() != m.Lbl1)
        label_->setText(m.Lbl1);
    SyncList(list_, shown_, m.List1);
    if (m.Visible && !isVisible() && !placed_)
        Place();
    SyncWindow(this, m.Visible);
}

void ScanWindowView::Place()
{
    placed_ = true;
    const QScreen* screen = anchor_ ? anchor_->screen() : nullptr;
    if (!screen) {
        move(app_.ScanFrm.Left, app_.ScanFrm.Top);
        return;
    }
    // Beside the main window, whose status line and closing text stay in sight, and
    // clear of the trace window where there is room for both.
    const QRect trace = neighbour_ && neighbour_->isVisible() ? neighbour_->frameGeometry() : QRect();
    const WindowPair placed =
        PlaceSideWindow(anchor_->frameGeometry(), screen->availableGeometry(), QSize(480, 360), QSize(360, 240), trace);
    if (placed.main.topLeft() != anchor_->frameGeometry().topLeft())
        anchor_->move(placed.main.topLeft());
    // The frame goes to the spot; the window inside it is smaller by its decoration,
    // which the window manager draws as it draws the main window's.
    const QSize decoration = anchor_->frameGeometry().size() - anchor_->size();
    move(placed.side.topLeft());
    resize(placed.side.size() - decoration);
}

}  // namespace celvio
