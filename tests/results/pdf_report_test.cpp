// The printed reports through the real Qt printer into PDF files, read back with
// pdftotext: the margin column, the verdict words, umlauts, the page break and a
// fixed-pitch font.
#include "results/printed_report.h"
#include "results/result_file.h"
#include "pdf_fixture.h"

namespace celvio::testing {
namespace {

class PdfReportTest : public PdfFixture {};

TEST_F(PdfReportTest, FormattedReportKeepsTheMarginAndTheWordColumn)
{
    Station("GSM", 1);
    PassedPage(app.Form3);
    Put(record, 1, RowId::TxPower1, 2, "33.4", ReadingOutcome::PassedOnRepeat);
    Put(record, 1, RowId::Template, 3, "Not tested", ReadingOutcome::NotTested);
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
    WriteResultFile(app, record);
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
