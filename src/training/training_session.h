// One training session: the phone chosen for the next cycle, how long each step of a
// cycle waited for the trainee, and the one-page summary kept after every cycle.
#pragma once

#include "core/codes.h"

#include <QList>
#include <QString>
#include <functional>

namespace celvio {

struct App;

// Puts the phone of a scenario file in the simulated tester's coupler; returns an empty
// text, or why the phone could not be changed.
using PhoneChanger = std::function<QString(const QString& scenarioFile)>;

class TrainingSession {
public:
    // `scenarioDirectory`: the training scenarios; the simulator starts with choice 0.
    TrainingSession(QString scenarioDirectory, PhoneChanger changePhone);

    // Marks `app` as a training program and hooks the session into its cycles.
    void Attach(App& app);

    // Chooses the phone (0..9) for the next cycle; it is put in the coupler when that
    // cycle's mode is chosen.
    void Choose(int index);
    int Chosen() const { return chosen_; }
    QString ScenarioFile(int index) const;

    // A wait for the trainee on a screen or in a message box, in milliseconds; waits on
    // the same step one after the other add up.
    void Waited(const QString& step, qint64 ms);

    // The summary files written so far (paths), the last one last.
    const QStringList& Summaries() const { return summaries_; }

private:
    struct Wait {
        QString step;
        qint64 ms = 0;
    };
    void CycleBegins(App& app, CycleMode mode);
    void CycleEnded(App& app);
    QByteArray SummaryBytes(const App& app) const;

    QString scenarioDirectory_;
    PhoneChanger changePhone_;
    int chosen_ = 0;
    int inCoupler_ = 0;  // the phone the simulator has now
    CycleMode mode_ = CycleMode::Test;  // the mode of the running cycle
    QString phoneProblem_;
    QList<Wait> waits_;
    QStringList summaries_;
};

}  // namespace celvio
