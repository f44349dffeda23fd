#include "history/index_writer.h"

#include <QSqlDriver>
#include <QVariant>
#include <sqlite3.h>

namespace celvio {

namespace {

// Binds `count` values of the rows from position `first` on.
void Bind(sqlite3_stmt* statement, int first, const IndexRows& rows, const BoundValue* values, int count)
{
    for (int i = 0; i < count; ++i) {
        const BoundValue& v = values[i];
        switch (v.kind) {
        case BoundValue::Kind::Null: sqlite3_bind_null(statement, first + i); break;
        case BoundValue::Kind::Number: sqlite3_bind_int64(statement, first + i, v.number); break;
        case BoundValue::Kind::Text:
            sqlite3_bind_text(statement, first + i, rows.TextOf(v), int(v.size), SQLITE_STATIC);
            break;
        }
    }
}

void BindText(sqlite3_stmt* statement, int n, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, n, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

}  // namespace

void IndexWriter::Finalize::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

IndexWriter::IndexWriter(const QSqlDatabase& db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        db_ = *static_cast<sqlite3* const*>(handle.constData());
}

IndexWriter::~IndexWriter() = default;

bool IndexWriter::Prepare(QString* error)
{
    if (!db_) {
        if (error)
            *error = QStringLiteral("the index is not an SQLite database");
        return false;
    }
    const std::pair<Statement*, const char*> statements[] = {
        {&insertFile_, "INSERT INTO files (folder, name, size, mtime, kind, status, reason, hash) VALUES (?,?,?,?,?,?,?,?)"},
        {&insertTest_,
         "INSERT INTO tests (file_id, kind, date, time, stamp, date_text, time_text, imei, old_imei, imsi, model,"
         " system, verdict, fault, tester, serial, firmware, coupler, version)"
         " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"},
        {&insertMark_,
         "INSERT INTO marks (test_id, quantity, row_name, channel, band, value, limit_text, mark) VALUES (?,?,?,?,?,?,?,?)"},
        {&insertReadings_, "INSERT INTO readings (test_id, cells) VALUES (?,?)"},
        {&insertRowText_, "INSERT INTO reading_rows (id, quantity, row_name, limit_text) VALUES (?,?,?,?)"},
        {&insertRecord_,
         "INSERT INTO records (file_id, line, kind, old_imei, new_imei, club, date, result, service_point)"
         " VALUES (?,?,?,?,?,?,?,?,?)"},
        {&deleteFile_, "DELETE FROM files WHERE id = ?"},
    };
    for (const auto& [statement, sql] : statements) {
        sqlite3_stmt* prepared = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &prepared, nullptr) != SQLITE_OK) {
            if (error)
                *error = QString::fromUtf8(sqlite3_errmsg(db_));
            return false;
        }
        statement->reset(prepared);
    }
    return true;
}

bool IndexWriter::LoadRowTexts(RowTexts& rowTexts, QString* error)
{
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT id, quantity, row_name, limit_text FROM reading_rows", -1, &rows, nullptr) !=
        SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(db_));
        return false;
    }
    const Statement owner(rows);
    QList<RowTexts::Text> known;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        auto text = [rows](int n) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, n)),
                                     sqlite3_column_bytes(rows, n));
        };
        known.append(RowTexts::Text{sqlite3_column_int64(rows, 0), text(1), text(2), text(3)});
    }
    rowTexts.Load(known);
    return true;
}

bool IndexWriter::Step(sqlite3_stmt* statement, QString* error)
{
    const int result = sqlite3_step(statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (result == SQLITE_DONE)
        return true;
    if (error)
        *error = QString::fromUtf8(sqlite3_errmsg(db_));
    return false;
}

bool IndexWriter::Remove(qint64 fileId, QString* error)
{
    sqlite3_bind_int64(deleteFile_.get(), 1, fileId);
    return Step(deleteFile_.get(), error);
}

bool IndexWriter::Add(const ReadFile& read, QString* error)
{
    sqlite3_stmt* f = insertFile_.get();
    sqlite3_bind_text(f, 1, read.Rows.folder.constData(), int(read.Rows.folder.size()), SQLITE_STATIC);
    sqlite3_bind_text(f, 2, read.Rows.name.constData(), int(read.Rows.name.size()), SQLITE_STATIC);
    sqlite3_bind_int64(f, 3, read.Size);
    sqlite3_bind_int64(f, 4, read.MTime);
    sqlite3_bind_text(f, 5, read.Result ? "result" : "records", -1, SQLITE_STATIC);
    sqlite3_bind_text(f, 6, read.Ok ? "ok" : "skipped", -1, SQLITE_STATIC);
    if (!read.Ok)
        BindText(f, 7, read.Reason);
    if (!read.Hash.isEmpty())
        sqlite3_bind_blob(f, 8, read.Hash.constData(), int(read.Hash.size()), SQLITE_STATIC);
    if (!Step(f, error))
        return false;
    if (!read.Ok)
        return true;
    const qint64 fileId = sqlite3_last_insert_rowid(db_);
    const IndexRows& rows = read.Rows;
    for (qsizetype at = 0; at + kRecordColumns <= rows.records.size(); at += kRecordColumns) {
        sqlite3_bind_int64(insertRecord_.get(), 1, fileId);
        Bind(insertRecord_.get(), 2, rows, rows.records.constData() + at, kRecordColumns);
        if (!Step(insertRecord_.get(), error))
            return false;
    }
    return !read.Result || AddTest(fileId, read.Rows, error);
}

bool IndexWriter::AddTest(qint64 fileId, const IndexRows& rows, QString* error)
{
    sqlite3_stmt* t = insertTest_.get();
    sqlite3_bind_int64(t, 1, fileId);
    Bind(t, 2, rows, rows.test.constData(), int(rows.test.size()));
    if (!Step(t, error))
        return false;
    const qint64 testId = sqlite3_last_insert_rowid(db_);
    for (qsizetype at = 0; at + kMarkColumns <= rows.marks.size(); at += kMarkColumns) {
        sqlite3_bind_int64(insertMark_.get(), 1, testId);
        Bind(insertMark_.get(), 2, rows, rows.marks.constData() + at, kMarkColumns);
        if (!Step(insertMark_.get(), error))
            return false;
    }
    sqlite3_stmt* r = insertReadings_.get();
    sqlite3_bind_int64(r, 1, testId);
    sqlite3_bind_text(r, 2, rows.cells.constData(), int(rows.cells.size()), SQLITE_STATIC);
    return Step(r, error);
}

bool IndexWriter::AddRowTexts(const QList<RowTexts::Text>& texts, QString* error)
{
    sqlite3_stmt* s = insertRowText_.get();
    for (const RowTexts::Text& text : texts) {
        // Bound without a copy: the values live until the statement has run.
        IndexRows row;
        const BoundValue values[] = {IndexRows::Number(text.id), row.Text(text.quantity), row.Text(text.rowName),
                                     row.Text(text.limit)};
        Bind(s, 1, row, values, 4);
        if (!Step(s, error))
            return false;
    }
    return true;
}

}  // namespace celvio
