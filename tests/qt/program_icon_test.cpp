// The program's icon: the picture built into the program is the desktop entry's, and
// every window of the real platform carries it (the window manager reads it from there,
// so a missing one leaves a blank picture in the task bar).
#include "core/app.h"
#include "shell/qt/program_icon.h"
#include "shell/qt/qt_platform.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace celvio::testing {
namespace {

QImage Picture(const QIcon& icon)
{
    return icon.pixmap(QSize(128, 128)).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(ProgramIcon, IsTheDesktopEntrysPicture)
{
    const QImage installed = QImage(QStringLiteral(CELVIO_DESKTOP_ICON)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(installed.size(), QSize(128, 128));
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull()) << "the icon is not built into the program";
    EXPECT_EQ(Picture(icon), installed);
}

TEST(ProgramIcon, EveryWindowOfTheRealPlatformCarriesIt)
{
    QApplication::setWindowIcon(QIcon());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtPlatform platform(dir.path());
    App app(platform, dir.path());
    platform.AttachViews(app);
    // A window opened later (a message box, the History window) takes the same.
    QWidget later;

    const QImage expected = Picture(ProgramIcon());
    const QWidgetList windows = QApplication::topLevelWidgets();
    ASSERT_GE(windows.size(), 6);  // main, trace, scan, help, two result pages, the later one
    for (const QWidget* window : windows) {
        SCOPED_TRACE(window->metaObject()->className());
        ASSERT_FALSE(window->windowIcon().isNull());
        EXPECT_EQ(Picture(window->windowIcon()), expected);
    }
}

}  // namespace
}  // namespace celvio::testing
