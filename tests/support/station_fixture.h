// A station directory in a temporary folder, the scripted platform and the App bound
// to it, plus helpers to lay out station files and devices.
#pragma once

#include "core/app.h"
#include "platform/scripted/scripted_platform.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace sim {
class Tester;
}

namespace celvio::testing {

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
