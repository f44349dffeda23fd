// What a push sends: the station's tests (with their readings), swap record lines and
// skipped files, read from the station's index HISTORY.DB. ReadUploadBatch is the one
// place that knows the index's tables: the uploader and the server see only the
// structs below.
#pragma once

#include "record/cycle_record.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace celvio {

class HistoryIndex;

struct UploadReading {
    QString Quantity;  // English quantity name ("TX Power")
    QString Label;     // the row as stored ("MS Leistung 15 (13 dBm)")
    int Band = 1;
    int Channel = 0;
    QString Value;  // as read
    std::optional<double> Number;
    QString Limit;  // as stored
    std::optional<double> Low, High;
    ReadingOutcome Outcome = ReadingOutcome::Passed;
    std::optional<int> Attempts;
};

struct UploadTest {
    QString Kind;  // "test" or "direct swap"
    QDate Date;
    QString Time;  // hh:mm:ss or empty
    QString DateText, TimeText, Imei, OldImei, Imsi, Model, System, Verdict, Fault;
    QString Tester, Serial, Firmware, Coupler, Version;
    QList<UploadReading> Readings;
};

struct UploadRecord {
    int Line = 0;
    QString Kind;  // "SWAP" or "IMEI"
    QString OldImei, NewImei, Club, Result, ServicePoint;
    QDate Date;  // invalid when the record's date is not one
    QString DateText;
    QByteArray LineHash;  // SHA-256 of the record's fields: its key on the server
};

// A file of the index that the server has not acknowledged.
struct PendingFile {
    qint64 Id = 0;
    QString Folder, Name;  // relative to the station directory
    qint64 Size = 0, MTime = 0;
    bool Result = true;    // a result file, else a record file
    bool Skipped = false;  // the index could not read it
    QString Reason;
    QByteArray Hash;       // SHA-256 of the bytes the index read; empty when it read none
    QString Path() const { return Folder + QLatin1Char('/') + Name; }
};

struct UploadFile {
    PendingFile File;
    QByteArray Hash;  // SHA-256 of the file's bytes
    std::optional<UploadTest> Test;
    QList<UploadRecord> Records;
};

// The files of the index not acknowledged by the server `serverKey` (or changed since),
// in the index's order; with `all`, every file (after a restore of the server).
bool PendingFiles(HistoryIndex& index, const QString& serverKey, QList<PendingFile>& out, QString* error,
                  bool all = false);

// Reads what the index holds of `files`, with each file's hash. A file that changed or
// vanished since the index read it is left out (it stays pending until the index has
// read it again), so that what is sent is always what the index saw.
bool ReadUploadBatch(HistoryIndex& index, const QList<PendingFile>& files, QList<UploadFile>& out, QString* error);

}  // namespace celvio
