// The printed reports as the printer receives them: the formatted report of a passed
// test, the stored file of a failed one, the margin, page breaks and printer errors.
#include "results/printed_report.h"
#include "results/result_file.h"
#include "results/result_grid.h"
#include "support/result_files.h"
#include "results_fixture.h"

namespace celvio::testing {
namespace {

class PrintedReportTest : public ResultsFixture {
protected:
    void ServicePoint()
    {
        StationState& st = app.st;
        st.Company = QStringLiteral("Handy Shop Mitte");
        st.Address = QStringLiteral("Hauptstr. 5");
        st.Phone = QStringLiteral("030 123456");
        st.TestedBy = QStringLiteral("A. Kraus");
        st.ClubZavarNumber = QStringLiteral("ZC-0042");
    }
    // Every line of `lines` after a margin of `blanks`.
    static QStringList Margin(int blanks, const QStringList& lines)
    {
        QStringList out;
        for (const QString& line : lines)
            out << QString(blanks, QLatin1Char(' ')) + line;
        return out;
    }
    const CapturingPrinter& Printer() const { return platform.printer; }
};

TEST_F(PrintedReportTest, PassedTestPrintsTheFormattedReportAtTheMargin)
{
    Station("GSM", 1);
    ServicePoint();
    app.st.LeftMargin = 10;
    PassedPage(app.Form3);
    Put(record, 1, RowId::TxPower1, 2, "33.4", ReadingOutcome::PassedOnRepeat);
    Put(record, 1, RowId::Template, 3, "Not tested", ReadingOutcome::NotTested);
    PrintTestReport(app, record);
    ASSERT_EQ(Printer().documents.size(), 1);
    const CapturingPrinter::Document& doc = Printer().documents[0];
    EXPECT_EQ(doc.font, QStringLiteral("Courier New"));
    EXPECT_EQ(doc.fontSize, 10);
    ASSERT_EQ(doc.pages.size(), 1);
    // Verdict words at column 40: 30 characters after the margin of nine blanks.
    const QStringList expected = Margin(9, {
        "",
        "  TEST REPORT - CELVIO : 2.02",
        "Zavar Mobile Phones",
        "",
        "Company Handy Shop Mitte",
        "Address Hauptstr. 5",
        "Phone 030 123456",
        "Tested by A. Kraus",
        "",
        "Cellular phone test, 12/7/26 / 10:04:09",
        "",
        "Phone IMEI code : 351234000000017",
        "",
        "Club Zavar member number : ZC-0042",
        "",
        "Customer fault description : ",
        "----",
        "Broadcast Channel: 30",
        "BS Power Level: -60 dBm",
        "Call From Mobile              PASSED",
        "Dialled Number                PASSED",
        "Call From Base Station        PASSED",
        "Speech Loopback               PASSED",
        "Traffic Channel 20",
        "TX Power 5                    PASSED",
        "RX Level (50)                 PASSED",
        "RX Quality                    PASSED",
        "",
        "Traffic Channel 62",
        "TX Power 5                    PASSED!",
        "",
        "Traffic Channel 100",
        "TX Power 5                    PASSED",
        "TX Power 15                   PASSED",
        "Phase Error RMS               PASSED",
        "Phase Error Peak              PASSED",
        "Frequency Error               PASSED",
        "Burst Length                  PASSED",
        "Power-Time Template            NOT TESTED",
        "RX Level (50)                 PASSED",
        "RX Quality                    PASSED",
        "",
    });
    EXPECT_EQ(doc.pages[0], expected);
    ExpectNoBoxes();
}

TEST_F(PrintedReportTest, DualBandReportAddsTheSecondPageAndMarksFailures)
{
    FailedDualBand();
    app.st.LeftMargin = 1;
    PrintTestReport(app, record);
    ASSERT_EQ(Printer().documents.size(), 1);
    const QStringList lines = Printer().documents[0].pages[0];
    EXPECT_TRUE(lines.contains(QStringLiteral("Dialled Number                         FAILED *")));
    EXPECT_TRUE(lines.contains(QStringLiteral("MS Leistung 5                          PASSED!")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Traffic Channel 884")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Leistungs-Zeit-Maske                   FAILED *")));
    const qsizetype description = lines.indexOf(QStringLiteral("Customer fault description : "));
    ASSERT_GE(description, 0);
    EXPECT_EQ(lines.mid(description + 1, 2),
              (QStringList{QStringLiteral("Display flickers when the phone rings and then die"), QStringLiteral("s")}));
    EXPECT_EQ(lines.count(QString()), 6 + 6);  // six in the opening, one after each channel
}

// Power slot 2 is never measured: whether its cells say "Not tested" or "Not needed"
// is for the screen only; the result file and both printed reports stay byte for byte.
TEST_F(PrintedReportTest, PowerSlotTwoChangesNoFileAndNoReport)
{
    FailedDualBand();
    auto slotTwo = [this](const char* text, ReadingOutcome outcome) {
        for (int band = 1; band <= 2; ++band)
            for (int c = 1; c <= 3; ++c)
                Put(record, band, RowId::TxPower2, c, text, outcome);
    };
    auto outputs = [this] {
        PrintTestReport(app, record);
        WriteResultFile(app, record);
        PrintResultFile(app);
        return std::pair{ReadStationBytes(QStringLiteral("RESULTS/351234/0543215.TXT")), Printer().documents};
    };
    slotTwo("Not tested", ReadingOutcome::NotTested);
    const auto before = outputs();
    QFile::remove(StationFile(QStringLiteral("RESULTS/351234/0543215.TXT")));
    platform.printer.documents.clear();

    slotTwo("Not needed", ReadingOutcome::NotNeeded);
    const auto after = outputs();
    EXPECT_EQ(after.first, HandWritten(kFailedDualBandGermanFile));
    EXPECT_EQ(after.first, before.first);
    ASSERT_EQ(after.second.size(), 2);
    EXPECT_EQ(after.second[0].pages, before.second[0].pages);
    EXPECT_EQ(after.second[1].pages, before.second[1].pages);
    ExpectNoBoxes();
}

TEST_F(PrintedReportTest, FailedTestPrintsTheStoredFileWithAPageBreak)
{
    FailedDualBand();
    app.st.LeftMargin = 3;
    WriteResultFile(app, record);
    // A file edited at the shop with two pages.
    const QByteArray stored = ReadStationBytes(QStringLiteral("RESULTS/351234/0543215.TXT"));
    WriteStationBytes(QStringLiteral("RESULTS/351234/0543215.TXT"),
                      "first line\r\n   PAGE 1 of 2\r\n" + stored);
    PrintResultFile(app);
    ASSERT_EQ(Printer().documents.size(), 1);
    const CapturingPrinter::Document& doc = Printer().documents[0];
    EXPECT_EQ(doc.font, QStringLiteral("Courier New"));
    ASSERT_EQ(doc.pages.size(), 2);
    EXPECT_EQ(doc.pages[0], (QStringList{QString(), QStringLiteral("  first line"), QStringLiteral("     PAGE 1 of 2")}));
    QStringList fileLines = QString::fromLatin1(stored).split(QStringLiteral("\r\n"));
    fileLines.removeLast();
    EXPECT_EQ(doc.pages[1], Margin(2, fileLines));
    EXPECT_EQ(doc.pages[1].at(1), QStringLiteral("  Date: 07.12.26              Time: 14:35:02"));
}

TEST_F(PrintedReportTest, NoResultsAndPrinterErrorsAreToldToTheOperator)
{
    FailedDualBand();
    struct Case {
        const char* name;
        bool keypadFailed;
        bool written;
        bool printerFails;
        const char* box;
    } cases[] = {
        {"keypad call failed", true, true, false, "Print not possible. No test results available."},
        {"no file written", false, false, false, "Print not possible. No test results available."},
        {"printer error", false, true, true, "There was a problem printing to your printer."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform.boxes.clear();
        platform.printer.failing = c.printerFails;
        app.st.KeypadCallFailed = c.keypadFailed ? kTrue : kFalse;
        app.st.ResultFilePath.clear();
        if (c.written)
            WriteResultFile(app, record);
        PrintResultFile(app);
        EXPECT_TRUE(Printer().documents.isEmpty());
        ASSERT_EQ(platform.boxes.size(), 1);
        EXPECT_EQ(platform.boxes[0].text, QString::fromLatin1(c.box));
    }
    platform.boxes.clear();
    PrintTestReport(app, record);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("There was a problem printing to your printer."));
    platform.boxes.clear();
}

}  // namespace
}  // namespace celvio::testing
