// Printing without a printer as the operator sees it: the status bar names the PDF file
// of every document and opens its folder; the File menu's preview and setup draw the
// last document again, page for page as it was printed.
#include "core/files.h"
#include "shell/qt/print_menu.h"
#include "shell/qt/printed_pages.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

class PrintMenuTest : public ::testing::Test {
protected:
    // A document of `lines` numbered lines, ended.
    static int Print(QtPrinter& printer, int lines)
    {
        for (int i = 1; i <= lines; ++i)
            printer.PrintLine(QStringLiteral("Line %1 of the document").arg(i));
        return printer.EndDoc();
    }
    // Pages in a PDF document: one page object each.
    static int PageCount(const QByteArray& pdf)
    {
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
        return int(QString::fromLatin1(pdf).count(page));
    }
    static QByteArray Bytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString prints = dir.filePath(QStringLiteral("PRINTS"));
    QMainWindow window;
    QList<QUrl> opened;
    bool openerWorks = true;
};

TEST_F(PrintMenuTest, EveryPrintWithoutAPrinterSaysWhereThePdfWent)
{
    FileWriteFault fault;
    QtPrinter pdf(prints, &fault);
    PrintMenu menu(window, pdf, nullptr, [this](const QUrl& url) {
        opened << url;
        return openerWorks;
    });
    // The File menu comes first; nothing to preview or set up, no folder to open yet.
    ASSERT_FALSE(window.menuBar()->actions().isEmpty());
    EXPECT_EQ(window.menuBar()->actions().first()->menu(), menu.Menu());
    EXPECT_EQ(menu.Menu()->title(), QStringLiteral("&File"));
    EXPECT_FALSE(menu.PreviewAction()->isEnabled());
    EXPECT_FALSE(menu.SetupAction()->isEnabled());
    EXPECT_FALSE(menu.OpenFolderButton()->isVisibleTo(&window));

    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(Print(pdf, 20), 0);
        const QString file = pdf.LastPdfFile();
        ASSERT_EQ(QFileInfo(file).absolutePath(), QFileInfo(prints).absoluteFilePath());
        EXPECT_EQ(menu.Notice()->text(), QStringLiteral("No printer: the document was saved as ") + file);
        EXPECT_TRUE(menu.OpenFolderButton()->isVisibleTo(&window));
        EXPECT_TRUE(menu.PreviewAction()->isEnabled());
        EXPECT_TRUE(menu.SetupAction()->isEnabled());
    }
    menu.OpenFolderButton()->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QFileInfo(prints).absoluteFilePath()));

    // A desktop without a file manager: the operator is told, not left wondering.
    openerWorks = false;
    menu.OpenFolderButton()->click();
    EXPECT_EQ(menu.Notice()->text(),
              QStringLiteral("The folder ") + QFileInfo(prints).absoluteFilePath() + QStringLiteral(" could not be opened."));

    // A document that could not be saved names the file it was to be, and offers no
    // folder (the message box says why).
    fault = {0, false, false};
    EXPECT_NE(Print(pdf, 5), 0);
    fault = {};
    EXPECT_EQ(menu.Notice()->text(),
              QStringLiteral("No printer: the document could not be saved as ") + pdf.FailedFile() + u'.');
    EXPECT_FALSE(menu.OpenFolderButton()->isVisibleTo(&window));
    EXPECT_TRUE(menu.PdfFolder().isEmpty());

    // A document to a printer says so, without a folder.
    menu.Printed({QString(), QStringLiteral("Counter-Laser"), true});
    EXPECT_EQ(menu.Notice()->text(), QStringLiteral("Printed on Counter-Laser."));
    EXPECT_FALSE(menu.OpenFolderButton()->isVisibleTo(&window));
}

TEST_F(PrintMenuTest, LastDocumentIsDrawnAgainPageForPage)
{
    QtPrinter pdf(prints);
    // Two pages' worth of lines, a page break of its own, a font change on the last page.
    for (int i = 1; i <= 110; ++i)
        ASSERT_EQ(pdf.PrintLine(QStringLiteral("Line %1").arg(i)), 0);
    ASSERT_EQ(pdf.NewPage(), 0);
    ASSERT_EQ(pdf.SetFont(QStringLiteral("Courier New"), 14), 0);
    ASSERT_EQ(pdf.PrintLine(QStringLiteral("Larger")), 0);
    ASSERT_EQ(pdf.EndDoc(), 0);

    const PrintedDocument& document = pdf.LastDocument();
    const auto count = [&](PrintedStep::Kind kind) {
        return std::count_if(document.begin(), document.end(), [kind](const PrintedStep& s) { return s.kind == kind; });
    };
    EXPECT_EQ(count(PrintedStep::Kind::Line), 111);
    EXPECT_EQ(count(PrintedStep::Kind::Page), 1);  // the breaks of full pages are drawn again, not kept
    ASSERT_EQ(count(PrintedStep::Kind::Font), 2);
    EXPECT_EQ(document.front().kind, PrintedStep::Kind::Font);
    EXPECT_EQ(document.back().text, QStringLiteral("Larger"));

    const int printed = PageCount(Bytes(pdf.LastPdfFile()));
    EXPECT_GE(printed, 3);
    const QString again = dir.filePath(QStringLiteral("again.pdf"));
    {
        // As the print preview and the print dialog hand it over: a QPrinter.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(again);
        ASSERT_TRUE(DrawDocument(document, printer, printer.resolution()));
    }
    EXPECT_EQ(PageCount(Bytes(again)), printed);

    // An empty document changes nothing: the last one stays to be shown.
    EXPECT_EQ(pdf.EndDoc(), 0);
    EXPECT_EQ(pdf.LastDocument().size(), document.size());
}

}  // namespace
}  // namespace celvio::testing
