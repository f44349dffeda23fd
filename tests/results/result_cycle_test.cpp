// Whole TEST cycles through the real Main in virtual time, from the verdict on: the
// verdict and report screens in both languages, the result pages and their buttons,
// the result file each cycle leaves and what the print buttons print.
#include "cycle/main.h"
#include "results/result_grid.h"
#include "core/text.h"
#include "support/station_fixture.h"

#include <QDir>
#include <QFileInfo>

namespace celvio::testing {
namespace {

const QString kSettings = QStringLiteral("DIALNO      0123\nSEARCHCOM   0\nSHOWLIMITS  1\nTOSEARCH    60\n") + QLatin1String(kCycleStation);

const char* const kPowerStaysBad = "fault.tx_power_offset = 6\nfault.tx_power_attempts = 1,2\n";
const QString kResultFile = QStringLiteral("RESULTS/351234/0123457.TXT");  // the simulated phone's IMEI

// The main window as the operator saw it at one moment.
struct Screen {
    QString title, text, button2, button3;
    bool button2Visible = false;
    int focus = 0;
    int helpTopic = 0;
};

class ResultCycleTest : public StationFixture {
protected:
    void Settings(const char* language, const char* extra = "")
    {
        WriteStationFile(QStringLiteral("CELVIO.INI"), QStringLiteral("LANGUAGE    %1\n").arg(QLatin1String(language)) +
                                                           kSettings + QString::fromLatin1(extra));
        WriteStationFile(QStringLiteral("TAC6N.DAT"), QStringLiteral("-7,MPN.DAT\n351234,Orvane Q7\n-9,STD\n"));
        WriteStationFile(QStringLiteral("MPN.DAT"), QStringLiteral("[STD]\n[Orvane Q7]\nBANDS=900,1800,1900\n"));
        WriteStationFile(QStringLiteral("BADCHAN.DAT"), QStringLiteral("\" 5,\"\n"));
        WriteStationFile(QStringLiteral("DEBUGPM.INI"), QString());
        WriteStationBytes(QStringLiteral("Zoredudi.BMP"), "BM");
    }

    // The simulated phone of the scenario, a TEST cycle of `system` up to the echo
    // question, answered with `echo` (nothing when null).
    void Cycle(const QString& scenario, const char* system, const char* echo)
    {
        AttachSimulator(1, QStringLiteral("phone.registration = 8\nphone.dial = 6\nphone.answer = 4\n") + scenario);
        platform.Press(QStringLiteral("COM&1"));
        platform.Press(QStringLiteral("&Test"));
        platform.Press(QString::fromLatin1(system));
        if (echo) {
            platform.Await([](const App& a) { return a.Form1.Label4.Caption == QLatin1String("Audio Test"); },
                           QStringLiteral("the echo question"));
            platform.Press(QString::fromUtf8(echo));
        }
    }

    // Waits until the main window shows `title`, then keeps what it showed.
    void Capture(const char* title, Screen& screen)
    {
        platform.Await(
            [title, &screen](const App& a) {
                const Form1& f = a.Form1;
                if (f.Label4.Caption != QString::fromUtf8(title) || !f.Command3.Visible)
                    return false;
                screen = Screen{f.Label4.Caption, f.Label3.Caption,   f.Command2.Caption, f.Command3.Caption,
                                f.Command2.Visible, f.Focus.target, int(a.st.HelpTopic)};
                return true;
            },
            QString::fromUtf8(title));
    }

    void Page(UiAction action, std::function<bool(const App&)> until, const QString& what)
    {
        platform.Do(action);
        platform.Await(std::move(until), what);
    }

    void Finish()
    {
        platform.Await([](const App& a) { return a.Form1.Command2.Visible && a.Form1.Command2.Caption == "&Test"; },
                       QStringLiteral("the mode dialog"));
        EXPECT_EQ(RunMain(app), -1);
    }

    QStringList Buttons() const
    {
        QStringList out;
        for (const QString& line : Trace())
            if (line.contains(QLatin1String("Button = ")))
                out << line.section(QStringLiteral("Button = "), 1);
        return out;
    }
    QStringList FileLines() const
    {
        QStringList lines = QString::fromLatin1(ReadStationBytes(kResultFile)).split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }
};

struct VerdictCase {
    const char* name;
    const char* language;
    const char* scenario;
    const char* echo;
    int verdict;
    const char* title;
    const char* message;  // "\n" for each line break
    const char* newTest;
    const char* report;
};
void PrintTo(const VerdictCase& c, std::ostream* os)
{
    *os << c.name;
}

class VerdictTest : public ResultCycleTest, public ::testing::WithParamInterface<VerdictCase> {};

TEST_P(VerdictTest, VerdictScreenWritesTheFileOnNewTest)
{
    const VerdictCase c = GetParam();
    Settings(c.language);
    WriteStationBytes(QStringLiteral("n650a.bmp"), "BM");
    Cycle(QString::fromLatin1(c.scenario), "GSM 900", c.echo);
    Screen screen;
    Capture(c.title, screen);
    QString picture;
    platform.Await(
        [&picture](const App& a) {
            picture = QFileInfo(a.Form1.Picture1.File).fileName();
            return true;
        },
        QStringLiteral("the picture"));
    platform.Press(QString::fromUtf8(c.newTest));
    Finish();

    QString message = QString::fromUtf8(c.message);
    message.replace(QLatin1String("\n"), kCrLf);
    EXPECT_EQ(screen.text, message);
    EXPECT_EQ(screen.button2, QString::fromUtf8(c.report));
    EXPECT_EQ(screen.button3, QString::fromUtf8(c.newTest));
    EXPECT_EQ(screen.focus, 2);
    EXPECT_EQ(screen.helpTopic, c.verdict == 2 ? 26 : 14);
    EXPECT_EQ(picture, c.verdict ? QStringLiteral("n650a.bmp") : QStringLiteral("Zoredudi.BMP"));
    EXPECT_EQ(Buttons().last(), QStringLiteral("NEW TEST"));
    const QStringList lines = FileLines();
    ASSERT_GT(lines.size(), 20);
    EXPECT_EQ(lines[0], QStringLiteral("TEST REPORT - CELVIO : 2.02"));
    EXPECT_EQ(lines[3], c.verdict ? QStringLiteral("OVERALL TEST RESULT: Failed") : QStringLiteral("OVERALL TEST RESULT: Passed"));
    EXPECT_TRUE(lines[8].startsWith(QStringLiteral("    IMEI: 351234560123457    IMSI: 00101"))) << qPrintable(lines[8]);
    // The cycle named its file (the next cycle starts without one).
    EXPECT_TRUE(Trace().contains(QStringLiteral("Result file written: ") + StationFile(kResultFile)));
    EXPECT_FALSE(app.Form1.Command2.Caption == QString::fromUtf8(c.report) && app.Form1.Command2.Visible);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VerdictTest,
    ::testing::Values(
        VerdictCase{"passed_en", "ENGLISH", "", "&Yes", 0, "Test Passed!",
                    "\nCongratulations!\nYour mobile phone is perfectly ok.\n\nPlease switch it off now. ", "&New test",
                    "&Test Report"},
        VerdictCase{"failed_en", "ENGLISH", kPowerStaysBad, "&Yes", 1, "Test Failed!",
                    "\nYour mobile phone didn't pass all tests!\nPlease switch it off and\n"
                    "try again or go to the service desk.",
                    "&New test", "&Test Report"},
        VerdictCase{"aborted_en", "ENGLISH", "", "&No", 2, "Test Aborted!",
                    "A basic function didn't work in test!\nPlease switch off your phone and\n"
                    "try again or go to the service desk.\n\n",
                    "&New test", "&Test Report"},
        VerdictCase{"passed_de", "GERMAN", "", "&Ja", 0, "Test bestanden",
                    "\nGratulation!\nIhr Telefon funktioniert perfekt.\n\nBitte schalten Sie es jetzt aus. ",
                    "&Neuer Test", "&Testbericht"},
        VerdictCase{"failed_de", "GERMAN", kPowerStaysBad, "&Ja", 1, "Test nicht bestanden!",
                    "\nWährend des Tests sind Fehler aufgetreten.\nBitte schalten Sie das Telefon aus\n"
                    "und versuchen es noch einmal oder\nbegeben Sie sich zum Service-Schalter.",
                    "&Neuer Test", "&Testbericht"},
        VerdictCase{"aborted_de", "GERMAN", "", "&Nein", 2, "Test abgebrochen!",
                    "Eine Grundfunktion war nicht möglich!\nBitte schalten Sie das Telefon aus\n"
                    "und versuchen es noch einmal oder\nbegeben Sie sich zum Service-Schalter.\n",
                    "&Neuer Test", "&Testbericht"}),
    [](const ::testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

TEST_F(ResultCycleTest, PassedCycleReportPagesAndFormattedPrint)
{
    Settings("ENGLISH", "TESTDETAIL  1\nLEFTMARGIN  5\n");
    Cycle(QString(), "GSM 900", "&Yes");
    Screen verdict, report;
    Capture("Test Passed!", verdict);
    platform.Press(QStringLiteral("&Test Report"));
    Capture("Test Report", report);
    platform.Press(QStringLiteral("&Details"));
    ResultPage form3;
    bool mainHidden = false;
    platform.Await(
        [&](const App& a) {
            form3 = a.Form3;
            mainHidden = !a.Form1.Visible;
            return a.Form3.Visible;
        },
        QStringLiteral("Form3"));
    Page(UiAction::Form3Command2, [](const App& a) { return !a.Form1.Visible && a.Form3.Visible; },
         QStringLiteral("printing"));
    // Closing the page by its frame asks the quit question; No keeps it open.
    Page(UiAction::ResultPageClose, [this](const App& a) { return !platform.boxes.isEmpty() && a.Form3.Visible; },
         QStringLiteral("the quit question"));
    Page(UiAction::Form3Command1, [](const App& a) { return a.Form1.Visible && !a.Form3.Visible; },
         QStringLiteral("the main window"));
    Finish();

    EXPECT_EQ(report.text, QStringLiteral("Keypad Test: Passed\r\nTransmitter Test: Passed\r\nReceiver Test: Passed\r\n"
                                          "Microphone / Speaker Test: Passed\r\n"));
    EXPECT_EQ(report.button2, QStringLiteral("&Details"));
    EXPECT_TRUE(report.button2Visible);
    EXPECT_EQ(report.helpTopic, 15);
    EXPECT_TRUE(mainHidden);
    EXPECT_EQ(form3.Caption, QStringLiteral("CELVIO - TEST REPORT"));
    EXPECT_EQ(form3.Command1.Caption, QStringLiteral("&Continue"));
    EXPECT_EQ(form3.Command2.Caption, QStringLiteral("&Print"));
    EXPECT_FALSE(form3.Command3.Visible);
    EXPECT_EQ(Buttons().mid(Buttons().indexOf(QStringLiteral("DETAILS"))),
              (QStringList{"DETAILS", "DETAILS", "PRINT", "CONTINUE"}));
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("Do you really want to quit the program?"));
    EXPECT_EQ(platform.boxes[0].style, msgbox::kYesNo | msgbox::kQuestion);
    platform.boxes.clear();
    // The formatted report, not the file.
    ASSERT_EQ(platform.printer.documents.size(), 1);
    const QStringList printed = platform.printer.documents[0].pages[0];
    EXPECT_EQ(printed.at(1), QStringLiteral("      TEST REPORT - CELVIO : 2.02"));
    EXPECT_TRUE(printed.contains(QStringLiteral("    Speech Loopback                    PASSED")));
    EXPECT_TRUE(printed.contains(QStringLiteral("    Phone IMEI code : 351234560123457")));
    EXPECT_EQ(FileLines().at(3), QStringLiteral("OVERALL TEST RESULT: Passed"));
    EXPECT_EQ(app.Form1.Label4.Caption, QStringLiteral("Select mode"));
}

TEST_F(ResultCycleTest, FailedDualBandCycleInGermanPagesMoreBackAndPrintsTheStoredFile)
{
    Settings("GERMAN", "TESTDETAIL  1\n");
    Cycle(QStringLiteral("phone.bands = GSM,PCN\n") + QString::fromLatin1(kPowerStaysBad), "GSM 900/1800", "&Ja");
    Screen report;
    platform.Press(QStringLiteral("&Testbericht"));
    Capture("Test Bericht", report);
    platform.Press(QStringLiteral("&Details"));
    QString more;
    platform.Await(
        [&more](const App& a) {
            more = a.Form3.Command1.Caption;
            return a.Form3.Visible;
        },
        QStringLiteral("Form3"));
    auto only4 = [](const App& a) { return a.Form4.Visible && !a.Form3.Visible && !a.Form1.Visible; };
    auto only3 = [](const App& a) { return a.Form3.Visible && !a.Form4.Visible && !a.Form1.Visible; };
    ResultPage form4;
    Page(UiAction::Form3Command1, only4, QStringLiteral("Form4"));
    platform.Await(
        [&form4](const App& a) {
            form4 = a.Form4;
            return true;
        },
        QStringLiteral("Form4's state"));
    Page(UiAction::Form4Command2, only3, QStringLiteral("back to Form3"));
    Page(UiAction::Form3Command1, only4, QStringLiteral("Form4 again"));
    Page(UiAction::Form4Command3, only4, QStringLiteral("printing"));
    Page(UiAction::Form4Command1, [](const App& a) { return a.Form1.Visible && !a.Form4.Visible; },
         QStringLiteral("the main window"));
    Finish();

    EXPECT_EQ(report.button2, QStringLiteral("&Details"));
    EXPECT_EQ(report.button3, QStringLiteral("&Neuer Test"));
    EXPECT_EQ(more, QStringLiteral("&Mehr"));
    EXPECT_EQ(form4.Caption, QStringLiteral("CELVIO - TESTBERICHT (2)"));
    EXPECT_EQ((QStringList{form4.Command1.Caption, form4.Command2.Caption, form4.Command3.Caption}),
              (QStringList{"&Weiter", "&Zurück", "&Ausdruck"}));
    EXPECT_EQ(Buttons().mid(Buttons().indexOf(QStringLiteral("DETAILS"))),
              (QStringList{"DETAILS", "DETAILS", "MORE", "BACK", "MORE", "PRINT", "CONTINUE"}));
    // The stored file, line by line, after one empty line.
    const QStringList file = FileLines();
    EXPECT_EQ(file.at(3), QStringLiteral("OVERALL TEST RESULT: Failed"));
    EXPECT_EQ(file.at(7), QStringLiteral("MOBILE TELEPHONE       : Orvane Q7        Cellular System: GSM900,1800"));
    EXPECT_TRUE(file.contains(QStringLiteral("Traffic Channel        :  884 ")));
    EXPECT_TRUE(std::any_of(file.begin(), file.end(),
                            [](const QString& l) { return l.startsWith(QLatin1String("MS Leistung 5 (33 dBm) : * ")); }));
    ASSERT_EQ(platform.printer.documents.size(), 1);
    EXPECT_EQ(platform.printer.documents[0].pages, (QList<QStringList>{QStringList{QString()} + file}));
}

// The cells of a page that read "Not tested", by row name and column.
QStringList NotTestedCells(const ResultPage& page)
{
    QStringList found;
    const std::pair<const char*, const CellArray*> arrays[] = {
        {"MSPower1", &CellsOf(page, RowId::TxPower1)}, {"MSPower2", &CellsOf(page, RowId::TxPower2)}, {"MSPower3", &CellsOf(page, RowId::TxPower3)},
        {"Label51", &CellsOf(page, RowId::PhaseRms)},   {"Label52", &CellsOf(page, RowId::PhasePeak)},   {"Label53", &CellsOf(page, RowId::Frequency)},
        {"Label54", &CellsOf(page, RowId::BurstLength)},   {"Label55", &CellsOf(page, RowId::Template)},   {"Label56", &CellsOf(page, RowId::RxLevel)},
        {"Label57", &CellsOf(page, RowId::RxQuality)}};
    for (const auto& [name, cells] : arrays)
        for (int c = 1; c <= 3; ++c)
            if ((*cells)[c].Caption == QLatin1String("Not tested"))
                found << QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(c);
    const std::pair<const char*, const Cell*> single[] = {{"MobileOriginatedCall", &CellsOf(page, RowId::MobileCall)[1]},
                                                        {"DialledNumber", &CellsOf(page, RowId::DialledNumber)[1]},
                                                        {"BaseOriginatedCall", &CellsOf(page, RowId::BaseCall)[1]},
                                                        {"SpeechLoopback", &CellsOf(page, RowId::SpeechLoopback)[1]}};
    for (const auto& [name, cell] : single)
        if (cell->Caption == QLatin1String("Not tested"))
            found << QLatin1String(name);
    return found;
}

// A dual-band cycle to its verdict.
struct PagesCase {
    const char* name;
    const char* scenario;
    const char* echo;
    const char* title;
    bool baseCallPassed;
    const char* speech;   // the speech loop-back's cell
    bool speechTested;
};
void PrintTo(const PagesCase& c, std::ostream* os)
{
    *os << c.name;
}

class DualBandPagesTest : public ResultCycleTest, public ::testing::WithParamInterface<PagesCase> {};

// A test that ran shows its outcome on both pages (the calls and the speech loop-back
// are tested once, on no particular band, and filled in on the first page), a cell that
// no step measures reads "Not needed", and only a test that never ran reads "Not tested".
TEST_P(DualBandPagesTest, BothPagesShowEveryTestThatRanAndOnlyThoseNotRunAsNotTested)
{
    const PagesCase c = GetParam();
    Settings("ENGLISH", "TESTDETAIL  1\n");
    Cycle(QStringLiteral("phone.bands = GSM,PCN\n") + QString::fromLatin1(c.scenario), "GSM 900/1800", c.echo);
    ResultPage form3, form4;
    platform.Await(
        [&](const App& a) {
            form3 = a.Form3;
            form4 = a.Form4;
            return a.Form1.Label4.Caption == QLatin1String(c.title) && a.Form1.Command3.Visible;
        },
        QStringLiteral("the verdict"));
    platform.Press(QStringLiteral("&New test"));
    Finish();

    const Cell passed{QStringLiteral("Passed"), kGreen};
    const Cell failed{QStringLiteral("* Failed"), kRed};
    const QStringList notRun = c.speechTested ? QStringList() : QStringList{QStringLiteral("SpeechLoopback")};
    EXPECT_EQ(NotTestedCells(form3), notRun);
    EXPECT_EQ(NotTestedCells(form4), notRun);
    for (const ResultPage* page : {&form3, &form4}) {
        SCOPED_TRACE(page == &form3 ? "first page" : "second page");
        EXPECT_EQ(CellsOf(*page, RowId::MobileCall)[1], passed);
        EXPECT_EQ(CellsOf(*page, RowId::DialledNumber)[1], (Cell{QStringLiteral("0123"), kGreen}));
        EXPECT_EQ(CellsOf(*page, RowId::BaseCall)[1], c.baseCallPassed ? passed : failed);
        EXPECT_EQ(CellsOf(*page, RowId::SpeechLoopback)[1].Caption, QLatin1String(c.speech));
        for (int column = 1; column <= 3; ++column)
            EXPECT_EQ(CellsOf(*page, RowId::TxPower2)[column], (Cell{QStringLiteral("Not needed"), kYellow})) << column;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DualBandPagesTest,
    ::testing::Values(PagesCase{"failed", kPowerStaysBad, "&Yes", "Test Failed!", true, "Passed", true},
                      PagesCase{"no_echo", "", "&No", "Test Aborted!", true, "* Failed", true},
                      PagesCase{"call_not_answered", "phone.answer = never\n", nullptr, "Test Aborted!", false,
                                "Not tested", false}),
    [](const ::testing::TestParamInfo<PagesCase>& info) { return std::string(info.param.name); });

TEST_F(ResultCycleTest, WithoutTestDetailOnlyNewTestAndTestPrintPrintsTheFile)
{
    Settings("ENGLISH", "TESTDETAIL  0\nTESTPRINT   1\n");
    Cycle(QString::fromLatin1(kPowerStaysBad), "GSM 900", "&Yes");
    Screen report;
    platform.Press(QStringLiteral("&Test Report"));
    Capture("Test Report", report);
    platform.Press(QStringLiteral("&New test"));
    Finish();
    EXPECT_FALSE(report.button2Visible);
    EXPECT_EQ(report.focus, 3);
    ASSERT_EQ(platform.printer.documents.size(), 1);
    EXPECT_EQ(platform.printer.documents[0].pages[0].mid(1), FileLines());
}

TEST_F(ResultCycleTest, KeypadCallFailedLeavesNoFileAndNothingToPrint)
{
    Settings("ENGLISH", "TESTDETAIL  1\n");
    Cycle(QStringLiteral("phone.dial = never\n"), "GSM 900", nullptr);
    Screen verdict;
    Capture("Test Aborted!", verdict);
    platform.Press(QStringLiteral("&Test Report"));
    platform.Press(QStringLiteral("&Details"));
    platform.Await([](const App& a) { return a.Form3.Visible; }, QStringLiteral("Form3"));
    Page(UiAction::Form3Command2, [this](const App&) { return !platform.boxes.isEmpty(); },
         QStringLiteral("the print message"));
    Page(UiAction::Form3Command1, [](const App& a) { return a.Form1.Visible; }, QStringLiteral("the main window"));
    Finish();
    EXPECT_FALSE(QDir(dir.path()).exists(QStringLiteral("RESULTS")));
    EXPECT_TRUE(platform.printer.documents.isEmpty());
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("Print not possible. No test results available."));
    platform.boxes.clear();
}

TEST_F(ResultCycleTest, BrokenTransmitterAnswerIsDescribedUnderTheAbortedVerdict)
{
    Settings("ENGLISH");
    Cycle(QStringLiteral("fault.garbage_prefix = MEAS:ARR:RFTR\n"), "GSM 900", nullptr);
    Screen verdict;
    Capture("Test Aborted!", verdict);
    platform.Press(QStringLiteral("&New test"));
    Finish();
    EXPECT_EQ(verdict.text, QStringLiteral("A basic function didn't work in test!\r\nPlease switch off your phone and\r\n"
                                           "try again or go to the service desk.\r\n\r\n"
                                           "No valid answer from the tester to the transmitter measurement."));
    EXPECT_EQ(FileLines().at(3), QStringLiteral("OVERALL TEST RESULT: Failed"));
    EXPECT_TRUE(app.st.LastErrorText.isEmpty());
}

TEST_F(ResultCycleTest, StopAtTheVerdictScreenLeavesNoFile)
{
    Settings("ENGLISH");
    Cycle(QString(), "GSM 900", "&Yes");
    platform.Await(
        [this](const App& a) {
            if (a.Form1.Label4.Caption != QLatin1String("Test Passed!"))
                return false;
            app.st.StopRequested = kTrue;  // as a stop request arriving while the screen waits
            return true;
        },
        QStringLiteral("the verdict"));
    Finish();
    EXPECT_FALSE(QDir(dir.path()).exists(QStringLiteral("RESULTS")));
    EXPECT_TRUE(app.st.ResultFilePath.isEmpty());
    EXPECT_FALSE(Buttons().contains(QStringLiteral("NEW TEST")));
}

}  // namespace
}  // namespace celvio::testing
