#include "platform/qt/qt_printer.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace celvio {

QtPrinter::QtPrinter(QString pdfDirectory) : pdfDirectory_(std::move(pdfDirectory))
{
    SetFont(QStringLiteral("Courier New"), 10);
}

QtPrinter::~QtPrinter()
{
    if (painter_ && painter_->isActive())
        painter_->end();
}

int QtPrinter::SetFont(const QString& name, int pointSize)
{
    // Reports line up in columns: when the font asked for is not installed (as
    // "Courier New" on most Linux systems) a fixed-pitch one that is takes its place,
    // never a proportional one.
    font_ = QFont(name, pointSize);
    font_.setStyleHint(QFont::TypeWriter);
    font_.setFixedPitch(true);
    if (!QFontInfo(font_).fixedPitch()) {
        font_ = QFont(QStringLiteral("Liberation Mono"), pointSize);
        font_.setStyleHint(QFont::TypeWriter);
        if (!QFontInfo(font_).fixedPitch()) {
            font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            font_.setPointSize(pointSize);
        }
    }
    if (painter_ && painter_->isActive())
        painter_->setFont(font_);
    return 0;
}

bool QtPrinter::Begin()
{
    if (painter_ && painter_->isActive())
        return true;
    const QByteArray pdfEnv = qgetenv("CELVIO_PDF_DIR");
    const bool toPdf = !pdfEnv.isEmpty() || QPrinterInfo::availablePrinters().isEmpty();
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (toPdf) {
        const QString dir = pdfEnv.isEmpty() ? pdfDirectory_ : QString::fromLocal8Bit(pdfEnv);
        QDir().mkpath(dir);
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
        pdfFile_ = QDir(dir).filePath(QStringLiteral("celvio-%1.pdf").arg(stamp));
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(pdfFile_);
    } else {
        pdfFile_.clear();
        printer_->setPrinterName(QPrinterInfo::defaultPrinter().printerName());
    }
    printer_->setDocName(QStringLiteral("CELVIO"));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
        Abort(QStringLiteral("the printer could not be started"));
        return false;
    }
    painter_->setFont(font_);
    y_ = 0;
    return true;
}

void QtPrinter::Abort(const QString& why)
{
    lastError_ = why;
    if (painter_ && painter_->isActive())
        painter_->end();
    painter_.reset();
    printer_.reset();
}

int QtPrinter::PrintLine(const QString& text)
{
    if (!Begin())
        return 1;
    const QFontMetricsF metrics(painter_->font(), printer_.get());
    const QRectF page = printer_->pageLayout().paintRectPixels(printer_->resolution());
    if (y_ + metrics.height() > page.height()) {
        if (!printer_->newPage()) {
            Abort(QStringLiteral("a new page could not be started"));
            return 1;
        }
        y_ = 0;
    }
    painter_->drawText(QPointF(0, y_ + metrics.ascent()), text);
    y_ += metrics.lineSpacing();
    return 0;
}

int QtPrinter::NewPage()
{
    if (!Begin())
        return 1;
    if (!printer_->newPage()) {
        Abort(QStringLiteral("a new page could not be started"));
        return 1;
    }
    y_ = 0;
    return 0;
}

int QtPrinter::EndDoc()
{
    if (!painter_ || !painter_->isActive()) {
        // Nothing printed since the last document: an empty document is not sent.
        return 0;
    }
    const bool ok = painter_->end();
    painter_.reset();
    printer_.reset();
    if (!ok) {
        lastError_ = QStringLiteral("the document could not be finished");
        return 1;
    }
    return 0;
}

}  // namespace celvio
