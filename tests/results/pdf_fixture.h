// Printing through the real Qt printer into PDF files, read back with pdftotext, for
// the tests of the printed reports. Skips when pdftotext (poppler-utils) is missing.
#pragma once

#include "shell/qt/qt_printer.h"
#include "results/results_fixture.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <type_traits>

namespace celvio::testing {

// The scripted platform with the real printer writing PDF files.
class PdfPlatform : public ScriptedPlatform {
public:
    explicit PdfPlatform(const QString& dir) : pdf(dir) {}
    Printer& DefaultPrinter() override { return pdf; }
    QtPrinter pdf;
};

class PdfFixture : public ResultsFixture {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        qputenv("CELVIO_PDF_DIR", pdfDir.path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("CELVIO_PDF_DIR"); }

    // Prints with `print` on the real printer from a copy of this station's cycle;
    // returns the PDF file.
    template <typename PrintFunction>
    QString Print(PrintFunction print, int margin)
    {
        PdfPlatform pdfPlatform(pdfDir.path());
        App pdfApp(pdfPlatform, dir.path());
        pdfPlatform.Bind(pdfApp);
        pdfApp.st = app.st;
        pdfApp.st.LeftMargin = quint8(margin);
        pdfApp.Form3 = app.Form3;
        pdfApp.Form4 = app.Form4;
        if constexpr (std::is_invocable_v<PrintFunction, App&, const CycleRecord&>)
            print(pdfApp, record);
        else
            print(pdfApp);
        EXPECT_TRUE(pdfPlatform.boxes.isEmpty());
        return pdfPlatform.pdf.LastPdfFile();
    }
    // What a poppler tool (pdftotext, pdfinfo, pdffonts) prints.
    static QString Tool(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    // What pdftotext prints for the file with these options.
    static QString PdfToText(const QStringList& options, const QString& pdf)
    {
        return Tool(QStringLiteral("pdftotext"), QStringList(options) << pdf << QStringLiteral("-"));
    }
    static QString Layout(const QString& pdf) { return PdfToText({QStringLiteral("-layout")}, pdf); }
    // The left edges of every word `word`, in points.
    static QList<double> LeftEdges(const QString& pdf, const QString& word)
    {
        const QString html = PdfToText({QStringLiteral("-bbox")}, pdf);
        const QRegularExpression re(QStringLiteral("xMin=\"([0-9.]+)\"[^>]*>") + QRegularExpression::escape(word) +
                                    QStringLiteral("<"));
        QList<double> edges;
        for (auto it = re.globalMatch(html); it.hasNext();)
            edges << it.next().captured(1).toDouble();
        return edges;
    }
    static double LeftOf(const QString& pdf, const QString& word)
    {
        const QList<double> edges = LeftEdges(pdf, word);
        return edges.isEmpty() ? -1 : edges[0];
    }

    QTemporaryDir pdfDir;
};

}  // namespace celvio::testing
