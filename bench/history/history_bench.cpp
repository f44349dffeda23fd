// How fast the test history answers on a big station: a generated station of 100,000
// result files (and its swap records) indexed from cold, the update after one new
// result file, a phone looked up by its IMEI, and the History window opened.
//
// Usage: bench_history [STATION_DIR] [--count N] [--generate-only]
//   STATION_DIR defaults to /tmp/celvio-history-bench; the station is generated once
//   (a file GENERATED.TXT keeps its count) and used again by later runs.
// Prints lines "FIGURE <name> <value>" for scripts/bench.sh.

#include "history_station.h"

#include "core/files.h"
#include "history/history_index.h"
#include "history/history_query.h"
#include "shell/qt/history_window.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

using namespace celvio;

namespace {

void RemoveIndex(const QString& station)
{
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(station + QStringLiteral("/") + HistoryIndex::DatabaseName() + QString::fromLatin1(suffix));
}

double Ms(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Reads every file of the station once, so that the cold index is timed with the files
// in the page cache, as its goal says: after a build or another benchmark the kernel
// may have let them go, and reading them from the disk doubles the figure.
void IntoThePageCache(const QString& station)
{
    QDirIterator it(station + QStringLiteral("/RESULTS"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            file.readAll();
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    QString station = QStringLiteral("/tmp/celvio-history-bench");
    int count = 100000;
    bool generateOnly = false;
    const QStringList args = application.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--count") && i + 1 < args.size())
            count = args[++i].toInt();
        else if (args[i] == QLatin1String("--generate-only"))
            generateOnly = true;
        else
            station = args[i];
    }

    const QString marker = station + QStringLiteral("/GENERATED.TXT");
    QByteArray generated;
    ReadFileBytes(marker, generated);
    if (generated.trimmed().toInt() != count) {
        QDir(station + QStringLiteral("/RESULTS")).removeRecursively();
        RemoveIndex(station);
        QDir().mkpath(station);
        QElapsedTimer timer;
        timer.start();
        const GeneratedStation made = GenerateHistoryStation(station, count, QDate::currentDate());
        std::printf("generated %d result files and %d record files in %s in %.1f s\n", made.ResultFiles,
                    made.RecordFiles, qPrintable(station), Ms(timer) / 1000);
        WriteFileAtomic(marker, QByteArray::number(count) + "\n");
        // The kernel writes the new files back for a while; the syncs of the timed
        // updates would wait behind that, so it is done before any timing.
        ::sync();
    }
    if (generateOnly)
        return 0;

    // 1. From cold: no database.
    IntoThePageCache(station);
    RemoveIndex(station);
    IndexCounts counts;
    QString error;
    QElapsedTimer timer;
    timer.start();
    {
        HistoryIndex index(station);
        if (!index.Update(UpdateScope::EveryFile, &counts, &error)) {
            std::fprintf(stderr, "bench_history: %s\n", qPrintable(error));
            return 1;
        }
    }
    const double coldMs = Ms(timer);
    std::printf("cold index: %d files read (%d skipped) in %.0f ms\n", counts.Read, counts.SkippedTotal, coldMs);
    std::printf("FIGURE history_cold_index_s %.2f\n", coldMs / 1000);

    // 2. One new result file, then the update the cycle runs (opening the index
    // included). The worst of five.
    QList<TestRow> rows;
    {
        HistoryIndex index(station);
        TestFilter last;
        last.Limit = 1;
        ListTests(index, last, rows);
    }
    QByteArray sample;
    ReadFileBytes(station + QLatin1Char('/') + rows.value(0).File, sample);
    double worstUpdate = 0;
    const QString folder = station + QLatin1Char('/') + QFileInfo(rows.value(0).File).path();
    for (int i = 0; i < 5; ++i) {
        const QString path = folder + QStringLiteral("/NEW%1.TXT").arg(i);
        WriteFileAtomic(path, sample);
        timer.start();
        HistoryIndex index(station);
        if (!index.Update(UpdateScope::ChangedFolders, &counts, &error) || counts.Read != 1) {
            std::fprintf(stderr, "bench_history: the new file was not read (%d read) %s\n", counts.Read,
                         qPrintable(error));
            return 1;
        }
        worstUpdate = std::max(worstUpdate, Ms(timer));
    }
    for (int i = 0; i < 5; ++i)
        QFile::remove(folder + QStringLiteral("/NEW%1.TXT").arg(i));
    {
        HistoryIndex index(station);
        index.Update(UpdateScope::ChangedFolders);
    }
    std::printf("incremental update after one new file: worst of 5 %.1f ms\n", worstUpdate);
    std::printf("FIGURE history_incremental_ms %.1f\n", worstUpdate);

    // 3. Lookups of 200 phones (tests and records), on an open index: the slowest.
    QStringList imeis;
    {
        HistoryIndex index(station);
        TestFilter filter;
        filter.Limit = 20000;
        ListTests(index, filter, rows, nullptr, false);
        for (int i = 0; i < rows.size() && imeis.size() < 200; i += std::max<qsizetype>(1, rows.size() / 200))
            imeis << rows[i].Imei;
        double worst = 0, total = 0, first = 0;
        int found = 0;
        QList<RecordRow> records;
        for (qsizetype i = 0; i < imeis.size(); ++i) {
            timer.start();
            FindTests(index, imeis[i], rows);
            FindRecords(index, imeis[i], records);
            const double ms = Ms(timer);
            // The first lookup also prepares the statements and reads the index pages
            // from disk: shown on its own.
            if (i == 0)
                first = ms;
            else
                worst = std::max(worst, ms);
            total += ms;
            found += int(rows.size());
        }
        std::printf("find IMEI: %lld lookups, %d tests found, first %.3f ms, mean %.3f ms, slowest after the "
                    "first %.3f ms\n",
                    static_cast<long long>(imeis.size()), found, first,
                    total / std::max<qsizetype>(1, imeis.size()), worst);
        std::printf("FIGURE history_find_ms %.3f\n", worst);
    }

    // The same through the command line, process start included (for information).
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../../src/celvio-history");
    if (QFile::exists(tool) && !imeis.isEmpty()) {
        QProcess process;
        timer.start();
        process.start(tool, {QStringLiteral("--station"), station, QStringLiteral("find"), imeis[0]});
        process.waitForFinished(30000);
        std::printf("celvio-history find %s: exit %d, %.0f ms wall with process start\n%s", qPrintable(imeis[0]),
                    process.exitCode(), Ms(timer), process.readAllStandardOutput().constData());
    }

    // 4. The History window: built, filled (list and charts) and shown.
    double worstOpen = 0;
    for (int i = 0; i < 3; ++i) {
        timer.start();
        HistoryWindowView window(station);
        window.show();
        QApplication::processEvents();
        worstOpen = std::max(worstOpen, Ms(timer));
    }
    std::printf("History window open: worst of 3 %.1f ms\n", worstOpen);
    std::printf("FIGURE history_window_open_ms %.1f\n", worstOpen);
    return 0;
}
