#include "command_line.h"

#include "core/program_options.h"
#include "shell/qt/serial_devices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace celvio {

namespace {

// The sample station of an installation, relative to the program's folder.
constexpr char kInstalledStation[] = "../share/celvio/station";

// Trace markers that a new station must not inherit: tracing is for service.
bool IsTraceMarker(const QString& name)
{
    return name.compare(QLatin1String("DEBUGPM.INI"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("DEBUGSC.INI"), Qt::CaseInsensitive) == 0;
}

// The mode of a new file under the process's umask: read and write for all, less what
// the umask takes away.
mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mode_t(0666) & ~mask;
}

QString OrDash(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

}  // namespace

namespace {

// The options of the program, one line each: a switch sets a flag, a valued option a
// text (the last one given wins). --port, which may come more than once, is read apart.
struct Switch {
    const char* name;
    bool CommandLine::*flag;
};
struct Valued {
    const char* name;
    const char* valueName;
    QString CommandLine::*text;
};
constexpr Switch kSwitches[] = {
    {"list-ports", &CommandLine::listPorts},
    {"training", &CommandLine::training},
};
constexpr Valued kValued[] = {
    {"station", "DIR", &CommandLine::station},
    {"init-station", "DIR", &CommandLine::initStation},
};

}  // namespace

CommandLine ParseCommandLine(const QStringList& args)
{
    CommandLine line;
    line.station = QDir::currentPath();
    ProgramOptions options(QStringLiteral("celvio"));
    options.Add({QStringLiteral("port")}, QStringLiteral("COMn=DEVICE"));
    for (const Switch& option : kSwitches)
        options.Add({QLatin1String(option.name)});
    for (const Valued& option : kValued)
        options.Add({QLatin1String(option.name)}, QLatin1String(option.valueName));
    switch (options.Parse(args)) {
    case ProgramOptions::Outcome::Help: line.help = true; return line;
    case ProgramOptions::Outcome::Version: line.version = true; return line;
    case ProgramOptions::Outcome::Usage: line.error = options.Error(); return line;
    case ProgramOptions::Outcome::Run: break;
    }
    if (!options.Positional().isEmpty()) {
        line.error = QStringLiteral("celvio: unexpected argument '%1'. Try 'celvio --help'.")
                         .arg(OneLine(options.Positional().constFirst()));
        return line;
    }
    for (const Switch& option : kSwitches)
        line.*option.flag = options.IsSet(QLatin1String(option.name));
    for (const Valued& option : kValued) {
        if (options.IsSet(QLatin1String(option.name)))
            line.*option.text = options.Value(QLatin1String(option.name));
    }
    line.stationGiven = options.IsSet(QStringLiteral("station"));
    for (const QString& assignment : options.Values(QStringLiteral("port"))) {
        QString problem;
        if (!line.ports.AddOption(assignment, problem)) {
            line.error = QStringLiteral("celvio: --port: %1 Try 'celvio --help'.").arg(OneLine(problem));
            break;
        }
    }
    return line;
}

QString HelpText()
{
    return QStringLiteral(
        "Usage: celvio [--station DIR] [--port COMn=DEVICE]...\n"
        "       celvio --training [--station DIR]\n"
        "       celvio --list-ports [--station DIR] [--port COMn=DEVICE]...\n"
        "       celvio --init-station DIR\n"
        "       celvio --version | --help\n"
        "\n"
        "CELVIO tests GSM phones at the counter with a radio communication tester of the\n"
        "7700 family on a serial line.\n"
        "\n"
        "Options:\n"
        "  --station DIR         the station directory: CELVIO.INI, the data files, the\n"
        "                        pictures, and what the program writes (RESULTS/, DEBUG.LOG,\n"
        "                        scan.log). Default: the current directory.\n"
        "  --port COMn=DEVICE    COM n (1..16) is DEVICE, for example\n"
        "                        --port COM1=/dev/ttyUSB0. May be given more than once.\n"
        "  --list-ports          prints the serial devices of the system and the COM number\n"
        "                        that names each, then ends.\n"
        "  --init-station DIR    creates a station directory DIR from the installed sample\n"
        "                        station (DIR must not exist or must be empty), then ends.\n"
        "  --training            training on the simulated tester: the station (--station,\n"
        "                        else $CELVIO_STATION, else ~/CELVIO, else the sample\n"
        "                        station) is only read; everything goes to its training\n"
        "                        station TRAINING/ (or $CELVIO_TRAINING_STATION). No serial\n"
        "                        port is opened, nothing is pushed, prints become PDF\n"
        "                        files in the training station's PRINTS/.\n"
        "  --version             prints the program version and ends.\n"
        "  --help                prints this text and ends.\n"
        "Every option takes its value as --opt VALUE or --opt=VALUE. An unknown option\n"
        "ends the program with exit code 2.\n"
        "\n"
        "Which device COM n is, from the strongest to the weakest:\n"
        "  1. a --port COMn=DEVICE option;\n"
        "  2. a line COMn=DEVICE of PORTS.INI in the station directory, for example\n"
        "     COM1=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1234567-if00-port0\n"
        "     (lines starting with ; or # are remarks);\n"
        "  3. the environment variable CELVIO_COM<n>, for example CELVIO_COM1=/dev/ttyUSB0;\n"
        "  4. /dev/ttyS<n-1>.\n"
        "The operator's account must be in the group dialout to open serial ports.\n"
        "\n"
        "Environment:\n"
        "  CELVIO_COM<n>         the device of COM n (see above).\n"
        "  CELVIO_PDF_DIR        print every document as a PDF file into this folder instead\n"
        "                        of the default printer (without a printer the documents go\n"
        "                        to PRINTS/ in the station directory).\n"
        "  CELVIO_TRAINING_STATION  the training station of --training.\n"
        "  CELVIO_SHOWN_LOG      append every message box and every new title and status\n"
        "                        text of the main window to this file, one line each.\n"
        "  QT_QPA_PLATFORM       the Qt display platform (xcb on a desktop).\n"
        "\n"
        "Files of the station directory: CELVIO.INI (settings; LANGUAGE selects English or\n"
        "German), TAC6N.DAT, USERTAC.DAT, MPN.DAT, BADCHAN.DAT, CPLCONN.INI, PORTS.INI, and\n"
        "the marker files DEBUGPM.INI and DEBUGSC.INI, which switch the traces on.\n"
        "\n"
        "Only one CELVIO program works on a station at a time (the lock file CELVIO.LCK);\n"
        "a second one shows which program holds it and ends with exit code 3.\n");
}

QString VersionText()
{
    return QStringLiteral("celvio " CELVIO_VERSION "\n");
}

QString PortListText(const PortNames& names)
{
    const QList<SerialDeviceRow> rows = ListSerialDeviceRows(names);
    if (rows.isEmpty())
        return QStringLiteral("No serial devices found.\n");
    const auto line = [](const QString& port, const QString& device, const QString& open, const QString& description,
                         const QString& manufacturer, const QString& serial) {
        return QStringLiteral("%1  %2  %3  %4  %5  %6").arg(port, -6).arg(device, -24).arg(open, -4)
                   .arg(description, -28).arg(manufacturer, -20).arg(serial).trimmed() + QLatin1Char('\n');
    };
    QString text = line(QStringLiteral("PORT"), QStringLiteral("DEVICE"), QStringLiteral("OPEN"),
                        QStringLiteral("DESCRIPTION"), QStringLiteral("MANUFACTURER"), QStringLiteral("SERIAL NUMBER"));
    QStringList notes;
    for (const SerialDeviceRow& row : rows) {
        QString description = row.description;
        if (!row.namedBy.isEmpty())
            description = QStringLiteral("named by %1%2").arg(row.namedBy, description.isEmpty() ? QString()
                                                                   : QStringLiteral(", ") + description);
        const QString device = row.target == row.path ? row.path : row.path + QStringLiteral(" -> ") + row.target;
        text += line(OrDash(row.port), device, row.openProblem.isEmpty() ? QStringLiteral("yes") : QStringLiteral("no"),
                     OrDash(description), OrDash(row.manufacturer), OrDash(row.serialNumber));
        if (!row.openProblem.isEmpty())
            notes << QStringLiteral("%1 cannot be opened by this user: %2.\n").arg(row.path, row.openProblem);
    }
    text += notes.join(QString());
    text += QStringLiteral("A device without a COM number gets one with a line COMn=DEVICE in PORTS.INI of the "
                           "station directory, with the port button of the set-up screen, or with --port "
                           "COMn=DEVICE.\n");
    return text;
}

bool InitStation(const QString& sample, const QString& directory, QString& problem)
{
    const QDir from(sample);
    if (sample.isEmpty() || !from.exists(QStringLiteral("CELVIO.INI"))) {
        problem = QStringLiteral("the sample station was not found (looked in '%1').").arg(sample);
        return false;
    }
    QDir to(directory);
    if (to.exists() && !to.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        problem = QStringLiteral("'%1' exists and is not empty; nothing was changed.").arg(directory);
        return false;
    }
    if (!QDir().mkpath(directory)) {
        problem = QStringLiteral("'%1' cannot be created.").arg(directory);
        return false;
    }
    for (const QFileInfo& file : from.entryInfoList(QDir::Files)) {
        if (IsTraceMarker(file.fileName()))
            continue;
        const QString target = to.filePath(file.fileName());
        if (!QFile::copy(file.absoluteFilePath(), target)) {
            problem = QStringLiteral("'%1' could not be copied to '%2'.").arg(file.absoluteFilePath(), target);
            return false;
        }
        // Installed files are read-only; the station's own copies are the shop's to edit,
        // with the permissions the user's umask gives a new file (0644 under 022).
        if (::chmod(QFile::encodeName(target).constData(), NewFileMode()) != 0) {
            problem = QStringLiteral("'%1' could not be made writable.").arg(target);
            return false;
        }
    }
    return true;
}

QString SampleStationDirectory()
{
    const QDir installed(QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(kInstalledStation)));
    if (installed.exists(QStringLiteral("CELVIO.INI")))
        return installed.canonicalPath();
#ifdef CELVIO_SOURCE_STATION
    return QStringLiteral(CELVIO_SOURCE_STATION);
#else
    return QString();
#endif
}

}  // namespace celvio
