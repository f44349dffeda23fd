// The registration with the test network, the retry question and the reading of the
// phone's identity.
#include "procedure_fixture.h"
#include "procedures/network_search.h"
#include "procedures/phone_identity.h"
#include "results/verdict.h"
#include "sim/tester.h"

#include <QFile>

namespace celvio::testing {
namespace {

class NetworkTest : public ProcedureTest {};

TEST_F(NetworkTest, NoRegistrationTimesOutAfterTheTimeOutLessOneSecond)
{
    auto tester = Simulator(QStringLiteral("phone.registration = never"));
    platform.Await(BarAt(29, kGreen), QStringLiteral("green before half the time"));
    platform.Await(BarAt(30, kYellow), QStringLiteral("yellow at half the time"));
    platform.Await(BarAt(45, kRed), QStringLiteral("red at three quarters"));
    platform.Await(BarAt(59, kRed), QStringLiteral("the last step"));
    NetworkSearch(app, CycleMode::Test);

    EXPECT_EQ(platform.StepsLeft(), 0);
    EXPECT_EQ(app.Form1.Progress.Value, 59);  // never full
    EXPECT_FALSE(app.Form1.Progress.Visible);
    EXPECT_EQ(app.st.Verdict, Verdict::Aborted);
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
    NetworkSearch(app, CycleMode::Test);
    EXPECT_EQ(app.st.Verdict, Verdict::Aborted);
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
    NetworkSearch(app, CycleMode::Test);
    EXPECT_EQ(app.Form1.Progress.Value, 19);
    EXPECT_EQ(app.st.Verdict, Verdict::Aborted);
}

TEST_F(NetworkTest, TitleInstructionAndPictureFollowTheMode)
{
    const struct {
        CycleMode mode;
        bool blockedList;
        const char* title;
        const char* firstLine;
        const char* picture;
    } cases[] = {
        {CycleMode::Swap, false, "SWAP mobile phone", "Place the swapped mobile phone on\r\nthe antenna coupler.", "/Coupler.BMP"},
        {CycleMode::ContinuousScan, true, "Scanning for used Channels", "Place your mobile phone on\r\nthe antenna coupler.", "/Coupler.BMP"},
        // A single scan without a blocked list animates the cable picture: odd second.
        {CycleMode::OneScan, false, "Scanning for used Channels", "Please connect the reference phone\r\nvia cable.",
         "/Coupler3.BMP"}};
    for (const char* name : {"Coupler.BMP", "Coupler2.BMP", "Coupler3.BMP"})
        WriteStationBytes(QString::fromLatin1(name), "BM");
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mode));
        QFile::remove(StationFile(QStringLiteral("BADCHAN.DAT")));
        if (c.blockedList)
            WriteStationFile(QStringLiteral("BADCHAN.DAT"), QStringLiteral("\" 30,\"\n"));
        platform.serial.Close();
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
}

TEST_F(NetworkTest, AskQuestionReturnsByTheButtonAndTracesIt)
{
    const struct {
        int n;
        const char* press;
        int result;
        const char* traced;
    } cases[] = {{4, "&Yes", 0, "OK"},
                 {4, "&No", -1, "OK"},
                 {1, "&One Scan", 1, "&One Scan"},
                 {2, "&Clear + search", 2, "&Clear + search"},
                 {0, "&SCAN", -1, "OK"}};
    app.st.DebugMode = kTrue;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.press);
        app.DebugFrm.DebugFeld.clear();
        platform.Press(QString::fromLatin1(c.press));
        EXPECT_EQ(AskQuestion(app, c.n), c.result);
        EXPECT_EQ(Trace().value(0), QStringLiteral("Button = ") + QString::fromLatin1(c.traced));
        EXPECT_FALSE(app.Form1.Command3.Visible);
        EXPECT_EQ(app.st.Command2Pressed, kFalse);
    }
}

TEST_F(NetworkTest, QuestionStoppedCountsAsRetry)
{
    app.Form1.MStop.Enabled = true;
    app.Form1.Command3.Enabled = false;  // as the mode dialog leaves it
    platform.Answer(QStringLiteral("restart the test"), msgbox::kYes);
    platform.Do(UiAction::Stop, [](const App& a) { return a.Form1.Command3.Visible && a.Form1.Command3.Enabled; });
    EXPECT_EQ(AskQuestion(app, 4), 0);
    EXPECT_EQ(platform.StepsLeft(), 0);
}

TEST_F(NetworkTest, ImeiIsRepairedOrReplacedByThePlaceholder)
{
    const struct {
        const char* answer;
        const char* revision;
        const char* expected;
    } cases[] = {{"490154203237510", "1", "490154203237518"},  // the Luhn repair for revision level 1
                 {"490154203237510", "2", "490154203237510"},
                 {"3512345601234578", "1", "351234560123457"},
                 {"4901542032375A8", "1", "999999000000006"},
                 {"49015420323", "1", "999999000000006"}};
    auto device = Replies();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.answer) + " revision " + c.revision);
        device->lines.clear();
        device->On(QStringLiteral("CALL:MSIN:IMEI?"), {QString::fromLatin1(c.answer)});
        device->On(QStringLiteral("CALL:MSIN:RLEV?"), {QString::fromLatin1(c.revision)});
        const PhoneIdentity identity = IdentifyPhone(app);
        EXPECT_EQ(identity.Imei, QString::fromLatin1(c.expected));
        const bool placeholder = identity.Imei == QLatin1String("999999000000006");
        EXPECT_EQ(device->lines.contains(QStringLiteral("CALL:MSIN:RLEV?")), !placeholder);
    }
}

TEST_F(NetworkTest, ShortImsiIsStoredWithoutTheLineEndAndShownOnBothPages)
{
    auto device = Replies();
    device->On(QStringLiteral("CALL:MSIN:IMEI?"), {QStringLiteral("351234560123457")});
    device->On(QStringLiteral("CALL:MSIN:IMSI?"), {QStringLiteral("00101012345678")});
    SetUpPages();
    const PhoneIdentity identity = IdentifyPhone(app);
    EXPECT_EQ(identity.Imsi, QStringLiteral("00101012345678"));
    EXPECT_EQ(identity.Imei, QStringLiteral("351234560123457"));
    // The flow keeps the identity in the record, which both pages show.
    record.Imei = identity.Imei.value_or(QString());
    record.Imsi = identity.Imsi.value_or(QString());
    record.PhoneIdentified = true;
    ShowRecordOnResultPages(app, record);
    for (const ResultPage* page : {&app.Form3, &app.Form4}) {
        EXPECT_EQ(page->Imsi.Caption, QStringLiteral("00101012345678"));
        EXPECT_EQ(page->Imsi.ForeColor, kGreen);
        EXPECT_EQ(page->Imei.Caption, QStringLiteral("351234560123457"));
    }
}

// The procedure leaves the station state to its caller, and a stop ends the questions:
// what was read before it comes back (the IMEI as read, not yet repaired), the rest is
// absent, and nothing more is asked.
TEST_F(NetworkTest, IdentityStopsWithWhatWasReadAndLeavesTheStationStateAlone)
{
    const struct {
        const char* stopAfter;  // the question during whose answer STOP is pressed
        std::optional<QString> imei;
        std::optional<QString> imsi;
    } cases[] = {
        {"CALL:MSIN:IMEI?", std::nullopt, std::nullopt},
        {"CALL:MSIN:RLEV?", QStringLiteral("490154203237510"), std::nullopt},
        {"CALL:MSIN:IMSI?", QStringLiteral("490154203237518"), std::nullopt},
        {nullptr, QStringLiteral("490154203237518"), QStringLiteral("262011234567890")},
    };
    auto device = Replies();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopAfter ? c.stopAfter : "no stop");
        app.st.Imei = QStringLiteral("earlier IMEI");
        app.st.Imsi = QStringLiteral("earlier IMSI");
        app.st.StopRequested = kFalse;
        device->lines.clear();
        device->On(QStringLiteral("CALL:MSIN:IMEI?"), {QStringLiteral("490154203237510")}, 500);
        device->On(QStringLiteral("CALL:MSIN:RLEV?"), {QStringLiteral("1")}, 500);
        device->On(QStringLiteral("CALL:MSIN:IMSI?"), {QStringLiteral("262011234567890")}, 500);
        if (c.stopAfter) {
            app.Form1.MStop.Enabled = true;
            platform.Answer(QStringLiteral("restart the test"), msgbox::kYes);
            const QString question = QString::fromLatin1(c.stopAfter);
            platform.Do(UiAction::Stop, [device, question](const App&) { return device->lines.contains(question); });
        }
        const PhoneIdentity identity = IdentifyPhone(app);
        EXPECT_EQ(identity.Imei, c.imei);
        EXPECT_EQ(identity.Imsi, c.imsi);
        EXPECT_EQ(app.st.Imei, QStringLiteral("earlier IMEI"));
        EXPECT_EQ(app.st.Imsi, QStringLiteral("earlier IMSI"));
        if (c.stopAfter) {
            EXPECT_EQ(device->lines.last(), QString::fromLatin1(c.stopAfter));
        }
        EXPECT_EQ(platform.StepsLeft(), 0);
    }
}

}  // namespace
}  // namespace celvio::testing
