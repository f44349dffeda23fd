// The main window's File menu and its print notice. Every document the program prints
// ends in the status bar: the printer it went to, or, without a printer, the PDF file
// it became, with a button that opens its folder. "Print preview..." shows the last
// document again and "Print setup..." sends it to a printer the operator chooses (or a
// file); both open over the main window without stopping the cycle, whose own
// printing goes on straight to the default printer.
#pragma once

#include "shell/qt/qt_printer.h"

#include <QObject>
#include <QUrl>
#include <functional>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QPrinter;
class QPushButton;

namespace celvio {

class ShownLog;

class PrintMenu : public QObject {
public:
    // Opens a folder in the desktop's file manager; true when it could.
    using FolderOpener = std::function<bool(const QUrl&)>;

    // Puts the File menu in front of `window`'s menu bar and the notice into its
    // status bar, and follows what `printer` prints. `shown` (may be null) records
    // each notice; `openFolder` defaults to the desktop's file manager.
    PrintMenu(QMainWindow& window, QtPrinter& printer, ShownLog* shown = nullptr, FolderOpener openFolder = {});
    ~PrintMenu() override;

    // Where the last document went, as the status bar says it.
    void Printed(const PrintOutcome& outcome);

    QMenu* Menu() const { return menu_; }
    QAction* PreviewAction() const { return preview_; }
    QAction* SetupAction() const { return setup_; }
    QLabel* Notice() const { return notice_; }
    QPushButton* OpenFolderButton() const { return openFolder_; }
    // The folder of the last PDF file; empty when the last document went to a printer.
    QString PdfFolder() const { return pdfFolder_; }

    // The print preview and the print dialog, opened without waiting for them.
    void ShowPreview();
    void ShowSetup();

private:
    void Tell(const QString& text);

    QMainWindow& window_;
    QtPrinter& printer_;
    ShownLog* shown_;
    FolderOpener opener_;
    QMenu* menu_ = nullptr;
    QAction* preview_ = nullptr;
    QAction* setup_ = nullptr;
    QLabel* notice_ = nullptr;
    QPushButton* openFolder_ = nullptr;
    QString pdfFolder_;
};

}  // namespace celvio
