#include "cycle/history_hooks.h"

#include "core/app.h"
#include "core/trace.h"
#include "headoffice/server_address.h"
#include "history/history_index.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace celvio {

namespace {

// A write that waits for another process (celvio-history rebuilding) gives up soon:
// the next cycle catches up.
constexpr int kBusyMs = 500;
// The longest an update may hold up the program: a first start on years of result
// files indexes them over the first cycles rather than all at once.
constexpr qint64 kStartUpBudgetMs = 3000;
constexpr qint64 kCycleBudgetMs = 1000;

}  // namespace

void UpdateHistoryIndex(App& app, bool everyFile)
{
    HistoryIndex index(app.StationDir, kBusyMs);
    index.SetDateOrder(RegionalDateOrder(app.ui.Locale()));
    IndexCounts counts;
    QString error;
    if (!index.Update(everyFile ? UpdateScope::EveryFile : UpdateScope::ChangedFolders, &counts, &error,
                      everyFile ? kStartUpBudgetMs : kCycleBudgetMs)) {
        TraceLine(app, QStringLiteral("History index not updated: ") + error);
        StartHeadOfficePush(app);
        return;
    }
    if (counts.Read > 0 || counts.Removed > 0)
        TraceLine(app, QStringLiteral("History index: %1 files read, %2 removed, %3 skipped in %4 ms%5")
                           .arg(counts.Read)
                           .arg(counts.Removed)
                           .arg(counts.Skipped)
                           .arg(counts.Ms)
                           .arg(counts.Complete ? QString() : QStringLiteral(", more after the next cycle")));
    StartHeadOfficePush(app);
}

namespace {

// The push's own limits: it gives up connecting after kPushConnectS and stops sending
// after kPushBudgetMs (the rest goes with the next push); a push still running after
// kPushKillMs is ended when the next one is due.
constexpr int kPushConnectS = 5;
constexpr qint64 kPushBudgetMs = 20000;
constexpr qint64 kPushKillMs = 120000;

QString HistoryProgram(const App& app)
{
    if (!app.HeadOffice.Program.isEmpty())
        return app.HeadOffice.Program;
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/celvio-history");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStandardPaths::findExecutable(QStringLiteral("celvio-history"));
}

// The last line a finished push wrote, for the trace.
QString LastLine(const QByteArray& bytes)
{
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}

void PushFinished(App& app, QProcess& process, int code, QProcess::ExitStatus status)
{
    if (status == QProcess::NormalExit && code == 0) {
        TraceLine(app, QStringLiteral("Head office: ") + LastLine(process.readAllStandardOutput()));
        return;
    }
    QString why = LastLine(process.readAllStandardError());
    why.remove(QStringLiteral("celvio-history: "));
    if (why.isEmpty())
        why = status == QProcess::NormalExit ? QStringLiteral("exit code %1").arg(code) : process.errorString();
    TraceLine(app, QStringLiteral("Head office: push failed (") + why +
                       QStringLiteral("); the next push catches up"));
}

}  // namespace

void StartHeadOfficePush(App& app)
{
    if (!HasHeadOfficeFile(app.StationDir))
        return;
    BackgroundPush& push = app.HeadOffice;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (push.Running && push.Running->state() != QProcess::NotRunning) {
        if (now - push.StartedMs < kPushKillMs)
            return;
        TraceLine(app, QStringLiteral("Head office: a push still running after %1 s is ended").arg(kPushKillMs / 1000));
        push.Running->kill();
        push.Running->waitForFinished(1000);
    }
    const QString program = HistoryProgram(app);
    if (program.isEmpty()) {
        TraceLine(app, QStringLiteral("Head office: celvio-history not found; no push"));
        return;
    }
    auto process = std::make_shared<QProcess>();
    process->setProgram(program);
    process->setArguments({QStringLiteral("--station"), app.StationDir, QStringLiteral("push"),
                           QStringLiteral("--no-update"), QStringLiteral("--timeout"), QString::number(kPushConnectS),
                           QStringLiteral("--budget-ms"), QString::number(kPushBudgetMs)});
    QProcess* raw = process.get();
    QObject::connect(raw, &QProcess::finished, raw, [&app, raw](int code, QProcess::ExitStatus status) {
        PushFinished(app, *raw, code, status);
    });
    QObject::connect(raw, &QProcess::errorOccurred, raw, [&app, raw](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            TraceLine(app, QStringLiteral("Head office: push not started (") + raw->errorString() + QLatin1Char(')'));
    });
    push.Running = process;
    push.StartedMs = now;
    process->start();
}

}  // namespace celvio
