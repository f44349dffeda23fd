#include "history_db_edits.h"

#include "fuzz_support.h"
#include "support/result_files.h"

#include "headoffice/local_acks.h"
#include "headoffice/upload_source.h"
#include "history/history_index.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <cstring>

namespace celvio::fuzz {

namespace {

// The files' lines are written with "|" at their ends; the station's are Latin-1, CR LF.
QByteArray StationText(const char* text)
{
    QByteArray out;
    for (const QByteArray& line : QByteArray(text).split('\n')) {
        if (line.endsWith('|'))
            out += QString::fromUtf8(line.chopped(1)).toLatin1() + "\r\n";
    }
    return out;
}

const char kSwapFile[] = R"(
IWRSWAP	V1.0	AB123	20261207|
# Handy Shop Nord	Hauptstr. 5 Kiel	0431 998877	M. Berg|
SWAP	351234000000017	351234000000025	0123456789	20261207|
END	 1 |
)";

const char kImeiFile[] = R"(
IWRIMEI	V1.0	AB123	20261207|
# Handy Shop Nord	Hauptstr. 5 Kiel	0431 998877	M. Berg|
IMEI	351234570543215		*	20261207	FAIL|
IMEI	351234000000017	351234000000025	0123456789	20261207	SWAP|
END	 2 |
)";

// The input, read from the front; bytes past its end read 0.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool AtEnd() const { return at_ >= size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    QByteArray Bytes(size_t n)
    {
        n = std::min(n, size_ - std::min(at_, size_));
        QByteArray out(reinterpret_cast<const char*>(data_ + at_), qsizetype(n));
        at_ += n;
        return out;
    }
    qint64 Int64()
    {
        quint64 v = 0;
        for (int i = 0; i < 8; ++i)
            v = (v << 8) | Byte();
        return qint64(v);
    }

private:
    const uint8_t* data_;
    size_t size_, at_ = 0;
};

struct Value {
    QVariant bound;
    bool rawText = false;  // bound as a blob, stored as a text of those bytes
};

Value ReadValue(Reader& in)
{
    switch (in.Byte() % 7) {
    case 0: return {QVariant(), false};
    case 1: return {QVariant(qint64(int8_t(in.Byte()))), false};
    case 2: return {QVariant(in.Int64()), false};
    case 3: {
        const qint64 bits = in.Int64();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return {QVariant(d), false};
    }
    case 4: return {QVariant(QString::fromUtf8(in.Bytes(in.Byte()))), false};
    case 5: return {QVariant(in.Bytes(in.Byte())), true};
    default: return {QVariant(in.Bytes(in.Byte())), false};
    }
}

QString Quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString Placeholder(const Value& v)
{
    return v.rawText ? QStringLiteral("CAST(? AS TEXT)") : QStringLiteral("?");
}

// The row id of the `pick`th row of a table (wrapping); 0 when it is empty.
qint64 RowOf(QSqlDatabase& db, const QString& table, uint8_t pick)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid LIMIT 1 OFFSET (? % MAX(1, (SELECT COUNT(*) FROM %1)))")
                  .arg(Quoted(table)));
    q.bindValue(0, int(pick));
    return q.exec() && q.next() ? q.value(0).toLongLong() : 0;
}

}  // namespace

IndexedStation::IndexedStation()
{
    QDir(dir_.path()).mkpath(QStringLiteral("RESULTS/LOG"));
    Put(QStringLiteral("CELVIO.INI"), "LANGUAGE    1\r\n");
    Put(QStringLiteral("RESULTS/351234/0000017.TXT"), StationText(testing::kPassedGsmFile));
    Put(QStringLiteral("RESULTS/351234/0543215.TXT"), StationText(testing::kFailedDualBandGermanFile));
    Put(QStringLiteral("RESULTS/351234/0000025.TXT"), StationText(testing::kSwappedWithoutTestFile));
    Put(QStringLiteral("RESULTS/351234/0000033.TXT"), "TEST REPORT - CELVIO : 2.02\r\nDate: 12/7/26");
    Put(QStringLiteral("RESULTS/LOG/AB123ACT.IWR"), StationText(kSwapFile));
    Put(QStringLiteral("RESULTS/LOG/AB123ACT.IME"), StationText(kImeiFile));
    Index();
}

void IndexedStation::Put(const QString& relative, const QByteArray& bytes)
{
    QFile file(dir_.filePath(relative));
    QDir().mkpath(QFileInfo(file).path());
    Check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "the station's files are written");
    file.close();
    Check(file.open(QIODevice::ReadWrite) &&
              file.setFileTime(QDateTime(QDate(2026, 12, 7), QTime(18, 0)), QFileDevice::FileModificationTime),
          "the station's files get their time");
}

void IndexedStation::Index()
{
    {
        HistoryIndex index(dir_.path(), 0);
        IndexCounts counts;
        QString error;
        Check(index.Open(&error) && index.Rebuild(&counts, &error), "the station is indexed", error);
        files_ = counts.Read;
        // A push that the server acknowledged for some of the files.
        QList<PendingFile> pending;
        QList<UploadFile> batch;
        Check(PendingFiles(index, QStringLiteral("db.example:5432/celvio"), pending, &error) &&
                  ReadUploadBatch(index, pending.mid(0, 3), batch, &error) &&
                  RecordAcks(index, QStringLiteral("db.example:5432/celvio"), batch, &error),
              "the acknowledgements are recorded", error);
        PushState state;
        state.LastAttempt = state.LastSuccess = QDateTime(QDate(2026, 12, 7), QTime(18, 5));
        state.Pending = int(pending.size() - batch.size());
        Check(RecordPushOutcome(index, QStringLiteral("db.example:5432/celvio"), state, &error), "the push is recorded",
              error);
        QSqlDatabase db = index.Database();
        QSqlQuery q(db);
        Check(q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")),
              "the tables are listed");
        while (q.next())
            tables_.append(Table{q.value(0).toString(), {}, {}});
        for (Table& t : tables_) {
            QSqlQuery info(db);
            info.exec(QStringLiteral("SELECT name, type, pk, (SELECT COUNT(*) FROM pragma_table_info(?) WHERE pk > 0)"
                                     " FROM pragma_table_info(?)").replace(QStringLiteral("?"), QStringLiteral("'") + t.name + QStringLiteral("'")));
            while (info.next()) {
                t.columns << info.value(0).toString();
                if (!(info.value(2).toInt() == 1 && info.value(3).toInt() == 1 &&
                      info.value(1).toString().compare(QStringLiteral("INTEGER"), Qt::CaseInsensitive) == 0))
                    t.copied << info.value(0).toString();
            }
        }
    }
    QFile file(dir_.filePath(HistoryIndex::DatabaseName()));
    Check(file.open(QIODevice::ReadOnly), "the index is kept");
    template_ = file.readAll();
    Check(!QFileInfo::exists(file.fileName() + QStringLiteral("-wal")), "the index is whole in its file");
}

namespace {

struct Patch {
    qsizetype offset;
    QByteArray bytes;
};

// One operation of the input on the open copy (its result does not matter: a statement
// the database refuses changes nothing).
template <typename Table>
void Apply(QSqlDatabase& db, const QList<Table>& tables, Reader& in, QList<Patch>& patches, int& version)
{
    const uint8_t op = in.Byte() % 9;
    const Table& t = tables[in.Byte() % tables.size()];
    QSqlQuery q(db);
    if (op <= 1) {  // set
        const qint64 row = RowOf(db, t.name, in.Byte());
        const QString column = t.columns[in.Byte() % t.columns.size()];
        const Value v = ReadValue(in);
        q.prepare(QStringLiteral("UPDATE %1 SET %2 = %3 WHERE rowid = ?").arg(Quoted(t.name), Quoted(column), Placeholder(v)));
        q.bindValue(0, v.bound);
        q.bindValue(1, row);
    } else if (op == 2) {  // copy
        const QString columns = QStringList(t.copied).replaceInStrings(QStringLiteral("^(.*)$"), QStringLiteral("\"\\1\"")).join(',');
        q.prepare(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %1 WHERE rowid = ?").arg(Quoted(t.name), columns));
        q.bindValue(0, RowOf(db, t.name, in.Byte()));
    } else if (op == 3) {  // insert
        QStringList names, marks;
        QList<Value> values;
        for (const QString& c : t.columns) {
            values << ReadValue(in);
            names << Quoted(c);
            marks << Placeholder(values.last());
        }
        q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(Quoted(t.name), names.join(','), marks.join(',')));
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i].bound);
    } else if (op == 4) {  // delete
        q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(Quoted(t.name)));
        q.bindValue(0, RowOf(db, t.name, in.Byte()));
    } else if (op == 5) {  // version
        const uint8_t kind = in.Byte() % 8;
        version = kind <= 4 ? kind : kind == 5 ? -1 : kind == 6 ? 100 : int(quint32(in.Int64()));
        q.prepare(QStringLiteral("PRAGMA user_version = %1").arg(version));
    } else if (op == 6) {  // drop
        q.prepare(QStringLiteral("DROP TABLE %1").arg(Quoted(t.name)));
    } else if (op == 7) {  // column
        q.prepare(QStringLiteral("ALTER TABLE %1 ADD COLUMN extra TEXT").arg(Quoted(t.name)));
    } else {  // patch
        qsizetype offset = 0;
        for (int i = 0; i < 3; ++i)
            offset = offset << 8 | in.Byte();
        patches.append(Patch{offset, in.Bytes(1 + in.Byte() % 8)});
        return;
    }
    q.exec();
}

}  // namespace

EditOutcome IndexedStation::Edit(const uint8_t* data, size_t size)
{
    const QString path = dir_.filePath(HistoryIndex::DatabaseName());
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
    QFile file(path);
    Check(file.open(QIODevice::WriteOnly) && file.write(template_) == template_.size(), "the index is copied");
    file.close();

    QList<Patch> patches;
    int version = 3;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fuzz-edit"));
        db.setDatabaseName(path);
        Check(db.open(), "the copy opens");
        Reader in(data, size);
        while (!in.AtEnd())
            Apply(db, tables_, in, patches, version);
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next())
            version = q.value(0).toInt();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fuzz-edit"));

    Check(file.open(QIODevice::ReadWrite), "the copy opens for patches");
    for (const Patch& p : patches) {
        if (file.size() > 0 && file.seek(p.offset % file.size()))
            file.write(p.bytes);
    }
    file.close();
    return EditOutcome{patches.isEmpty() && version != 0 && (version < 1 || version > 3)};
}

}  // namespace celvio::fuzz
