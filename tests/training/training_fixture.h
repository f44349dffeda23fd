// A training program on the scripted platform: a real station copied from the sample
// station (with the test's settings lines behind its own), its training station, the
// tester simulator in process and a training session whose phone changes go to it.
#pragma once

#include "core/app.h"
#include "shell/scripted/scripted_platform.h"
#include "support/station_fixture.h"
#include "training/training_platform.h"
#include "training/training_session.h"

#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace sim {
class Tester;
}

namespace celvio::testing {

// Every file below a folder with its bytes, by path relative to the folder.
QMap<QString, QByteArray> TreeBytes(const QString& folder);

class TrainingFixture : public ::testing::Test {
protected:
    TrainingFixture();
    ~TrainingFixture() override;

    // Lays out the real station (sample station, then `settings` lines added to its
    // CELVIO.INI), prepares the training station and starts the program's App there.
    void Boot(const QString& settings = QString());
    // Starts the program again on the same stations, as a second start would: the
    // training station's inputs taken afresh, a new App, the simulator with a good phone.
    void StartProgram();
    QString RealFile(const QString& name) const { return real.filePath(name); }
    QString TrainingFile(const QString& name) const;
    QByteArray TrainingBytes(const QString& name) const;

    // Runs Main to the end of the script; false when the run got stuck (with a failure).
    bool Run();
    // Waits for the verdict screen, keeps its title, then starts a new test.
    void Verdict();
    // Confirms the positioning instruction of the phone in the coupler.
    void Position();
    // A TEST cycle of `system`, the echo question answered with "&Yes".
    void TestCycle(const char* system = "GSM 900", bool echo = true);

    // The real station is a service point (swap.dat).
    void ServicePoint();
    // A SWAP cycle: the customer screen ("*", a comment), GSM 900, the old phone's IMEI
    // typed; the new phone is the simulator's.
    void Swap(const char* oldImei);

    QTemporaryDir real;
    ScriptedPlatform platform;
    std::shared_ptr<sim::Tester> tester;
    std::unique_ptr<TrainingSession> session;
    std::unique_ptr<TrainingPlatform> training;
    std::unique_ptr<App> app;
    QStringList verdicts;  // the title of every verdict screen
    int phoneChanges = 0;
};

}  // namespace celvio::testing
