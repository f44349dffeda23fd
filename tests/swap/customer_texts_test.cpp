// What is typed for one customer stays with that customer's cycle: a TEST cycle with a
// number, a fault description and a swap comment, then TEST and SWAP cycles with none,
// at a service point and, after the settings changed, at a station that is not one.
// No later screen, result file, printed page or record shows the first customer's texts.
#include "swap_cycle_fixture.h"

#include <QDir>

namespace celvio::testing {
namespace {

const char* const kFirstCustomerTexts[] = {"4711471147", "Display flickers badly", "Scratched case"};

const QString kNoRecordsNotice = QStringLiteral(
    "No swap record is kept at this station:\r\n"
    "it is not a service point (SWAPFILE 0 or no Service Point ID).\r\n"
    "The exchange is printed and written to the new phone's result file only.");

class CustomerTextsTest : public SwapCycleFixture {
protected:
    static QString Settings(int swapFile)
    {
        return QString(kSettings).replace(QStringLiteral("SWAPFILE    1"), QStringLiteral("SWAPFILE    %1").arg(swapFile)) +
               QStringLiteral("TESTDETAIL  1\n");
    }
    // Writes the settings once the screen shows `text` (at the mode dialog when empty):
    // they count from the next cycle.
    void SettingsFromNextCycle(const char* text, int swapFile)
    {
        platform.Await(
            [this, text, swapFile](const App& a) {
                const Form1& f = a.Form1;
                const bool there = *text ? f.Label3.Caption.contains(QLatin1String(text))
                                         : f.Command2.Visible && f.Command2.Caption == QLatin1String("&Test");
                if (there)
                    WriteStationFile(QStringLiteral("CELVIO.INI"), Settings(swapFile));
                return there;
            },
            QStringLiteral("settings with SWAPFILE %1").arg(swapFile));
    }
    // A TEST cycle without the customer screen that passes, with its report printed
    // from the first result page (the `printed`th document).
    void PassedTestWithReportPrinted(int printed)
    {
        platform.Press(QStringLiteral("&Test"));
        platform.Press(QStringLiteral("GSM 900"));
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Audio Test"); },
                       QStringLiteral("the echo question"));
        platform.Press(QStringLiteral("&Yes"));
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Test Passed!"); },
                       QStringLiteral("the verdict"));
        platform.Press(QStringLiteral("&Test Report"));
        platform.Press(QStringLiteral("&Details"));
        platform.Await([](const App& a) { return a.Form3.Visible; }, QStringLiteral("the result page"));
        platform.Do(UiAction::Form3Command2);
        platform.Await([this, printed](const App&) { return platform.printer.documents.size() == printed; },
                       QStringLiteral("the printed report"));
        platform.Do(UiAction::Form3Command1);
    }
    // A SWAP cycle: the customer screen when `number` is given, then the old phone typed in.
    void SwapCycle(const char* number, const char* oldImei)
    {
        platform.Press(QStringLiteral("S&wap"));
        if (number)
            Customer(number, "");
        platform.Press(QStringLiteral("GSM 900"));
        TypeImei(oldImei);
    }
    QString ResultFile(const char* name) const
    {
        return QString::fromLatin1(ReadStationBytes(QStringLiteral("RESULTS/351234/") + QLatin1String(name)));
    }
    static QStringList WithoutDateLine(QStringList page)
    {
        page.removeIf([](const QString& line) { return line.startsWith(QLatin1String("Cellular phone test, ")); });
        return page;
    }
};

TEST_F(CustomerTextsTest, NoTextOfOneCustomerReachesTheNextCycles)
{
    WriteStationFile(QStringLiteral("CELVIO.INI"), Settings(1));
    Start(kPowerStaysBad);  // the first cycle fails, the later ones pass
    // 1. TEST at a service point: every text typed; the phone fails and is kept.
    TestCycle("Test Failed!", kFirstCustomerTexts[0], kFirstCustomerTexts[1]);
    platform.Type(6, QString::fromLatin1(kFirstCustomerTexts[2]));
    SettingsFromNextCycle("Do you want to SWAP the phone?", 0);
    Question("Do you want to SWAP the phone?", "&Don't SWAP");
    // 2. TEST, and 3. SWAP, at a station that is no service point: nothing is asked.
    PassedTestWithReportPrinted(1);
    SwapCycle(nullptr, "351234000000017");
    SettingsFromNextCycle("Place the swapped mobile phone", 1);
    // 4. SWAP, and 5. TEST, at the service point again, with nothing typed.
    SwapCycle("", "351234000000025");
    TestCycle("Test Passed!", "", "");
    Finish();

    // The customer screens came up empty every time.
    EXPECT_EQ(customerScreens, (QStringList{"|", "|", "|"}));
    // Result files: the first customer's own, then four without a trace of it (the
    // second and the fifth cycle's tests, the third and fourth cycle's exchanges).
    EXPECT_TRUE(ResultFile("0123457.TXT").contains(QLatin1String("Customer fault description: \r\nDisplay flickers badly\r\n")));
    const char* const later[] = {"0123457A.TXT", "0123457B.TXT", "0123457C.TXT", "0123457D.TXT"};
    for (const char* name : later) {
        const QString file = ResultFile(name);
        for (const char* text : kFirstCustomerTexts)
            EXPECT_FALSE(file.contains(QLatin1String(text))) << name << ": " << text;
    }
    EXPECT_TRUE(ResultFile("0123457A.TXT").contains(QLatin1String("\r\nCustomer fault description: ----\r\n")));
    EXPECT_TRUE(ResultFile("0123457B.TXT").contains(QLatin1String("\r\nSwap comment :\r\n----\r\n")));
    EXPECT_TRUE(ResultFile("0123457C.TXT").contains(QLatin1String("\r\nSwap comment :\r\n----\r\n")));
    EXPECT_TRUE(ResultFile("0123457D.TXT").contains(QLatin1String("\r\nCustomer fault description: ----\r\n")));
    // Printed: the second cycle's test report and the two swap reports.
    const QList<CapturingPrinter::Document>& docs = platform.printer.documents;
    ASSERT_EQ(docs.size(), 3);
    for (const CapturingPrinter::Document& doc : docs) {
        for (const QString& line : doc.pages.value(0))
            for (const char* text : kFirstCustomerTexts)
                EXPECT_FALSE(line.contains(QLatin1String(text))) << qPrintable(line);
    }
    const QStringList testReport = docs[0].pages.value(0);
    const qsizetype club = testReport.indexOf(QStringLiteral("Club Zavar member number : "));
    ASSERT_GE(club, 0) << qPrintable(testReport.join(QLatin1Char('\n')));
    EXPECT_EQ(testReport.mid(club + 2, 2), (QStringList{"Customer fault description : ", "----"}));
    const auto report = [](const char* oldImei) {
        return QStringList{"Zavar Mobile Phones", "", "Company Handy Shop", "Address Markt 1", "Phone 040 1",
                           "Tested by Bo", "", "Test report for customer", QStringLiteral("Phone IMEI code : ") + oldImei,
                           "Club Zavar member number : ", "Customer fault description :", "----", "", "Swap comment :",
                           "----", "", "DIRECT SWAP", "SWAP phone IMEI code is 351234560123457"};
    };
    EXPECT_EQ(WithoutDateLine(docs[1].pages.value(0)), report("351234000000017"));
    EXPECT_EQ(WithoutDateLine(docs[2].pages.value(0)), report("351234000000025"));
    // Records: the first customer's FAIL with the number; later records without it.
    const QString tail = QStringLiteral("\t") + kToday;
    EXPECT_EQ(Log(QStringLiteral("AB123ACT.IME")),
              Header("IWRIMEI") + QStringLiteral("IMEI\t351234560123457\t\t4711471147") + tail +
                  QStringLiteral("\tFAIL\r\nIMEI\t351234000000025\t351234560123457\t") + tail +
                  QStringLiteral("\tSWAP\r\nIMEI\t351234560123457\t\t") + tail + QStringLiteral("\tPASS\r\nEND\t 3 \r\n"));
    EXPECT_EQ(Log(QStringLiteral("AB123ACT.IWR")), Header("IWRSWAP") + QStringLiteral("SWAP\t351234000000025\t351234560123457\t") +
                                                       tail + QStringLiteral("\r\nEND\t 1 \r\n"));
    // The SWAP cycle without a service point was announced once, and traced.
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, kNoRecordsNotice);
    EXPECT_EQ(Trace().filter(QStringLiteral("SWAP at a station that is not a service point")).size(), 1);
}

// SWAPFILE on without a service point ID (the settings changed after the start, so no
// swap.dat was read): the SWAP cycle is announced, asks for the customer and runs the
// exchange without records; a failed test is not offered a swap.
TEST_F(CustomerTextsTest, StationWithoutServicePointIdKeepsNoRecords)
{
    WriteStationFile(QStringLiteral("CELVIO.INI"), Settings(0));
    Start("fault.rxqual_attempts = all\n");  // every test fails
    SettingsFromNextCycle("", 1);
    TestCycle("Test Failed!", nullptr);
    platform.Press(QStringLiteral("S&wap"));
    Customer("*", "Hands over");
    platform.Press(QStringLiteral("GSM 900"));
    TypeImei("351234000000017");
    TestCycle("Test Failed!", "", "");
    Finish();

    EXPECT_TRUE(app.st.ServicePointId.isEmpty());
    EXPECT_FALSE(Buttons().contains(QStringLiteral("No Swap")));  // no swap question after either failed test
    EXPECT_EQ(customerScreens.size(), 2);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, kNoRecordsNotice);
    EXPECT_EQ(Trace().filter(QStringLiteral("SWAP at a station that is not a service point")).size(), 1);
    EXPECT_TRUE(QDir(StationFile(QStringLiteral("RESULTS/LOG"))).entryList(QDir::Files).isEmpty());
    // The exchange itself: its report and the new phone's result file.
    EXPECT_TRUE(ResultFile("0123457A.TXT").contains(QLatin1String("\r\nSwap comment :\r\nHands over\r\n")));
    ASSERT_EQ(platform.printer.documents.size(), 1);
    EXPECT_TRUE(platform.printer.documents[0].pages.value(0).contains(QStringLiteral("DIRECT SWAP")));
}

}  // namespace
}  // namespace celvio::testing
