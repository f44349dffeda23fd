// Cycles at a station whose settings change between them: a service point and a
// station that is not one (SWAPFILE 0, or no Service Point ID).
#include "swap_cycle_fixture.h"

#include <QDir>

namespace celvio::testing {
namespace {

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
