// The Qt window of a result page: it follows its model (captions, cell colours,
// buttons), opens where the anchor window is or maximized, queues its buttons' actions
// and turns a close by the frame into the quit question.
#include "results_fixture.h"
#include "shell/qt/side_windows.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

namespace celvio::testing {
namespace {

class ResultPageViewTest : public ResultsFixture {};

TEST_F(ResultPageViewTest, FollowsTheModelOpensInPlaceAndQueuesItsButtons)
{
    Station("GSM,PCN", 1);
    SetCell(CellsOf(app.Form4, RowId::TxPower1)[1], "* 39.5", kRed);
    QWidget anchor;
    anchor.move(140, 90);
    anchor.resize(300, 200);
    anchor.show();
    ResultPageView form3(app, app.Form3, false), form4(app, app.Form4, true);
    form3.SetAnchor(&anchor);
    form4.SetAnchor(&anchor);

    app.Form4.Visible = true;
    form4.Sync();
    EXPECT_TRUE(form4.isVisible());
    EXPECT_FALSE(form4.isMaximized());
    EXPECT_EQ(form4.pos(), anchor.frameGeometry().topLeft());
    EXPECT_EQ(form4.windowTitle(), QStringLiteral("CELVIO - TEST REPORT (2)"));
    QStringList cells;
    for (QLabel* label : form4.findChildren<QLabel*>())
        if (label->text() == QLatin1String("* 39.5"))
            cells << label->styleSheet();
    ASSERT_EQ(cells.size(), 1);
    EXPECT_TRUE(cells[0].contains(QLatin1String("color: #ff0000"))) << qPrintable(cells[0]);

    // Form4's buttons in order, each queuing its own action.
    QList<QPushButton*> buttons = form4.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 3);
    QStringList captions;
    for (QPushButton* b : buttons) {
        captions << b->text();
        b->click();
    }
    EXPECT_EQ(captions, (QStringList{"&Continue", "&Back", "&Print"}));
    EXPECT_EQ(app.PendingActions,
              (std::deque<UiAction>{UiAction::Form4Command1, UiAction::Form4Command2, UiAction::Form4Command3}));
    app.PendingActions.clear();

    // Form3 shows two buttons; MAXIMIZE fills the screen; the frame's close is a question.
    app.Form3.Visible = true;
    app.Form3.Maximized = true;
    form3.Sync();
    EXPECT_TRUE(form3.isMaximized());
    int shown = 0;
    for (QPushButton* b : form3.findChildren<QPushButton*>())
        shown += b->isVisible();
    EXPECT_EQ(shown, 2);
    QCloseEvent close;
    QCoreApplication::sendEvent(&form3, &close);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_EQ(app.PendingActions, std::deque<UiAction>{UiAction::ResultPageClose});
    app.Form3.Visible = false;
    form3.Sync();
    EXPECT_FALSE(form3.isVisible());
}

}  // namespace
}  // namespace celvio::testing
