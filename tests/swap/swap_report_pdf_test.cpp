// The two swap reports through the real Qt printer into PDF files, read back with
// pdftotext: the lines in order, the comment pieces, "----" for an empty text, and the
// result marks at column 40.
#include "results/pdf_fixture.h"
#include "swap/swap_report.h"
#include "swap_fixture.h"


namespace celvio::testing {
namespace {

class SwapReportPdfTest : public PdfFixture {
protected:
    void Shop()
    {
        StationState& st = app.st;
        st.Company = QStringLiteral("Handy Shop");
        st.Address = QStringLiteral("Markt 1");
        st.Phone = QStringLiteral("040 1");
        st.TestedBy = QStringLiteral("Bo");
        st.ClubZavarNumber = QStringLiteral("0123456789");
        st.OldImei = QStringLiteral("351234570543215");
        st.Imei = QStringLiteral("351234579999990");
    }
    // The text lines of the PDF without the blanks at their ends.
    static QStringList Lines(const QString& pdf)
    {
        QStringList lines;
        for (const QString& line : Layout(pdf)
                                       .remove(QLatin1Char('\f'))
                                       .split(QLatin1Char('\n')))
            lines << line.trimmed();
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
};

TEST_F(SwapReportPdfTest, DirectSwapReport)
{
    Station("GSM", 1);
    Shop();
    QString description;
    for (int i = 0; i < 120; ++i)
        description += QChar('a' + i % 26);
    app.st.FaultDescription = description;
    app.st.SwapComment.clear();
    const QString pdf = Print(PrintDirectSwapReport, 5);
    ASSERT_FALSE(pdf.isEmpty());
    QStringList lines = Lines(pdf);
    lines.removeAll(QString());
    const QStringList expected{"Zavar Mobile Phones", "Company Handy Shop", "Address Markt 1", "Phone 040 1",
                               "Tested by Bo", "Test report for customer", "Cellular phone test, 12/7/26 / 10:04:09",
                               "Phone IMEI code : 351234570543215", "Club Zavar member number : 0123456789",
                               "Customer fault description :", description.left(50), description.mid(50, 50),
                               description.mid(100), "Swap comment :", "----", "DIRECT SWAP",
                               "SWAP phone IMEI code is 351234579999990"};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(description.mid(100).size(), 20);
}

TEST_F(SwapReportPdfTest, FailedTestSwapReportEndsFailedSwap)
{
    FailedDualBand();
    Shop();
    app.st.SwapComment = QStringLiteral("Same colour wanted");
    const QString pdf = Print(PrintFailedTestSwapReport, 5);
    ASSERT_FALSE(pdf.isEmpty());
    QStringList lines = Lines(pdf);
    lines.removeAll(QString());
    ASSERT_GT(lines.size(), 30);
    EXPECT_EQ(lines.mid(5, 11),
              (QStringList{"Dalvora tester : 7703S", "Serial Number: 100123", "Firmware Version: V3.10",
                           "Test report for customer", "Cellular phone test, 07.12.26 / 14:35:02",
                           "Phone IMEI code is 351234570543215", "Club Zavar member number is 0123456789",
                           "Customer fault description :", "Display flickers when the phone rings and then die",
                           "s", "Swap comment :"}));
    EXPECT_EQ(lines[16], QStringLiteral("Same colour wanted"));
    EXPECT_EQ(lines[17], QStringLiteral("Broadcast Channel: 30"));
    EXPECT_EQ(lines.value(lines.size() - 2), QStringLiteral("FAILED => SWAP"));
    EXPECT_EQ(lines.last(), QStringLiteral("SWAP phone IMEI code is 351234579999990"));
    EXPECT_TRUE(lines.contains(QRegularExpression(QStringLiteral("^Dialled Number +FAILED \\*$"))));

    // The marks start at column 40: 35 columns of 6 points right of the margin column.
    const double margin = LeftEdges(pdf, QStringLiteral("Zavar")).value(0);
    const QList<double> passed = LeftEdges(pdf, QStringLiteral("PASSED"));
    ASSERT_FALSE(passed.isEmpty());
    for (double x : passed)
        EXPECT_NEAR(x - margin, 35 * 6.0, 1.0);
    const QList<double> repeated = LeftEdges(pdf, QStringLiteral("PASSED!"));
    ASSERT_FALSE(repeated.isEmpty());
    EXPECT_NEAR(repeated[0] - margin, 35 * 6.0, 1.0);
}

}  // namespace
}  // namespace celvio::testing
