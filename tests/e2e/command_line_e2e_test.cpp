// The program's command line as an operator or the shop's IT meets it: the version,
// the help, a new station from the sample station, the port list, and mistakes.
#include "e2e/e2e_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>

namespace celvio::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome Celvio(const QStringList& arguments, mode_t mask = 022)
{
    QProcess child;
    child.setChildProcessModifier([mask] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::umask(mask);
    });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    child.setProcessEnvironment(env);
    child.start(QStringLiteral(CELVIO_PROGRAM_PATH), arguments);
    Outcome run;
    if (!child.waitForFinished(30000))
        return run;
    run.exitCode = child.exitCode();
    run.out = QString::fromLocal8Bit(child.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(child.readAllStandardError());
    return run;
}

TEST(CommandLineEndToEnd, VersionHelpAndMistakes)
{
    const Outcome version = Celvio({u"--version"_s});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, u"celvio 2.02\n"_s);

    const Outcome help = Celvio({u"--help"_s});
    EXPECT_EQ(help.exitCode, 0);
    for (const QString& word : {u"--station"_s, u"--port"_s, u"--list-ports"_s, u"--init-station"_s,
                                u"PORTS.INI"_s, u"CELVIO_COM<n>"_s, u"CELVIO_PDF_DIR"_s, u"dialout"_s})
        EXPECT_TRUE(help.out.contains(word)) << qPrintable(word);

    const Outcome unknown = Celvio({u"--colour"_s});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(u"unknown option '--colour'"_s)) << qPrintable(unknown.err);

    const Outcome badPort = Celvio({u"--port"_s, u"COM1:/dev/ttyUSB0"_s, u"--list-ports"_s});
    EXPECT_EQ(badPort.exitCode, 2);
    EXPECT_TRUE(badPort.err.contains(u"COMn=DEVICE"_s)) << qPrintable(badPort.err);

    QTemporaryDir dir;
    const Outcome noStation = Celvio({u"--station="_s + dir.filePath(u"missing"_s)});
    EXPECT_EQ(noStation.exitCode, 2);
    EXPECT_TRUE(noStation.err.contains(u"--init-station"_s)) << qPrintable(noStation.err);
}

// Every program of the package answers --version and --help, and refuses an unknown
// option with one line and exit code 2.
TEST(CommandLineEndToEnd, EveryProgramHasVersionHelpAndOneLineMistakes)
{
    const struct {
        const char* path;
        const char* name;
    } programs[] = {
        {CELVIO_PROGRAM_PATH, "celvio"},
        {CELVIO_HISTORY_PATH, "celvio-history"},
        {CELVIO_TESTERSIM_PATH, "celvio-testersim"},
        {CELVIO_MESSAGE_PATH, "celvio-message"},
    };
    for (const auto& program : programs) {
        const QString name = QString::fromLatin1(program.name);
        QProcess child;
        const auto run = [&](const QStringList& args) {
            child.start(QString::fromLatin1(program.path), args);
            child.waitForFinished(30000);
            return child.exitCode();
        };
        EXPECT_EQ(run({u"--version"_s}), 0) << program.name;
        EXPECT_EQ(QString::fromLocal8Bit(child.readAllStandardOutput()), name + u" 2.02\n"_s);
        EXPECT_EQ(run({u"--help"_s}), 0) << program.name;
        EXPECT_TRUE(child.readAllStandardOutput().contains("--help")) << program.name;
        EXPECT_EQ(run({u"--colour=red"_s}), 2) << program.name;
        EXPECT_EQ(QString::fromLocal8Bit(child.readAllStandardError()),
                  name + u": unknown option '--colour'. Try '"_s + name + u" --help'.\n"_s);
    }
}

// celvio-history where there is no station: exit 3, "no station here", nothing created
// (not in the folder, not in the home folder).
TEST(CommandLineEndToEnd, HistoryWithoutAStationCreatesNothing)
{
    QTemporaryDir home, folder;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"CELVIO_STATION"_s);
    env.insert(u"HOME"_s, home.path());
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(folder.path());
    for (const QStringList& args : {QStringList{u"list"_s}, QStringList{u"rebuild"_s}, QStringList{u"status"_s},
                                    QStringList{u"--server=postgresql://x@127.0.0.1:1/y"_s, u"push"_s}}) {
        child.start(QStringLiteral(CELVIO_HISTORY_PATH), args);
        ASSERT_TRUE(child.waitForFinished(30000));
        EXPECT_EQ(child.exitCode(), 3) << qPrintable(args.join(u' '));
        EXPECT_TRUE(child.readAllStandardError().contains("no station here")) << qPrintable(args.join(u' '));
    }
    const auto flags = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    EXPECT_TRUE(QDir(folder.path()).isEmpty(flags));
    EXPECT_TRUE(QDir(home.path()).isEmpty(flags));
    // The same folder with a settings file is the station, and gets its index.
    QFile(folder.filePath(u"CELVIO.INI"_s)).open(QIODevice::WriteOnly);
    child.start(QStringLiteral(CELVIO_HISTORY_PATH), {u"list"_s});
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitCode(), 1) << child.readAllStandardError().constData();
    EXPECT_TRUE(QFileInfo::exists(folder.filePath(u"HISTORY.DB"_s)));
}

TEST(CommandLineEndToEnd, InitStationCopiesTheSampleWithoutTraceMarkersAndNeverOverwrites)
{
    QTemporaryDir dir;
    const QString station = dir.filePath(u"shop"_s);
    const Outcome first = Celvio({u"--init-station"_s, station});
    ASSERT_EQ(first.exitCode, 0) << qPrintable(first.err);
    const QDir created(station);
    for (const QString& name : {u"CELVIO.INI"_s, u"TAC6N.DAT"_s, u"MPN.DAT"_s, u"BADCHAN.DAT"_s, u"Zoredudi.BMP"_s})
        EXPECT_TRUE(created.exists(name)) << qPrintable(name);
    EXPECT_FALSE(created.exists(u"DEBUGPM.INI"_s));
    EXPECT_FALSE(created.exists(u"DEBUGSC.INI"_s));
    EXPECT_TRUE(QFileInfo(created.filePath(u"CELVIO.INI"_s)).isWritable());
    // The copies get what the user's umask gives a new file, not a fixed mode.
    const QFileDevice::Permissions rwr_r_ = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                                            QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    EXPECT_EQ(QFile::permissions(created.filePath(u"CELVIO.INI"_s)), rwr_r_);
    const QString privateStation = dir.filePath(u"private"_s);
    ASSERT_EQ(Celvio({u"--init-station"_s, privateStation}, 077).exitCode, 0);
    EXPECT_EQ(QFile::permissions(QDir(privateStation).filePath(u"MPN.DAT"_s)),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);

    // A second run finds the folder in use and changes nothing in it.
    QFile settings(created.filePath(u"CELVIO.INI"_s));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
    settings.write("LANGUAGE    EN\r\n");
    settings.close();
    const Outcome second = Celvio({u"--init-station"_s, station});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.err.contains(u"not empty"_s)) << qPrintable(second.err);
    EXPECT_EQ(FileText(created.filePath(u"CELVIO.INI"_s)), u"LANGUAGE    EN\r\n"_s);
}

TEST(CommandLineEndToEnd, PortListShowsTheComNumberThatNamesEachDevice)
{
    const Outcome list = Celvio({u"--list-ports"_s, u"--port"_s, u"COM2=/dev/ttyS0"_s});
    EXPECT_EQ(list.exitCode, 0) << qPrintable(list.err);
    // Either the system offers serial devices (then the table has its heading and
    // /dev/ttyS0, if present, is COM2), or it says that there are none.
    if (list.out.startsWith(u"No serial devices"_s))
        return;
    EXPECT_TRUE(list.out.startsWith(u"PORT"_s)) << qPrintable(list.out);
    for (const QString& row : list.out.split(u'\n')) {
        if (row.contains(u"/dev/ttyS0 "_s)) {
            EXPECT_TRUE(row.startsWith(u"COM2 "_s)) << qPrintable(row);
        }
    }
}

}  // namespace
}  // namespace celvio::testing
