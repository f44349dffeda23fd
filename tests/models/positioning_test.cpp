// The positioning instruction in the main window.
#include "models/positioning.h"
#include "support/station_fixture.h"

namespace celvio::testing {
namespace {

class PositioningTest : public StationFixture {
protected:
    void SetUp() override
    {
        app.st.DebugMode = kTrue;
        for (const char* picture : {"NK5803.bmp", "Flip.bmp", "Front.bmp"})
            WriteStationBytes(QString::fromLatin1(picture), "BM");
        // A model as the lookup leaves it: the record, and its copies in the station state.
        app.Model.Holder = QStringLiteral("K530");
        app.Model.Position = QStringLiteral("3");
        app.st.UserInstruction = QStringLiteral("Open-the-flip.");
        app.st.SpecialPicture = QStringLiteral("Flip.bmp");
        app.st.PhonePicture = QStringLiteral("Front.bmp");
    }

    // Shows the instruction, the operator presses "&Done"; returns the text shown meanwhile.
    QString ShowAndConfirm()
    {
        QString shown;
        platform.Await([&shown](const App& a) { return !(shown = a.Form1.Label3.Caption).isEmpty(); },
                       QStringLiteral("the instruction"));
        platform.Press(QStringLiteral("&Done"));
        ShowPositioningInstruction(app);
        return shown;
    }

    QString Picture() const { return app.Form1.Picture1.File.section(QLatin1Char('/'), -1); }
};

TEST_F(PositioningTest, K580ShowsShuttlePositionAndItsPicture)
{
    app.st.CouplerLabel = QStringLiteral("(K580)");
    EXPECT_EQ(ShowAndConfirm(),
              QStringLiteral("Use K530 shuttle.\r\nPosition 3\r\n\r\nCheck phone position as shown.\r\n"));
    EXPECT_EQ(Picture(), QStringLiteral("NK5803.bmp"));
    EXPECT_EQ(app.st.HelpTopic, HelpTopic::Instruction);
    EXPECT_EQ(Trace(), QStringList{QStringLiteral("Button = User DONE")});
    EXPECT_FALSE(app.Form1.Command1.Visible);
    EXPECT_TRUE(app.Form1.Label3.Caption.isEmpty() && app.Form1.Label4.Caption.isEmpty());

    // Without its picture the position is still named, and the phone picture shown.
    app.Model.Position = QStringLiteral("5");
    EXPECT_EQ(ShowAndConfirm(), QStringLiteral("Use K530 shuttle.\r\nPosition 5\r\n\r\n"));
    EXPECT_EQ(Picture(), QStringLiteral("Front.bmp"));
    EXPECT_EQ(Trace()[1], QStringLiteral("Picture >NK5805.bmp< not found."));
}

TEST_F(PositioningTest, NothingToSayShowsNothing)
{
    const struct {
        const char* coupler;
        const char* holder;
        const char* position;
        const char* instruction;  // the model's, dropped with any coupler but the K530
    } cases[] = {
        {"(K580)", "", "", "Open-the-flip."},
        {"(K580)", "", "0", ""},
        {"(K580SBK590)", "", "none", ""},
        {"(K530)", "H1", "3", ""},  // holder and position are for the K580
    };
    for (const auto& c : cases) {
        app.st.CouplerLabel = QString::fromLatin1(c.coupler);
        app.Model.Holder = QString::fromLatin1(c.holder);
        app.Model.Position = QString::fromLatin1(c.position);
        app.st.UserInstruction = QString::fromLatin1(c.instruction);
        app.st.SpecialPicture.clear();
        ShowPositioningInstruction(app);  // returns at once: no one presses anything
        EXPECT_TRUE(app.st.UserInstruction.isEmpty()) << c.coupler;
        EXPECT_NE(app.st.HelpTopic, HelpTopic::Instruction) << c.coupler;
    }
    EXPECT_TRUE(Trace().isEmpty());
}

TEST_F(PositioningTest, K530ShowsTheModelsOwnInstructionAndPicture)
{
    app.st.CouplerLabel = QStringLiteral("(K530)");
    EXPECT_EQ(ShowAndConfirm(), QStringLiteral("Open-the-flip.\r\nCheck phone position as shown.\r\n"));
    EXPECT_EQ(Picture(), QStringLiteral("Flip.bmp"));
}

TEST_F(PositioningTest, StopEndsTheWaitAndLeavesTheInstructionShown)
{
    app.st.CouplerLabel = QStringLiteral("(K580)");
    app.Form1.MStop.Enabled = true;
    platform.Answer(QStringLiteral("restart the test"), msgbox::kYes);
    platform.Do(UiAction::Stop, [](const App& a) { return a.Form1.Command1.Visible; });
    ShowPositioningInstruction(app);
    EXPECT_FALSE(app.Form1.Command1.Visible);
    EXPECT_EQ(app.Form1.Label4.Caption, QStringLiteral("User Instruction"));
    EXPECT_TRUE(app.Form1.Label3.Caption.startsWith(QStringLiteral("Use K530 shuttle.")));
    EXPECT_EQ(Trace(), (QStringList{QStringLiteral("Button = STOP"), QStringLiteral("Button = User DONE")}));
}

}  // namespace
}  // namespace celvio::testing
