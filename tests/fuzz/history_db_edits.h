// The station of the history index's fuzz target and the edits an input makes to its
// index. The input is a list of operations, each a byte that names it and the bytes of
// its arguments; names of tables and columns come from the index itself, never from the
// input, and every value goes in as a bound parameter:
//   set       table, row, column, value       UPDATE of one cell
//   copy      table, row                      the row again (a duplicate key)
//   insert    table, a value per column       a row of any content (dangling keys)
//   delete    table, row
//   version   kind [, 4 bytes]                PRAGMA user_version: 0..4, -1, 100 or any
//   drop      table
//   column    table                           an extra column
//   patch     3 bytes offset, byte count, bytes  the file's own bytes, after the rest
// A value is a type byte and its bytes: NULL, a small or a 64-bit integer, a double,
// a text (UTF-8, length byte first), a text of raw bytes (any encoding), or a blob.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace celvio::fuzz {

struct EditOutcome {
    bool ForeignLayout = false;  // the layout version is one this program does not know
};

class IndexedStation {
public:
    // A station with result and swap record files, indexed, with a push's
    // acknowledgements; the index is kept as the template of every run.
    IndexedStation();
    QString Dir() const { return dir_.path(); }
    // Files the index reads from the station (the damaged one among them).
    int FileCount() const { return files_; }
    // Puts a fresh copy of the index in place and applies the input's edits to it.
    EditOutcome Edit(const uint8_t* data, size_t size);

private:
    struct Table {
        QString name;
        QStringList columns;  // all columns
        QStringList copied;   // without an INTEGER PRIMARY KEY (the row id)
    };
    void Put(const QString& relative, const QByteArray& bytes);
    void Index();

    QTemporaryDir dir_;
    QByteArray template_;
    QList<Table> tables_;
    int files_ = 0;
};

}  // namespace celvio::fuzz
