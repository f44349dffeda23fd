// The questions of an exchange in both languages: what they show, what each answer
// returns and traces, and the comment box of the swap question.
#include "swap/swap_workflow.h"
#include "swap_fixture.h"

#include <QFileInfo>

namespace celvio::testing {
namespace {

class SwapQuestionTest : public SwapFixture {};

TEST_F(SwapQuestionTest, KindsLanguagesAndAnswers)
{
    WriteStationBytes(QStringLiteral("N650a.BMP"), "BM");
    const struct {
        int kind;
        quint8 language;
        const char* title;
        const char* text;
        const char* first;
        const char* second;  // "" when there is none
    } cases[] = {
        {0, 1, "Test Failed!", "Do you want to SWAP the phone?", "&SWAP", "&Don't SWAP"},
        {0, 2, "Test nicht bestanden!", "Möchten Sie das Handy tauschen?", "&Tauschen", "&Nicht tauschen"},
        {1, 1, "New IMEI not read!", "Try once more?", "&Yes", "&No, enter IMEI"},
        {1, 2, "Neue IMEI nicht gelesen!", "Nochmal probieren?", "&Ja", "&Nein, IMEI eingeben"},
        {2, 1, "Swap phone!", "Do you really want to give the customer another type of phone?", "&Yes", "&No"},
        {2, 2, "Swap Handy!", "Möchten Sie dem Kunden wirklich einen anderen Handytyp geben?", "&Ja", "&Nein"},
        {3, 1, "Swap phone!", "Insert new phone instead of defective phone!", "&OK", ""},
        {3, 2, "Swap Handy!", "Ersetzen Sie das defekte Handy mit einem neuen!", "&OK", ""},
        {7, 1, "Test Failed!", "Do you want to SWAP the phone?", "&SWAP", "&Don't SWAP"},
    };
    for (const auto& c : cases) {
        for (const bool first : {true, false}) {
            const QString second = QString::fromUtf8(c.second);
            if (!first && second.isEmpty())
                continue;
            SCOPED_TRACE(c.kind);
            SCOPED_TRACE(int(c.language));
            SCOPED_TRACE(first);
            app.st.Language = c.language;
            app.st.SwapComment = QStringLiteral("typed at the start");
            QString shown;
            platform.Await(
                [&shown](const App& a) {
                    const Form1& f = a.Form1;
                    shown = f.Label4.Caption + QLatin1Char('|') + f.Label3.Caption + QLatin1Char('|') + f.Command2.Caption +
                            QLatin1Char('|') + (f.Command3.Visible ? f.Command3.Caption : QString()) + QLatin1Char('|') +
                            (f.Text6.Visible ? f.Text6.Caption + QString::number(f.Text6.MaxLength) : QString()) +
                            QLatin1Char('|') + QFileInfo(f.Picture1.File).fileName();
                    return f.Command2.Visible;
                },
                QStringLiteral("the question"));
            const bool comment = c.kind == 0 || c.kind > 3;
            if (comment)
                platform.Type(6, QStringLiteral("Scratch on the display"));
            platform.Press(first ? QString::fromUtf8(c.first) : second);
            EXPECT_EQ(AskSwapQuestion(app, SwapQuestion(c.kind)), first);
            EXPECT_EQ(shown, QString::fromUtf8(c.title) + QStringLiteral("|\r\n") + QString::fromUtf8(c.text) +
                                 QStringLiteral("\r\n|") + QString::fromUtf8(c.first) + QLatin1Char('|') + second +
                                 QLatin1Char('|') + (comment ? QStringLiteral("SWAP comment200") : QString()) +
                                 QStringLiteral("|N650a.BMP"));
            EXPECT_EQ(Trace().last(), first ? QStringLiteral("Button = SWAP") : QStringLiteral("Button = No Swap"));
            EXPECT_EQ(app.st.SwapComment,
                      comment ? QStringLiteral("Scratch on the display") : QStringLiteral("typed at the start"));
            EXPECT_FALSE(app.Form1.Command2.Visible || app.Form1.Command3.Visible || app.Form1.Text6.Visible);
            EXPECT_TRUE(app.Form1.Label3.Caption.isEmpty());
            EXPECT_EQ(app.st.Command2Pressed, kFalse);
            EXPECT_EQ(app.st.Command3Pressed, kFalse);
        }
    }
}

// The comment of the swap question is taken with either answer only when the station's
// files can hold it; STOP takes no comment check.
TEST_F(SwapQuestionTest, CommentOutsideLatin1IsRefusedBeforeTheAnswer)
{
    for (const char* answer : {"&SWAP", "&Don't SWAP"}) {
        SCOPED_TRACE(answer);
        platform.boxes.clear();
        platform.Type(6, QStringLiteral("Scratch \u2192 display"));
        platform.Press(QString::fromLatin1(answer));
        platform.Await([this](const App&) { return platform.boxes.size() == 1; }, QStringLiteral("the refusal"));
        platform.Type(6, QStringLiteral("Scratch -> display"));
        platform.Press(QString::fromLatin1(answer));
        EXPECT_EQ(AskSwapQuestion(app, SwapQuestion::SwapFailedPhone), answer == QByteArray("&SWAP"));
        EXPECT_EQ(platform.StepsLeft(), 0);
        EXPECT_EQ(app.st.SwapComment, QStringLiteral("Scratch -> display"));
        ASSERT_EQ(platform.boxes.size(), 1);
        EXPECT_EQ(platform.boxes[0].text, QStringLiteral("Please do not use the character \"\u2192\" (U+2192) in SWAP "
                                                         "comment: the station's files cannot hold it."));
    }
    EXPECT_EQ(Trace().filter(QStringLiteral("Swap comment refused: ")).size(), 2);
}

}  // namespace
}  // namespace celvio::testing
