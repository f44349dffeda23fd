// A realistic station for the history benchmark and the History window demo: result
// files written by the program's own writer (tests of 60 phone models over the last
// three years, passed, failed with marks, aborted, in English and German, retests of the
// same phone) and the swap records of every day in the year archives.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace celvio {

struct GeneratedStation {
    int ResultFiles = 0;
    int RecordFiles = 0;
    QStringList SomeImeis;  // IMEIs of tested phones, for lookups
};

// Writes `count` result files and the record files into `stationDir` (RESULTS/...).
// Deterministic for a given count and `today`.
GeneratedStation GenerateHistoryStation(const QString& stationDir, int count, const QDate& today);

}  // namespace celvio
