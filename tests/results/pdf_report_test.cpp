// The printed reports through the real Qt printer into PDF files, read back with
// pdftotext: the margin column, the verdict words, umlauts, the page break and a
// fixed-pitch font.
#include "results/printed_report.h"
#include "results/result_file.h"
#include "results_fixture.h"
#include "platform/qt/qt_printer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace celvio::testing {
namespace {

// The scripted platform with the real printer writing PDF files.
class PdfPlatform : public ScriptedPlatform {
public:
    explicit PdfPlatform(const QString& dir) : pdf(dir) {}
    Printer& DefaultPrinter() override { return pdf; }
    QtPrinter pdf;
};

QString Tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

class PdfReportTest : public ResultsFixture {
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
    QString Print(void (*print)(App&), int margin)
    {
        PdfPlatform pdfPlatform(pdfDir.path());
        App pdfApp(pdfPlatform, dir.path());
        pdfPlatform.Bind(pdfApp);
        pdfApp.st = app.st;
        pdfApp.st.LeftMargin = quint8(margin);
        pdfApp.Form3 = app.Form3;
        pdfApp.Form4 = app.Form4;
        print(pdfApp);
        EXPECT_TRUE(pdfPlatform.boxes.isEmpty());
        return pdfPlatform.pdf.LastPdfFile();
    }
    static QString Layout(const QString& pdf)
    {
        return Tool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    }
    // The left edges of every word `word`, in points.
    static QList<double> LeftEdges(const QString& pdf, const QString& word)
    {
        const QString html = Tool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
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

TEST_F(PdfReportTest, FormattedReportKeepsTheMarginAndTheWordColumn)
{
    Station("GSM", 1);
    PassedPage(app.Form3);
    SetCell(app.Form3.MSPower1[2], "! 33.4", kRepeatGreen);
    SetCell(app.Form3.Label55[3], "Not tested", kYellow);
    const QString narrow = Print(PrintTestReport, 1);
    const QString wide = Print(PrintTestReport, 11);
    ASSERT_FALSE(narrow.isEmpty());
    ASSERT_NE(narrow, wide);
    // Ten more columns of a 10 pt fixed-pitch font: 60 points further right.
    const double shift = LeftOf(wide, QStringLiteral("Zavar")) - LeftOf(narrow, QStringLiteral("Zavar"));
    EXPECT_NEAR(shift, 60.0, 1.0);

    // Every verdict word starts at one x position; " NOT TESTED" one column further
    // for its leading blank. The text reads back as printed.
    const QList<double> passed = LeftEdges(wide, QStringLiteral("PASSED"));
    ASSERT_EQ(passed.size(), 15);  // every row but the repeated and the untested one
    for (double x : passed)
        EXPECT_NEAR(x, passed[0], 0.5);
    EXPECT_NEAR(LeftOf(wide, QStringLiteral("PASSED!")), passed[0], 0.5);
    EXPECT_NEAR(LeftOf(wide, QStringLiteral("NOT")), passed[0] + 6.0, 0.5);
    const QString text = Layout(wide);
    EXPECT_TRUE(text.contains(QLatin1String("PASSED!")));
    EXPECT_TRUE(text.contains(QLatin1String("Power-Time Template")));
    EXPECT_TRUE(text.contains(QLatin1String("NOT TESTED")));
    const QString fonts = Tool(QStringLiteral("pdffonts"), {wide});
    EXPECT_TRUE(fonts.contains(QLatin1String("Mono")) || fonts.contains(QLatin1String("Courier"))) << qPrintable(fonts);
}

TEST_F(PdfReportTest, StoredFileBreaksThePageAfterPageOneOf)
{
    FailedDualBand();
    WriteResultFile(app);
    const QString path = app.st.ResultFilePath;
    const QByteArray stored = ReadStationBytes(QStringLiteral("RESULTS/351234/0543215.TXT"));
    WriteStationBytes(QStringLiteral("RESULTS/351234/0543215.TXT"), "Shop copy\r\nPAGE 1 of 2\r\n" + stored);
    const QString pdf = Print(PrintResultFile, 10);
    ASSERT_FALSE(pdf.isEmpty());
    const QStringList pages = Layout(pdf).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].trimmed().endsWith(QLatin1String("PAGE 1 of 2"))) << qPrintable(pages[0]);
    EXPECT_TRUE(pages[1].trimmed().startsWith(QLatin1String("TEST REPORT - CELVIO : 2.02")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("RX Qualität")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("( 552 - 554 µsek )")));
    const QString info = Tool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+[23]\\n")))) << qPrintable(info);
}

}  // namespace
}  // namespace celvio::testing
