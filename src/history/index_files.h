// The files an update of the history index reads: each one read and parsed on its own
// (a pure function of its bytes), many at a time on the machine's cores, and handed
// to the index's writer in the order of the station's folders.
#pragma once

#include "core/text.h"
#include "history/record_parser.h"
#include "record/result_file_format.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <mutex>
#include <optional>

namespace celvio {

// A file the update is to read: where it lies, and the index's row of its earlier
// reading, which the new one replaces.
struct PlannedFile {
    QString Folder;  // named from the station directory ("RESULTS/351234")
    QString Name;
    QString Path;    // the full path
    qint64 OldId = -1;
};

// A value the index's writer binds: a text (UTF-8, a part of its rows' texts), a whole
// number, or NULL.
struct BoundValue {
    enum class Kind : quint8 { Null, Text, Number };
    Kind kind = Kind::Null;
    qint64 number = 0;   // the number; of a text, where it begins in the texts
    qsizetype size = 0;  // of a text, its length in bytes
};

// The texts the readings share (reading_rows: quantity, row name, limit), each with its
// id: those of the index, and those the readers of an update add. Shared by the readers'
// threads; the writer stores the new ones.
class RowTexts {
public:
    struct Text {
        qint64 id = 0;
        QString quantity, rowName, limit;
    };
    // The index's texts; new ones get ids after the largest.
    void Load(const QList<Text>& known);
    // The id of a text, added when it is new.
    qint64 Id(const QString& quantity, const QString& rowName, const QString& limit);
    // The texts added since the last call.
    QList<Text> TakeNew();

private:
    std::mutex mutex_;
    QHash<QString, qint64> ids_;
    QList<Text> new_;
    qint64 next_ = 1;
};

// The row texts' ids one reader thread has looked up: the shared table, and its lock,
// is asked once per text and thread rather than once per reading.
class RowTextIds {
public:
    explicit RowTextIds(RowTexts& shared) : shared_(shared) {}
    // The id of the row text of a reading of `row` (whose quantity is `quantity`).
    qint64 Id(RowId row, const QString& quantity, const QString& rowName, const QString& limit);

private:
    struct Key {
        RowId row;
        QString rowName, limit;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) { return qHashMulti(seed, int(key.row), key.rowName, key.limit); }

    RowTexts& shared_;
    QHash<Key, qint64> known_;
};

// The index's rows for a file, made in the reader's thread so that the writer only
// binds them: the file, the test (its columns after file_id) with its readings' compact
// text and its marked readings (their columns after test_id), and the lines of a swap
// record file (their columns after file_id). The text values are kept one after another
// in one buffer, used again for the next file.
inline constexpr int kMarkColumns = 7;
inline constexpr int kRecordColumns = 8;

struct IndexRows {
    QByteArray folder, name;
    QByteArray texts;
    QList<BoundValue> test;
    QByteArray cells;
    QList<BoundValue> marks;    // kMarkColumns values a row
    QList<BoundValue> records;  // kRecordColumns values a row

    // A text value (NULL for a null text), its bytes added to the texts.
    BoundValue Text(const QString& text);
    static BoundValue Number(qint64 number) { return BoundValue{BoundValue::Kind::Number, number, 0}; }
    // The bytes of a text value.
    const char* TextOf(const BoundValue& value) const { return texts.constData() + value.number; }
};

// What a file's bytes say, as the index's writer takes it.
struct ReadFile {
    qint64 Size = 0;
    qint64 MTime = 0;  // ms since the epoch
    bool Result = true;  // a result file, else a swap record file
    bool Ok = false;     // false: damaged or foreign, with the reason
    QString Reason;
    QByteArray Hash;  // SHA-256 of the bytes read; empty when none were read
    IndexRows Rows;

    // Back to what nothing read says, keeping the memory of the lists for the next file.
    void Clear();
};

// What one reader thread keeps from file to file: the file's bytes, the record or the
// swap records read from them, and the row texts' ids it has looked up (none when the
// update makes no rows). Each file's are made anew; the memory is used again.
struct FileParse {
    explicit FileParse(RowTexts* rowTexts);
    QByteArray Bytes;
    CycleRecord Test;
    QList<CellRef> Cells;  // the cells the result file holds, in its order
    ParsedRecords Records;
    std::optional<RowTextIds> Ids;
};

bool IsResultName(const QString& name);

// What the readers of an update share: the station's order of day and month, and the
// row texts.
struct ReadContext {
    DateOrder order = DateOrder::DayFirst;
    RowTexts* rowTexts = nullptr;
};

// The rows of a file read (ReadFile::Rows, whose folder and name the reader has set),
// from its record or its swap records.
void MakeIndexRows(FileParse& parse, ReadFile& read);

// A stored result file's bytes read into a record (ReadResultFile); a file written in
// training begins with its marking line, which is passed over.
bool ReadStoredResultFile(const QByteArray& bytes, const QDate& fileDay, CycleRecord& out, QString* reason,
                          DateOrder order, QList<CellRef>* cellsRead = nullptr);

// Reads and parses one file, and makes its rows (when the context has row texts). Safe
// to call from several threads at once, each with its own `parse`.
void ReadStationFile(const PlannedFile& file, const ReadContext& context, FileParse& parse, ReadFile& out);

// Reads `plan` on the machine's cores (a few hundred files ahead at most) and hands
// each file to `take` in the calling thread, in the plan's order; `take` returns
// false to stop (the files not handed over are not read any further).
void ReadInParallel(const QList<PlannedFile>& plan, const ReadContext& context,
                    const std::function<bool(const PlannedFile&, ReadFile&)>& take);

}  // namespace celvio
