// Tester faults end to end: CELVIO as built, on Qt's remote-screen platform, driven
// by key presses like an operator, against celvio-testersim on a pseudo-terminal
// with one fault switched on. Every run must end in a clear message on the screen,
// leave a program that can start its next cycle (or end where it must), and neither
// hang, spin nor grow while it copes.
#include "e2e_support.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ostream>

#include <unistd.h>

namespace celvio::testing {
namespace {

// The bound on CELVIO's peak resident memory in every run (the 1 MiB flood included);
// the address sanitizer's shadow memory and quarantine take their share on top.
#if defined(__SANITIZE_ADDRESS__)
#define CELVIO_E2E_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CELVIO_E2E_ASAN 1
#endif
#endif
#ifdef CELVIO_E2E_ASAN
constexpr qint64 kPeakRssBoundKb = 3 * 150 * 1024;
#else
constexpr qint64 kPeakRssBoundKb = 150 * 1024;
#endif

constexpr quint32 kEsc = kKeyEscape;

// A station with the whole-cycle channels and limits, the port question (SEARCHCOM
// off, or on for the search) and call time-outs short enough for a quick failure but
// long enough for the simulated phone.
QByteArray StationSettings(bool search)
{
    return QByteArray("LANGUAGE    EN\r\nSEARCHCOM   ") + (search ? "1" : "0") +
           "\r\nDIALNO      0123\r\nTOSEARCH    6\r\nTOBSCALL    6\r\nTOMSCALL    6\r\n"
           "LOCBSPLEV   -60\r\nGSMBCCH     30\r\nGSMTCH1     20\r\nGSMTCH2     62\r\nGSMTCH3     100\r\n"
           "GSMBSPLEV   -60\r\nPCNBCCH     700\r\nPCNTCH1     512\r\nPCNTCH2     698\r\nPCNTCH3     884\r\n"
           "PCNBSPLEV   -60\r\nPCNATT      2.5\r\nMSPOWLEV1   5\r\nMSPOWLEV2   10\r\nMSPOWLEV3   15\r\n"
           "MSPOWLEV4   0\r\nMSPOWLEV5   5\r\nMSPOWLEV6   10\r\nRFLEVEL     2\r\nPHASERMS    5\r\n"
           "PHASEPEAK   20\r\nFREQUENCY   90\r\nFREQ1x00    180\r\nBURSTLEN    1\r\nRXLEV       3\r\n"
           "RXQUAL      2\r\n";
}

struct FaultCase {
    const char* name;
    QStringList sim;        // --set key=value for the simulator
    bool search = false;    // SEARCHCOM on: the set-up screen's "&Done" starts the search
    QList<Step> steps;      // in order; texts as the program shows them (see ShownLog)
    int exitCode = 0;
    QStringList traced;     // DEBUG.LOG lines, each matched by its end
    QStringList notTraced = {};  // texts that no DEBUG.LOG line may contain
    int stepWaitMs = 45000;      // the longest wait for one step's screen
    QStringList result = {};     // texts the cycle's result file must hold
};

// Test names and failure reports name the case, not its bytes.
void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << c.name;
}

// The phone answers at once; every fault case starts from this.
const QStringList kQuickPhone{"phone.registration=0.5", "phone.dial=0.5", "phone.answer=0.5",
                              "phone.bands=GSM,PCN", "tester.reset_ms=100"};

// The port question answered with COM1; the identification; the mode dialog.
const QList<Step> kToModeDialog{
    {"title Setup Serial Port", '1', true},
    {"status Checking COM Port...", 0},
    {"title Select mode", 't', true},
};
// A TEST cycle of the focused system, GSM 1800.
const QList<Step> kStartTest{{"status Select the system to be tested:", kKeyReturn, true}};
// The next cycle's mode dialog, then the quit question answered with Yes.
const QList<Step> kNextCycleThenQuit{
    {"title Select mode", kEsc},
    {"box CELVIO: Do you really want to quit the program?", 'y'},
};

const QString kLost = QStringLiteral(
    "box No connection to tester: The connection to the tester at COM 1 (%1) was lost: / Error reading comm device. / "
    "Please check the cable and the tester, / then quit and restart the program.");

QList<FaultCase> Cases()
{
    QList<FaultCase> cases;
    // Nothing answers: the port question explains, and asks again.
    cases << FaultCase{"Silence",
                       {"fault.silent_from=1"},
                       false,
                       {{"title Setup Serial Port", '1', true},
                        {"status Checking COM Port...", 0, false, true},
                        {"box No connection to tester: COM port might be not connected / or the tester is switched "
                         "off! / Please switch on the tester and / check settings of serial port.",
                         kKeyReturn, false, true},
                        {"status Please switch 7703S on and", kEsc},
                        {"box CELVIO: Do you really want to quit the program?", 'y'}},
                       0,
                       {"Button = COM1", "-> NO COM Port open.", "Program terminated."}};
    // The port only returns what it is sent.
    cases << FaultCase{"Echo",
                       {"fault.echo=on"},
                       false,
                       {{"title Setup Serial Port", '1', true},
                        {"status Checking COM Port...", 0, false, true},
                        {"box No connection to tester: This COM port is not connected to a Dalvora Tester! / Please "
                         "connect the tester to the PC / and select the right COM port.",
                         kKeyReturn, false, true},
                        {"status Please switch 7703S on and", kEsc},
                        {"box CELVIO: Do you really want to quit the program?", 'y'}},
                       0,
                       {"-> NO COM Port open.", "Program terminated."}};
    // A tester of another model: the search hears it, refuses it on both passes over
    // the ports, and says that no tester of the family is connected.
    cases << FaultCase{"WrongModel",
                       {"tester.model=7801X"},
                       true,
                       {{"title Setup Serial Port", 'd', true},
                        {"status Searching for tester at COM 1:", 0, false, true},
                        {"box No connection to tester: No COM port is  connected to a Dalvora tester! / Please "
                         "connect the tester to the PC / and select the right settings.",
                         kKeyReturn, false, true},
                        {"status Please connect the tester to your PC", kEsc},
                        {"box CELVIO: Do you really want to quit the program?", 'y'}},
                       0,
                       {"<-- Dalvora,7801X,1001234567,V3.20", "-> NO COM Port open.", "Program terminated."},
                       {"device found"}};
    // The identity comes without its line end: the port check takes what arrived once
    // the line is quiet, and the identification goes on.
    cases << FaultCase{"LineWithoutItsEnd",
                       {"fault.unended_queries=1"},
                       false,
                       {{"title Setup Serial Port", '1', true},
                        {"status Checking COM Port...", 0, false, true},
                        {"status Serial Number: 1234567   Firmware Version: V3.20", 0, false, true},
                        {"title Select mode", kEsc},
                        {"box CELVIO: Do you really want to quit the program?", 'y'}},
                       0,
                       {"<-- Dalvora,7703S,1001234567,V3.20", "-> Close COM  1"}};
    // Every answer byte by byte, 10 ms apart: a whole cycle that passes.
    cases << FaultCase{"AnswerSplitByteByByte",
                       {"fault.split_pieces=100", "fault.split_pause_ms=10"},
                       false,
                       kToModeDialog + kStartTest +
                           QList<Step>{{"title Test Your Phone!", 0, false, true},
                                       {"title Audio Test", 'y', true, true},
                                       {"title Test Passed!", 'n', true}} +
                           kNextCycleThenQuit,
                       0,
                       {"<-- 351234560123457", "<-- 0123", "Program terminated."},
                       {"ERROR"},
                       45000,
                       {"OVERALL TEST RESULT: Passed", "IMEI: 351234560123457    IMSI: 001010123456789"}};
    // Garbage for the transmitter measurement: the test breaks off and says why.
    cases << FaultCase{"Garbage",
                       {"fault.garbage_prefix=MEAS:ARR:RFTR"},
                       false,
                       kToModeDialog + kStartTest +
                           QList<Step>{{"title Transmitter Test", 0, false, true},
                                       {"title Test Aborted!", 0, false, true},
                                       {"status A basic function didn't work in test! / Please switch off your phone "
                                        "and / try again or go to the service desk. / No valid answer from the tester "
                                        "to the transmitter measurement.",
                                        'n', true}} +
                           kNextCycleThenQuit,
                       0,
                       {"<-- #@~?!", "Program terminated."}};
    // 1 MiB without a line end for the IMEI: the operator is told, the flood is thrown
    // away, and the answers after it are read in step (the IMSI), so the cycle goes on.
    cases << FaultCase{"MegabyteWithoutLineEnd",
                       {"fault.flood_prefix=CALL:MSIN:IMEI", "fault.flood_bytes=1048576"},
                       false,
                       kToModeDialog + kStartTest +
                           QList<Step>{{"title Identifying Phone...", 0, false, true},
                                       {"box TESTER ERROR: The answer of the tester was not readable: / more than "
                                        "65536 characters without a line end. / Please check the cable and the speed "
                                        "set on the tester.",
                                        kKeyReturn, false, true},
                                       {"title Transmitter Test", 0},
                                       {"title Audio Test", 'y', true},
                                       {"title Test Passed!", 'n', true}} +
                           kNextCycleThenQuit,
                       0,
                       {"--> CALL:MSIN:IMSI?", "<-- 001010123456789", "Program terminated."}};
    // The device goes away halfway through the IMEI: reported once, the cycle breaks
    // off without waiting, and the program still takes the operator's next steps.
    cases << FaultCase{"DeviceVanishesMidAnswer",
                       {"fault.vanish_at=CALL:MSIN:IMEI", "fault.vanish_mid_answer=on"},
                       false,
                       kToModeDialog + kStartTest +
                           QList<Step>{{"title Identifying Phone...", 0},
                                       {"%LOST%", kKeyReturn, false, true},
                                       {"title Test Aborted!", 0, false, true},
                                       {"status A basic function didn't work in test! / Please switch off your phone "
                                        "and / try again or go to the service desk. / No valid answer from the tester "
                                        "to the transmitter measurement.",
                                        'n', true}} +
                           kNextCycleThenQuit,
                       0,
                       {"--> CALL:MSIN:IMEI?", "-> NO COM Port open.", "Program terminated."},
                       {"<-- 35123"}};
    // The device goes away while the phone's call is being set up, between two answers.
    cases << FaultCase{"DeviceVanishesMidCycle",
                       {"fault.vanish_at=CALL:MSOR"},
                       false,
                       kToModeDialog + kStartTest +
                           QList<Step>{{"title Testing Key Pad", 0},
                                       {"%LOST%", kKeyReturn, false, true},
                                       {"title Test Aborted!", 'n', true, true}} +
                           kNextCycleThenQuit,
                       0,
                       {"--> CALL:MSOR;*STB?", "Call: status not readable, counted as failed.", "-> NO COM Port open.",
                        "Program terminated."}};
    // The tester restarts as after power-on just before the first transmitter
    // measurement: no call any more, so nothing it measures may pass.
    cases << FaultCase{"TesterResetMidCycle",
                       {"fault.restart_at=MEAS:ARR"},
                       false,
                       kToModeDialog + kStartTest +
                           QList<Step>{{"title Transmitter Test", 0, false, true},
                                       {"title Testing Call Receive", 0},
                                       {"title Test Aborted!", 0, false, true},
                                       {"status A basic function didn't work in test!", 'n', true}} +
                           kNextCycleThenQuit,
                       0,
                       {"<-- NAN,NAN,NAN,NAN,NAN", "Program terminated."},
                       {},
                       45000,
                       {"OVERALL TEST RESULT: Failed", "Call From Base Station : * Failed",
                        "TX Power 0 (30 dBm)    : * NAN dBm", "RX Quality             : * NAN"}};
    return cases;
}

// CPU time (user + system) of a process so far, in milliseconds.
qint64 CpuMs(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = file.readAll();
    // The fields after the command name in parentheses: state is field 3, utime 14, stime 15.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const qint64 ticks = fields[11].toLongLong() + fields[12].toLongLong();
    return ticks * 1000 / ::sysconf(_SC_CLK_TCK);
}

// The peak resident memory of a process, in KiB.
qint64 PeakRssKb(qint64 pid)
{
    for (const QString& line : FileText(QStringLiteral("/proc/%1/status").arg(pid)).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("VmHWM:")))
            return line.mid(6).trimmed().section(QLatin1Char(' '), 0, 0).toLongLong();
    }
    return -1;
}

// Runs one case: the station, the simulator with the fault, CELVIO, the operator's
// steps, then the ending, the trace, the CPU windows and the peak memory.
void RunFaultCase(const FaultCase& c)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString station = dir.filePath(QStringLiteral("station"));
    ASSERT_TRUE(QDir().mkpath(station));
    WriteFile(station + QStringLiteral("/CELVIO.INI"), StationSettings(c.search));
    WriteFile(station + QStringLiteral("/TAC6N.DAT"), "-7,MPN.DAT\r\n351234,Orvane Q7\r\n-9,STD\r\n");
    WriteFile(station + QStringLiteral("/MPN.DAT"),
              "[STD]\r\n[Orvane Q7]\r\nBANDS=900,1800\r\n(K530)\r\nRX900=1.5,2.5,3.5\r\nTX900=2,3,4\r\n"
              "RX1800=4.25,5,6\r\nTX1800=4.5,5.5,6.5\r\n");
    WriteFile(station + QStringLiteral("/BADCHAN.DAT"), "\" 5,\"\r\n");
    WriteFile(station + QStringLiteral("/DEBUGPM.INI"), "");

    const QString link = dir.filePath(QStringLiteral("com1"));
    const QString simLog = dir.filePath(QStringLiteral("tester.log"));
    QStringList simArgs;
    for (const QString& set : kQuickPhone + c.sim)
        simArgs << QStringLiteral("--set") << set;
    QProcess sim;
    ChildGuard simGuard{sim};
    ASSERT_TRUE(StartTesterSim(sim, link, simLog, simArgs));

    const QString shownLog = dir.filePath(QStringLiteral("shown.log"));
    const int screenPort = FreeTcpPort();
    ASSERT_GT(screenPort, 0);
    QProcessEnvironment env = RemoteScreenEnvironment(dir.path(), 1, link, screenPort);
    env.insert(QStringLiteral("CELVIO_SHOWN_LOG"), shownLog);
    QProcess celvio;
    ChildGuard celvioGuard{celvio};
    ASSERT_TRUE(StartProgram(celvio, QStringLiteral(CELVIO_PROGRAM_PATH), {QStringLiteral("--station"), station}, env));
    const qint64 pid = celvio.processId();

    RemoteKeyboard keyboard;
    ASSERT_TRUE(keyboard.Connect(screenPort, 10000));

    // The record of what is shown, without the time stamps.
    auto shown = [&shownLog] {
        QStringList lines;
        for (const QString& line : FileText(shownLog).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            lines << line.mid(13);
        return lines;
    };
    auto context = [&] {
        return QStringLiteral("\n--- shown:\n") + shown().join(QLatin1Char('\n')) + QStringLiteral("\n--- tester:\n") +
               FileText(simLog).right(3000);
    };
    // The first line at or after `from` that starts with `text`; -1 when none.
    auto find = [&shown](const QString& text, qsizetype from) -> qsizetype {
        const QStringList lines = shown();
        for (qsizetype i = from; i < lines.size(); ++i) {
            if (lines[i].startsWith(text))
                return i;
        }
        return -1;
    };

    QElapsedTimer clock;
    clock.start();
    qint64 cpuStart = -1, wallStart = -1;
    QStringList cpuWindows;
    qsizetype at = 0;
    for (qsizetype s = 0; s < c.steps.size(); ++s) {
        const Step& step = c.steps[s];
        QString text = QString::fromLatin1(step.shown);
        text.replace(QLatin1String("%LOST%"), kLost.arg(link));
        qsizetype found = -1;
        ASSERT_TRUE(WaitFor([&] { return (found = find(text, at)) >= 0; }, c.stepWaitMs))
            << "step " << s << ": " << qPrintable(text) << qPrintable(context());
        at = found + 1;
        if (step.cpu) {
            const qint64 cpu = CpuMs(pid);
            const qint64 wall = clock.elapsed();
            if (cpuStart < 0) {
                cpuStart = cpu;
                wallStart = wall;
            } else {
                const qint64 usedMs = cpu - cpuStart;
                const qint64 spanMs = wall - wallStart;
                cpuWindows << QStringLiteral("%1 ms CPU in %2 ms").arg(usedMs).arg(spanMs);
                EXPECT_GE(spanMs, 400) << "the window is too short to judge";
                EXPECT_LT(usedMs * 10, spanMs) << "CELVIO used more than 10 % of a core while it waited";
                cpuStart = -1;
            }
        }
        if (step.key == 0)
            continue;
        QThread::msleep(100);  // the screen takes the key once it has drawn itself
        ASSERT_TRUE(keyboard.Press(step.key));
        if (step.retry && s + 1 < c.steps.size()) {
            QString next = QString::fromLatin1(c.steps[s + 1].shown);
            next.replace(QLatin1String("%LOST%"), kLost.arg(link));
            WaitFor(
                [&] {
                    if (WaitFor([&] { return find(next, at) >= 0; }, 1500))
                        return true;
                    keyboard.Press(step.key);
                    return false;
                },
                15000);
        }
    }
    const qint64 peakKb = PeakRssKb(pid);

    ASSERT_TRUE(celvio.waitForFinished(20000)) << "CELVIO did not end" << qPrintable(context());
    EXPECT_EQ(celvio.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(celvio.exitCode(), c.exitCode);
    EXPECT_GT(peakKb, 0);
    EXPECT_LT(peakKb, kPeakRssBoundKb) << "peak resident memory " << peakKb << " KiB";

    const QStringList trace = FileText(station + QStringLiteral("/DEBUG.LOG")).split(QStringLiteral("\r\n"));
    for (const QString& tail : c.traced) {
        EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [&](const QString& line) { return line.endsWith(tail); }))
            << "not traced: " << qPrintable(tail);
    }
    for (const QString& text : c.notTraced) {
        EXPECT_FALSE(std::any_of(trace.begin(), trace.end(), [&](const QString& line) { return line.contains(text); }))
            << "traced: " << qPrintable(text);
    }
    QString results;
    QDirIterator files(station + QStringLiteral("/RESULTS"), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        results += FileText(files.next());
    for (const QString& text : c.result)
        EXPECT_TRUE(results.contains(text)) << "not in the result file: " << qPrintable(text) << "\n"
                                            << qPrintable(results);
    ::testing::Test::RecordProperty("cpu", cpuWindows.join(QStringLiteral("; ")).toStdString());
    ::testing::Test::RecordProperty("peak_rss_kb", QString::number(peakKb).toStdString());
    std::printf("%s: %s; peak RSS %lld KiB; %lld ms\n", c.name, qPrintable(cpuWindows.join(QStringLiteral("; "))),
                peakKb, clock.elapsed());
}

class FaultRun : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultRun, EndsInAClearMessageWithoutHangSpinOrGrowth)
{
    if (!HaveRemoteScreen())
        GTEST_SKIP() << "Qt's vnc platform plugin is not installed";
    RunFaultCase(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultRun, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// The IMEI comes without its line end in the middle of a cycle. Only the program's
// own three-minute limit ends that wait, so this run is no part of the quick table:
// CTest runs it on its own (e2e_fault_timeout, label "slow"). After the time-out the
// partial answer is used as it is, and the cycle goes on in step.
TEST(FaultRunSlow, DISABLED_LineWithoutItsEndMidCycleWaitsOutTheTimeOutWithoutSpinning)
{
    if (!HaveRemoteScreen())
        GTEST_SKIP() << "Qt's vnc platform plugin is not installed";
    RunFaultCase(FaultCase{"LineWithoutItsEndMidCycle",
                           {"fault.unended_prefix=CALL:MSIN:IMEI"},
                           false,
                           kToModeDialog + kStartTest +
                               QList<Step>{{"title Identifying Phone...", 0, false, true},
                                           {"box TIMEOUT ERROR: No answer within 3 minutes.", kKeyReturn, false, true},
                                           {"title Transmitter Test", 0},
                                           {"title Audio Test", 'y', true},
                                           {"title Test Passed!", 'n', true}} +
                               kNextCycleThenQuit,
                           0,
                           {"--> CALL:MSIN:IMEI?", "--- ERROR: Timeout at input. ", "--> CALL:MSIN:RLEV?", "<-- 2",
                            "Program terminated."},
                           {},
                           200000});
}

}  // namespace
}  // namespace celvio::testing
