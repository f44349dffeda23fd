// celvio-message TITLE TEXT: shows TEXT to the operator in a message box with an OK
// button and ends when it is closed. celvio-start uses it to say why a start from the
// desktop menu failed, where nobody sees the standard error.
// Exit status: 0 shown and closed, 2 wrong arguments, 3 no screen to show it on.

#include "shell/qt/program_icon.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fputs("usage: celvio-message TITLE TEXT\n", stderr);
        return 2;
    }
    const QString title = QString::fromLocal8Bit(argv[1]);
    const QString text = QString::fromLocal8Bit(argv[2]);
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
