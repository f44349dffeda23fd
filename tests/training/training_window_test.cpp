// The training program's windows offscreen: the banner on the real main window and a
// side window, the title, the German banner, and the Training menu choosing the phone;
// and a page printed in a training cycle through the real PDF printer, read back with
// pdftotext.
#include "shell/qt/main_window_view.h"
#include "shell/qt/qt_platform.h"
#include "shell/qt/qt_printer.h"
#include "training/training_choices.h"
#include "training_fixture.h"
#include "training_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>

namespace celvio::testing {
namespace {

QStringList Banners()
{
    QStringList texts;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            for (QLabel* label : window->findChildren<QLabel*>(QStringLiteral("celvioTrainingBanner")))
                texts << window->windowTitle() + QStringLiteral(" | ") + label->text();
    texts.sort();
    return texts;
}

TEST(TrainingWindows, BannerOnEveryWindowAndTheMenuChoosesThePhone)
{
    QtPlatform qt(QStringLiteral("/nonexistent"));
    TrainingSession session(QStringLiteral("/nonexistent"), {});
    TrainingPlatform platform(qt, session, QStringLiteral("TRAINING - not a test certificate"));
    App app(platform, QStringLiteral("/nonexistent"));
    platform.Bind(app);
    session.Attach(app);
    qt.AttachViews(app);
    InstallTrainingWindows(app, session, *qt.MainWindow());
    app.Form1.Visible = true;
    app.DebugFrm.Visible = true;
    qt.ProcessEvents(std::chrono::milliseconds{0});
    QApplication::processEvents();
    qt.ProcessEvents(std::chrono::milliseconds{0});

    const QString good = QStringLiteral("TRAINING - simulated tester   |   A good phone: TEST (GSM 900) passes every "
                                        "step: \"Test Passed!\".");
    EXPECT_EQ(qt.MainWindow()->windowTitle(), QStringLiteral("CELVIO - TRAINING - simulated tester"));
    const QStringList banners = Banners();
    ASSERT_EQ(banners.size(), 2) << qPrintable(banners.join(u'\n'));
    EXPECT_TRUE(banners.contains(QStringLiteral("CELVIO - TRAINING - simulated tester | ") + good))
        << qPrintable(banners.join(u'\n'));

    // The Training menu: ten phones, each with what the trainee should see.
    QMenu* menu = nullptr;
    for (QAction* action : qt.MainWindow()->menuBar()->actions())
        if (action->text() == QLatin1String("&Training"))
            menu = action->menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 10);
    EXPECT_EQ(menu->actions()[3]->text(),
              QStringLiteral("A deaf receiver - The RX level cells are marked failed: \"Test Failed!\"."));
    menu->actions()[9]->trigger();
    EXPECT_EQ(session.Chosen(), 9);
    EXPECT_TRUE(menu->actions()[9]->isChecked());
    EXPECT_FALSE(menu->actions()[0]->isChecked());

    // German settings: the banner and the title follow at the end of the cycle.
    app.st.Language = 2;
    app.CycleEnded(app);
    // A pass with a wait: one without may be skipped right after the last, and leave
    // the windows unsynced.
    qt.ProcessEvents(std::chrono::milliseconds{1});
    EXPECT_EQ(qt.MainWindow()->windowTitle(), QStringLiteral("CELVIO - SCHULUNG - simulierter Tester"));
    for (const QString& banner : Banners())
        EXPECT_TRUE(banner.contains(QLatin1String("| SCHULUNG - simulierter Tester   |   A scan with two busy")))
            << qPrintable(banner);
}

// The customer's swap report of a training cycle, printed to a PDF file by the real
// printer: its page begins with the marking.
class TrainingPdf : public TrainingFixture {};

TEST_F(TrainingPdf, PrintedPageBeginsWithTheMarking)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir prints;
    qputenv("CELVIO_PDF_DIR", prints.path().toLocal8Bit());
    QtPrinter printer(prints.path());
    platform.realPrinter = &printer;
    ServicePoint();
    Boot(QStringLiteral("SWAPFILE    1\n"));
    platform.Press(QStringLiteral("&Done"));
    session->Choose(8);
    Swap("351234560123457");
    ASSERT_TRUE(Run());
    qunsetenv("CELVIO_PDF_DIR");
    ASSERT_FALSE(printer.LastPdfFile().isEmpty());
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), printer.LastPdfFile(), QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 1);
    for (const QString& page : pages)
        EXPECT_EQ(page.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed(),
                  QStringLiteral("TRAINING - not a test certificate"))
            << qPrintable(page);
    EXPECT_TRUE(text.contains(QLatin1String("SWAP phone IMEI code is 351234569876543"))) << qPrintable(text);
}

}  // namespace
}  // namespace celvio::testing
