// celvio-history update and rebuild: the station's own index brought up to date (every
// file's size and time compared) or emptied and refilled; both list the files skipped.
#include "history/history_cli.h"
#include "history/history_cli_commands.h"
#include "history/history_index.h"

#include <QJsonArray>
#include <QSqlQuery>
#include <QVariant>

namespace celvio {

namespace {

// The files the index holds as damaged or foreign, with their reasons.
QStringList SkippedFiles(HistoryIndex& index, const Options& o)
{
    QStringList skipped;
    QSqlQuery q(index.Database());
    if (q.exec(QStringLiteral("SELECT folder || '/' || name, reason FROM files WHERE status = 'skipped'"
                              " ORDER BY folder, name"))) {
        while (q.next())
            skipped << Shown(o, q.value(0).toString()) + QStringLiteral(": ") + q.value(1).toString();
    }
    return skipped;
}

void PrintCounts(QTextStream& out, const IndexCounts& c, HistoryIndex& index, const Options& o)
{
    const QStringList skipped = SkippedFiles(index, o);
    if (o.json) {
        QJsonObject x;
        x[QStringLiteral("read")] = c.Read;
        x[QStringLiteral("unchanged")] = c.Unchanged;
        x[QStringLiteral("removed")] = c.Removed;
        x[QStringLiteral("skipped")] = QJsonArray::fromStringList(skipped);
        x[QStringLiteral("ms")] = double(c.Ms);
        PrintHistoryJson(out, x);
        return;
    }
    out << c.Read << " files read, " << c.Unchanged << " unchanged, " << c.Removed << " removed, "
        << c.SkippedTotal << " skipped (damaged or foreign) in " << c.Ms << " ms\n";
    for (const QString& line : skipped)
        out << "skipped: " << line << '\n';
}

}  // namespace

int RunIndexCommand(HistoryIndex& index, const Options& o, QTextStream& out, QTextStream& err)
{
    const bool rebuild = o.command == QLatin1String("rebuild");
    QString error;
    IndexCounts counts;
    const bool ok = rebuild ? index.Rebuild(&counts, &error) : index.Update(UpdateScope::EveryFile, &counts, &error);
    if (!ok) {
        err << "celvio-history: " << error << '\n';
        return kHistoryIndexError;
    }
    PrintCounts(out, counts, index, o);
    return kHistoryOk;
}

}  // namespace celvio
