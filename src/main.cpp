// CELVIO: the counter program that tests GSM phones with a radio communication tester.
// Usage: celvio [--station DIR]

#include "core/app.h"
#include "cycle/main.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CELVIO"));

    QString station = QDir::currentPath();
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--station") && i + 1 < args.size()) {
            station = args[++i];
        } else if (args[i] == QLatin1String("--help") || args[i] == QLatin1String("-h")) {
            std::printf("Usage: celvio [--station DIR]\n"
                        "  DIR  the station directory: settings, data files, results and pictures\n"
                        "       (default: the current directory)\n");
            return 0;
        } else {
            std::fprintf(stderr, "celvio: unknown argument '%s'. Usage: celvio [--station DIR]\n",
                         qPrintable(args[i]));
            return 2;
        }
    }
    const QFileInfo info(station);
    if (!info.isDir()) {
        std::fprintf(stderr, "celvio: the station directory '%s' does not exist.\n", qPrintable(station));
        return 2;
    }
    station = info.absoluteFilePath();

    celvio::QtPlatform platform(QDir(station).filePath(QStringLiteral("PRINTS")));
    celvio::App app(platform, station);
    platform.AttachViews(app);
    try {
        celvio::Main(app);
    } catch (const celvio::ProgramEnd& end) {
        return end.exitCode;
    }
}
