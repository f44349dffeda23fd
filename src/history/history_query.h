// The questions the history answers, shared by celvio-history and the History window:
// the tests and swaps of a phone, a filtered list of tests, counts and pass rates by
// model, day, week or quantity, tests per day, and the CSV export.
#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace celvio {

class HistoryIndex;

// One result file: a test, or the record of a phone swapped without a test.
struct TestRow {
    qint64 Id = 0;
    QString Kind;  // "test" or "direct swap"
    QString Date;  // yyyy-MM-dd
    QString Time;  // hh:mm:ss, may be empty
    QString Imei, OldImei, Imsi, Model, System;
    QString Verdict;  // passed, failed, aborted; "swap" for a direct swap
    QString Fault;
    QString TesterSerial, Firmware;
    QString File;  // the result file, relative to the station directory
    QStringList Failed;  // the values marked failed: "Quantity [channel]: value"
    QString Shop, Counter;  // the chain's rows only: service point ID and counter name
};

// One line of a swap record file.
struct RecordRow {
    QString Kind;  // "SWAP" (swap file) or "IMEI" (IMEI file)
    QString Date;  // yyyy-MM-dd
    QString OldImei, NewImei, Club, Result, ServicePoint;
    QString File;  // relative to the station directory
    int Line = 0;
    QString Shop, Counter;  // the chain's rows only
};

struct TestFilter {
    QDate Since, Until;     // inclusive; invalid: open
    QString Model;          // part of the model name, any case
    QString Verdict;        // passed, failed, aborted; empty: all
    QString ImeiPrefix;     // the first digits of the IMEI (or the old IMEI of a direct swap)
    bool TestsOnly = false; // leave out direct swaps
    int Limit = 0;          // 0: no limit
};

struct StatsRow {
    QString Group;  // the model, the day (yyyy-MM-dd), the week (yyyy-Www), the shop or "all"
    int Tests = 0, Passed = 0, Failed = 0, Aborted = 0, Swaps = 0;
    double PassRate() const { return Tests ? 100.0 * Passed / Tests : 0.0; }
};

struct QuantityStatsRow {
    QString Quantity;
    int FailedTests = 0;  // tests with at least one value of the quantity marked failed
    int FailedValues = 0; // values marked "*"
    int Repeated = 0;     // values marked "!" (passed only on repetition)
};

enum class StatsBy { All, Model, Day, Week, Shop };  // Shop: the chain's database only

// Every test and swap of a phone, newest first. False on a database error.
bool FindTests(HistoryIndex& index, const QString& imei, QList<TestRow>& rows, QString* error = nullptr);
bool FindRecords(HistoryIndex& index, const QString& imei, QList<RecordRow>& rows, QString* error = nullptr);

// Tests (and direct swaps unless TestsOnly) that pass the filter, newest first.
bool ListTests(HistoryIndex& index, const TestFilter& filter, QList<TestRow>& rows, QString* error = nullptr,
               bool withMarks = true);

// Counts by group, in the group's order (models by their name). Swaps are the lines of
// the swap files: per model, those whose old phone was tested here with that model.
bool Stats(HistoryIndex& index, StatsBy by, const TestFilter& filter, QList<StatsRow>& rows,
           QString* error = nullptr);
bool QuantityStats(HistoryIndex& index, const TestFilter& filter, QList<QuantityStatsRow>& rows,
                   QString* error = nullptr);

// Tests per day from `from` to `to`, one entry per day (days without tests give 0).
bool TestsPerDay(HistoryIndex& index, const QDate& from, const QDate& to, QList<int>& counts,
                 QString* error = nullptr);

// The CSV export: one row per test, comma-separated, fields quoted where needed, CR LF.
// A field that starts with "=", "+", "-", "@", a tab or a CR gets an apostrophe in front
// so that a spreadsheet does not run it as a formula.
// Columns: date,time,imei,imsi,model,system,verdict,failed,fault,tester_serial,firmware,file
// The chain's export adds the columns shop,counter at the end.
QByteArray CsvHeader(bool chain = false);
QByteArray CsvRow(const TestRow& row, bool chain = false);

// The week of a day as "yyyy-Www" (ISO week).
QString WeekName(const QDate& day);

}  // namespace celvio
