// celvio --training: the real station is only read. Its settings, data files and
// pictures are copied into the training station, where the program runs as always,
// on the tester simulator (celvio-testersim on a pseudo-terminal); no serial port is
// opened, nothing is pushed to a head office, and prints become PDF files there.
#include "training_main.h"

#include "command_line.h"
#include "core/app.h"
#include "core/files.h"
#include "core/station_lock.h"
#include "core/training_mark.h"
#include "cycle/main.h"
#include "shell/qt/main_window_view.h"
#include "shell/qt/qt_platform.h"
#include "training/training_choices.h"
#include "training/training_platform.h"
#include "training/training_session.h"
#include "training/training_station.h"
#include "training_window.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>
#include <cstdio>

namespace celvio {

namespace {

void Complain(const QString& text)
{
    std::fputs(QStringLiteral("celvio: %1\n").arg(text).toLocal8Bit().constData(), stderr);
}

// The real station: --station, else $CELVIO_STATION, else ~/CELVIO; the sample station
// when none of them exists (a PC where CELVIO was just installed).
QString RealStation(const CommandLine& line)
{
    QString station = line.station;
    if (!line.stationGiven) {
        station = qEnvironmentVariable("CELVIO_STATION");
        if (station.isEmpty())
            station = QDir::home().filePath(QStringLiteral("CELVIO"));
    }
    if (QFileInfo(station).isDir())
        return QFileInfo(station).absoluteFilePath();
    return line.stationGiven ? QString() : SampleStationDirectory();
}

QString TrainingStation(const QString& real)
{
    const QString environment = qEnvironmentVariable("CELVIO_TRAINING_STATION");
    if (environment.isEmpty() && QFileInfo(real).canonicalFilePath() == QFileInfo(SampleStationDirectory()).canonicalFilePath()) {
        QString data = qEnvironmentVariable("XDG_DATA_HOME");
        if (data.isEmpty())
            data = QDir::home().filePath(QStringLiteral(".local/share"));
        return QDir(data).filePath(QStringLiteral("celvio/TRAINING"));
    }
    return TrainingStationDirectory(real, environment);
}

QString SimulatorProgram()
{
    const QDir bin(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {bin.filePath(QStringLiteral("celvio-testersim")),
                                     bin.filePath(QStringLiteral("../sim/celvio-testersim"))})
        if (QFileInfo(candidate).isExecutable())
            return QDir::cleanPath(candidate);
    return QStandardPaths::findExecutable(QStringLiteral("celvio-testersim"));
}

// The simulator, serving on the link `link` in the training station; false with the reason.
bool StartSimulator(QProcess& simulator, const QString& training, const QString& firstPhone, QString& problem)
{
    const QString program = SimulatorProgram();
    if (program.isEmpty()) {
        problem = QStringLiteral("the tester simulator celvio-testersim is not installed");
        return false;
    }
    const QDir dir(training);
    const QString link = dir.filePath(QStringLiteral("tester-link"));
    QFile::remove(link);  // a link left by a simulator that was killed
    simulator.setProgram(program);
    simulator.setArguments({QStringLiteral("--link"), link, QStringLiteral("--scenario"), firstPhone,
                            QStringLiteral("--log"), dir.filePath(QStringLiteral("tester.log")),
                            QStringLiteral("--phone-file"), dir.filePath(QStringLiteral("next-phone.scn"))});
    simulator.setProcessChannelMode(QProcess::ForwardedChannels);
    // The simulator ends with the program, however the program ends (a kill included).
    simulator.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    simulator.start();
    if (!simulator.waitForStarted(5000)) {
        problem = program + QStringLiteral(" could not be started: ") + simulator.errorString();
        return false;
    }
    // The link appears once the pseudo-terminal is set up, a moment after the start.
    for (int waited = 0; !QFileInfo(link).isSymLink(); waited += 20) {
        if (waited > 5000 || simulator.state() != QProcess::Running) {
            problem = program + QStringLiteral(" did not set up its pseudo-terminal");
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

// Puts the phone of a scenario file in the running simulator's coupler: the file is
// copied where the simulator reads the next phone, then the simulator is told.
QString ChangePhone(QProcess& simulator, const QString& training, const QString& scenario)
{
    QByteArray bytes;
    if (!ReadFileBytes(scenario, bytes))
        return scenario + QStringLiteral(" cannot be read");
    QString reason;
    if (!WriteFileAtomic(QDir(training).filePath(QStringLiteral("next-phone.scn")), bytes, &reason))
        return reason;
    if (simulator.state() != QProcess::Running || ::kill(pid_t(simulator.processId()), SIGUSR1) != 0)
        return QStringLiteral("the tester simulator is not running");
    return QString();
}

// Every COM number is the simulator: whichever port the settings name or the search
// tries, no serial device of the PC is opened.
PortNames SimulatorPorts(const QString& station)
{
    PortNames ports;
    QString problem;
    for (int n = 1; n <= kHighestPortNumber; ++n)
        ports.AddOption(QStringLiteral("COM%1=%2").arg(n).arg(QDir(station).filePath(QStringLiteral("tester-link"))),
                        problem);
    return ports;
}

}  // namespace

int RunTraining(int argc, char* argv[], CommandLine& line)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CELVIO"));
    const QString real = RealStation(line);
    if (real.isEmpty()) {
        Complain(QStringLiteral("the station directory '%1' does not exist.").arg(line.station));
        return 2;
    }
    const QString training = TrainingStation(real);
    QString problem;
    if (!PrepareTrainingStation(real, training, problem)) {
        Complain(QStringLiteral("the training station cannot be prepared: ") + problem);
        return 1;
    }
    const QString station = QFileInfo(training).canonicalFilePath();
    // Every document becomes a PDF file of the training station, never paper.
    const QString prints = QDir(station).filePath(QStringLiteral("PRINTS"));
    qputenv("CELVIO_PDF_DIR", QFile::encodeName(prints));
    QtPlatform platform(prints);
    StationLock stationLock(station);
    QString refusal, lockNote;
    if (!stationLock.Take(refusal, lockNote)) {
        Complain(QString(refusal).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        platform.MsgBox(refusal, msgbox::kOkOnly | msgbox::kCritical, QStringLiteral("CELVIO"));
        return kStationInUseExitCode;
    }
    const QString scenarios = TrainingScenarioDirectory(QCoreApplication::applicationDirPath());
    QProcess simulator;
    TrainingSession session(scenarios, [&](const QString& file) { return ChangePhone(simulator, station, file); });
    if (!StartSimulator(simulator, station, session.ScenarioFile(0), problem)) {
        Complain(problem);
        platform.MsgBox(problem, msgbox::kOkOnly | msgbox::kCritical, QStringLiteral("CELVIO"));
        return 1;
    }
    platform.SetPortNames(SimulatorPorts(station));
    Complain(QStringLiteral("training: station %1 read, training station %2").arg(real, station));

    struct Stop {
        QProcess& simulator;
        ~Stop()
        {
            simulator.terminate();
            if (!simulator.waitForFinished(2000))
                simulator.kill();
        }
    } stop{simulator};
    TrainingPlatform trainingPlatform(platform, session, QString::fromLatin1(kTrainingMark));
    App app(trainingPlatform, station);
    trainingPlatform.Bind(app);
    session.Attach(app);
    platform.AttachViews(app);
    InstallTrainingWindows(app, session, *platform.MainWindow());
    try {
        Main(app);
    } catch (const ProgramEnd& end) {
        return end.exitCode;
    }
}

}  // namespace celvio
