#include "shell/qt/qt_platform.h"
#include "shell/qt/serial_devices.h"

#include "core/app.h"
#include "shell/qt/main_window_view.h"
#include "shell/qt/print_menu.h"
#include "shell/qt/program_icon.h"
#include "shell/qt/scan_window.h"
#include "shell/qt/side_windows.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <limits>

namespace celvio {

namespace {

// A non-blocking call within this many milliseconds of the last one returns at once,
// so that loops over file lines can offer event processing on every line cheaply.
constexpr qint64 kMinEventIntervalMs = 2;

}  // namespace

QtPlatform::QtPlatform(const QString& pdfDirectory) : printer_(pdfDirectory)
{
    // Every window without an icon of its own, message boxes and the History window
    // included, takes the application's: the task bar and the window list show the
    // program's picture rather than a blank one.
    QApplication::setWindowIcon(ProgramIcon());
    monotonic_.start();
    wakeUp_.setSingleShot(true);
}

QtPlatform::~QtPlatform() = default;

void QtPlatform::AttachViews(App& app)
{
    app_ = &app;
    mainWindow_ = std::make_unique<MainWindowView>(app);
    printMenu_ = new PrintMenu(*mainWindow_, printer_, &shown_);
    debugWindow_ = std::make_unique<DebugWindowView>(app);
    debugWindow_->SetAnchor(mainWindow_.get());
    scanWindow_ = std::make_unique<ScanWindowView>(app);
    scanWindow_->SetAnchor(mainWindow_.get(), debugWindow_.get());
    helpWindow_ = std::make_unique<HelpWindowView>(app);
    helpWindow_->SetAnchor(mainWindow_.get(), debugWindow_.get());
    form3_ = std::make_unique<ResultPageView>(app, app.Form3, false);
    form4_ = std::make_unique<ResultPageView>(app, app.Form4, true);
    form3_->SetAnchor(mainWindow_.get());
    form4_->SetAnchor(mainWindow_.get());
}

void QtPlatform::SyncViews()
{
    if (!mainWindow_)
        return;
    mainWindow_->Sync();
    debugWindow_->Sync();
    scanWindow_->Sync();
    helpWindow_->Sync();
    form3_->Sync();
    form4_->Sync();
    shown_.Labels(*app_);
}

void QtPlatform::ProcessEvents(std::chrono::milliseconds wait)
{
    const qint64 waitMs = wait.count();
    const qint64 now = monotonic_.elapsed();
    if (waitMs <= 0 && now - lastProcessMs_ < kMinEventIntervalMs)
        return;
    lastProcessMs_ = now;
    SyncViews();
    if (waitMs > 0) {
        // Sleep until an event arrives (serial data, a click, a key) or the step's own
        // deadline: a wait without a deadline sets no timer at all.
        const bool timed = wait != kUntilEvent;
        if (timed)
            wakeUp_.start(std::chrono::milliseconds{std::min<qint64>(wait.count(), std::numeric_limits<int>::max())});
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (timed)
            wakeUp_.stop();
    } else {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

int QtPlatform::MsgBox(const QString& prompt, int style, const QString& title)
{
    SyncViews();
    QMessageBox box(mainWindow_ ? mainWindow_.get() : nullptr);
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("CELVIO") : title);
    QString text = prompt;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(text);
    shown_.Box(box.windowTitle(), text);
    switch (style & 0x70) {
    case msgbox::kCritical: box.setIcon(QMessageBox::Critical); break;
    case msgbox::kQuestion: box.setIcon(QMessageBox::Question); break;
    case msgbox::kExclamation: box.setIcon(QMessageBox::Warning); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    if ((style & 0x7) == msgbox::kYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? msgbox::kYes : msgbox::kNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return msgbox::kOk;
}

QList<SerialDeviceInfo> QtPlatform::SerialDevices()
{
    return ToDeviceInfos(ListSerialDeviceRows(serial_.Names()));
}

int QtPlatform::ChooseFromList(const QString& title, const QString& prompt, const QStringList& rows)
{
    SyncViews();
    shown_.Box(title, prompt + QLatin1Char('\n') + rows.join(QLatin1Char('\n')));
    if (rows.isEmpty())
        return -1;
    QDialog dialog(mainWindow_ ? mainWindow_.get() : nullptr);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(prompt, &dialog));
    auto* list = new QListWidget(&dialog);
    list->addItems(rows);
    list->setCurrentRow(0);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    dialog.resize(820, 320);
    // The keys move in the list at once: Up, Down, End, Return.
    list->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return list->currentRow();
}

void QtPlatform::ShowModal(Form5& form)
{
    QDialog dialog(mainWindow_ ? mainWindow_.get() : nullptr);
    dialog.setWindowTitle(form.Caption);
    auto* label = new QLabel(form.Label1, &dialog);
    label->setWordWrap(true);
    auto* list = new QListWidget(&dialog);
    list->addItems(form.Phones);
    if (form.Selected >= 0 && form.Selected < list->count())
        list->setCurrentRow(form.Selected);
    auto* assign = new QPushButton(QStringLiteral("ASSIGN"), &dialog);
    auto* cancel = new QPushButton(QStringLiteral("CANCEL"), &dialog);  // the dialog's Cancel button
    QObject::connect(assign, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(assign);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(list, 1);
    layout->addLayout(buttons);
    dialog.resize(420, 420);
    // Closing the dialog by its frame counts as CANCEL.
    form.Selected = dialog.exec() == QDialog::Accepted ? list->currentRow() : -1;
}

void QtPlatform::Sleep(std::chrono::milliseconds pause)
{
    SyncViews();
    QThread::msleep(ulong(std::max<qint64>(pause.count(), 0)));
}

}  // namespace celvio
