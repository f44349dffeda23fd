#include "shell/qt/qt_printer.h"

#include "core/files.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace celvio {

namespace {

// True when `path` names anything, a symbolic link that leads nowhere included.
bool NameTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

}  // namespace

QtPrinter::QtPrinter(QString pdfDirectory, FileWriteFault* fault)
    : pdfDirectory_(std::move(pdfDirectory)), fault_(fault)
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
    if (writer_) {
        writer_->SetFont(font_);
        document_.push_back({PrintedStep::Kind::Font, QString(), font_});
    }
    return 0;
}

bool QtPrinter::Begin()
{
    if (painter_ && painter_->isActive())
        return true;
    lastError_.clear();
    failedFile_.clear();
    pdfFile_.clear();
    const QByteArray pdfEnv = qgetenv("CELVIO_PDF_DIR");
    if (!pdfEnv.isEmpty() || QPrinterInfo::availablePrinters().isEmpty()) {
        pdfFolder_ = pdfEnv.isEmpty() ? pdfDirectory_ : QString::fromLocal8Bit(pdfEnv);
        BeginPdf();
    } else {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPrinterName(QPrinterInfo::defaultPrinter().printerName());
        printer_->setDocName(QStringLiteral("CELVIO"));
        device_ = printer_.get();
    }
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(device_)) {
        Abort(QStringLiteral("the printer could not be started"));
        return false;
    }
    resolution_ = printer_ ? printer_->resolution() : pdfWriter_->resolution();
    writer_ = std::make_unique<PageWriter>(*painter_, *device_, resolution_);
    writer_->SetFont(font_);
    document_ = {{PrintedStep::Kind::Font, QString(), font_}};
    return true;
}

void QtPrinter::BeginPdf()
{
    // The page of a PDF document is the one QPrinter gives a PDF file (paper size and
    // margins of the system's settings), so that documents look as they always did.
    if (!pdfPage_) {
        QPrinter model(QPrinter::HighResolution);
        model.setOutputFormat(QPrinter::PdfFormat);
        pdfPage_.emplace(model.pageLayout(), model.resolution());
    }
    pdfBytes_.clear();
    pdfBuffer_ = std::make_unique<QBuffer>(&pdfBytes_);
    pdfBuffer_->open(QIODevice::WriteOnly);
    pdfWriter_ = std::make_unique<QPdfWriter>(pdfBuffer_.get());
    pdfWriter_->setResolution(pdfPage_->second);
    pdfWriter_->setPageLayout(pdfPage_->first);
    pdfWriter_->setTitle(QStringLiteral("CELVIO"));
    pdfWriter_->setCreator(QStringLiteral("CELVIO"));
    device_ = pdfWriter_.get();
}

void QtPrinter::Abort(const QString& why)
{
    lastError_ = why;
    writer_.reset();
    document_.clear();
    if (painter_ && painter_->isActive())
        painter_->end();
    painter_.reset();
    printer_.reset();
    pdfWriter_.reset();
    pdfBuffer_.reset();
    pdfBytes_.clear();
    device_ = nullptr;
}

int QtPrinter::PrintLine(const QString& text)
{
    if (!Begin())
        return 1;
    if (!writer_->Line(text)) {
        Abort(QStringLiteral("a new page could not be started"));
        return 1;
    }
    document_.push_back({PrintedStep::Kind::Line, text, QFont()});
    return 0;
}

int QtPrinter::NewPage()
{
    if (!Begin())
        return 1;
    if (!writer_->NewPage()) {
        Abort(QStringLiteral("a new page could not be started"));
        return 1;
    }
    document_.push_back({PrintedStep::Kind::Page, QString(), QFont()});
    return 0;
}

int QtPrinter::EndDoc()
{
    if (!painter_ || !painter_->isActive()) {
        // Nothing printed since the last document: an empty document is not sent.
        return 0;
    }
    writer_.reset();
    const bool ok = painter_->end();
    const bool toPdf = pdfWriter_ != nullptr;
    const QString printerName = printer_ ? printer_->printerName() : QString();
    painter_.reset();
    printer_.reset();
    pdfWriter_.reset();
    pdfBuffer_.reset();
    device_ = nullptr;
    if (!ok) {
        pdfBytes_.clear();
        document_.clear();
        lastError_ = QStringLiteral("the document could not be finished");
        return 1;
    }
    lastDocument_ = std::exchange(document_, PrintedDocument());
    const int result = toPdf ? SavePdf() : 0;
    if (onPrinted_)
        onPrinted_({toPdf ? (result == 0 ? pdfFile_ : failedFile_) : QString(), printerName, result == 0});
    return result;
}

int QtPrinter::SavePdf()
{
    const QByteArray bytes = std::exchange(pdfBytes_, QByteArray());
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
    const QDir folder(pdfFolder_);
    QString path = folder.filePath(QStringLiteral("celvio-%1.pdf").arg(stamp));
    const auto fail = [&](const QString& reason) {
        failedFile_ = path;
        lastError_ = reason;
        return 1;
    };
    // A missing folder is made; one that cannot be made says why (a read-only disk).
    std::error_code folderError;
    std::filesystem::create_directories(std::filesystem::path(pdfFolder_.toStdU16String()), folderError);
    if (folderError)
        return fail(QString::fromLocal8Bit(folderError.message()));
    // Never over another document: two within a millisecond get "-2", "-3" ...
    for (int n = 2; NameTaken(path); ++n)
        path = folder.filePath(QStringLiteral("celvio-%1-%2.pdf").arg(stamp).arg(n));
    if (!IsCompletePdf(bytes))
        return fail(QStringLiteral("the document is incomplete"));
    // Through a temporary file in the same folder, every write, the flush and the sync
    // to disk checked before the rename: the final name never holds part of a document.
    QString reason;
    if (!WriteFileAtomic(path, bytes, &reason, fault_))
        return fail(reason);
    pdfFile_ = path;
    return 0;
}

bool QtPrinter::IsCompletePdf(const QByteArray& bytes)
{
    if (!bytes.startsWith("%PDF-"))
        return false;
    // The last lines: "startxref", the offset of the cross reference table, "%%EOF".
    const qsizetype tailStart = std::max<qsizetype>(0, bytes.size() - 256);
    const QByteArray tail = bytes.mid(tailStart).trimmed();
    const qsizetype startxref = tail.lastIndexOf("startxref");
    if (!tail.endsWith("%%EOF") || startxref < 0)
        return false;
    bool ok = false;
    const qsizetype numberStart = startxref + qsizetype(sizeof "startxref") - 1;
    const qlonglong offset = tail.mid(numberStart, tail.size() - 5 - numberStart).trimmed().toLongLong(&ok);
    return ok && offset > 0 && offset < tailStart + startxref && bytes.mid(offset, 4) == "xref";
}

}  // namespace celvio
