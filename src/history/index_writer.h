// The rows of the history index written for the files read: SQLite's own prepared
// statements on the index's connection, within the transaction of an update (an index
// of a hundred thousand files takes millions of values).
#pragma once

#include "history/index_files.h"

#include <QSqlDatabase>
#include <QString>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace celvio {

class IndexWriter {
public:
    explicit IndexWriter(const QSqlDatabase& db);
    ~IndexWriter();
    IndexWriter(const IndexWriter&) = delete;
    IndexWriter& operator=(const IndexWriter&) = delete;

    // Prepares the statements; false, with the reason, when the index is not one of
    // this layout.
    bool Prepare(QString* error);

    // The texts the readings of the index share, for the readers of an update.
    bool LoadRowTexts(RowTexts& rowTexts, QString* error);

    // The rows of one file read: the file, and its test with the marked readings and
    // every reading, or its swap records. A file that could not be read is stored as
    // skipped, with its reason.
    bool Add(const ReadFile& read, QString* error);

    // The texts that the readers added.
    bool AddRowTexts(const QList<RowTexts::Text>& texts, QString* error);

    // Takes a file and everything read from it out of the index.
    bool Remove(qint64 fileId, QString* error);

private:
    struct Finalize {
        void operator()(sqlite3_stmt* statement) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

    bool AddTest(qint64 fileId, const IndexRows& rows, QString* error);
    bool Step(sqlite3_stmt* statement, QString* error);

    sqlite3* db_ = nullptr;
    Statement insertFile_, insertTest_, insertMark_, insertReadings_, insertRowText_, insertRecord_, deleteFile_;
};

}  // namespace celvio
