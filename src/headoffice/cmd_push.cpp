// celvio-history push: the station's files the server has not acknowledged.
#include "headoffice/cli_common.h"
#include "headoffice/push.h"

#include <QJsonObject>

namespace celvio {

int RunPushCommand(const HeadOfficeArgs& a, QTextStream& out, QTextStream& err)
{
    if (!a.Positional.isEmpty()) {
        err << "celvio-history: push takes no argument: " << a.Positional.first() << '\n';
        return kHistoryUsage;
    }
    if (a.IfConfigured && a.ServerUri.isEmpty() && !HasHeadOfficeFile(a.Station))
        return kHistoryOk;
    PushOptions options;
    if (const int code = ResolveServer(a, options.Server, err); code >= 0)
        return code;
    options.StationDir = a.Station;
    options.Who.Counter = options.Server.Counter;
    ReadStationIdentity(a.Station, options.Who);
    options.BudgetMs = a.BudgetMs;
    options.BatchFiles = a.BatchFiles;
    options.All = a.All;
    options.ConnectTimeoutS = a.TimeoutS;
    options.UpdateIndex = !a.NoUpdate;
    PushReport report;
    ServerError error;
    const bool ok = Push(options, report, error);
    if (!report.IndexWarning.isEmpty())
        err << "celvio-history: " << report.IndexWarning << '\n';
    if (!ok) {
        if (error.Message.startsWith(QLatin1String("history index: "))) {
            err << "celvio-history: " << error.Message << '\n';
            return kHistoryIndexError;
        }
        return ReportServerError(error, err);
    }
    const SentCounts& s = report.Sent;
    if (a.Json) {
        QJsonObject x;
        x[QStringLiteral("server")] = options.Server.Description;
        x[QStringLiteral("tests")] = s.Tests;
        x[QStringLiteral("records")] = s.Records;
        x[QStringLiteral("skipped")] = s.Skipped;
        x[QStringLiteral("new_tests")] = s.NewTests;
        x[QStringLiteral("new_records")] = s.NewRecords;
        x[QStringLiteral("new_skipped")] = s.NewSkipped;
        x[QStringLiteral("pending")] = report.Pending;
        x[QStringLiteral("complete")] = report.Complete;
        x[QStringLiteral("ms")] = double(report.Ms);
        PrintHistoryJson(out, x);
        return kHistoryOk;
    }
    out << "Pushed to " << options.Server.Description << ": " << s.Tests << " tests, " << s.Records
        << " swap record lines, " << s.Skipped << " skipped files (" << s.NewTests + s.NewRecords + s.NewSkipped
        << " new on the server) in " << report.Ms << " ms; " << report.Pending << " files pending"
        << (report.Complete ? "" : " (time was up; the next push goes on)") << '\n';
    return kHistoryOk;
}

}  // namespace celvio
