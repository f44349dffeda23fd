// celvio-history: find, list, count and export the station's tests and swaps.
#include "history/history_cli.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = celvio::RunHistoryCli(application.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return code;
}
