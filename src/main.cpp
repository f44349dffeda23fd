// CELVIO: the counter program that tests GSM phones with a radio communication tester.
// celvio --help lists the options.

#include "command_line.h"
#include "core/app.h"
#include "core/program_options.h"
#include "core/station_lock.h"
#include "cycle/main.h"
#include "shell/qt/qt_platform.h"
#include "training_main.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {

void Print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// The station's PORTS.INI, read into the port names after the options, which win.
void ReadPortsFile(celvio::CommandLine& line)
{
    const QDir dir(line.station);
    for (const QString& name : dir.entryList(QDir::Files)) {
        if (name.compare(QLatin1String("PORTS.INI"), Qt::CaseInsensitive) == 0) {
            line.ports.ReadPortsFile(dir.filePath(name), line.portProblems);
            break;
        }
    }
    for (const QString& problem : line.portProblems)
        Print(stderr, QStringLiteral("celvio: %1\n").arg(problem));
}

// The commands that answer and end at once: they need no display.
int RunCommand(int argc, char* argv[], celvio::CommandLine& line)
{
    QCoreApplication core(argc, argv);
    if (!line.error.isEmpty()) {
        Print(stderr, line.error + QLatin1Char('\n'));
        return celvio::kUsageExitCode;
    }
    if (line.help) {
        Print(stdout, celvio::HelpText());
        return 0;
    }
    if (line.version) {
        Print(stdout, celvio::VersionText());
        return 0;
    }
    if (!line.initStation.isEmpty()) {
        QString problem;
        if (!celvio::InitStation(celvio::SampleStationDirectory(), line.initStation, problem)) {
            Print(stderr, QStringLiteral("celvio: --init-station: %1\n").arg(problem));
            return 1;
        }
        Print(stdout, QStringLiteral("celvio: station created in %1; start it with: celvio --station %1\n")
                          .arg(QFileInfo(line.initStation).absoluteFilePath()));
        return 0;
    }
    ReadPortsFile(line);
    Print(stdout, celvio::PortListText(line.ports));
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    celvio::CommandLine line = celvio::ParseCommandLine(arguments);
    if (line.training && line.error.isEmpty() && !line.help && !line.version && line.initStation.isEmpty() &&
        !line.listPorts)
        return celvio::RunTraining(argc, argv, line);
    if (line.error.isEmpty() && !line.help && !line.version && line.initStation.isEmpty()) {
        const QFileInfo info(line.station);
        if (!info.isDir()) {
            Print(stderr, QStringLiteral("celvio: the station directory '%1' does not exist. "
                                         "Create one with: celvio --init-station %1\n")
                              .arg(line.station));
            return 2;
        }
        line.station = info.absoluteFilePath();
    }
    if (!line.error.isEmpty() || line.help || line.version || !line.initStation.isEmpty() || line.listPorts)
        return RunCommand(argc, argv, line);

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CELVIO"));
    celvio::QtPlatform platform(QDir(line.station).filePath(QStringLiteral("PRINTS")));
    // One program at a time on a station, for the whole run: a second one would write
    // the same record files and result names.
    celvio::StationLock stationLock(line.station);
    QString refusal;
    QString lockNote;
    if (!stationLock.Take(refusal, lockNote)) {
        Print(stderr, QStringLiteral("celvio: %1\n").arg(QString(refusal).replace(QLatin1String("\r\n"), QLatin1String("\n"))));
        platform.MsgBox(refusal, celvio::msgbox::kOkOnly | celvio::msgbox::kCritical, QStringLiteral("CELVIO"));
        return celvio::kStationInUseExitCode;
    }
    if (!lockNote.isEmpty())
        Print(stderr, QStringLiteral("celvio: %1\n").arg(lockNote));
    ReadPortsFile(line);
    platform.SetPortNames(line.ports);
    celvio::App app(platform, line.station);
    platform.AttachViews(app);
    // A ports file with lines that name no port: the operator sees them before the
    // port search, which then uses the other names.
    if (!line.portProblems.isEmpty())
        platform.MsgBox(line.portProblems.join(QStringLiteral("\r\n")), celvio::msgbox::kOkOnly | celvio::msgbox::kExclamation,
                        QStringLiteral("PORTS.INI"));
    try {
        celvio::Main(app);
    } catch (const celvio::ProgramEnd& end) {
        return end.exitCode;
    }
}
