// How long the end of a TEST cycle takes on paper and on disk: writing the result file
// of a failed dual-band cycle (through its temporary file, renamed into place), and
// rendering a printed report into a PDF file with the real Qt printer (the formatted
// report of a passed cycle, and the stored result file of a failed one).
//
// Usage: bench_results [Google Benchmark options]

#include "bench_station.h"
#include "core/app.h"
#include "record/cycle_record.h"
#include "results/printed_report.h"
#include "results/result_file.h"
#include "results/result_grid.h"
#include "results/verdict.h"
#include "shell/qt/qt_platform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Station {
    QTemporaryDir dir;
    celvio::QtPlatform platform{dir.filePath(QStringLiteral("PRINTS"))};
    celvio::App app{platform, dir.path()};
    celvio::CycleRecord record;

    // A failed "GSM,PCN" cycle with every cell filled.
    Station()
    {
        celvio::StationState& st = app.st;
        celvio::bench::SetUpBenchStation(st, 1);
        st.CycleDate = QStringLiteral("07.12.26");
        st.CycleTime = QStringLiteral("14:35:02");
        st.LeftMargin = 5;
        st.FaultDescription = QString(120, QLatin1Char('x'));
        st.Verdict = celvio::Verdict::Failed;
        using celvio::RowId;
        record.ExpectedRxLevel = 50;
        celvio::ResetReadings(record);
        celvio::TakeStationFacts(record, st);
        record.Verdict = celvio::TestVerdict::Failed;
        record.Model = QStringLiteral("Orvane Q7");
        record.Imei = QStringLiteral("351234570543215");
        record.Imsi = QStringLiteral("001010123450001");
        record.PhoneIdentified = true;
        for (int band = 1; band <= 2; ++band) {
            for (RowId row : {RowId::TxPower1, RowId::TxPower3, RowId::PhaseRms, RowId::PhasePeak, RowId::Frequency,
                              RowId::BurstLength, RowId::Template, RowId::RxLevel, RowId::RxQuality})
                for (int c = 1; c <= 3; ++c)
                    celvio::StoreReading(record, band, row, c, QStringLiteral("12.5"), celvio::ReadingOutcome::Passed);
        }
        for (RowId row : {RowId::MobileCall, RowId::DialledNumber, RowId::BaseCall, RowId::SpeechLoopback})
            celvio::StoreReading(record, 1, row, 1, QStringLiteral("Passed"), celvio::ReadingOutcome::Passed);
        celvio::StoreReading(record, 1, RowId::TxPower1, 1, QStringLiteral("39.5"), celvio::ReadingOutcome::Failed);
        celvio::SetUpResultPages(app, record);
    }
};

Station* station = nullptr;

void BM_WriteResultFile(benchmark::State& state)
{
    for (auto _ : state) {
        celvio::WriteResultFile(station->app, station->record);
        state.PauseTiming();
        if (station->app.st.ResultFilePath.isEmpty())
            state.SkipWithError("the result file was not written");
        QFile::remove(station->app.st.ResultFilePath);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WriteResultFile)->Unit(benchmark::kMicrosecond);

void BM_PrintTestReportToPdf(benchmark::State& state)
{
    for (auto _ : state)
        celvio::PrintTestReport(station->app, station->record);
}
BENCHMARK(BM_PrintTestReportToPdf)->Unit(benchmark::kMillisecond);

void BM_PrintResultFileToPdf(benchmark::State& state)
{
    celvio::WriteResultFile(station->app, station->record);
    for (auto _ : state)
        celvio::PrintResultFile(station->app);
}
BENCHMARK(BM_PrintResultFileToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Station data;
    station = &data;
    qputenv("CELVIO_PDF_DIR", data.dir.filePath(QStringLiteral("PRINTS")).toLocal8Bit());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
