// celvio-history: find, list, count and export the station's tests and swaps, and push
// them to the chain's head office.
#include "headoffice/headoffice_cli.h"

#include <QCoreApplication>
#include <clocale>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    // libpq's own messages untranslated: the program tells its failures apart by them.
    std::setlocale(LC_MESSAGES, "C");
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = celvio::RunCelvioHistory(application.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return code;
}
