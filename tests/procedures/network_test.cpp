// The registration with the test network, the retry question and the reading of the
// phone's identity.
#include "procedure_fixture.h"
#include "procedures/network.h"
#include "procedures/phone_identity.h"
#include "results/verdict.h"
#include "sim/tester.h"

namespace celvio::testing {
namespace {

class NetworkTest : public ProcedureTest {};

TEST_F(NetworkTest, NoRegistrationTimesOutAfterTheTimeOutLessOneSecond)
{
    auto tester = Simulator(QStringLiteral("phone.registration = never"));
    auto barAt = [](int value, Colour colour) {
        return [value, colour](const App& a) { return a.Form1.Progress.Value == value && a.Form1.Progress.Color == colour; };
    };
    platform.Await(barAt(29, kGreen), QStringLiteral("green before half the time"));
    platform.Await(barAt(30, kYellow), QStringLiteral("yellow at half the time"));
    platform.Await(barAt(45, kRed), QStringLiteral("red at three quarters"));
    platform.Await(barAt(59, kRed), QStringLiteral("the last step"));
    NetworkSearch(app, 0);

    EXPECT_EQ(platform.StepsLeft(), 0);
    EXPECT_EQ(app.Form1.Progress.Value, 59);  // never full
    EXPECT_FALSE(app.Form1.Progress.Visible);
    EXPECT_EQ(app.st.Verdict, 2);
    EXPECT_EQ(From(tester->receivedLines(), QStringLiteral("STAT:QUES:EVEN?")),
              (QStringList{QStringLiteral("STAT:QUES:EVEN?"), QStringLiteral("SYST:COMM:SER:TIM 1"),
                           QStringLiteral("SYST:COMM:SER:TIM:STAT ON"), QStringLiteral("CALL:MSOR;*ESR?"),
                           QStringLiteral("*CLS;SYST:COMM:SER:TIM:STAT OFF")}));
}

TEST_F(NetworkTest, StatusBitNineFailsARegistrationThatAnswered)
{
    auto device = Replies();
    device->On(QStringLiteral("CALL:LOC;*STB?"), {QStringLiteral("8")}, 5000);
    device->On(QStringLiteral("STAT:QUES:EVEN?"), {QStringLiteral("516")});
    NetworkSearch(app, 0);
    EXPECT_EQ(app.st.Verdict, 2);
    EXPECT_LT(platform.MonotonicMs(), 8000);
}

TEST_F(NetworkTest, SearchAcrossMidnightStillTimesOut)
{
    platform.watchdogMs = 48LL * 3600 * 1000;
    platform.Advance(QTime(10, 0).msecsTo(QTime(23, 59, 50)));
    auto device = Replies();
    // The tester answers only after the program has given up.
    device->On(QStringLiteral("CALL:LOC;*STB?"), {QStringLiteral("8")}, 25'000);
    app.st.SearchTimeout = 20;
    NetworkSearch(app, 0);
    EXPECT_EQ(app.Form1.Progress.Value, 19);
    EXPECT_EQ(app.st.Verdict, 2);
}

struct PlacementCase {
    int mode;
    bool blockedList;
    const char* title;
    const char* firstLine;
    const char* picture;
};
void PrintTo(const PlacementCase& c, std::ostream* os)
{
    *os << "mode " << c.mode << (c.blockedList ? " with" : " without") << " blocked list";
}

class PlacementTest : public NetworkTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(PlacementTest, TitleInstructionAndPictureFollowTheMode)
{
    const PlacementCase c = GetParam();
    for (const char* name : {"Coupler.BMP", "Coupler2.BMP", "Coupler3.BMP"})
        WriteStationBytes(QString::fromLatin1(name), "BM");
    if (c.blockedList)
        WriteStationFile(QStringLiteral("BADCHAN.DAT"), QStringLiteral("\" 30,\"\n"));
    Replies()->On(QStringLiteral("CALL:LOC;*STB?"), {QStringLiteral("0")}, 4500);
    QString title, text, picture;
    platform.Await(
        [&](const App& a) {
            title = a.Form1.Label4.Caption;
            text = a.Form1.Label3.Caption;
            picture = a.Form1.Picture1.File;
            return a.Form1.Progress.Value == 1;
        },
        QStringLiteral("the first second"));
    NetworkSearch(app, c.mode);
    EXPECT_EQ(title, QString::fromLatin1(c.title));
    EXPECT_EQ(text, QString::fromLatin1(c.firstLine) +
                        QStringLiteral("\r\nSwitch it (off and) on,\r\nchoose the network named 001 01."));
    EXPECT_TRUE(picture.endsWith(QLatin1String(c.picture))) << qPrintable(picture);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PlacementTest,
    ::testing::Values(
        PlacementCase{-2, false, "SWAP mobile phone", "Place the swapped mobile phone on\r\nthe antenna coupler.",
                      "/Coupler.BMP"},
        PlacementCase{2, true, "Scanning for used Channels", "Place your mobile phone on\r\nthe antenna coupler.",
                      "/Coupler.BMP"},
        // A single scan without a blocked list animates the cable picture: odd second.
        PlacementCase{1, false, "Scanning for used Channels", "Please connect the reference phone\r\nvia cable.",
                      "/Coupler3.BMP"}));

struct QuestionCase {
    int n;
    const char* press;
    int result;
    const char* traced;
};
void PrintTo(const QuestionCase& c, std::ostream* os)
{
    *os << "question " << c.n << " " << c.press;
}

class AskQuestionTest : public NetworkTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(AskQuestionTest, ReturnsByTheButtonAndTracesIt)
{
    const QuestionCase c = GetParam();
    app.st.DebugMode = kTrue;
    platform.Press(QString::fromLatin1(c.press));
    EXPECT_EQ(AskQuestion(app, c.n), c.result);
    EXPECT_EQ(Trace().value(0), QStringLiteral("Button = ") + QString::fromLatin1(c.traced));
    EXPECT_FALSE(app.Form1.Command3.Visible);
    EXPECT_EQ(app.st.Command2Pressed, kFalse);
}

INSTANTIATE_TEST_SUITE_P(Questions, AskQuestionTest,
                         ::testing::Values(QuestionCase{4, "&Yes", 0, "OK"}, QuestionCase{4, "&No", -1, "OK"},
                                           QuestionCase{1, "&One Scan", 1, "&One Scan"},
                                           QuestionCase{2, "&Clear + search", 2, "&Clear + search"},
                                           QuestionCase{0, "&SCAN", -1, "OK"}));

TEST_F(NetworkTest, QuestionStoppedCountsAsRetry)
{
    app.Form1.MStop.Enabled = true;
    app.Form1.Command3.Enabled = false;  // as the mode dialog leaves it
    platform.Answer(QStringLiteral("restart the test"), msgbox::kYes);
    platform.Do(UiAction::Stop, [](const App& a) { return a.Form1.Command3.Visible && a.Form1.Command3.Enabled; });
    EXPECT_EQ(AskQuestion(app, 4), 0);
    EXPECT_EQ(platform.StepsLeft(), 0);
}

struct ImeiCase {
    const char* answer;
    const char* revision;
    const char* expected;
};
void PrintTo(const ImeiCase& c, std::ostream* os)
{
    *os << c.answer << " revision " << c.revision;
}

class IdentifyTest : public NetworkTest, public ::testing::WithParamInterface<ImeiCase> {};

TEST_P(IdentifyTest, ImeiIsRepairedOrReplacedByThePlaceholder)
{
    const ImeiCase c = GetParam();
    auto device = Replies();
    device->On(QStringLiteral("CALL:MSIN:IMEI?"), {QString::fromLatin1(c.answer)});
    device->On(QStringLiteral("CALL:MSIN:RLEV?"), {QString::fromLatin1(c.revision)});
    IdentifyPhone(app);
    EXPECT_EQ(app.st.Imei, QString::fromLatin1(c.expected));
    const bool placeholder = app.st.Imei == QLatin1String("999999000000006");
    EXPECT_EQ(device->lines.contains(QStringLiteral("CALL:MSIN:RLEV?")), !placeholder);
}

INSTANTIATE_TEST_SUITE_P(Imeis, IdentifyTest,
                         ::testing::Values(ImeiCase{"490154203237510", "1", "490154203237518"},
                                           ImeiCase{"490154203237510", "2", "490154203237510"},
                                           ImeiCase{"3512345601234578", "1", "351234560123457"},
                                           ImeiCase{"4901542032375A8", "1", "999999000000006"},
                                           ImeiCase{"49015420323", "1", "999999000000006"}));

TEST_F(NetworkTest, LuhnCheckDigits)
{
    EXPECT_EQ(LuhnCheckDigit(QStringLiteral("99999900000000")), 6);  // the placeholder IMEI
    EXPECT_EQ(LuhnCheckDigit(QStringLiteral("35123456012345")), 7);
    EXPECT_EQ(LuhnCheckDigit(QStringLiteral("00000000000000")), 0);
}

TEST_F(NetworkTest, ShortImsiIsStoredWithoutTheLineEndAndShownOnBothPages)
{
    auto device = Replies();
    device->On(QStringLiteral("CALL:MSIN:IMEI?"), {QStringLiteral("351234560123457")});
    device->On(QStringLiteral("CALL:MSIN:IMSI?"), {QStringLiteral("00101012345678")});
    SetUpResultPages(app);
    IdentifyPhone(app);
    EXPECT_EQ(app.st.Imsi, QStringLiteral("00101012345678"));
    for (const ResultPage* page : {&app.Form3, &app.Form4}) {
        EXPECT_EQ(page->Imsi.Caption, QStringLiteral("00101012345678"));
        EXPECT_EQ(page->Imsi.ForeColor, kGreen);
        EXPECT_EQ(page->Imei.Caption, QStringLiteral("351234560123457"));
    }
}

}  // namespace
}  // namespace celvio::testing
