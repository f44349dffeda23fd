#include "shell/qt/print_menu.h"

#include "shell/qt/shown_log.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>

namespace celvio {

PrintMenu::PrintMenu(QMainWindow& window, QtPrinter& printer, ShownLog* shown, FolderOpener openFolder)
    : QObject(&window), window_(window), printer_(printer), shown_(shown), opener_(std::move(openFolder))
{
    if (!opener_)
        opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    QMenuBar* bar = window.menuBar();
    menu_ = new QMenu(QStringLiteral("&File"), bar);
    preview_ = menu_->addAction(QStringLiteral("Print pre&view..."));
    setup_ = menu_->addAction(QStringLiteral("Print &setup..."));
    // Nothing to show before the first document.
    preview_->setEnabled(false);
    setup_->setEnabled(false);
    QObject::connect(preview_, &QAction::triggered, this, [this] { ShowPreview(); });
    QObject::connect(setup_, &QAction::triggered, this, [this] { ShowSetup(); });
    const QList<QAction*> entries = bar->actions();
    bar->insertMenu(entries.isEmpty() ? nullptr : entries.first(), menu_);

    notice_ = new QLabel;
    notice_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    openFolder_ = new QPushButton(QStringLiteral("Open folder"));
    openFolder_->setVisible(false);
    openFolder_->setFocusPolicy(Qt::NoFocus);  // the answer buttons keep the keyboard
    QObject::connect(openFolder_, &QPushButton::clicked, this, [this] {
        if (!pdfFolder_.isEmpty() && !opener_(QUrl::fromLocalFile(pdfFolder_)))
            Tell(QStringLiteral("The folder %1 could not be opened.").arg(QDir::toNativeSeparators(pdfFolder_)));
    });
    window.statusBar()->addWidget(notice_, 1);
    window.statusBar()->addPermanentWidget(openFolder_);
    window.statusBar()->setSizeGripEnabled(false);

    printer_.SetOnPrinted([this](const PrintOutcome& outcome) { Printed(outcome); });
}

PrintMenu::~PrintMenu()
{
    printer_.SetOnPrinted({});
}

void PrintMenu::Printed(const PrintOutcome& outcome)
{
    const bool haveDocument = !printer_.LastDocument().empty();
    preview_->setEnabled(haveDocument);
    setup_->setEnabled(haveDocument);
    const QString file = QDir::toNativeSeparators(outcome.pdfFile);
    pdfFolder_.clear();
    if (outcome.pdfFile.isEmpty()) {
        Tell(outcome.printerName.isEmpty() ? QStringLiteral("Printed.")
                                           : QStringLiteral("Printed on %1.").arg(outcome.printerName));
    } else if (!outcome.written) {
        Tell(QStringLiteral("No printer: the document could not be saved as %1.").arg(file));
    } else {
        pdfFolder_ = QFileInfo(outcome.pdfFile).absolutePath();
        Tell(QStringLiteral("No printer: the document was saved as %1").arg(file));
    }
    openFolder_->setVisible(!pdfFolder_.isEmpty());
}

void PrintMenu::Tell(const QString& text)
{
    notice_->setText(text);
    notice_->setToolTip(text);
    if (shown_)
        shown_->Printed(text);
}

void PrintMenu::ShowPreview()
{
    // A copy of the document: the cycle may print the next one while the preview is
    // open.
    const PrintedDocument document = printer_.LastDocument();
    if (document.empty())
        return;
    auto* dialog = new QPrintPreviewDialog(&window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("CELVIO - Print preview"));
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                     [document](QPrinter* printer) { DrawDocument(document, *printer, printer->resolution()); });
    dialog->resize(760, 900);
    dialog->open();
}

void PrintMenu::ShowSetup()
{
    const PrintedDocument document = printer_.LastDocument();
    if (document.empty())
        return;
    auto* dialog = new QPrintDialog(&window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("CELVIO - Print setup"));
    QObject::connect(dialog, qOverload<QPrinter*>(&QPrintDialog::accepted), this, [this, document](QPrinter* printer) {
        const bool toFile = printer->outputFormat() == QPrinter::PdfFormat || !printer->outputFileName().isEmpty();
        if (!DrawDocument(document, *printer, printer->resolution()))
            Tell(QStringLiteral("The document could not be printed."));
        else if (toFile)
            Tell(QStringLiteral("The document was saved as %1").arg(QDir::toNativeSeparators(printer->outputFileName())));
        else
            Tell(QStringLiteral("Printed on %1.").arg(printer->printerName()));
    });
    dialog->open();
}

}  // namespace celvio
