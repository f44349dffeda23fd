// The program's command line: the station directory, port names, and the commands
// that answer and end at once (--help, --version, --list-ports, --init-station).
#pragma once

#include "shell/qt/port_names.h"

#include <QString>
#include <QStringList>

namespace celvio {

struct CommandLine {
    QString station;        // --station DIR (default: the current directory)
    bool stationGiven = false;  // --station was on the command line
    bool training = false;  // --training: the simulated tester and a training station
    PortNames ports;        // --port COMn=DEVICE, then the station's PORTS.INI
    QStringList portProblems;
    bool listPorts = false;
    QString initStation;    // --init-station DIR
    bool help = false;
    bool version = false;
    QString error;          // a malformed command line: the one line to print (exit 2)
};

// Takes the arguments apart (args[0] is the program).
CommandLine ParseCommandLine(const QStringList& args);

// The --help text: every option and environment variable.
QString HelpText();

// The --version text.
QString VersionText();

// The serial devices that the system offers, one a line: device, description,
// manufacturer, serial number, the COM number that names it, whether this user may
// open it (and why not), and the devices that PORTS.INI, --port or CELVIO_COM<n> names
// although the system does not list them.
QString PortListText(const PortNames& names);

// Creates a station directory from the sample station `sample`: settings, data files
// and pictures, without the trace markers. Refuses a directory that exists and is not
// empty. False with the reason in `problem`.
bool InitStation(const QString& sample, const QString& directory, QString& problem);

// The installed sample station: share/celvio/station beside the program's bin folder,
// else the source tree's data/station of a build that has not been installed.
QString SampleStationDirectory();

}  // namespace celvio
