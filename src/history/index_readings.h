// Every reading of every test in the history index. A station of a hundred thousand
// tests holds millions of readings, so the index keeps them compactly: one row per
// test in `readings` whose `cells` text lists its readings in the file's order, each
// naming its row text in `reading_rows` (the quantity, the row name as the file gives
// it, the limit: a station has few of them), its band, channel, outcome, attempts and
// the value as read. The marked readings are also in `marks`, for the questions about
// failures.
#pragma once

#include "record/cycle_record.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace celvio {

class HistoryIndex;

// One reading as the index keeps it.
struct IndexedReading {
    QString Quantity;  // English name of the quantity ("TX Power"), a call row's file label
    QString RowName;   // the row as the file names it ("MS Leistung 15 (13 dBm)")
    int Band = 1;
    int Channel = 0;  // the traffic channel of its block; 0 for the call rows or an unknown one
    QString Value;    // as read, without its mark
    std::optional<double> Number;
    QString Limit;  // as stored, without brackets
    std::optional<double> Low, High;
    ReadingOutcome Outcome = ReadingOutcome::Passed;
    int Attempts = 0;  // 0: not known (the file does not say)

    bool operator==(const IndexedReading&) const = default;
};

// One cell of the compact text: its row text, where it lies and how it came out.
struct EncodedCell {
    qint64 RowText = 0;
    int Band = 1;
    int Channel = 0;
    ReadingOutcome Outcome = ReadingOutcome::Passed;
    int Attempts = 0;
    QString Value;

    bool operator==(const EncodedCell&) const = default;
};

// Appends a cell to the compact text: "rowtext,band,channel,outcome,attempts,length:value".
void EncodeCell(QString& cells, const EncodedCell& cell);
// The cell's text after its row text (",band,channel,...") in UTF-8.
QByteArray EncodedTail(const EncodedCell& cell);
// The same appended to `out`, from the cell's parts (the index writes millions).
void AppendEncodedTail(QByteArray& out, int band, int channel, ReadingOutcome outcome, int attempts,
                       const QString& value);
// A whole number in decimal appended to `out`, as QByteArray::number writes it.
void AppendNumber(QByteArray& out, qint64 value);
// A text appended to `out` in UTF-8.
void AppendUtf8(QByteArray& out, const QString& text);
// The cells of a compact text; false when it is damaged (the cells before it are kept):
// cut short, or a band other than 1 and 2, a negative channel or attempts.
bool DecodeCells(const QString& cells, QList<EncodedCell>& out);

// Every reading of the tests of the files `firstFile` to `lastFile` (by the index's
// file id), in the order of their files. A file whose readings text is damaged, or names
// a row text the index does not have, is left out of `byFile` and named in `damagedFiles`.
bool ReadingsOfFiles(const QSqlDatabase& db, qint64 firstFile, qint64 lastFile,
                     QHash<qint64, QList<IndexedReading>>& byFile, QSet<qint64>& damagedFiles, QString* error);

// Every reading of one test (by its id in `tests`); false, with the reason, when its
// readings text is damaged (never a part of them).
bool ReadingsOfTest(HistoryIndex& index, qint64 testId, QList<IndexedReading>& out, QString* error = nullptr);

// Has the next update read these files (by the index's file id) again, as if they had
// changed: for rows of the index found damaged.
bool ReadAgain(HistoryIndex& index, const QSet<qint64>& fileIds, QString* error = nullptr);

}  // namespace celvio
