// The real platform: Qt widgets, QSerialPort, QPrinter and the system clock.
#pragma once

#include "platform/platform.h"
#include "shell/qt/qt_printer.h"
#include "shell/qt/qt_serial_port.h"
#include "shell/qt/shown_log.h"

#include <QElapsedTimer>
#include <QTimer>
#include <memory>

namespace celvio {

struct App;
class MainWindowView;
class DebugWindowView;
class ScanWindowView;
class HelpWindowView;
class ResultPageView;
class PrintMenu;

class QtPlatform : public Platform {
public:
    explicit QtPlatform(const QString& pdfDirectory);
    ~QtPlatform() override;

    // Creates the windows for the models of `app`; call once, before Main.
    void AttachViews(App& app);
    MainWindowView* MainWindow() const { return mainWindow_.get(); }
    // The devices that the port numbers name.
    void SetPortNames(const PortNames& names) { serial_.SetPortNames(names); }

    void ProcessEvents(std::chrono::milliseconds wait) override;
    int MsgBox(const QString& prompt, int style, const QString& title) override;
    void ShowModal(Form5& form) override;
    QDateTime Now() override { return QDateTime::currentDateTime(); }
    qint64 MonotonicMs() override { return monotonic_.elapsed(); }
    void Sleep(std::chrono::milliseconds pause) override;
    QLocale Locale() override { return QLocale::system(); }
    SerialPort& Comm1() override { return serial_; }
    Printer& DefaultPrinter() override { return printer_; }
    QList<SerialDeviceInfo> SerialDevices() override;
    int ChooseFromList(const QString& title, const QString& prompt, const QStringList& rows) override;

private:
    void SyncViews();

    QElapsedTimer monotonic_;
    qint64 lastProcessMs_ = -1000;
    QTimer wakeUp_;
    QtSerialPort serial_;
    QtPrinter printer_;
    std::unique_ptr<MainWindowView> mainWindow_;
    std::unique_ptr<DebugWindowView> debugWindow_;
    std::unique_ptr<ScanWindowView> scanWindow_;
    std::unique_ptr<HelpWindowView> helpWindow_;
    std::unique_ptr<ResultPageView> form3_;
    std::unique_ptr<ResultPageView> form4_;
    PrintMenu* printMenu_ = nullptr;  // owned by the main window
    const App* app_ = nullptr;
    ShownLog shown_;
};

}  // namespace celvio
