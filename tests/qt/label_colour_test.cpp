// The windows give each label the colour of its model, also when a window follows one
// whose labels lived at the same addresses: what a view remembers of its labels' colours
// goes with the view.
#include "core/app.h"
#include "shell/qt/main_window_view.h"
#include "support/station_fixture.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

class LabelColourTest : public StationFixture {};

TEST_F(LabelColourTest, EveryNewMainWindowShowsTheModelsColours)
{
    Label& title = app.Form1.Label4;
    title.Caption = QStringLiteral("Test Failed!");
    title.Visible = true;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        // A colour that stays the same from one window to the next, and one that changes.
        title.ForeColor = round < 10 ? kRed : (round % 2 ? kGreen : kRed);
        MainWindowView view(app);
        view.Sync();
        QLabel* shown = nullptr;
        for (QLabel* label : view.findChildren<QLabel*>())
            if (label->text() == title.Caption)
                shown = label;
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->palette().color(QPalette::WindowText), ToQColor(title.ForeColor));
    }
}

}  // namespace
}  // namespace celvio::testing
