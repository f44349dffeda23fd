#include "training/training_session.h"

#include "core/app.h"
#include "core/files.h"
#include "core/text.h"
#include "core/trace.h"
#include "core/training_mark.h"
#include "training/training_choices.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include <filesystem>

namespace celvio {

namespace {

const char* ModeName(CycleMode mode)
{
    switch (mode) {
    case CycleMode::OneScan:
    case CycleMode::ContinuousScan: return "SCAN";
    case CycleMode::Swap: return "SWAP";
    case CycleMode::Test: break;
    }
    return "TEST";
}

QString Seconds(qint64 ms)
{
    return QString::number(double(ms) / 1000.0, 'f', 1) + QStringLiteral(" s");
}

// What the cycle reached, in the trainer's words.
QString VerdictText(const App& app, CycleMode mode, const QString& lastStep)
{
    const StationState& st = app.st;
    const QString headline = app.Form1.Label4.Caption.trimmed();
    if (mode == CycleMode::OneScan || mode == CycleMode::ContinuousScan)
        return QStringLiteral("Scan ended: ") + headline;
    if (!st.ResultFilePath.isEmpty() && mode != CycleMode::Swap)
        return (st.Verdict == Verdict::Passed ? QStringLiteral("Passed") : QStringLiteral("Failed")) +
               QStringLiteral(" (result file written)");
    if (mode == CycleMode::Swap)
        return QStringLiteral("Swap ended: ") + headline;
    return QStringLiteral("No verdict; the cycle ended early at: ") + lastStep;
}

}  // namespace

TrainingSession::TrainingSession(QString scenarioDirectory, PhoneChanger changePhone)
    : scenarioDirectory_(std::move(scenarioDirectory)), changePhone_(std::move(changePhone))
{
}

void TrainingSession::Attach(App& app)
{
    app.TrainingMark = QString::fromLatin1(kTrainingMark);
    app.CycleBegins = [this](App& a, CycleMode mode) { CycleBegins(a, mode); };
    app.CycleEnded = [this](App& a) { CycleEnded(a); };
}

void TrainingSession::Choose(int index)
{
    chosen_ = std::clamp(index, 0, kTrainingChoiceCount - 1);
}

QString TrainingSession::ScenarioFile(int index) const
{
    return QDir(scenarioDirectory_).filePath(QString::fromLatin1(TrainingChoiceAt(index).Scenario));
}

void TrainingSession::Waited(const QString& step, qint64 ms)
{
    if (ms <= 0)
        return;
    if (!waits_.isEmpty() && waits_.last().step == step)
        waits_.last().ms += ms;
    else
        waits_.append({step, ms});
}

void TrainingSession::CycleBegins(App& app, CycleMode mode)
{
    mode_ = mode;
    phoneProblem_.clear();
    if (chosen_ != inCoupler_) {
        phoneProblem_ = changePhone_ ? changePhone_(ScenarioFile(chosen_)) : QStringLiteral("no simulator");
        if (phoneProblem_.isEmpty())
            inCoupler_ = chosen_;
    }
    TraceLine(app, QStringLiteral("Training: simulated phone: ") + QString::fromLatin1(TrainingChoiceAt(inCoupler_).Name) +
                       (phoneProblem_.isEmpty() ? QString() : QStringLiteral(" (not changed: ") + phoneProblem_ + QLatin1Char(')')));
}

QByteArray TrainingSession::SummaryBytes(const App& app) const
{
    const TrainingChoice& choice = TrainingChoiceAt(inCoupler_);
    QStringList lines{QString::fromLatin1(kTrainingMark), QStringLiteral("CELVIO training cycle"),
                      QStringLiteral("Date: ") + app.st.CycleDate + QStringLiteral("  Time: ") + app.st.CycleTime,
                      QStringLiteral("Mode: ") + QString::fromLatin1(ModeName(mode_)),
                      QStringLiteral("Simulated phone: ") + QString::fromLatin1(choice.Name),
                      QStringLiteral("The trainee should see: ") + QString::fromLatin1(choice.Description),
                      QStringLiteral("Verdict: ") +
                          VerdictText(app, mode_, waits_.isEmpty() ? QString() : waits_.last().step)};
    if (!phoneProblem_.isEmpty())
        lines << QStringLiteral("The phone could not be changed: ") + phoneProblem_;
    if (!app.st.ResultFilePath.isEmpty())
        lines << QStringLiteral("Result file: ") + QDir(app.StationDir).relativeFilePath(app.st.ResultFilePath);
    lines << QString() << QStringLiteral("Waits for the trainee:");
    qint64 total = 0;
    // One page: the longest cycles have a few dozen steps; the rest are summed up.
    constexpr int kMaxSteps = 40;
    for (int i = 0; i < waits_.size(); ++i) {
        total += waits_[i].ms;
        if (i < kMaxSteps)
            lines << QStringLiteral("  %1  %2").arg(Seconds(waits_[i].ms), 9).arg(waits_[i].step.left(60));
    }
    if (waits_.size() > kMaxSteps)
        lines << QStringLiteral("  ... %1 more steps").arg(waits_.size() - kMaxSteps);
    lines << QStringLiteral("Total: ") + Seconds(total) << QString()
          << QStringLiteral("The program's trace of the cycle: DEBUG.LOG");
    return ToLatin1(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void TrainingSession::CycleEnded(App& app)
{
    const QString folder = StationPath(app, QStringLiteral("SUMMARIES"));
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdU16String()), error);
    const QString stamp = app.ui.Now().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString path = QDir(folder).filePath(stamp + QStringLiteral(".TXT"));
    for (int n = 2; QFileInfo::exists(path) || IsSymLink(path); ++n)
        path = QDir(folder).filePath(QStringLiteral("%1-%2.TXT").arg(stamp).arg(n));
    QString reason;
    if (error || !WriteFileAtomic(path, SummaryBytes(app), &reason))
        ReportFileNotWritten(app, QStringLiteral("Training summary"), path,
                             error ? QString::fromLocal8Bit(error.message()) : reason);
    else {
        summaries_ << path;
        TraceLine(app, QStringLiteral("Training summary written: ") + path);
    }
    // The cycle's trace goes to DEBUG.LOG at once, for the trainer, as when the trace
    // buffer is full.
    if (app.st.DebugMode == kTrue) {
        SaveDebugLog(app);
        app.DebugFrm.DebugFeld.clear();
        app.DebugFrm.ListIndex = -1;
        ++app.DebugFrm.Generation;
    }
    waits_.clear();
    mode_ = CycleMode::Test;
}

}  // namespace celvio
