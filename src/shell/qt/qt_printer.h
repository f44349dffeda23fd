// The default printer over QPrinter: a CUPS printer when one is installed, otherwise
// (or when CELVIO_PDF_DIR is set) one PDF file per document.
#pragma once

#include "platform/printer.h"
#include "shell/qt/printed_pages.h"

#include <QByteArray>
#include <QFont>
#include <QPageLayout>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QBuffer;
class QPagedPaintDevice;
class QPainter;
class QPdfWriter;
class QPrinter;

namespace celvio {

struct FileWriteFault;
// Where a finished document went: a PDF file (no printer) or the printer's name;
// `written` is false when the PDF file could not be written (the operator is told
// by the caller, with the file and the reason).
struct PrintOutcome {
    QString pdfFile;
    QString printerName;
    bool written = true;
};

class QtPrinter : public Printer {
public:
    // `pdfDirectory`: where documents go when there is no printer. `fault`: the test seam
    // of the disk the PDF files are written to (core/files.h), null for the disk as it is.
    explicit QtPrinter(QString pdfDirectory, FileWriteFault* fault = nullptr);
    ~QtPrinter() override;

    int SetFont(const QString& name, int pointSize) override;
    int PrintLine(const QString& text) override;
    int NewPage() override;
    int EndDoc() override;
    QString LastError() const override { return lastError_; }
    QString FailedFile() const override { return failedFile_; }

    // The file of the last PDF document written whole, empty when a printer was used
    // or the file could not be written.
    QString LastPdfFile() const { return pdfFile_; }

    // A PDF document that ends as a whole one does: "%PDF-" at the start, a cross
    // reference table where "startxref" says, and "%%EOF" at the end.
    static bool IsCompletePdf(const QByteArray& bytes);

    // The last document drawn whole (on a printer or into a PDF file, written or
    // not), to be shown again or sent to another printer; empty before the first.
    const PrintedDocument& LastDocument() const { return lastDocument_; }
    // Called at the end of every document drawn whole, with where it went.
    void SetOnPrinted(std::function<void(const PrintOutcome&)> onPrinted) { onPrinted_ = std::move(onPrinted); }

private:
    bool Begin();
    void BeginPdf();
    void Abort(const QString& why);
    int SavePdf();

    QString pdfDirectory_;
    FileWriteFault* fault_ = nullptr;
    QString pdfFolder_;   // the folder of the document being printed to PDF
    QString pdfFile_;
    QString failedFile_;
    QString lastError_;
    QFont font_;
    // A document to a printer goes through QPrinter; one to a PDF file is drawn into
    // memory first, and only a whole document is written to its file.
    std::unique_ptr<QPrinter> printer_;
    QByteArray pdfBytes_;
    std::unique_ptr<QBuffer> pdfBuffer_;
    std::unique_ptr<QPdfWriter> pdfWriter_;
    std::optional<std::pair<QPageLayout, int>> pdfPage_;  // layout and resolution of a PDF page
    QPagedPaintDevice* device_ = nullptr;
    int resolution_ = 0;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<PageWriter> writer_;
    PrintedDocument document_;  // the steps of the document being printed
    PrintedDocument lastDocument_;
    std::function<void(const PrintOutcome&)> onPrinted_;
};

}  // namespace celvio
