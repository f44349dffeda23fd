// The main window brought up to date with its model (Form1): labels, picture, answer
// buttons, text fields, progress bar, menus, cursor, visibility and focus.
#include "shell/qt/main_window_view.h"

#include "core/app.h"
#include "shell/qt/sync.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>

namespace celvio {

void MainWindowView::Sync()
{
    Form1& f = app_.Form1;
    if (windowTitle() != f.Caption)
        setWindowTitle(f.Caption);
    SyncLabel(label1_, f.Label1, givenColours_);
    SyncLabel(label3_, f.Label3, givenColours_);
    SyncLabel(label4_, f.Label4, givenColours_);
    SyncLabel(label5_, f.Label5, givenColours_);
    SyncPicture();
    for (int n = 1; n <= 5; ++n)
        SyncButton(buttons_[n], f.Command(n));
    SyncTexts();
    SyncProgress();
    SyncMenus();
    SyncWindowState();
    SyncFocus();
}

void MainWindowView::SyncPicture()
{
    const Form1& f = app_.Form1;
    if (pictureFile_ == f.Picture1.File)
        return;
    pictureFile_ = f.Picture1.File;
    QPixmap pixmap(pictureFile_);
    if (!pixmap.isNull() && (pixmap.width() > 320 || pixmap.height() > 240))
        pixmap = pixmap.scaled(320, 240, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    picture_->setPixmap(pixmap);
}

void MainWindowView::SyncTexts()
{
    for (int i = 1; i <= 6; ++i) {
        const TextBox& m = app_.Form1.Text(i);
        if (texts_[i]->text() != m.Text)
            texts_[i]->setText(m.Text);
        if (texts_[i]->maxLength() != (m.MaxLength > 0 ? m.MaxLength : 32767))
            texts_[i]->setMaxLength(m.MaxLength > 0 ? m.MaxLength : 32767);
        if (texts_[i]->isEnabled() != m.Enabled)
            texts_[i]->setEnabled(m.Enabled);
        if (textLabels_[i]->text() != m.Caption)
            textLabels_[i]->setText(m.Caption);
        SetVisible(texts_[i], m.Visible);
        SetVisible(textLabels_[i], m.Visible);
    }
}

void MainWindowView::SyncProgress()
{
    const ProgressBar& p = app_.Form1.Progress;
    if (progress_->minimum() != p.Min || progress_->maximum() != std::max(p.Min, p.Max))
        progress_->setRange(p.Min, std::max(p.Min, p.Max));
    if (progress_->value() != p.Value)
        progress_->setValue(std::clamp(p.Value, p.Min, std::max(p.Min, p.Max)));
    if (progressColour_ != p.Color) {
        progressColour_ = p.Color;
        progress_->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid #8a949e; background: white; }"
                                                "QProgressBar::chunk { background: %1; }")
                                     .arg(ToQColor(p.Color).name()));
    }
    // The bar keeps its place in the layout when hidden, so the buttons do not jump.
    QSizePolicy policy = progress_->sizePolicy();
    if (!policy.retainSizeWhenHidden()) {
        policy.setRetainSizeWhenHidden(true);
        progress_->setSizePolicy(policy);
    }
    SetVisible(progress_, p.Visible);
}

void MainWindowView::SyncMenus()
{
    const Form1& f = app_.Form1;
    exit_->setEnabled(f.Mnu_Exit.Enabled);
    about_->setEnabled(f.Mnu_About.Enabled);
    if (stop_->isEnabled() != f.MStop.Enabled)
        stop_->setEnabled(f.MStop.Enabled);
    help_->setEnabled(f.Mnu_Help.Enabled);
    const MenuItem* entries[] = {&f.Mnu_CoupOld, &f.Mnu_CoupNew, &f.Mnu_CoupSBox, &f.Mnu_CoupSBoxK590};
    for (int i = 0; i < 4; ++i) {
        if (couplers_[i]->isChecked() != entries[i]->Checked)
            couplers_[i]->setChecked(entries[i]->Checked);
        if (couplers_[i]->isEnabled() != entries[i]->Enabled)
            couplers_[i]->setEnabled(entries[i]->Enabled);
    }
}

// The hourglass, and the window shown (maximized the first time when asked) or hidden.
void MainWindowView::SyncWindowState()
{
    const Form1& f = app_.Form1;
    const bool hourglass = f.Pointer == MousePointer::Hourglass;
    if (hourglass != hourglass_) {
        hourglass_ = hourglass;
        if (hourglass)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }
    if (f.Visible && !isVisible()) {
        if (f.Maximized && !maximizedApplied_) {
            maximizedApplied_ = true;
            showMaximized();
        } else {
            show();
        }
    } else if (!f.Visible && isVisible()) {
        hide();
    }
}

// A new focus request of the model: an answer button (1-5) or a text field (11-16).
void MainWindowView::SyncFocus()
{
    const Form1& f = app_.Form1;
    if (focusSerial_ == f.Focus.serial)
        return;
    focusSerial_ = f.Focus.serial;
    QWidget* target = nullptr;
    if (f.Focus.target >= 1 && f.Focus.target <= 5)
        target = buttons_[f.Focus.target];
    else if (f.Focus.target >= 11 && f.Focus.target <= 16)
        target = texts_[f.Focus.target - 10];
    if (target && target->isVisible()) {
        activateWindow();
        target->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace celvio
