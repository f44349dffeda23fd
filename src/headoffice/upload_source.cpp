#include "headoffice/upload_source.h"

#include "core/files.h"
#include "history/history_index.h"
#include "history/index_sql.h"
#include "history/index_readings.h"
#include "headoffice/local_acks.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <sys/stat.h>

namespace celvio {

namespace {

using index_sql::Fail;

// The file as the index saw it (same size and time), with its hash (the index's, else
// read now); false otherwise.
bool HashUnchanged(const QString& stationDir, const PendingFile& f, QByteArray& hash)
{
    const QString path = ResolvePath(stationDir, f.Path());
    struct stat buf {};
    if (::stat(QFile::encodeName(path).constData(), &buf) != 0 || qint64(buf.st_size) != f.Size ||
        qint64(buf.st_mtim.tv_sec) * 1000 + buf.st_mtim.tv_nsec / 1000000 != f.MTime)
        return false;
    if (!f.Hash.isEmpty()) {
        hash = f.Hash;
        return true;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QCryptographicHash sha(QCryptographicHash::Sha256);
    if (!sha.addData(&file) || file.size() != f.Size)
        return false;
    hash = sha.result();
    return true;
}

// Every reading of the tests of files firstFile..lastFile, as the index keeps them.
bool ReadReadings(const QSqlDatabase& db, qint64 firstFile, qint64 lastFile,
                  QHash<qint64, QList<UploadReading>>& byFile, QSet<qint64>& damaged, QString* error)
{
    QHash<qint64, QList<IndexedReading>> indexed;
    if (!ReadingsOfFiles(db, firstFile, lastFile, indexed, damaged, error))
        return false;
    for (auto it = indexed.cbegin(); it != indexed.cend(); ++it) {
        QList<UploadReading>& readings = byFile[it.key()];
        readings.reserve(it.value().size());
        for (const IndexedReading& i : it.value())
            readings.append(UploadReading{i.Quantity, i.RowName, i.Band, i.Channel, i.Value, i.Number, i.Limit, i.Low,
                                          i.High, i.Outcome,
                                          i.Attempts > 0 ? std::optional<int>(i.Attempts) : std::nullopt});
    }
    return true;
}

bool ReadTests(QSqlDatabase db, qint64 firstFile, qint64 lastFile, QHash<qint64, UploadTest>& byFile, QString* error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT file_id, kind, date, time, date_text, time_text, imei, old_imei, imsi, model,"
                                  " system, verdict, fault, tester, serial, firmware, coupler, version FROM tests"
                                  " WHERE file_id BETWEEN ? AND ?")))
        return Fail(error, q);
    q.bindValue(0, firstFile);
    q.bindValue(1, lastFile);
    if (!q.exec())
        return Fail(error, q);
    while (q.next()) {
        UploadTest t;
        int n = 1;
        t.Kind = q.value(n++).toString();
        t.Date = QDate::fromString(q.value(n++).toString(), Qt::ISODate);
        t.Time = q.value(n++).toString();
        for (QString* field : {&t.DateText, &t.TimeText, &t.Imei, &t.OldImei, &t.Imsi, &t.Model, &t.System, &t.Verdict,
                               &t.Fault, &t.Tester, &t.Serial, &t.Firmware, &t.Coupler, &t.Version})
            *field = q.value(n++).toString();
        byFile.insert(q.value(0).toLongLong(), t);
    }
    return true;
}

bool ReadRecords(QSqlDatabase db, qint64 firstFile, qint64 lastFile, QHash<qint64, QList<UploadRecord>>& byFile,
                 QString* error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT file_id, line, kind, old_imei, new_imei, club, date, result, service_point"
                                  " FROM records WHERE file_id BETWEEN ? AND ? ORDER BY file_id, line")))
        return Fail(error, q);
    q.bindValue(0, firstFile);
    q.bindValue(1, lastFile);
    if (!q.exec())
        return Fail(error, q);
    while (q.next()) {
        UploadRecord r;
        r.Line = q.value(1).toInt();
        r.Kind = q.value(2).toString();
        r.OldImei = q.value(3).toString();
        r.NewImei = q.value(4).toString();
        r.Club = q.value(5).toString();
        r.DateText = q.value(6).toString();
        r.Date = QDate::fromString(r.DateText, Qt::ISODate);
        r.Result = q.value(7).toString();
        r.ServicePoint = q.value(8).toString();
        const QString key = QStringList{r.Kind, r.OldImei, r.NewImei, r.Club, r.DateText, r.Result, r.ServicePoint}
                                .join(QLatin1Char('\t'));
        r.LineHash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256);
        byFile[q.value(0).toLongLong()].append(r);
    }
    return true;
}

}  // namespace

bool PendingFiles(HistoryIndex& index, const QString& serverKey, QList<PendingFile>& out, QString* error, bool all)
{
    out.clear();
    if (!EnsureAckTables(index, error))
        return false;
    QSqlQuery q(index.Database());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT f.id, f.folder, f.name, f.size, f.mtime, f.kind, f.status, f.reason, f.hash"
                                  " FROM files f LEFT JOIN headoffice_acks a"
                                  " ON a.server = ? AND a.folder = f.folder AND a.name = f.name"
                                  " WHERE f.id > ? AND (? OR a.name IS NULL OR a.size <> f.size OR a.mtime <> f.mtime)"
                                  " ORDER BY f.id")))
        return Fail(error, q);
    q.bindValue(0, serverKey);
    q.bindValue(1, all ? 0 : AcknowledgedPrefix(index, serverKey));
    q.bindValue(2, all ? 1 : 0);
    if (!q.exec())
        return Fail(error, q);
    while (q.next()) {
        PendingFile f;
        f.Id = q.value(0).toLongLong();
        f.Folder = q.value(1).toString();
        f.Name = q.value(2).toString();
        f.Size = q.value(3).toLongLong();
        f.MTime = q.value(4).toLongLong();
        f.Result = q.value(5).toString() == QLatin1String("result");
        f.Skipped = q.value(6).toString() != QLatin1String("ok");
        f.Reason = q.value(7).toString();
        f.Hash = q.value(8).toByteArray();
        out.append(f);
    }
    return true;
}

bool ReadUploadBatch(HistoryIndex& index, const QList<PendingFile>& files, QList<UploadFile>& out, QString* error)
{
    out.clear();
    if (files.isEmpty())
        return true;
    qint64 first = files.first().Id, last = files.first().Id;
    for (const PendingFile& f : files) {
        first = std::min(first, f.Id);
        last = std::max(last, f.Id);
    }
    QHash<qint64, UploadTest> tests;
    QHash<qint64, QList<UploadReading>> readings;
    QHash<qint64, QList<UploadRecord>> records;
    QSet<qint64> damaged;
    if (!ReadTests(index.Database(), first, last, tests, error) ||
        !ReadReadings(index.Database(), first, last, readings, damaged, error) ||
        !ReadRecords(index.Database(), first, last, records, error))
        return false;
    // A test whose readings the index holds damaged is not sent without them: it stays
    // pending, and the next update of the index reads its file again. (Where the index
    // cannot be written, it waits for an update that can.)
    if (!damaged.isEmpty())
        ReadAgain(index, damaged);
    for (const PendingFile& f : files) {
        UploadFile u{f, {}, std::nullopt, {}};
        if (damaged.contains(f.Id) || !HashUnchanged(index.StationDir(), f, u.Hash))
            continue;
        if (!f.Skipped && f.Result) {
            const auto it = tests.constFind(f.Id);
            if (it == tests.constEnd())
                continue;  // the index holds no test for it: not sent half
            u.Test = *it;
            u.Test->Readings = readings.value(f.Id);
        } else if (!f.Skipped) {
            u.Records = records.value(f.Id);
        }
        out.append(u);
    }
    return true;
}

}  // namespace celvio
