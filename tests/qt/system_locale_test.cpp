// The real platform's regional settings come from the environment the program starts
// in: under each LANG a shop may have, the date the program writes stays in digits in
// fixed columns, and only the order of day and month follows the setting. Each setting
// runs in a child process, since a process reads its locale once.
#include "core/text.h"
#include "shell/qt/qt_platform.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

namespace celvio::testing {
namespace {

// Run in the child: the date of 8 December 2026 as the program would write it, and
// the C library's view of the locale.
TEST(SystemLocale, DISABLED_ChildPrintsTheDate)
{
    QTemporaryDir pdfs;
    QtPlatform platform(pdfs.path());
    const char* glibc = std::setlocale(LC_TIME, nullptr);
    std::printf("DATE=%s\nLIBC=%s\n", qPrintable(DateText(QDate(2026, 12, 8), platform.Locale())),
                glibc ? glibc : "");
    std::fflush(stdout);
}

TEST(SystemLocale, DatesUnderEachLanguageSetting)
{
    const struct {
        const char* lang;
        const char* date;
    } cases[] = {
        {"C", "08.12.2026"},
        {"C.UTF-8", "08.12.2026"},
        {"de_DE.UTF-8", "08.12.2026"},
        {"en_US.UTF-8", "12/08/2026"},
        {"en_GB.UTF-8", "08.12.2026"},
    };
    for (const auto& c : cases) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& name : env.keys())
            if (name.startsWith(QLatin1String("LC_")) || name == QLatin1String("LANGUAGE"))
                env.remove(name);
        env.insert(QStringLiteral("LANG"), QLatin1String(c.lang));
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_also_run_disabled_tests"),
                     QStringLiteral("--gtest_filter=SystemLocale.DISABLED_ChildPrintsTheDate")});
        ASSERT_TRUE(child.waitForFinished(60000)) << c.lang;
        EXPECT_EQ(child.exitCode(), 0) << c.lang;
        const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
        EXPECT_TRUE(out.contains(QStringLiteral("DATE=") + QLatin1String(c.date) + QLatin1Char('\n')))
            << c.lang << ":\n" << qPrintable(out);
        // Qt carries its own locale data: the date does not depend on the C library
        // having the locale installed, but say so when it had not.
        if (!out.contains(QStringLiteral("LIBC=") + QLatin1String(c.lang)))
            std::printf("note: the C library has no locale %s\n", c.lang);
    }
}

}  // namespace
}  // namespace celvio::testing
