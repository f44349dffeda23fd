// celvio-message [--] TITLE TEXT: shows TEXT to the operator in a message box with an OK
// button and ends when it is closed. celvio-start uses it to say why a start from the
// desktop menu failed, where nobody sees the standard error.
// Exit status: 0 shown and closed, 2 wrong arguments, 3 no screen to show it on.

#include "core/program_options.h"
#include "shell/qt/program_icon.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    celvio::ProgramOptions options(QStringLiteral("celvio-message"));
    switch (options.Parse(args)) {
    case celvio::ProgramOptions::Outcome::Help:
        std::fputs("usage: celvio-message [--] TITLE TEXT\n"
                   "       celvio-message --version | --help\n"
                   "Shows TEXT in a message box titled TITLE and ends when it is closed.\n"
                   "Exit status: 0 shown and closed, 2 wrong arguments, 3 no screen to show it on.\n",
                   stdout);
        return 0;
    case celvio::ProgramOptions::Outcome::Version:
        std::fputs(options.VersionLine().toLocal8Bit().constData(), stdout);
        return 0;
    case celvio::ProgramOptions::Outcome::Usage:
        std::fprintf(stderr, "%s\n", options.Error().toLocal8Bit().constData());
        return celvio::kUsageExitCode;
    case celvio::ProgramOptions::Outcome::Run: break;
    }
    // A text that begins with a dash comes after "--".
    if (options.Positional().size() != 2) {
        std::fputs("celvio-message: needs TITLE and TEXT. Try 'celvio-message --help'.\n", stderr);
        return celvio::kUsageExitCode;
    }
    const QString title = options.Positional().at(0);
    const QString text = options.Positional().at(1);
    // Qt sees the program name alone: a text that starts like one of Qt's own options
    // (-style, -display) is still shown, not taken as one.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    // A platform without a screen would wait for a click that can never come.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return 3;
    QApplication::setWindowIcon(celvio::ProgramIcon());
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
    return 0;
}
