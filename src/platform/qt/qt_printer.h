// The default printer over QPrinter: a CUPS printer when one is installed, otherwise
// (or when CELVIO_PDF_DIR is set) one PDF file per document.
#pragma once

#include "platform/printer.h"

#include <QFont>
#include <QString>
#include <memory>

class QPainter;
class QPrinter;

namespace celvio {

class QtPrinter : public Printer {
public:
    // `pdfDirectory`: where documents go when there is no printer.
    explicit QtPrinter(QString pdfDirectory);
    ~QtPrinter() override;

    int SetFont(const QString& name, int pointSize) override;
    int PrintLine(const QString& text) override;
    int NewPage() override;
    int EndDoc() override;
    QString LastError() const override { return lastError_; }

    // The file of the last PDF document, empty when a printer was used.
    QString LastPdfFile() const { return pdfFile_; }

private:
    bool Begin();
    void Abort(const QString& why);

    QString pdfDirectory_;
    QString pdfFile_;
    QString lastError_;
    QFont font_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    double y_ = 0;
};

}  // namespace celvio
