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

class ProgramOptions;

// The options of the station's commands, added to a program's parser.
void AddHistoryOptions(ProgramOptions& options);
// The parsed options and the command with its arguments, read into `o`; -1 to go on,
// else the usage error's exit code after the message.
int TakeHistoryOptions(const ProgramOptions& parsed, Options& o, QTextStream& err);

// A station: a folder with a settings file CELVIO.INI or a RESULTS folder (any case).
bool IsStation(const QString& directory);
// The station when none is given, as the desktop start chooses it: `environment`
// ($CELVIO_STATION) when set, else CELVIO in `home` when it is a folder, else `current`
// when it is a station; empty when there is none.
QString DefaultStation(const QString& environment, const QString& home, const QString& current);
// Settles o.station (the default when none was given) and o.root; -1 when it is a
// station, else exit code 3 after saying "no station here" (nothing is created).
int CheckStation(Options& o, QTextStream& err);

// Says what is wrong with the command line; gives the usage error's exit code.
int Usage(QTextStream& err, const QString& message);

}  // namespace celvio
