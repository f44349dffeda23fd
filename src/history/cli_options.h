// The options of celvio-history, read from its arguments; shared by the files of the
// program.
#pragma once

#include "history/history_query.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace celvio {

struct Options {
    QString station;
    QString root;  // the station directory as an absolute path: files are shown below it
    QString command;
    QStringList positional;
    bool json = false;
    bool update = true;
    QString by;
    QString csv;
    TestFilter filter;
};

// Reads the arguments into `o`; -1 when the command is to run, else the exit code
// (--help prints the usage text and gives 0; a usage error says why on `err`).
// `needStation`: the command works on the station's own index, so its directory must
// exist (the chain's queries need none).
int ReadArguments(const QStringList& args, Options& o, QTextStream& out, QTextStream& err, bool needStation = true);

// Says what is wrong with the command line; gives the usage error's exit code.
int Usage(QTextStream& err, const QString& message);

}  // namespace celvio
