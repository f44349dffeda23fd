// Whole cycles of a service point through the real Main, in virtual time, with the
// tester simulator: the customer screens, the swap questions, the records they leave,
// and the report printed for the customer.
#include "swap_cycle_fixture.h"

#include <QFileInfo>

namespace celvio::testing {
namespace {

class SwapCycleTest : public SwapCycleFixture {};

TEST_F(SwapCycleTest, PassedTestIsRecordedAsPass)
{
    Start();
    TestCycle("Test Passed!");
    Finish();
    EXPECT_EQ(Log("AB123ACT.IME"), Header("IWRIMEI") + QStringLiteral("IMEI\t") + QLatin1String(kSimPhone) +
                                       QStringLiteral("\t\t0123456789\t") + kToday + QStringLiteral("\tPASS\r\nEND\t 1 \r\n"));
    EXPECT_FALSE(QFile::exists(StationFile(QStringLiteral("RESULTS/LOG/AB123ACT.IWR"))));
    EXPECT_TRUE(QString::fromLatin1(ReadStationBytes(QStringLiteral("RESULTS/351234/0123457.TXT")))
                    .contains(QLatin1String("\r\nCustomer fault description: \r\nBattery dies\r\n")));
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(SwapCycleTest, FailedTestNotSwappedIsRecordedAsFail)
{
    Start(kPowerStaysBad);
    TestCycle("Test Failed!");
    platform.Await([](const App& a) { return a.Form1.Text6.Visible && a.Form1.Text6.Caption == "SWAP comment"; },
                   QStringLiteral("the comment box"));
    platform.Type(6, QStringLiteral("Customer keeps the phone"));
    Question("Do you want to SWAP the phone?", "&Don't SWAP");
    Finish();
    EXPECT_EQ(questions.value(0), QStringLiteral("Test Failed!|\r\nDo you want to SWAP the phone?\r\n|&SWAP|&Don't SWAP|SWAP comment"));
    EXPECT_EQ(Log("AB123ACT.IME"), Header("IWRIMEI") + QStringLiteral("IMEI\t") + QLatin1String(kSimPhone) +
                                       QStringLiteral("\t\t0123456789\t") + kToday + QStringLiteral("\tFAIL\r\nEND\t 1 \r\n"));
    EXPECT_TRUE(app.st.SwapComment.isEmpty());  // the comment went with its cycle
    EXPECT_TRUE(Buttons().contains(QStringLiteral("No Swap")));
    EXPECT_TRUE(platform.printer.documents.isEmpty());
}

// "&SWAP" after a failed test with the IMEI known goes straight to the new phone; the
// simulator offers the same phone again, so the operator is told to insert the new one,
// and STOP then ends the cycle without a record or a report.
TEST_F(SwapCycleTest, SamePhoneAgainThenStopWritesNothing)
{
    Start(kPowerStaysBad);
    TestCycle("Test Failed!");
    Question("Do you want to SWAP the phone?", "&SWAP");
    Question("Insert new phone instead of defective phone!", "&OK");
    platform.Await([](const App& a) { return a.Form1.Label3.Caption.contains(QLatin1String("Insert new phone")); },
                   QStringLiteral("the second same-phone question"));
    platform.Answer(QStringLiteral("restart the test"), msgbox::kYes);
    platform.Do(UiAction::Stop);
    Finish();
    EXPECT_EQ(questions.value(1),
              QStringLiteral("Swap phone!|\r\nInsert new phone instead of defective phone!\r\n|&OK||"));
    EXPECT_FALSE(QFile::exists(StationFile(QStringLiteral("RESULTS/LOG/AB123ACT.IME"))));
    EXPECT_FALSE(QFile::exists(StationFile(QStringLiteral("RESULTS/LOG/AB123ACT.IWR"))));
    EXPECT_TRUE(platform.printer.documents.isEmpty());
    for (const QString& line : Trace())
        EXPECT_FALSE(line.contains(QLatin1String("IMEI entered"))) << qPrintable(line);  // no IMEI asked
}

// SWAP mode: the old IMEI typed with separators (a short one refused first), the new
// phone of another type refused once with "&No" and accepted on the second reading.
TEST_F(SwapCycleTest, SwapModeWithTypedImeiAndAnotherType)
{
    Start();
    platform.Press(QStringLiteral("S&wap"));
    Customer("*", "Phone hands over");
    platform.Press(QStringLiteral("GSM 900"));
    TypeImei("35-209900/12345.2");
    platform.Await([this](const App&) { return platform.boxes.size() == 1; }, QStringLiteral("the length message"));
    TypeImei("35-209900/123456.2");
    QString cycleTime;
    platform.Await(
        [&cycleTime](const App& a) {
            cycleTime = a.st.CycleDate + QStringLiteral(" / ") + a.st.CycleTime;
            return true;
        },
        QStringLiteral("the cycle's date and time"));
    Question("another type of phone", "&No");
    Question("another type of phone", "&Yes");
    Finish();
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("Please enter all 15 digits of the IMEI."));
    EXPECT_EQ(questions.value(0), QStringLiteral("Swap phone!|\r\nDo you really want to give the customer another "
                                                 "type of phone?\r\n|&Yes|&No|"));
    const QString record = QStringLiteral("352099001234562\t") + QLatin1String(kSimPhone) + QStringLiteral("\t*\t") + kToday;
    EXPECT_EQ(Log("AB123ACT.IWR"), Header("IWRSWAP") + QStringLiteral("SWAP\t") + record + QStringLiteral("\r\nEND\t 1 \r\n"));
    EXPECT_EQ(Log("AB123ACT.IME"),
              Header("IWRIMEI") + QStringLiteral("IMEI\t") + record + QStringLiteral("\tSWAP\r\nEND\t 1 \r\n"));
    // The report for the customer, one page.
    ASSERT_EQ(platform.printer.documents.size(), 1);
    const CapturingPrinter::Document& doc = platform.printer.documents[0];
    EXPECT_EQ(doc.font, QStringLiteral("Courier New"));
    ASSERT_EQ(doc.pages.size(), 1);
    const QStringList expected{
        "Zavar Mobile Phones", "", "Company Handy Shop", "Address Markt 1", "Phone 040 1", "Tested by Bo", "",
        "Test report for customer", "Cellular phone test, " + cycleTime,
        "Phone IMEI code : 352099001234562", "Club Zavar member number : *", "Customer fault description :", "----", "",
        "Swap comment :", "Phone hands over", "", "DIRECT SWAP", "SWAP phone IMEI code is 351234560123457"};
    EXPECT_EQ(doc.pages[0], expected);
    // The direct swap file named after the new phone.
    EXPECT_TRUE(QFileInfo(StationFile(QStringLiteral("RESULTS/351234"))).isDir());
}

// A new phone that does not register: once more, then the IMEI typed in (the same type
// as the old phone, so no type question).
TEST_F(SwapCycleTest, NewPhoneNotRegisteringIsTypedIn)
{
    Start("phone.registration = never\n");
    platform.Press(QStringLiteral("S&wap"));
    Customer("", "");
    platform.Press(QStringLiteral("GSM 900"));
    TypeImei("352099001234562");
    Question("Try once more?", "&Yes");
    Question("Try once more?", "&No, enter IMEI");
    TypeImei("352099.001111.118");
    Finish();
    EXPECT_EQ(questions.value(0), QStringLiteral("New IMEI not read!|\r\nTry once more?\r\n|&Yes|&No, enter IMEI|"));
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(Log("AB123ACT.IWR"), Header("IWRSWAP") + QStringLiteral("SWAP\t352099001234562\t352099001111118\t\t") +
                                       kToday + QStringLiteral("\r\nEND\t 1 \r\n"));
    ASSERT_EQ(platform.printer.documents.size(), 1);
    EXPECT_EQ(platform.printer.documents[0].pages.value(0).value(15), QStringLiteral("----"));  // no swap comment
}

}  // namespace
}  // namespace celvio::testing

namespace celvio::testing {
namespace {

// Without swap.dat the start asks for the service point before the port screen, and
// the record of the first cycle carries what was typed.
TEST_F(SwapCycleTest, MissingSwapDatIsAskedAtTheStart)
{
    QFile::remove(StationFile(QStringLiteral("swap.dat")));
    platform.Type(1, QStringLiteral("123_123456"));
    platform.Type(2, QStringLiteral("Nord, Kiel"));
    platform.Type(3, QStringLiteral("Weg 1"));
    platform.Type(4, QStringLiteral("040 9"));
    platform.Type(5, QStringLiteral("Cy"));
    platform.Press(QStringLiteral("&OK"));
    Start();
    TestCycle("Test Passed!");
    Finish();
    EXPECT_EQ(ReadStationBytes(QStringLiteral("swap.dat")),
              QByteArray("0,\"123_123456\",\"Nord, Kiel\",\"Weg 1\",\"040 9\",\"Cy\"\r\n"));
    EXPECT_EQ(Log("123_123456ACT.IME"), QStringLiteral("IWRIMEI\tV1.0\t123_123456\t") + kToday +
                                            QStringLiteral("\r\n# Nord, Kiel\tWeg 1\t040 9\tCy\r\nIMEI\t") +
                                            QLatin1String(kSimPhone) + QStringLiteral("\t\t0123456789\t") + kToday +
                                            QStringLiteral("\tPASS\r\nEND\t 1 \r\n"));
}

}  // namespace
}  // namespace celvio::testing

namespace celvio::testing {
namespace {

// STOP at the swap question after a failed test answers it as "&Don't SWAP" does: the
// phone was handled and failed, so its FAIL record is written. STOP inside the exchange
// (the old IMEI entry, the new phone's search, the type question) writes no record and
// no report, and the next cycle starts.
TEST_F(SwapCycleTest, StopAtTheSwapQuestionRecordsFailStopInTheExchangeNothing)
{
    const struct {
        const char* name;
        bool swapMode;
        const char* at;  // the text of the screen where STOP is chosen
    } cases[] = {
        {"swap question", false, "Do you want to SWAP the phone?"},
        {"old IMEI entry", true, "IMEI Number of the old phone"},
        {"new phone search", true, "Place the swapped mobile phone"},
        {"another type", true, "another type of phone"},
    };
    QStringList seen;
    Start(kPowerStaysBad);
    for (const auto& c : cases) {
        if (c.swapMode) {
            platform.Press(QStringLiteral("S&wap"));
            Customer("*", "");
            platform.Press(QStringLiteral("GSM 900"));
            if (QByteArray(c.at) != "IMEI Number of the old phone")
                TypeImei("352099001234562");
        } else {
            TestCycle("Test Failed!");
        }
        const QString at = QString::fromLatin1(c.at);
        platform.Await([at](const App& a) { return a.Form1.Label3.Caption.contains(at); }, at);
        platform.Answer(QStringLiteral("restart the test"), msgbox::kYes);
        platform.Do(UiAction::Stop);
        const QString name = QString::fromLatin1(c.name);
        platform.Await(
            [this, name, &seen](const App& a) {
                if (!a.Form1.Command2.Visible || a.Form1.Command2.Caption != QLatin1String("&Test"))
                    return false;
                const QString records = Log(QStringLiteral("AB123ACT.IME")) + Log(QStringLiteral("AB123ACT.IWR"));
                seen << name + QStringLiteral(": ") +
                            QString::number(records.count(QLatin1String("\r\nIMEI\t")) +
                                            records.count(QLatin1String("\r\nSWAP\t"))) +
                            QStringLiteral(" records, ") + QString::number(platform.printer.documents.size()) +
                            QStringLiteral(" reports");
                return true;
            },
            QStringLiteral("the mode dialog after ") + name);
    }
    try {
        EXPECT_EQ(RunMain(app), -1);
    } catch (const ScriptStuck& stuck) {
        ADD_FAILURE() << qPrintable(stuck.what) << "\n" << qPrintable(Trace().mid(Trace().size() - 12).join('\n'));
    }
    EXPECT_EQ(seen, (QStringList{"swap question: 1 records, 0 reports", "old IMEI entry: 1 records, 0 reports",
                                 "new phone search: 1 records, 0 reports", "another type: 1 records, 0 reports"}));
    EXPECT_EQ(Log(QStringLiteral("AB123ACT.IME")), Header("IWRIMEI") + QStringLiteral("IMEI\t") +
                                                       QLatin1String(kSimPhone) + QStringLiteral("\t\t0123456789\t") +
                                                       kToday + QStringLiteral("\tFAIL\r\nEND\t 1 \r\n"));
    EXPECT_FALSE(QFile::exists(StationFile(QStringLiteral("RESULTS/LOG/AB123ACT.IWR"))));
    EXPECT_EQ(Trace().filter(QStringLiteral("Button = STOP")).size(), 4);
}

}  // namespace
}  // namespace celvio::testing
