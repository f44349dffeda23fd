// A station directory in a temporary folder, the scripted platform and the App bound
// to it, plus helpers to lay out station files and devices.
#pragma once

#include "core/app.h"
#include "shell/scripted/scripted_platform.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace sim {
class Tester;
}

// Texts in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace celvio::testing {

// Expected file text written with "|" closing every line (so trailing blanks show) and
// "\t" for TAB; returns it as Latin-1 with CR LF.
inline QByteArray HandWritten(const char* utf8)
{
    const QStringList lines = QString::fromUtf8(utf8).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QString text;
    for (QString line : lines) {
        EXPECT_TRUE(line.endsWith(QLatin1Char('|'))) << qPrintable(line);
        line.chop(1);
        text += line + QStringLiteral("\r\n");
    }
    return text.toLatin1();
}

// The channels, levels, power levels and limits of the station that the whole-cycle
// tests run (settings lines, "\n" between them): each test puts its own lines in front.
inline constexpr char kCycleStation[] =
    "TOBSCALL    30\nTOMSCALL    60\nLOCBSPLEV   -60\n"
    "GSMBCCH     30\nGSMTCH1     20\nGSMTCH2     62\n"
    "GSMTCH3     100\nGSMBSPLEV   -60\nPCNBCCH     700\n"
    "PCNTCH1     512\nPCNTCH2     698\nPCNTCH3     884\n"
    "PCNBSPLEV   -60\nPCNATT      2.5\nPCSBCCH     661\n"
    "PCSTCH1     513\nPCSTCH2     601\nPCSTCH3     809\n"
    "PCSBSPLEV   -60\nPCSATT      3\nMSPOWLEV1   5\n"
    "MSPOWLEV2   10\nMSPOWLEV3   15\nMSPOWLEV4   0\n"
    "MSPOWLEV5   5\nMSPOWLEV6   10\nRFLEVEL     2\n"
    "PHASERMS    5\nPHASEPEAK   20\nFREQUENCY   90\n"
    "FREQ1x00    180\nBURSTLEN    1\nRXLEV       3\n"
    "RXQUAL      2\n";

// A blocked-channel list as the program writes it: " from, from+step, ... to,".
QString Channels(int from, int to, int step = 1);

class StationFixture : public ::testing::Test {
protected:
    StationFixture();

    // Writes a station file as Latin-1 with CR LF line ends (`text` uses "\n").
    void WriteStationFile(const QString& name, const QString& text);
    // Writes a station file byte for byte.
    void WriteStationBytes(const QString& name, const QByteArray& bytes);
    QByteArray ReadStationBytes(const QString& name) const;
    QString StationFile(const QString& name) const;

    // The tester simulator on COM n, with scenario text (key = value lines).
    std::shared_ptr<sim::Tester> AttachSimulator(int port, const QString& scenario = QString());
    // A scripted device on COM n.
    std::shared_ptr<ScriptedDevice> AttachScriptedDevice(int port);

    // Opens COM n on the scripted serial port, as the port set-up would.
    void OpenPort(int port);

    // The files of a station that starts up: these settings, a TAC table and a model
    // database with only the STD entry, one blocked channel, tracing on, the title picture.
    void WriteMinimalStation(const QString& settings);

    // Service point AB123 ("Handy Shop Nord") with swap data handling on, on the
    // morning of 6 December 2026 (the clock and the cycle's day).
    void ServicePointAB123();

    // The lines of the trace buffer.
    const QStringList& Trace() const { return app.DebugFrm.DebugFeld; }

    // The message boxes shown so far, each as Box() gives it; fails for each one shown.
    QStringList Boxes() const;
    static QString Box(const QString& title, const QString& text, int style);
    void ExpectNoBoxes() const;

    // For platform.Await: the progress bar at this value and colour.
    static std::function<bool(const App&)> BarAt(int value, Colour colour);

    QTemporaryDir dir;
    ScriptedPlatform platform;
    App app;
};

}  // namespace celvio::testing
