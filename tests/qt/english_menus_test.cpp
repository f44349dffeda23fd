// A German station's main window: the menus stay as they always were, English in both
// languages (the dialogs alone follow LANGUAGE), however the translations grow.
#include "core/app.h"
#include "core/settings.h"
#include "shell/qt/main_window_view.h"
#include "shell/qt/qt_platform.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

QStringList Entries(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* action : actions)
        if (!action->isSeparator())
            texts << action->text();
    return texts;
}

TEST(EnglishMenus, AGermanStationKeepsTheMenusEnglish)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtPlatform platform(dir.path());
    App app(platform, dir.path());
    ReadSettingsBytes(app, "LANGUAGE    DEUTSCH\r\n");
    ASSERT_EQ(app.st.Language, 2);
    ASSERT_EQ(app.TextTranslation.Code, QStringLiteral("de"));
    platform.AttachViews(app);
    platform.ProcessEvents(std::chrono::milliseconds{0});

    const QMenuBar* bar = platform.MainWindow()->menuBar();
    EXPECT_EQ(Entries(bar->actions()), (QStringList{QStringLiteral("&File"), QStringLiteral("EXIT"),
                                                    QStringLiteral("COUPLER"), QStringLiteral("About"),
                                                    QStringLiteral("STOP"), QStringLiteral("HELP"),
                                                    QStringLiteral("&History")}));
    const QMenu* file = bar->actions().first()->menu();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(Entries(file->actions()), (QStringList{QStringLiteral("Print pre&view..."),
                                                     QStringLiteral("Print &setup...")}));
}

}  // namespace
}  // namespace celvio::testing
