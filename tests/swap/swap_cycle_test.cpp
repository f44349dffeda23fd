// Whole cycles of a service point through the real Main, in virtual time, with the
// tester simulator: the customer screens, the swap questions, the records they leave,
// and the report printed for the customer.
#include "cycle/main.h"
#include "core/text.h"
#include "swap_fixture.h"

#include <QFileInfo>

namespace celvio::testing {
namespace {

const QString kSettings = QStringLiteral("LANGUAGE    ENGLISH\nSWAPFILE    1\n"
    "DIALNO      0123\nSEARCHCOM   0\nSHOWLIMITS  1\nTOSEARCH    60\n") + QLatin1String(kCycleStation);

const char* const kPowerStaysBad = "fault.tx_power_offset = 6\nfault.tx_power_attempts = 1,2\n";
const char* const kSimPhone = "351234560123457";  // the simulated phone's IMEI
const QString kToday = QStringLiteral("20261207");  // the scripted platform's day

class SwapCycleTest : public SwapFixture {
protected:
    void SetUp() override
    {
        platform.SetDateTime(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
        WriteStationFile(QStringLiteral("CELVIO.INI"), kSettings);
        WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-7,MPN.DAT\n351234,Orvane Q7\n-9,STD\n"));
        WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[STD]\n[Orvane Q7]\nBANDS=900,1800,1900\n"));
        WriteStationFile(QStringLiteral("BADCHAN.DAT"), QStringLiteral("\" 5,\"\n"));
        WriteStationFile(QStringLiteral("DEBUGPM.INI"), QString());
        WriteStationBytes(QStringLiteral("swap.dat"), "0,\"AB123\",\"Handy Shop\",\"Markt 1\",\"040 1\",\"Bo\"\r\n");
        app.st = StationState{};
    }

    void Start(const char* scenario = "")
    {
        AttachSimulator(1, QStringLiteral("phone.registration = 8\nphone.dial = 6\nphone.answer = 4\n") +
                               QString::fromLatin1(scenario));
        platform.Press(QStringLiteral("COM&1"));
    }
    // The customer screen of the cycle.
    void Customer(const char* number, const char* comment)
    {
        platform.Await([](const App& a) { return a.Form1.Text6.Visible && a.Form1.Label4.Caption == "Zavar Service"; },
                       QStringLiteral("the customer screen"));
        platform.Type(1, QString::fromLatin1(number));
        platform.Type(6, QString::fromLatin1(comment));
        platform.Press(QStringLiteral("&OK"));
    }
    // A TEST cycle of GSM 900 to its verdict, left with "&New test".
    void TestCycle(const char* title)
    {
        platform.Press(QStringLiteral("&Test"));
        Customer("0123456789", "Battery dies");
        platform.Press(QStringLiteral("GSM 900"));
        platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Audio Test"); },
                       QStringLiteral("the echo question"));
        platform.Press(QStringLiteral("&Yes"));
        platform.Await(
            [title](const App& a) {
                return a.Form1.Label4.Caption == QLatin1String(title) && a.Form1.Command3.Visible &&
                       a.Form1.Command3.Caption == QLatin1String("&New test");
            },
            QString::fromLatin1(title));
        platform.Press(QStringLiteral("&New test"));
    }
    // Waits for the question with this text, keeps its screen, then presses `button`.
    void Question(const char* text, const char* button)
    {
        platform.Await(
            [this, text](const App& a) {
                if (!a.Form1.Label3.Caption.contains(QLatin1String(text)) || !a.Form1.Command2.Visible)
                    return false;
                questions << a.Form1.Label4.Caption + QLatin1Char('|') + a.Form1.Label3.Caption + QLatin1Char('|') +
                                 a.Form1.Command2.Caption + QLatin1Char('|') +
                                 (a.Form1.Command3.Visible ? a.Form1.Command3.Caption : QString()) + QLatin1Char('|') +
                                 (a.Form1.Text6.Visible ? a.Form1.Text6.Caption : QString());
                return true;
            },
            QString::fromLatin1(text));
        platform.Press(QString::fromLatin1(button));
        platform.Await([text](const App& a) { return !a.Form1.Label3.Caption.contains(QLatin1String(text)); },
                       QStringLiteral("the answer taken"));
    }
    void TypeImei(const char* imei)
    {
        platform.Await([](const App& a) { return a.Form1.Label3.Caption.contains(QLatin1String("IMEI Number")); },
                       QStringLiteral("the IMEI entry"));
        platform.Type(1, QString::fromLatin1(imei));
        platform.Press(QStringLiteral("&OK"));
    }
    void Finish()
    {
        platform.Await([](const App& a) { return a.Form1.Command2.Visible && a.Form1.Command2.Caption == "&Test"; },
                       QStringLiteral("the mode dialog"));
        try {
            EXPECT_EQ(RunMain(app), -1);
        } catch (const ScriptStuck& stuck) {
            ADD_FAILURE() << qPrintable(stuck.what) << "\n" << qPrintable(Trace().mid(Trace().size() - 15).join('\n'));
        }
        EXPECT_EQ(platform.StepsLeft(), 0);
    }
    QString Log(const QString& name) const { return QString::fromLatin1(ReadStationBytes(QStringLiteral("RESULTS/LOG/") + name)); }
    QString Header(const char* kind) const
    {
        return QLatin1String(kind) + QStringLiteral("\tV1.0\tAB123\t") + kToday +
               QStringLiteral("\r\n# Handy Shop\tMarkt 1\t040 1\tBo\r\n");
    }
    QStringList Buttons() const
    {
        QStringList out;
        for (const QString& line : Trace())
            if (line.contains(QLatin1String("Button = ")))
                out << line.section(QStringLiteral("Button = "), 1);
        return out;
    }
    QStringList questions;
};

TEST_F(SwapCycleTest, PassedTestIsRecordedAsPass)
{
    Start();
    TestCycle("Test Passed!");
    Finish();
    EXPECT_EQ(Log("AB123ACT.IME"), Header("IWRIMEI") + QStringLiteral("IMEI\t") + QLatin1String(kSimPhone) +
                                       QStringLiteral("\t\t0123456789\t") + kToday + QStringLiteral("\tPASS\r\nEND\t 1 \r\n"));
    EXPECT_FALSE(QFile::exists(StationFile(QStringLiteral("RESULTS/LOG/AB123ACT.IWR"))));
    EXPECT_EQ(app.st.FaultDescription, QStringLiteral("Battery dies"));
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
    EXPECT_EQ(app.st.SwapComment, QStringLiteral("Customer keeps the phone"));
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
    EXPECT_EQ(app.st.SwapComment, QStringLiteral("Phone hands over"));
    // The report for the customer, one page.
    ASSERT_EQ(platform.printer.documents.size(), 1);
    const CapturingPrinter::Document& doc = platform.printer.documents[0];
    EXPECT_EQ(doc.font, QStringLiteral("Courier New"));
    ASSERT_EQ(doc.pages.size(), 1);
    const QStringList expected{
        "Zavar Mobile Phones", "", "Company Handy Shop", "Address Markt 1", "Phone 040 1", "Tested by Bo", "",
        "Test report for customer", "Cellular phone test, " + app.st.CycleDate + " / " + app.st.CycleTime,
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

// STOP at each wait of an exchange: no record, no report, and the next cycle starts.
TEST_F(SwapCycleTest, StopAnywhereWritesNoRecord)
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
                seen << name + QStringLiteral(": ") +
                            QString::number(QDir(StationFile(QStringLiteral("RESULTS/LOG"))).entryList(QDir::Files).size()) +
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
    EXPECT_EQ(seen, (QStringList{"swap question: 0 records, 0 reports", "old IMEI entry: 0 records, 0 reports",
                                 "new phone search: 0 records, 0 reports", "another type: 0 records, 0 reports"}));
    EXPECT_EQ(Trace().filter(QStringLiteral("Button = STOP")).size(), 4);
}

}  // namespace
}  // namespace celvio::testing
