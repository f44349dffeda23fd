// The main window's dialogs: the title screen, the mode dialog, the system dialog with
// its focus rule, the quit question and the About box.
#include "support/station_fixture.h"
#include "ui/dialogs.h"

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

class DialogsTest : public StationFixture {
protected:
    void SetUp() override
    {
        app.st.Version = u"2.02"_s;
        app.st.VersionDate = u"Jul. 2005"_s;
        app.st.Language = 1;
        app.st.DebugMode = kTrue;
        app.st.SystemChoice = 1;
    }

    struct Screen {
        QString title, text;
        QStringList captions;  // Command1..Command5 that can be pressed
        int focus = 0;
    };
    // Records the screen when the dialog first waits, then presses `caption`.
    void PressAndCapture(const QString& caption, Screen* screen = nullptr)
    {
        if (screen) {
            platform.Await(
                [screen](const App& a) {
                    Form1& f = const_cast<App&>(a).Form1;
                    *screen = {f.Label4.Caption, f.Label3.Caption, {}, f.Focus.target};
                    for (int n = 1; n <= 5; ++n) {
                        const CommandButton& b = f.Command(n);
                        screen->captions << (b.Visible && b.Enabled && b.TabStop ? b.Caption : QString());
                    }
                    return true;
                },
                u"dialog shown"_s);
        }
        platform.Press(caption);
    }
    bool NoButtonLeft()
    {
        const StationState& st = app.st;
        bool visible = false;
        for (int n = 1; n <= 5; ++n)
            visible = visible || app.Form1.Command(n).Visible;
        return !visible && st.Command1Pressed + st.Command2Pressed + st.Command3Pressed + st.Command4Pressed +
                               st.Command5Pressed == 0 && app.Form1.Label3.Caption + app.Form1.Label4.Caption == u""_s;
    }
};

TEST_F(DialogsTest, TitleScreenClearsTheDialogAndShowsThePicture)
{
    Form1& f = app.Form1;
    f.Label3.Caption = f.Label4.Caption = f.Label5.Caption = f.Text4.Text = u"x"_s;
    f.Command5.Visible = f.MStop.Enabled = f.Progress.Visible = true;
    f.Command5.Caption = u"OK"_s;
    ShowTitle(app);
    EXPECT_EQ(f.Label1.Caption, u"for ZAVAR\r\n2.02"_s);
    EXPECT_EQ(f.Label3.Caption + f.Label4.Caption + f.Label5.Caption + f.Text4.Text + f.Command5.Caption, u""_s);
    EXPECT_FALSE(f.Command5.Visible || f.MStop.Enabled || f.Progress.Visible);
    EXPECT_TRUE(Trace().contains(u"Picture >Zoredudi.BMP< not found."_s));
    WriteStationBytes(u"zoredudi.bmp"_s, "BM");
    ShowTitle(app);
    EXPECT_TRUE(f.Picture1.File.endsWith(u"/zoredudi.bmp"_s));
}

TEST_F(DialogsTest, ModeDialogReturnsTheModeOfTheButtonPressedInTheStationsLanguage)
{
    const QString english = u"TEST : Test a phone.\r\nSCAN : Scan channels.\r\nSWAP : Exchange phone."_s;
    const std::tuple<const char*, int, const char*, int, QString, QString> cases[] = {
        {"&Test", 0, "TEST", 1, u"Select mode"_s, english},
        {"&Scan", 2, "SCAN", 1, u"Select mode"_s, english},
        {"S&wap", 3, "SWAP", 1, u"Select mode"_s, english},
        {"&Test", 0, "TEST", 2, u"Wähle Mode"_s,
         u"TEST : Teste ein Handy.\r\nSCAN : Untersuche Kanäle.\r\nSWAP : Tausche Handy."_s},
        {"S&wap", 3, "SWAP", 0, u"Select mode"_s, english},  // no language (never left by the settings reader): English
    };
    for (const auto& [press, mode, traced, language, title, text] : cases) {
        SCOPED_TRACE(press);
        app.st.Language = quint8(language);
        Screen screen;
        PressAndCapture(QString::fromLatin1(press), &screen);
        EXPECT_EQ(SelectMode(app), CycleMode(mode));
        EXPECT_EQ(screen.title, title);
        EXPECT_EQ(screen.text, text);
        EXPECT_EQ(screen.captions, (QStringList{u"&Scan"_s, u"&Test"_s, u"S&wap"_s, u""_s, u""_s}));
        EXPECT_EQ(screen.focus, 2);
        EXPECT_EQ(Trace().last(), u"Button = "_s + QString::fromLatin1(traced));
        EXPECT_TRUE(NoButtonLeft());
        EXPECT_FALSE(app.Form1.Command1.Enabled || app.Form1.Command1.TabStop);
    }
}

TEST_F(DialogsTest, QuitQuestionAnsweredNoLeavesTheDialogWaitingAndYesEndsTheProgram)
{
    platform.Do(UiAction::Quit);
    platform.Answer(u"Do you really want to quit the program?"_s, msgbox::kNo);
    platform.Press(u"&Scan"_s);
    EXPECT_EQ(SelectMode(app), CycleMode::ContinuousScan);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].style, msgbox::kYesNo | msgbox::kQuestion);

    AttachSimulator(1);
    OpenPort(1);
    platform.Do(UiAction::Quit);
    platform.Answer(u"Do you really want to quit the program?"_s, msgbox::kYes);
    EXPECT_THROW(SelectMode(app), ProgramEnd);
    EXPECT_TRUE(QString::fromLatin1(ReadStationBytes(u"DEBUG.LOG"_s)).contains(u"Button = SCAN\r\nButton = ESCAPE\r\n"_s));
}

TEST_F(DialogsTest, SystemDialogSetsTheSystemAndPreselectsItNextTime)
{
    const std::tuple<int, const char*, const char*, int> cases[] = {
        {0, "GSM 900", "GSM", 1},          {0, "GSM 1800", "PCN", 2},      {0, "GSM 1900", "PCS", 3},
        {0, "GSM 900/1800", "GSM,PCN", 4}, {0, "GSM 900/1900", "GSM,PCS", 5}, {14, "GSM 850", "GSM", 1},
        {14, "GSM 850/1900", "GSM,PCS", 5},
    };
    for (const auto& [gsmSystem, press, code, choice] : cases) {
        app.st.GsmSystem = quint8(gsmSystem);
        platform.Press(QString::fromLatin1(press));
        SelectSystem(app, CycleMode::Test);
        EXPECT_EQ(app.st.SystemCode, QString::fromLatin1(code));
        EXPECT_EQ(app.st.SystemChoice, choice);
        EXPECT_EQ(Trace().last(), u"Button = "_s + QString::fromLatin1(code));
        EXPECT_TRUE(NoButtonLeft());
        // The focus goes to the button numbered like the choice: after "GSM 900" on
        // "GSM 1800" (Command1), after "GSM 1800" on "GSM 900" (Command2).
        Screen next;
        PressAndCapture(QString::fromLatin1(press), &next);
        SelectSystem(app, CycleMode::Test);
        EXPECT_EQ(next.focus, choice) << press;
        const QString low = gsmSystem == 14 ? u"GSM 850"_s : u"GSM 900"_s;
        EXPECT_EQ(next.captions, (QStringList{u"GSM 1800"_s, low, u"GSM 1900"_s, u"GSM 900/1800"_s, low + u"/1900"_s}));
    }
}

TEST_F(DialogsTest, SystemDialogTitleFollowsTheMode)
{
    const std::tuple<int, int, const char*, const char*> cases[] = {
        {0, 1, "Test Your Mobile phone!", "Select the system to be tested:"},
        {1, 1, "Scanning for used Channels", "Select the system to be tested:"},
        {2, 1, "Test Your Mobile phone!", "Select the system to be tested:"},
        {3, 1, "Select system", "Select the system for the new phone"},
        {0, 2, "Prüfen Sie Ihr Handy!", "Welches System wollen Sie testen?"},
        {1, 2, "Scannen auf belegte Kanäle", "Welches System wollen Sie testen?"},
        {3, 2, "Wähle System", "Welches System hat das neue Handy ?"},
    };
    for (const auto& [mode, language, title, text] : cases) {
        app.st.Language = quint8(language);
        Screen screen;
        PressAndCapture(u"GSM 1900"_s, &screen);
        SelectSystem(app, CycleMode(mode));
        EXPECT_EQ(screen.title, QString::fromUtf8(title)) << mode;
        EXPECT_EQ(screen.text, u"\r\n\r\n"_s + QString::fromUtf8(text)) << mode;
    }
}

TEST_F(DialogsTest, StopLeavesTheSystemUnchangedAndNoButtonBehind)
{
    app.st.SystemCode = u"PCS"_s;
    app.st.SystemChoice = 3;
    app.Form1.MStop.Enabled = true;
    platform.Do(UiAction::Stop);
    platform.Answer(u"Do you really want to restart the test?"_s, msgbox::kYes);
    SelectSystem(app, CycleMode::Test);
    EXPECT_EQ(app.st.StopRequested, kTrue);
    EXPECT_EQ(app.st.SystemCode, u"PCS"_s);
    EXPECT_EQ(app.st.SystemChoice, 3);
    EXPECT_TRUE(NoButtonLeft());

    app.st.StopRequested = kFalse;
    app.st.Command2Pressed = app.st.Command4Pressed = kTrue;  // two at once: the later row wins
    SelectSystem(app, CycleMode::Test);
    EXPECT_EQ(app.st.SystemCode, u"GSM,PCN"_s);
    EXPECT_TRUE(NoButtonLeft());
}

TEST_F(DialogsTest, AboutBoxNamesVersionAndDate)
{
    ShowAbout(app);
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_EQ(platform.boxes[0].title, u"ABOUT CELVIO"_s);
    EXPECT_EQ(platform.boxes[0].style, msgbox::kOkOnly | msgbox::kExclamation);
    EXPECT_TRUE(platform.boxes[0].text.startsWith(u"CELVIO for ZAVAR\r\nVersion 2.02 from Jul. 2005\r\n"_s));
}

}  // namespace
}  // namespace celvio::testing
